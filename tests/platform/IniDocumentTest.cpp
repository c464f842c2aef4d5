#include "platform/IniDocument.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>
#include <optional>

namespace {

std::optional<std::wstring> read(const std::string& bytes, const wchar_t* section, const wchar_t* key)
{
    return IniDocument::fromBytes(bytes).value(section, key);
}

std::string changed(const std::string& bytes, void (*change)(IniDocument&))
{
    IniDocument doc = IniDocument::fromBytes(bytes);
    change(doc);
    return doc.toBytes();
}

} // namespace

TEST(IniDocument, ReadsValuesAsTheProfileFunctionsDo)
{
    struct Case
    {
        const char* what;
        std::string file;
        const wchar_t* section;
        const wchar_t* key;
        std::optional<std::wstring> expected;
    } cases[] = {
        {"plain", "[a]\r\nk=v\r\n", L"a", L"k", L"v"},
        {"LF line ends", "[a]\nk=v\n", L"a", L"k", L"v"},
        {"CR line ends", "[a]\rk=v\rj=w", L"a", L"j", L"w"},
        {"names ignore case", "[Award]\r\nKey=v\r\n", L"aWARD", L"kEY", L"v"},
        {"blanks around names and value", " \t[ a\t]\r\n\v k \t= \t v w \t\r\n", L"a", L"k", L"v w"},
        {"text after ] ignored", "[a] trailing\r\nk=v", L"a", L"k", L"v"},
        {"header without ]", "[ab c \r\nk=v", L"ab c", L"k", L"v"},
        {"empty section name", "[]\r\nk=v", L"", L"k", L"v"},
        {"split at the first =", "[a]\r\nk = x=y\r\n", L"a", L"k", L"x=y"},
        {"no inline comments", "[a]\r\nk=a;b # c\r\n", L"a", L"k", L"a;b # c"},
        {"hash starts no comment", "[a]\r\n#k=v\r\n", L"a", L"#k", L"v"},
        {"semicolon line is a comment", "[a]\r\n;k=v\r\n", L"a", L";k", std::nullopt},
        {"indented comment", "[a]\r\n  ;k=v\r\nk=w", L"a", L"k", L"w"},
        {"double quotes removed", "[a]\r\nk= \"  v  \" \r\n", L"a", L"k", L"  v  "},
        {"single quotes removed", "[a]\r\nk='v'\r\n", L"a", L"k", L"v"},
        {"one quote kept", "[a]\r\nk=\"\r\n", L"a", L"k", L"\""},
        {"mixed quotes kept", "[a]\r\nk=\"v'\r\n", L"a", L"k", L"\"v'"},
        {"only one pair removed", "[a]\r\nk=\"\"v\"\"\r\n", L"a", L"k", L"\"v\""},
        {"empty value", "[a]\r\nk=\r\n", L"a", L"k", L""},
        {"line without = is no key", "[a]\r\nk\r\n", L"a", L"k", std::nullopt},
        {"first key wins", "[a]\r\nk=1\r\nK=2\r\n", L"a", L"k", L"1"},
        {"only the first section is searched", "[a]\r\nx=1\r\n[A]\r\nk=2\r\n", L"a", L"k", std::nullopt},
        {"keys before any section belong to none", "k=v\r\n[a]\r\n", L"a", L"k", std::nullopt},
        {"key in another section", "[a]\r\n[b]\r\nk=v\r\n", L"a", L"k", std::nullopt},
        {"Chinese names", "[\xE5\xA5\x96]\r\n\xE5\x90\x8D=\xE5\x80\xBC\r\n", L"奖", L"名", L"值"},
        {"GBK file", "[a]\r\nk=\xD6\xD0\xCE\xC4\r\n", L"a", L"k", L"中文"},
        {"a NUL inside a value is dropped", "[a]\r\nk=\0x\0y \0\r\n"_bytes, L"a", L"k", L"xy"},
        {"UTF-16LE", "\xFF\xFE[\0a\0]\0\r\0\n\0k\0=\0-\x4e"_bytes, L"a", L"k", L"中"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(read(c.file, c.section, c.key), c.expected) << c.what;
}

TEST(IniDocument, ListsSectionsAndKeysInFileOrder)
{
    const IniDocument doc = IniDocument::fromBytes("k0=x\r\n[One]\r\nb=1\r\n;c=2\r\nnot a key\r\nA=\r\n=v\r\n"
                                                   "[two]\r\n[one]\r\nz=9\r\n[]\r\n");
    EXPECT_EQ(doc.sectionNames(), (std::vector<std::wstring>{L"One", L"two", L"one", L""}));
    EXPECT_EQ(doc.keyNames(L"ONE"), (std::vector<std::wstring>{L"b", L"A", L""}));
    EXPECT_TRUE(doc.keyNames(L"two").empty());
    EXPECT_TRUE(doc.keyNames(L"missing").empty());
}

TEST(IniDocument, WritesChangeOnlyTheLinesTheyMust)
{
    struct Case
    {
        const char* what;
        std::string before;
        void (*change)(IniDocument&);
        std::string after;
    } cases[] = {
        {"new file", "", [](IniDocument& d) { d.setValue(L"App", L"key", L"value"); },
         "[App]\r\nkey=value\r\n"},
        {"existing key keeps its spelling", "; c\r\n[A]\r\n  Key = old \r\nx=1\r\n",
         [](IniDocument& d) { d.setValue(L"a", L"KEY", L"new"); }, "; c\r\n[A]\r\nKey=new\r\nx=1\r\n"},
        {"a key that already reads as the value keeps its line", "[a]\r\n  k = \"v\" \r\n",
         [](IniDocument& d) { d.setValue(L"a", L"K", L"v"); }, "[a]\r\n  k = \"v\" \r\n"},
        {"new key after the last key line", "[a]\r\nx=1\r\n\r\n; note\r\n[b]\r\n",
         [](IniDocument& d) { d.setValue(L"a", L"y", L"2"); }, "[a]\r\nx=1\r\ny=2\r\n\r\n; note\r\n[b]\r\n"},
        {"new key in a section without keys", "[a]\r\n; note\r\n[b]\r\n",
         [](IniDocument& d) { d.setValue(L"a", L"y", L"2"); }, "[a]\r\ny=2\r\n; note\r\n[b]\r\n"},
        {"new key where the last line has no break", "[a]\r\nx=1",
         [](IniDocument& d) { d.setValue(L"a", L"y", L"2"); }, "[a]\r\nx=1\r\ny=2\r\n"},
        {"new section at the end", "[a]\r\nx=1\r\n", [](IniDocument& d) { d.setValue(L"b", L"y", L"2"); },
         "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        {"new section after a file without final break", "[a]\r\nx=1",
         [](IniDocument& d) { d.setValue(L"b", L"y", L"2"); }, "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
        {"LF file gets LF lines", "[a]\nx=1\n", [](IniDocument& d) { d.setValue(L"b", L"y", L"2"); },
         "[a]\nx=1\n[b]\ny=2\n"},
        {"line breaks in a value become spaces", "[a]\r\n",
         [](IniDocument& d) { d.setValue(L"a", L"k", L"1\r\n[b]\nx=2"); }, "[a]\r\nk=1  [b] x=2\r\n"},
        {"unparsable lines and comments kept", "garbage\r\n[a]\r\n;k=1\r\n?? \r\nk=2\r\n",
         [](IniDocument& d) { d.setValue(L"a", L"k", L"3"); }, "garbage\r\n[a]\r\n;k=1\r\n?? \r\nk=3\r\n"},
        {"delete key", "[a]\r\nx=1\r\ny=2\r\n", [](IniDocument& d) { EXPECT_TRUE(d.removeKey(L"A", L"X")); },
         "[a]\r\ny=2\r\n"},
        {"section left without keys keeps its header", "[a]\r\nx=1\r\n",
         [](IniDocument& d) { d.removeKey(L"a", L"x"); }, "[a]\r\n"},
        {"delete missing key changes nothing", "[a]\r\nx=1\r\n",
         [](IniDocument& d) { EXPECT_FALSE(d.removeKey(L"a", L"y")); }, "[a]\r\nx=1\r\n"},
        {"delete section keeps comments and other lines", "[a]\r\nx=1\r\n; c\r\n\r\nodd\r\n[b]\r\nz=1\r\n",
         [](IniDocument& d) { EXPECT_TRUE(d.removeSection(L"A")); }, "; c\r\n\r\nodd\r\n[b]\r\nz=1\r\n"},
        {"delete only the first of two equal sections", "[a]\r\nx=1\r\n[A]\r\ny=2\r\n",
         [](IniDocument& d) { d.removeSection(L"a"); }, "[A]\r\ny=2\r\n"},
        {"GBK bytes of other lines untouched", "[a]\r\nn=\xD6\xD0\x81\r\nk=1\r\n",
         [](IniDocument& d) { d.setValue(L"a", L"k", L"\u4E2D"); },
         "[a]\r\nn=\xD6\xD0\x81\r\nk=\xD6\xD0\r\n"},
        {"GBK file turns UTF-16LE for a character it cannot hold", "[a]\r\nn=\xD6\xD0\r\n",
         [](IniDocument& d) { d.setValue(L"a", L"k", L"\u0E01\u4E2D"); },
         "\xFF\xFE[\0a\0]\0\r\0\n\0n\0=\0\x2D\x4E\r\0\n\0k\0=\0\x01\x0E\x2D\x4E\r\0\n\0"_bytes},
        {"UTF-8 file stays UTF-8", "[a]\r\nn=\xE4\xB8\xAD\r\n",
         [](IniDocument& d) { d.setValue(L"a", L"k", L"\u6587"); },
         "[a]\r\nn=\xE4\xB8\xAD\r\nk=\xE6\x96\x87\r\n"},
        {"UTF-8 mark kept", "\xEF\xBB\xBF[a]\r\n", [](IniDocument& d) { d.setValue(L"a", L"k", L"v"); },
         "\xEF\xBB\xBF[a]\r\nk=v\r\n"},
        {"UTF-16LE stays UTF-16LE", "\xFF\xFE[\0a\0]\0\r\0\n\0"_bytes,
         [](IniDocument& d) { d.setValue(L"a", L"k", L"\u4E01"); },
         "\xFF\xFE[\0a\0]\0\r\0\n\0k\0=\0\x01\x4E\r\0\n\0"_bytes},
    };
    for (const Case& c : cases)
        EXPECT_EQ(changed(c.before, c.change), c.after) << c.what;
}

TEST(IniDocument, UnchangedDocumentGoesOutByteForByte)
{
    const std::string odd = "\r\n\r[x\n k = v \r\n\x81\xFF;z\0q\n[y]tail\r\nlast"_bytes;
    EXPECT_EQ(IniDocument::fromBytes(odd).toBytes(), odd);
}
