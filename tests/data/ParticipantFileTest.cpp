#include "data/ParticipantFile.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<tstring>;

} // namespace

TEST(ParticipantFile, OneNamePerLineInFileOrder)
{
    struct Case
    {
        const char* what;
        std::string bytes;
        Names names;
        TextEncoding encoding;
    } cases[] = {
        {"CR LF", "\xD5\xC5\xC8\xFD\r\nLi Si\r\nWang\r\n", {L"张三", L"Li Si", L"Wang"}, TextEncoding::Ansi},
        {"last line without break", "a\r\nb\r\nc", {L"a", L"b", L"c"}, TextEncoding::Ansi},
        {"LF", "a\nb\n", {L"a", L"b"}, TextEncoding::Ansi},
        {"lone CR ends a line too", "a\rb\r", {L"a", L"b"}, TextEncoding::Ansi},
        {"blank line is an empty name", "a\r\n\r\nb\r\n", {L"a", L"", L"b"}, TextEncoding::Ansi},
        {"names are not trimmed", " a \r\n\tb\r\n", {L" a ", L"\tb"}, TextEncoding::Ansi},
        {"duplicates stay", "a\r\na\r\n", {L"a", L"a"}, TextEncoding::Ansi},
        {"NUL cuts a name", "ab\0cd\r\ne\r\n"_bytes, {L"ab", L"e"}, TextEncoding::Ansi},
        {"line starting with NUL ends the list", "a\r\n\0b\r\nc\r\n"_bytes, {L"a"}, TextEncoding::Ansi},
        {"empty file", "", {}, TextEncoding::Ansi},
        {"UTF-8", "\xE5\xBC\xA0\xE4\xB8\x89\nb\n", {L"张三", L"b"}, TextEncoding::Utf8},
        {"UTF-8 with mark",
         "\xEF\xBB\xBF"
         "a\r\n",
         {L"a"},
         TextEncoding::Utf8Bom},
        {"UTF-16LE with mark",
         "\xFF\xFE\x20\x5F\x09\x4E\r\0\n\0b\0"_bytes,
         {L"张三", L"b"},
         TextEncoding::Utf16Le},
        {"UTF-16BE with mark",
         "\xFE\xFF\x5F\x20\x4E\x09\0\r\0\n\0b"_bytes,
         {L"张三", L"b"},
         TextEncoding::Utf16Be},
        {"broken GBK keeps the rest", "a\x81\r\nb\r\n", {L"a?", L"b"}, TextEncoding::Ansi},
    };
    for (const Case& c : cases) {
        const ParticipantList list = ParseParticipants(c.bytes);
        EXPECT_EQ(list.names, c.names) << c.what;
        EXPECT_EQ(list.encoding, c.encoding) << c.what;
    }
}

TEST(ParticipantFile, ReadsDataTxtOfTheCurrentFolder)
{
    EventFolder folder;
    ParticipantList list;
    EXPECT_FALSE(ReadParticipants(list));
    std::string many;
    for (int i = 0; i < 100000; ++i)
        many += "\xC3\xFB" + std::to_string(i) + "\r\n"; // 名
    folder.write("data.txt", many);
    ASSERT_TRUE(ReadParticipants(list));
    ASSERT_EQ(list.names.size(), 100000u);
    EXPECT_EQ(list.names.back(), tstring(L"名99999"));
}
