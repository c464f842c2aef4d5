#include "areas/tstring.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using Pieces = std::vector<tstring>;

} // namespace

TEST(tstring, TokenizeSplitsAtEachDelimiterCharacter)
{
    struct Case
    {
        const wchar_t* text;
        const wchar_t* delimiters;
        bool skipEmpty;
        Pieces expected;
    } cases[] = {
        {L"a,,b", L",", false, {L"a", L"", L"b"}},
        {L"a,,b", L",", true, {L"a", L"b"}},
        {L",", L",", false, {L"", L""}},
        {L",", L",", true, {}},
        {L"x|", L"|", false, {L"x", L""}},
        {L"x|", L"|", true, {L"x"}},
        {L"|x", L"|", false, {L"", L"x"}},
        {L"a|b,c", L"|,", false, {L"a", L"b", L"c"}},
        {L"abc", L"|", false, {L"abc"}},
        {L"一等奖|1|笔记本|D:\\a.jpg", L"|", false, {L"一等奖", L"1", L"笔记本", L"D:\\a.jpg"}},
        {L"A\rB\r\rC", L"\r", true, {L"A", L"B", L"C"}},
        {L"255,0,0", L",", false, {L"255", L"0", L"0"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tstring(c.text).Tokenize(c.delimiters, c.skipEmpty), c.expected);
}

TEST(tstring, TokenizeRefusesAnEmptyTextOrDelimiterSet)
{
    for (const wchar_t* delimiters : {L",", L""}) {
        try {
            tstring().Tokenize(delimiters, false);
            FAIL() << "no exception";
        } catch (const TokenizeError& e) {
            EXPECT_STREQ(e.message(), L"tokenize: empty string");
        }
    }
    EXPECT_THROW(tstring(L"a,b").Tokenize(L"", true), TokenizeError);
}

TEST(tstring, TrimRemovesSpacesOnly)
{
    struct Case
    {
        const wchar_t* before;
        const wchar_t* after;
    } cases[] = {{L"   ", L""},         {L"\tx", L"\tx"}, {L"  a b  ", L"a b"},
                 {L"x\r\n ", L"x\r\n"}, {L"", L""},       {L"\u3000中\u3000", L"\u3000中\u3000"}};
    for (const Case& c : cases) {
        tstring text(c.before);
        EXPECT_EQ(text.Trim(), tstring(c.after));
    }
}

TEST(tstring, CaseMappingChangesOnlyAsciiLetters)
{
    tstring text(L"Award奖项éÄｚ1");
    EXPECT_EQ(tstring(text).ToUpper(), tstring(L"AWARD奖项éÄｚ1"));
    EXPECT_EQ(tstring(text).ToLower(), tstring(L"award奖项éÄｚ1"));
}

TEST(tstring, FormatCutsAt499Characters)
{
    tstring text;
    EXPECT_EQ(text.Format(L"%d", -5), tstring(L"-5"));
    EXPECT_EQ(text.Format(L"AwardItem%d", 12), tstring(L"AwardItem12"));
    const std::wstring long600(600, L'x');
    EXPECT_EQ(text.Format(L"%ls", long600.c_str()).size(), 499u);
    const std::wstring exact499(499, L'y');
    EXPECT_EQ(text.Format(L"%ls", exact499.c_str()), tstring(exact499));
}

TEST(tstring, LeftAndMidAreTheStandardSubstrings)
{
    const tstring text(L"abc中");
    EXPECT_EQ(text.Left(2), tstring(L"ab"));
    EXPECT_EQ(text.Left(99), text);
    EXPECT_EQ(text.Mid(3), tstring(L"中"));
    EXPECT_EQ(text.Mid(4), tstring());
    EXPECT_THROW(text.Mid(5), std::out_of_range);
}

TEST(tstring, IsAPolymorphicStandardString)
{
    static_assert(std::has_virtual_destructor_v<tstring>);
    const tstring a(std::wstring(L"x"));
    const wchar_t* none = nullptr;
    EXPECT_EQ(tstring(none), tstring());
    EXPECT_EQ(a + L"y", std::wstring(L"xy"));
}
