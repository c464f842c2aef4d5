#include "platform/CodePage.h"

#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

const std::string GbkZhongWen = "\xD6\xD0\xCE\xC4"; // 中文 in code page 936
const std::string Utf8ZhongWen = "\xE4\xB8\xAD\xE6\x96\x87";

} // namespace

TEST(CodePage, DetectsTheEncodingOfAWholeFile)
{
    struct Case
    {
        const char* what;
        std::string bytes;
        bool allowUtf16;
        TextEncoding expected;
    } cases[] = {
        {"empty", "", true, TextEncoding::Ansi},
        {"plain ASCII", "[a]\r\nk=v\r\n", true, TextEncoding::Ansi},
        {"GBK", "k=" + GbkZhongWen, true, TextEncoding::Ansi},
        {"UTF-8 without mark", "k=" + Utf8ZhongWen, true, TextEncoding::Utf8},
        {"UTF-8 with mark", "\xEF\xBB\xBFk=v", true, TextEncoding::Utf8Bom},
        {"UTF-16LE mark", "\xFF\xFEk\0"_bytes, true, TextEncoding::Utf16Le},
        {"UTF-16BE mark", "\xFE\xFF\0k"_bytes, true, TextEncoding::Utf16Be},
        {"UTF-16LE mark where only 8-bit text is read", "\xFF\xFEk\0"_bytes, false, TextEncoding::Ansi},
        {"UTF-8 broken in the last line", "a=" + Utf8ZhongWen + "\nb=" + GbkZhongWen, true,
         TextEncoding::Ansi},
        {"UTF-8 with a damaged byte among many good ones",
         "a=" + Utf8ZhongWen + Utf8ZhongWen + Utf8ZhongWen + Utf8ZhongWen + "\xFF\nb=" + Utf8ZhongWen, true,
         TextEncoding::Utf8},
        {"truncated UTF-8 sequence", "k=\xE4\xB8", true, TextEncoding::Ansi},
        {"overlong UTF-8", "k=\xC0\xAF", true, TextEncoding::Ansi},
        {"UTF-8 surrogate", "k=\xED\xA0\x80", true, TextEncoding::Ansi},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CodePage::detect(c.bytes, c.allowUtf16), c.expected) << c.what;
}

TEST(CodePage, RoundTripsChineseInEveryEncoding)
{
    const std::wstring text = L"一等奖 Ａ|张三,李四 €";
    for (TextEncoding e : {TextEncoding::Ansi, TextEncoding::Utf8, TextEncoding::Utf8Bom,
                           TextEncoding::Utf16Le, TextEncoding::Utf16Be})
        EXPECT_EQ(CodePage::decode(CodePage::encode(text, e), e), text) << int(e);
    EXPECT_EQ(CodePage::encode(L"中文", TextEncoding::Ansi), GbkZhongWen);
    EXPECT_EQ(CodePage::encode(L"中文", TextEncoding::Utf8), Utf8ZhongWen);
    EXPECT_EQ(CodePage::decode(GbkZhongWen, TextEncoding::Ansi), L"中文");
}

TEST(CodePage, CharactersCodePage936CannotHoldBecomeQuestionMarks)
{
    EXPECT_EQ(CodePage::encode(L"a\u0E01b\U0001F600c", TextEncoding::Ansi), "a?b?c");
    EXPECT_EQ(CodePage::encode(L"\uAC00中", TextEncoding::Ansi), "?\xD6\xD0");
}

TEST(CodePage, InvalidBytesBecomeQuestionMarksAndTheRestIsKept)
{
    struct Case
    {
        const char* what;
        std::string bytes;
        TextEncoding encoding;
        std::wstring expected;
    } cases[] = {
        {"GBK lead byte before a space", "a\x81 c", TextEncoding::Ansi, L"a? c"},
        {"GBK lead byte at the end", "ab\x81", TextEncoding::Ansi, L"ab?"},
        {"GBK lone 0xFF",
         "\xFF"
         "x\xD6\xD0",
         TextEncoding::Ansi, L"?x中"},
        {"NUL kept", "a\0b"_bytes, TextEncoding::Ansi, std::wstring(L"a\0b", 3)},
        {"UTF-8 stray continuation",
         "a\x80"
         "b",
         TextEncoding::Utf8, L"a?b"},
        {"UTF-8 truncated at the end", "a\xE4\xB8", TextEncoding::Utf8, L"a??"},
        {"UTF-16 odd length", "a\0b"_bytes, TextEncoding::Utf16Le, L"a?"},
        {"UTF-16 lone surrogate",
         "\x00\xD8"
         "a\0"_bytes,
         TextEncoding::Utf16Le, L"?a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CodePage::decode(c.bytes, c.encoding), c.expected) << c.what;
}

TEST(CodePage, Utf16KeepsCharactersBeyondTheBasicPlane)
{
    const std::wstring text = L"x\U0001F600y";
    const std::string bytes = CodePage::encode(text, TextEncoding::Utf16Le);
    EXPECT_EQ(bytes.size(), 8u);
    EXPECT_EQ(CodePage::decode(bytes, TextEncoding::Utf16Le), text);
}

TEST(CodePage, ByteOrderMarks)
{
    EXPECT_EQ(CodePage::byteOrderMark(TextEncoding::Ansi), "");
    EXPECT_EQ(CodePage::byteOrderMark(TextEncoding::Utf8), "");
    EXPECT_EQ(CodePage::byteOrderMark(TextEncoding::Utf8Bom), "\xEF\xBB\xBF");
    EXPECT_EQ(CodePage::byteOrderMark(TextEncoding::Utf16Le), "\xFF\xFE");
}
