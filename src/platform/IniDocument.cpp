#include "platform/IniDocument.h"

#include <QChar>
#include <algorithm>

namespace {

std::wstring valueOf(const std::wstring& text)
{
    const size_t eq = text.find(L'=');
    // A NUL in a line comes from a damaged file; the text around it is the
    // operator's (a name, a prize row), so the NUL alone is dropped.
    std::wstring whole = text.substr(eq + 1);
    whole.erase(std::remove(whole.begin(), whole.end(), L'\0'), whole.end());
    std::wstring_view value = IniDocument::trimBlanks(whole);
    if (value.size() >= 2 && (value.front() == L'"' || value.front() == L'\'') &&
        value.front() == value.back())
        value = value.substr(1, value.size() - 2);
    return std::wstring(value);
}

std::wstring oneLine(std::wstring_view text)
{
    std::wstring clean(text.substr(0, text.find(L'\0')));
    for (wchar_t& c : clean) {
        if (c == L'\r' || c == L'\n')
            c = L' ';
    }
    return clean;
}

} // namespace

std::wstring_view IniDocument::trimBlanks(std::wstring_view text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool IniDocument::sameName(std::wstring_view a, std::wstring_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && QChar::toCaseFolded(static_cast<char32_t>(a[i])) !=
                                QChar::toCaseFolded(static_cast<char32_t>(b[i])))
            return false;
    }
    return true;
}

void IniDocument::classify(Line& line)
{
    const std::wstring& text = line.text;
    size_t first = 0;
    while (first < text.size() && isBlank(text[first]))
        ++first;
    line.name.clear();
    if (first == text.size()) {
        line.kind = Kind::Other;
    } else if (text[first] == L';') {
        line.kind = Kind::Comment;
    } else if (text[first] == L'[') {
        line.kind = Kind::Section;
        const size_t close = text.find(L']', first + 1);
        const size_t end = close == std::wstring::npos ? text.size() : close;
        line.name = trimBlanks(std::wstring_view(text).substr(first + 1, end - first - 1));
    } else if (const size_t eq = text.find(L'='); eq != std::wstring::npos) {
        line.kind = Kind::Key;
        line.name = trimBlanks(std::wstring_view(text).substr(0, eq));
    } else {
        line.kind = Kind::Other;
    }
}

IniDocument::Line IniDocument::makeLine(std::wstring text)
{
    Line line;
    line.text = std::move(text);
    line.edited = true;
    classify(line);
    return line;
}

IniDocument IniDocument::fromBytes(std::string bytes)
{
    IniDocument doc;
    doc.m_raw = std::move(bytes);
    const std::string& raw = doc.m_raw;
    doc.m_encoding = CodePage::detect(raw, true);
    if (doc.m_encoding == TextEncoding::Ansi &&
        std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        doc.m_encoding = CodePage::asciiFileEncoding();
    doc.m_bom = CodePage::byteOrderMark(doc.m_encoding);

    const bool bigEndian = doc.m_encoding == TextEncoding::Utf16Be;
    const size_t unit = doc.m_encoding == TextEncoding::Utf16Le || bigEndian ? 2 : 1;
    const auto at = [&](size_t i) -> unsigned {
        const unsigned first = static_cast<unsigned char>(raw[i]);
        if (unit == 1)
            return first;
        const unsigned second = static_cast<unsigned char>(raw[i + 1]);
        return bigEndian ? (first << 8) | second : first | (second << 8);
    };
    size_t start = doc.m_bom.size();
    size_t pos = start;
    // A stray last byte of a UTF-16 file stays the last byte, so lines added
    // after it still start on a character boundary.
    const size_t end = raw.size() - (raw.size() - std::min(start, raw.size())) % unit;
    doc.m_tail = raw.substr(end);
    while (start < end) {
        size_t lineEnd = end;
        size_t eolLength = 0;
        for (; pos < end; pos += unit) {
            const unsigned c = at(pos);
            if (c == '\r' || c == '\n') {
                lineEnd = pos;
                eolLength = unit;
                if (c == '\r' && pos + unit < end && at(pos + unit) == '\n')
                    eolLength += unit;
                break;
            }
        }
        Line line;
        line.rawOffset = start;
        line.rawLength = lineEnd - start;
        line.eol = raw.substr(lineEnd, eolLength);
        line.text = CodePage::decode(std::string_view(raw).substr(start, line.rawLength), doc.m_encoding);
        classify(line);
        if (doc.m_newLineBreak.empty())
            doc.m_newLineBreak = line.eol;
        doc.m_lines.push_back(std::move(line));
        start = lineEnd + eolLength;
        pos = start;
    }
    return doc;
}

std::string IniDocument::toBytes() const
{
    std::string out = m_bom;
    for (const Line& line : m_lines) {
        if (line.edited)
            out += CodePage::encode(line.text, m_encoding);
        else
            out.append(m_raw, line.rawOffset, line.rawLength);
        out += line.eol;
    }
    return out + m_tail;
}

bool IniDocument::canHold(std::wstring_view text) const
{
    return m_encoding != TextEncoding::Ansi ||
           CodePage::decode(CodePage::encode(text, m_encoding), m_encoding) == text;
}

void IniDocument::convertTo(TextEncoding encoding)
{
    if (encoding == m_encoding)
        return;
    const auto recoded = [&](const std::string& bytes) {
        return CodePage::encode(CodePage::decode(bytes, m_encoding), encoding);
    };
    for (Line& line : m_lines) {
        line.edited = true;
        line.eol = recoded(line.eol);
    }
    m_newLineBreak = recoded(m_newLineBreak);
    m_tail = recoded(m_tail);
    m_bom = CodePage::byteOrderMark(encoding);
    m_encoding = encoding;
    m_changed = true;
}

std::optional<size_t> IniDocument::findSection(std::wstring_view section) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Section && sameName(m_lines[i].name, section))
            return i;
    }
    return std::nullopt;
}

size_t IniDocument::sectionEnd(size_t header) const
{
    size_t i = header + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Section)
        ++i;
    return i;
}

std::optional<size_t> IniDocument::findKey(size_t header, std::wstring_view key) const
{
    const size_t end = sectionEnd(header);
    for (size_t i = header + 1; i < end; ++i) {
        if (m_lines[i].kind == Kind::Key && sameName(m_lines[i].name, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::wstring> IniDocument::value(std::wstring_view section, std::wstring_view key) const
{
    const auto header = findSection(section);
    if (!header)
        return std::nullopt;
    const auto line = findKey(*header, key);
    if (!line)
        return std::nullopt;
    return valueOf(m_lines[*line].text);
}

std::vector<std::wstring> IniDocument::sectionNames() const
{
    std::vector<std::wstring> names;
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Section)
            names.push_back(line.name);
    }
    return names;
}

std::vector<std::wstring> IniDocument::keyNames(std::wstring_view section) const
{
    std::vector<std::wstring> names;
    const auto header = findSection(section);
    if (!header)
        return names;
    const size_t end = sectionEnd(*header);
    for (size_t i = *header + 1; i < end; ++i) {
        if (m_lines[i].kind == Kind::Key)
            names.push_back(m_lines[i].name);
    }
    return names;
}

void IniDocument::ensureLineBreak(size_t index)
{
    if (m_lines[index].eol.empty())
        m_lines[index].eol = m_newLineBreak;
}

void IniDocument::setValue(std::wstring_view section, std::wstring_view key, std::wstring_view value)
{
    if (m_newLineBreak.empty())
        m_newLineBreak = CodePage::encode(L"\r\n", m_encoding);
    const std::wstring cleanSection = oneLine(section);
    const std::wstring cleanKey = oneLine(key);
    const std::wstring cleanValue = oneLine(value);
    // A character written as "?" would be lost for good; UTF-16LE holds them all
    // and is what Windows' profile functions read as Unicode.
    if (!canHold(cleanSection) || !canHold(cleanKey) || !canHold(cleanValue))
        convertTo(TextEncoding::Utf16Le);

    const auto header = findSection(cleanSection);
    if (!header) {
        m_changed = true;
        if (!m_lines.empty())
            ensureLineBreak(m_lines.size() - 1);
        m_lines.push_back(makeLine(L"[" + cleanSection + L"]"));
        m_lines.back().eol = m_newLineBreak;
        m_lines.push_back(makeLine(cleanKey + L"=" + cleanValue));
        m_lines.back().eol = m_newLineBreak;
        return;
    }
    if (const auto existing = findKey(*header, cleanKey)) {
        Line& line = m_lines[*existing];
        if (valueOf(line.text) == cleanValue)
            return;
        m_changed = true;
        line.text = line.name + L"=" + cleanValue;
        line.edited = true;
        return;
    }
    size_t after = *header;
    const size_t end = sectionEnd(*header);
    for (size_t i = *header + 1; i < end; ++i) {
        if (m_lines[i].kind == Kind::Key)
            after = i;
    }
    m_changed = true;
    ensureLineBreak(after);
    Line line = makeLine(cleanKey + L"=" + cleanValue);
    line.eol = m_newLineBreak;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(after + 1), std::move(line));
}

bool IniDocument::removeKey(std::wstring_view section, std::wstring_view key)
{
    const auto header = findSection(section);
    if (!header)
        return false;
    const auto line = findKey(*header, key);
    if (!line)
        return false;
    m_lines.erase(m_lines.begin() + static_cast<std::ptrdiff_t>(*line));
    m_changed = true;
    return true;
}

bool IniDocument::removeSection(std::wstring_view section)
{
    const auto header = findSection(section);
    if (!header)
        return false;
    const size_t end = sectionEnd(*header);
    std::vector<Line> kept;
    kept.reserve(m_lines.size());
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const bool inSection = i >= *header && i < end;
        if (inSection && (m_lines[i].kind == Kind::Section || m_lines[i].kind == Kind::Key))
            continue;
        kept.push_back(std::move(m_lines[i]));
    }
    m_lines = std::move(kept);
    m_changed = true;
    return true;
}
