#include "data/XmlStream.h"

#include <algorithm>
#include <utility>

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view localName(std::string_view qualified)
{
    const size_t colon = qualified.rfind(':');
    return colon == std::string_view::npos ? qualified : qualified.substr(colon + 1);
}

void skipSpaces(std::string_view& text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
}

void appendUtf8(char32_t code, QByteArray& out)
{
    if (code < 0x80) {
        out.append(char(code));
    } else if (code < 0x800) {
        out.append(char(0xC0 | (code >> 6)));
        out.append(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.append(char(0xE0 | (code >> 12)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    } else {
        out.append(char(0xF0 | (code >> 18)));
        out.append(char(0x80 | ((code >> 12) & 0x3F)));
        out.append(char(0x80 | ((code >> 6) & 0x3F)));
        out.append(char(0x80 | (code & 0x3F)));
    }
}

// A character XML allows, as &#...; may name it.
bool isXmlChar(char32_t code)
{
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF) ||
           (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

bool appendReference(std::string_view name, QByteArray& out)
{
    static const std::pair<std::string_view, char> Named[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [entity, c] : Named) {
        if (name == entity) {
            out.append(c);
            return true;
        }
    }
    if (name.size() < 2 || name.front() != '#')
        return false;
    name.remove_prefix(1);
    const bool hex = name.front() == 'x';
    if (hex)
        name.remove_prefix(1);
    if (name.empty())
        return false;
    char32_t code = 0;
    for (const char c : name) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return false;
        code = code * (hex ? 16 : 10) + char32_t(digit);
        if (code > 0x10FFFF)
            return false;
    }
    if (!isXmlChar(code))
        return false;
    appendUtf8(code, out);
    return true;
}

// The longest reference, "&#x10FFFF;", and some room.
constexpr size_t MaxReferenceBytes = 16;

} // namespace

XmlStream::XmlStream(Source source) : m_source(std::move(source)) {}

bool XmlStream::appendDecoded(std::string_view raw, QByteArray& out)
{
    for (size_t i = 0; i < raw.size();) {
        const size_t amp = raw.find('&', i);
        if (amp == std::string_view::npos) {
            out.append(raw.data() + i, qsizetype(raw.size() - i));
            break;
        }
        out.append(raw.data() + i, qsizetype(amp - i));
        const size_t semicolon = raw.find(';', amp);
        if (semicolon == std::string_view::npos || semicolon - amp > MaxReferenceBytes ||
            !appendReference(raw.substr(amp + 1, semicolon - amp - 1), out))
            return false;
        i = semicolon + 1;
    }
    return true;
}

QByteArray XmlStream::attribute(std::string_view name) const
{
    QByteArray value;
    for (const Attribute& attribute : m_attributes) {
        if (attribute.name == name) {
            appendDecoded(attribute.value, value);
            break;
        }
    }
    return value;
}

bool XmlStream::fill()
{
    if (m_ended)
        return false;
    // What was taken goes; what is left (a tag begun, say) stays.
    m_buffer.erase(0, size_t(m_pos));
    m_pos = 0;
    const size_t kept = m_buffer.size();
    m_buffer.resize(kept + size_t(PieceBytes));
    const qint64 got = m_source(m_buffer.data() + kept, PieceBytes);
    m_buffer.resize(kept + size_t(std::max<qint64>(got, 0)));
    if (got > 0)
        return true;
    m_ended = true;
    m_failed = got < 0;
    return false;
}

bool XmlStream::fail()
{
    m_token = Invalid;
    return true;
}

XmlStream::Token XmlStream::next()
{
    m_text.clear();
    if (m_token == Invalid || m_token == End)
        return m_token;
    if (m_emptyElement) {
        m_emptyElement = false;
        m_open.pop_back();
        return m_token = EndElement;
    }
    for (;;) {
        bool ready = false;
        switch (m_mode) {
        case Comment:
            ready = skipPast("-->");
            break;
        case Instruction:
            ready = skipPast("?>");
            break;
        case Cdata:
            ready = cdata();
            break;
        case Content:
            ready = available() > 0 && m_buffer[size_t(m_pos)] == '<' ? markup() : characters();
            break;
        }
        if (ready)
            return m_token;
    }
}

bool XmlStream::ended()
{
    if (m_failed || !m_open.empty() || !m_rootSeen || m_mode != Content)
        return fail();
    m_token = End;
    return true;
}

bool XmlStream::skipPast(std::string_view terminator)
{
    for (;;) {
        const std::string_view rest(m_buffer.data() + m_pos, size_t(available()));
        const size_t found = rest.find(terminator);
        if (found != std::string_view::npos) {
            m_pos += qsizetype(found + terminator.size());
            m_mode = Content;
            return false;
        }
        // Only the bytes that may begin the terminator are kept.
        m_pos += std::max<qsizetype>(0, available() - qsizetype(terminator.size()) + 1);
        if (!fill())
            return fail();
    }
}

bool XmlStream::cdata()
{
    for (;;) {
        const std::string_view rest(m_buffer.data() + m_pos, size_t(available()));
        const size_t found = rest.find("]]>");
        if (found != std::string_view::npos) {
            m_text.append(rest.data(), qsizetype(found));
            m_pos += qsizetype(found) + 3;
            m_mode = Content;
        } else {
            const qsizetype taken = std::max<qsizetype>(0, available() - 2);
            m_text.append(rest.data(), taken);
            m_pos += taken;
        }
        if (!m_text.isEmpty()) {
            m_token = Text;
            return true;
        }
        if (m_mode == Content)
            return false;
        if (!fill())
            return fail();
    }
}

bool XmlStream::characters()
{
    for (;;) {
        if (available() == 0) {
            // Text goes out a piece at a time, so a long one never piles up here.
            if (!m_text.isEmpty()) {
                m_token = Text;
                return true;
            }
            if (!fill())
                return ended();
            continue;
        }
        const char* begin = m_buffer.data() + m_pos;
        const char* end = m_buffer.data() + m_buffer.size();
        const char* stop = begin;
        while (stop < end && *stop != '<' && *stop != '&' && *stop != '\r')
            ++stop;
        m_text.append(begin, stop - begin);
        m_pos += stop - begin;
        if (stop == end)
            continue;
        if (*stop == '<') {
            if (m_text.isEmpty())
                return false;
            m_token = Text;
            return true;
        }
        // CR LF and a lone CR are LF, as in any XML.
        if (*stop == '\r') {
            if (available() < 2 && !m_ended) {
                if (!m_text.isEmpty()) {
                    m_token = Text;
                    return true;
                }
                fill();
                continue;
            }
            m_text.append('\n');
            m_pos += available() >= 2 && m_buffer[size_t(m_pos) + 1] == '\n' ? 2 : 1;
            continue;
        }
        const std::string_view rest(stop, size_t(end - stop));
        const size_t semicolon = rest.find(';');
        if (semicolon == std::string_view::npos || semicolon > MaxReferenceBytes) {
            if (rest.size() > MaxReferenceBytes || m_ended)
                return fail();
            if (!m_text.isEmpty()) {
                m_token = Text;
                return true;
            }
            fill();
            continue;
        }
        if (!appendDecoded(rest.substr(0, semicolon + 1), m_text))
            return fail();
        m_pos += qsizetype(semicolon) + 1;
    }
}

bool XmlStream::markup()
{
    // Enough to tell a comment, CDATA or a tag apart.
    while (available() < 9 && fill()) {
    }
    const std::string_view rest(m_buffer.data() + m_pos, size_t(available()));
    const auto startsWith = [&rest](std::string_view prefix) {
        return rest.substr(0, prefix.size()) == prefix;
    };
    if (startsWith("<!--")) {
        m_pos += 4;
        m_mode = Comment;
        return false;
    }
    if (startsWith("<![CDATA[")) {
        m_pos += 9;
        m_mode = Cdata;
        return false;
    }
    if (startsWith("<?")) {
        m_pos += 2;
        m_mode = Instruction;
        return false;
    }
    // A document type, which could declare entities of its own, or worse.
    if (startsWith("<!"))
        return fail();
    return tag(startsWith("</"));
}

bool XmlStream::tag(bool closing)
{
    qsizetype close = -1;
    for (;;) {
        const qsizetype size = qsizetype(m_buffer.size());
        // Scanning goes on where the last piece ended, so a long tag costs its length once.
        qsizetype i = m_pos + std::max<qsizetype>(m_tagScanned, 1);
        for (; i < size; ++i) {
            const char c = m_buffer[size_t(i)];
            if (m_quote != 0) {
                if (c == m_quote)
                    m_quote = 0;
            } else if (c == '"' || c == '\'') {
                m_quote = c;
            } else if (c == '>') {
                break;
            } else if (c == '<') {
                return fail();
            }
        }
        if (i < size) {
            close = i;
            break;
        }
        m_tagScanned = i - m_pos;
        if (m_tagScanned > MaxTagBytes || !fill())
            return fail();
    }
    if (close - m_pos > MaxTagBytes)
        return fail();
    m_tag.assign(m_buffer, size_t(m_pos) + 1, size_t(close - m_pos - 1));
    m_pos = close + 1;
    m_tagScanned = 0;
    m_quote = 0;
    return parseTag(closing) || fail();
}

bool XmlStream::parseTag(bool closing)
{
    std::string_view tag(m_tag);
    m_attributes.clear();
    if (closing) {
        tag.remove_prefix(1);
        while (!tag.empty() && isSpace(tag.back()))
            tag.remove_suffix(1);
        if (m_open.empty() || m_open.back() != tag)
            return false;
        m_name = localName(tag);
        m_open.pop_back();
        m_token = EndElement;
        return true;
    }
    const bool empty = !tag.empty() && tag.back() == '/';
    if (empty)
        tag.remove_suffix(1);
    size_t length = 0;
    while (length < tag.size() && !isSpace(tag[length]))
        ++length;
    if (length == 0 || (m_open.empty() && m_rootSeen))
        return false;
    m_name = localName(tag.substr(0, length));
    tag.remove_prefix(length);
    for (;;) {
        skipSpaces(tag);
        if (tag.empty())
            break;
        size_t nameLength = 0;
        while (nameLength < tag.size() && tag[nameLength] != '=' && !isSpace(tag[nameLength]))
            ++nameLength;
        const std::string_view name = localName(tag.substr(0, nameLength));
        tag.remove_prefix(nameLength);
        skipSpaces(tag);
        if (name.empty() || tag.empty() || tag.front() != '=')
            return false;
        tag.remove_prefix(1);
        skipSpaces(tag);
        if (tag.empty() || (tag.front() != '"' && tag.front() != '\''))
            return false;
        const size_t end = tag.find(tag.front(), 1);
        if (end == std::string_view::npos)
            return false;
        m_attributes.push_back(Attribute{name, tag.substr(1, end - 1)});
        tag.remove_prefix(end + 1);
    }
    m_rootSeen = true;
    m_open.emplace_back(m_tag.data(), length);
    m_emptyElement = empty;
    m_token = StartElement;
    return true;
}
