// The INI engine on any bytes, in every encoding it knows: an unchanged file
// goes out byte for byte, every listed key can be read, and a written value,
// even one code page 936 cannot hold, reads back after the file is parsed again.
#include "FuzzCheck.h"
#include "platform/IniDocument.h"
#include "platform/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    static const char* const marks[] = {"", "\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"};
    std::string bytes = marks[data[0] % 4];
    bytes.append(reinterpret_cast<const char*>(data + 1), size - 1);

    IniDocument doc = IniDocument::fromBytes(bytes);
    FUZZ_CHECK(doc.toBytes() == bytes);
    FUZZ_CHECK(!doc.changed());
    const auto sections = doc.sectionNames();
    for (const std::wstring& section : sections) {
        for (const std::wstring& key : doc.keyNames(section)) {
            FUZZ_CHECK(doc.value(section, key).has_value());
            IniFile::readString(doc, section, key, L"", 2048);
            IniFile::readInt(doc, section, key, 0);
        }
    }

    // Names reach the engine as C strings, so a name holding a NUL names another section.
    const auto plain = [](const std::wstring& name) { return name.find(L'\0') == std::wstring::npos; };
    if (!sections.empty() && plain(sections.front()) && !doc.keyNames(sections.front()).empty() &&
        plain(doc.keyNames(sections.front()).front()))
        doc.setValue(sections.front(), doc.keyNames(sections.front()).front(), L"1\r\n[x]\n");
    // Code page 936 has no U+20BB7: a file in it turns UTF-16LE and loses nothing.
    const std::wstring value = L"张三|7\U00020BB7";
    doc.setValue(L"AwardResult", L"Cnt", value);
    // Code page 936 bytes can be valid UTF-8 by chance: once a write leaves
    // only such bytes, the file reads as UTF-8 and is another text.
    const IniDocument again = IniDocument::fromBytes(doc.toBytes());
    if (again.encoding() == doc.encoding()) {
        FUZZ_CHECK(again.value(L"AwardResult", L"Cnt") == value);
        FUZZ_CHECK(again.sectionNames().size() <= sections.size() + 1);
    }

    IniDocument removed = IniDocument::fromBytes(bytes);
    if (!sections.empty()) {
        FUZZ_CHECK(removed.removeSection(sections.front()));
        const IniDocument reread = IniDocument::fromBytes(removed.toBytes());
        if (reread.encoding() == removed.encoding())
            FUZZ_CHECK(reread.sectionNames().size() < sections.size());
    }
    return 0;
}
