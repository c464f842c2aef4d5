#include "data/ParticipantFile.h"
#include "support/TestFiles.h"

#include <QFile>
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
        EXPECT_EQ(list.names.names(), c.names) << c.what;
        EXPECT_EQ(list.encoding, c.encoding) << c.what;
    }
}

TEST(ParticipantFile, ReadsDataTxtOfTheEventFolder)
{
    TestFolder folder;
    ParticipantList list;
    EXPECT_FALSE(ReadParticipants(folder.event(), list));
    std::string many;
    for (int i = 0; i < 100000; ++i)
        many += "\xC3\xFB" + std::to_string(i) + "\r\n"; // 名
    folder.write("data.txt", many);
    ASSERT_TRUE(ReadParticipants(folder.event(), list));
    ASSERT_EQ(list.names.size(), 100000u);
    EXPECT_EQ(list.names[list.names.size() - 1], tstring(L"名99999"));
}

TEST(ParticipantFile, TheEditorsTextIsSavedTrimmedWithoutBlankLines)
{
    struct Case
    {
        const wchar_t* edited;
        const wchar_t* saved;
    };
    const Case cases[] = {
        {L"A\n\n  B  \n", L"A\r\nB\r\n"},
        {L"A\nB", L"A\r\nB"},
        {L"  \n \n\t", L""},
        {L"A\r\nB\n", L"A\r\nB\r\n"},
        {L"\u3000甲\u3000\n乙 丙", L"甲\r\n乙 丙"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParticipantFileText(c.edited), c.saved) << QString::fromWCharArray(c.edited).toStdString();
}

TEST(ParticipantFile, TheListIsWrittenBackInItsOwnEncodingOrNotAtAll)
{
    struct Case
    {
        TextEncoding encoding;
        std::string bytes;
    };
    // "ก" is not in code page 936 and becomes "?" there, as Windows writes it.
    const Case cases[] = {
        {TextEncoding::Ansi, "\xD5\xC5\xC8\xFD\r\n?"},
        {TextEncoding::Utf8, "\xE5\xBC\xA0\xE4\xB8\x89\r\n\xE0\xB8\x81"},
        {TextEncoding::Utf8Bom, "\xEF\xBB\xBF\xE5\xBC\xA0\xE4\xB8\x89\r\n\xE0\xB8\x81"},
        {TextEncoding::Utf16Le, std::string("\xFF\xFE\x20\x5F\x09\x4E\r\0\n\0\x01\x0E", 12)},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        folder.write("data.txt", "old\r\n");
        ASSERT_TRUE(WriteParticipants(folder.event(), L"张三\nก", c.encoding));
        EXPECT_EQ(folder.read("data.txt"), c.bytes) << int(c.encoding);
    }
    TestFolder folder;
    folder.write("data.txt", "old\r\n");
    QFile::setPermissions(folder.filePath("data.txt"), QFile::ReadOwner);
    EXPECT_FALSE(WriteParticipants(folder.event(), L"new", TextEncoding::Ansi));
    EXPECT_EQ(folder.read("data.txt"), "old\r\n");
}
