#include "data/CsvReader.h"

#include "platform/CodePage.h"

#include <memory>
#include <string_view>

namespace {

// Decoded a megabyte at a time, so a big file is never held twice as text.
constexpr size_t PieceBytes = size_t(1) << 20;

// How much of `bytes`, at most `size`, ends between two characters.
size_t wholeCharacters(std::string_view bytes, size_t size, TextEncoding encoding)
{
    if (bytes.size() <= size)
        return bytes.size();
    const auto byte = [&bytes](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    switch (encoding) {
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be: {
        size_t cut = size & ~size_t(1);
        // A high surrogate waits for its low one.
        const unsigned unit = encoding == TextEncoding::Utf16Le ? byte(cut - 2) | byte(cut - 1) << 8
                                                                : byte(cut - 2) << 8 | byte(cut - 1);
        return unit >= 0xD800 && unit <= 0xDBFF ? cut - 2 : cut;
    }
    case TextEncoding::Ansi: {
        // Code page 936: a lead byte takes the next one with it.
        size_t i = 0;
        while (i < size) {
            const size_t length = byte(i) >= 0x81 && byte(i) <= 0xFE ? 2 : 1;
            if (i + length > size)
                break;
            i += length;
        }
        return i;
    }
    default: {
        size_t cut = size;
        while (cut > size - 3 && (byte(cut) & 0xC0) == 0x80)
            --cut;
        return cut;
    }
    }
}

// The fields of the text as it comes, a piece at a time.
class Fields
{
public:
    Fields(ImportTable& table, QChar separator) : m_table(table), m_separator(separator) {}

    // False when the table failed. Without `last`, a character whose meaning
    // depends on the next one waits for the next piece.
    bool feed(const QString& piece, bool last)
    {
        const QString text = m_held + piece;
        m_held.clear();
        const qsizetype size = text.size();
        for (qsizetype i = 0; i < size; ++i) {
            const QChar c = text[i];
            const bool lookahead = c == QLatin1Char('"') || c == QLatin1Char('\r');
            if (lookahead && i + 1 == size && !last) {
                m_held = c;
                return true;
            }
            const QChar next = i + 1 < size ? text[i + 1] : QChar();
            if (m_quoted) {
                if (c == QLatin1Char('"')) {
                    if (next == QLatin1Char('"'))
                        ++i;
                    else
                        m_quoted = false;
                    if (next == QLatin1Char('"') && !append(c))
                        return false;
                    continue;
                }
                if (c == QLatin1Char('\n') || (c == QLatin1Char('\r') && next != QLatin1Char('\n')))
                    ++m_line;
                if (!append(c))
                    return false;
            } else if (c == QLatin1Char('"') && !m_fieldStarted) {
                m_quoted = true;
                m_fieldStarted = true;
                m_quoteLine = m_line;
            } else if (c == m_separator) {
                if (!endField())
                    return false;
            } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
                if (c == QLatin1Char('\r') && next == QLatin1Char('\n'))
                    ++i;
                ++m_line;
                if (!endField() || !endRow())
                    return false;
            } else {
                m_fieldStarted = true;
                if (!append(c))
                    return false;
            }
        }
        return true;
    }

    bool finish()
    {
        if (m_quoted)
            return m_table.fail(CsvReader::unclosedQuote(m_quoteLine));
        if (m_fieldStarted || !m_field.isEmpty() || !m_row.isEmpty())
            return endField() && endRow();
        return true;
    }

private:
    bool append(QChar c)
    {
        m_field += c;
        return m_field.size() <= ImportTable::MaxCellChars || m_table.fail(ImportTable::CellTooLong);
    }
    bool endField()
    {
        if (m_row.size() >= ImportTable::MaxColumns)
            return m_table.fail(ImportTable::TooWide);
        if (!m_table.keep(1, m_field.size()))
            return false;
        m_row << m_field;
        m_field.clear();
        m_fieldStarted = false;
        return true;
    }
    bool endRow()
    {
        if (qsizetype(m_table.rows.size()) >= ImportTable::MaxRows)
            return m_table.fail(ImportTable::TooLarge);
        m_table.rows.push_back(std::move(m_row));
        m_row = QStringList();
        return true;
    }

    ImportTable& m_table;
    QChar m_separator;
    QString m_held;
    QStringList m_row;
    QString m_field;
    bool m_quoted = false;
    bool m_fieldStarted = false;
    qint64 m_line = 1;
    qint64 m_quoteLine = 0;
};

} // namespace

QString CsvReader::unclosedQuote(qint64 line)
{
    return QStringLiteral("第 %1 行的引号没有结束").arg(line);
}

QChar CsvReader::separatorOf(const QString& text)
{
    int commas = 0;
    int semicolons = 0;
    int tabs = 0;
    bool quoted = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted && c == QLatin1Char(','))
            ++commas;
        else if (!quoted && c == QLatin1Char(';'))
            ++semicolons;
        else if (!quoted && c == QLatin1Char('\t'))
            ++tabs;
    }
    // A tab or a semicolon is rarely a name's own; a comma may be.
    if (tabs > 0 && tabs >= commas && tabs >= semicolons)
        return QLatin1Char('\t');
    if (semicolons > 0 && semicolons >= commas)
        return QLatin1Char(';');
    return QLatin1Char(',');
}

bool CsvReader::parse(const QByteArray& bytes, ImportTable& table)
{
    table = ImportTable();
    std::string_view rest(bytes.constData(), static_cast<size_t>(bytes.size()));
    const TextEncoding encoding = CodePage::detect(rest, true);
    const bool wide = encoding == TextEncoding::Utf16Le || encoding == TextEncoding::Utf16Be;
    if (!wide && bytes.contains('\0'))
        return table.fail(ImportTable::NotATable);
    rest.remove_prefix(CodePage::byteOrderMark(encoding).size());
    std::unique_ptr<Fields> fields;
    do {
        const size_t length = wholeCharacters(rest, PieceBytes, encoding);
        const QString piece = QString::fromStdWString(CodePage::decode(rest.substr(0, length), encoding));
        rest.remove_prefix(length);
        if (wide && piece.contains(QChar(0)))
            return table.fail(ImportTable::NotATable);
        if (!fields)
            fields = std::make_unique<Fields>(table, separatorOf(piece));
        if (!fields->feed(piece, rest.empty()))
            return false;
    } while (!rest.empty());
    return fields->finish();
}
