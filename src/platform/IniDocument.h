#pragma once

#include "platform/CodePage.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An INI file held as its lines, read and changed the way the Windows profile
// functions do it. A change touches only the lines it must; every other line
// goes back out byte for byte, comments and lines we cannot parse included.
class IniDocument
{
public:
    IniDocument() = default;
    static IniDocument fromBytes(std::string bytes);
    std::string toBytes() const;
    // Whether a change touched a line since the document was made.
    bool changed() const { return m_changed; }

    TextEncoding encoding() const { return m_encoding; }
    // Code page 936 cannot hold every character; the other encodings can.
    bool canHold(std::wstring_view text) const;
    // Writes every line in the new encoding from now on, for a text that
    // the file's own encoding cannot hold.
    void convertTo(TextEncoding encoding);

    // Names match without regard to case; the first matching section and, in
    // it, the first matching key win. A NUL inside a value is dropped.
    std::optional<std::wstring> value(std::wstring_view section, std::wstring_view key) const;
    std::vector<std::wstring> sectionNames() const;
    std::vector<std::wstring> keyNames(std::wstring_view section) const;

    // Line breaks in the value become spaces, so a value never makes a new
    // key or section. A key that already reads as the value keeps its line
    // as it is. A text the file's code page cannot hold turns the whole
    // file into UTF-16LE.
    void setValue(std::wstring_view section, std::wstring_view key, std::wstring_view value);
    // Both return whether a line went.
    bool removeKey(std::wstring_view section, std::wstring_view key);
    bool removeSection(std::wstring_view section);

    static bool isBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\v'; }
    static std::wstring_view trimBlanks(std::wstring_view text);
    static bool sameName(std::wstring_view a, std::wstring_view b);

private:
    enum class Kind
    {
        Other,
        Comment,
        Section,
        Key
    };
    struct Line
    {
        size_t rawOffset = 0;
        size_t rawLength = 0;
        std::string eol;
        std::wstring text;
        bool edited = false;
        Kind kind = Kind::Other;
        std::wstring name;
    };

    static Line makeLine(std::wstring text);
    static void classify(Line& line);
    std::optional<size_t> findSection(std::wstring_view section) const;
    size_t sectionEnd(size_t header) const;
    std::optional<size_t> findKey(size_t header, std::wstring_view key) const;
    void ensureLineBreak(size_t index);

    std::string m_raw;
    std::string m_bom;
    std::string m_tail;
    std::string m_newLineBreak;
    TextEncoding m_encoding = CodePage::asciiFileEncoding();
    std::vector<Line> m_lines;
    bool m_changed = false;
};
