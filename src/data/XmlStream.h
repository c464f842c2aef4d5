#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// An XML document pulled a piece at a time, in time linear in its bytes
// whatever it holds: Debian 12's expat and Qt's stream reader scan an
// unfinished comment, CDATA section or tag again with every piece, which
// lets a small workbook take hours. Comments and processing instructions
// are skipped, CDATA is text, a document type is refused (so no entity of
// its own can expand), names lose their prefix. The text is UTF-8.
class XmlStream
{
public:
    // Puts up to `size` bytes at `data`: how many, 0 at the end, -1 on a read error.
    using Source = std::function<qint64(char* data, qint64 size)>;
    enum Token
    {
        StartElement,
        EndElement,
        // A piece of character data; one text may come as several pieces.
        Text,
        End,
        Invalid
    };
    static constexpr qsizetype PieceBytes = qsizetype(1) << 16;
    // No tag of a spreadsheet comes near this; a longer one is refused.
    static constexpr qsizetype MaxTagBytes = qsizetype(1) << 20;

    explicit XmlStream(Source source);

    Token next();
    // Of the last start or end tag.
    std::string_view name() const { return m_name; }
    bool isStart(std::string_view name) const { return m_token == StartElement && m_name == name; }
    bool isEnd(std::string_view name) const { return m_token == EndElement && m_name == name; }
    // An attribute of the last start tag with its references replaced; empty when it has none.
    QByteArray attribute(std::string_view name) const;
    // The last text piece, its references replaced and its line ends made LF.
    const QByteArray& text() const { return m_text; }

    // Replaces the five entities and character references of XML in `raw`;
    // false when one is malformed.
    static bool appendDecoded(std::string_view raw, QByteArray& out);

private:
    enum Mode
    {
        Content,
        Comment,
        Instruction,
        Cdata
    };
    struct Attribute
    {
        std::string_view name;
        std::string_view value;
    };

    // Reads one more piece after what is left; false at the end or on an error.
    bool fill();
    qsizetype available() const { return qsizetype(m_buffer.size()) - m_pos; }
    // Each step is true when a token is ready in m_token, false to go on.
    bool fail();
    // The document ended: whole, or cut short.
    bool ended();
    bool skipPast(std::string_view terminator);
    bool cdata();
    bool characters();
    bool markup();
    bool tag(bool closing);
    bool parseTag(bool closing);

    Source m_source;
    std::string m_buffer;
    qsizetype m_pos = 0;
    bool m_ended = false;
    bool m_failed = false;
    Mode m_mode = Content;
    Token m_token = Text;
    // The names of the elements open now.
    std::vector<std::string> m_open;
    bool m_rootSeen = false;
    bool m_emptyElement = false;
    // How far an unfinished start tag was scanned, and the quote it is in.
    qsizetype m_tagScanned = 0;
    char m_quote = 0;
    std::string m_tag;
    std::string_view m_name;
    std::vector<Attribute> m_attributes;
    QByteArray m_text;
};
