#include "data/PrizeTable.h"
#include "data/PendingSettings.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

// As the draw screen saves a changed table.
void savePrizeTable(const TestFolder& folder, const std::vector<AwardItem>& awards)
{
    PendingSettings settings;
    settings.prizesChanged(awards);
    settings.write(folder.event(), AreaSet());
}

std::vector<AwardItem> loadRows(const TestFolder& folder, const std::string& rows)
{
    folder.write("AwardInfo.ini", "[AwardInfo]\r\n" + rows);
    std::vector<AwardItem> awards;
    LoadPrizeTable(folder.event(), awards);
    return awards;
}

std::vector<std::wstring> names(const std::vector<AwardItem>& awards)
{
    std::vector<std::wstring> result;
    for (const AwardItem& award : awards)
        result.push_back(award.awardName);
    return result;
}

AwardItem item(const wchar_t* award, int count, const wchar_t* prize, const wchar_t* picture)
{
    AwardItem a;
    a.awardName = award;
    a.winnerCount = count;
    a.prizeName = prize;
    a.picturePath = picture;
    return a;
}

} // namespace

TEST(PrizeTable, ParsesRowsOfExactlyFiveFields)
{
    struct Case
    {
        const wchar_t* row;
        bool valid;
        int reserved;
        int winners;
        const wchar_t* picture;
    } cases[] = {
        {L"一等奖|0|3|笔记本|D:\\pic\\1.jpg", true, 0, 3, L"D:\\pic\\1.jpg"},
        {L"a|0|3|b|", true, 0, 3, L""},
        {L"a|7| 5|b|p", true, 7, 5, L"p"},
        {L"a|0|many|b|p", true, 0, 0, L"p"},
        {L"a|0|-2|b|p", true, 0, -2, L"p"},
        {L"a|0|99999999999|b|p", true, 0, 2147483647, L"p"},
        {L"a|0|3|b", false, 0, 0, L""},
        {L"a|0|3|b|p|q", false, 0, 0, L""},
        {L"a|b|0|3|c|p", false, 0, 0, L""},
        {L"", false, 0, 0, L""},
        {L"||||", true, 0, 0, L""},
    };
    for (const Case& c : cases) {
        AwardItem award;
        EXPECT_EQ(ParsePrizeRow(c.row, award), c.valid) << QString::fromWCharArray(c.row).toStdString();
        if (!c.valid)
            continue;
        EXPECT_EQ(award.reserved, c.reserved);
        EXPECT_EQ(award.winnerCount, c.winners);
        EXPECT_EQ(award.picturePath, tstring(c.picture));
        EXPECT_TRUE(award.winners.empty());
        EXPECT_EQ(award.drawn, 0);
    }
}

TEST(PrizeTable, RowsAreFoundByIndexUpToTheNumberOfKeys)
{
    TestFolder folder;
    struct Case
    {
        const char* what;
        std::string rows;
        std::vector<std::wstring> loaded;
    } cases[] = {
        {"in order",
         "AwardItem0=a|0|1|x|\r\nAwardItem1=b|0|1|x|\r\nAwardItem2=c|0|1|x|\r\n",
         {L"a", L"b", L"c"}},
        {"key order does not matter", "AwardItem1=b|0|1|x|\r\nAwardItem0=a|0|1|x|\r\n", {L"a", L"b"}},
        {"gap leaves the last row unread", "AwardItem0=a|0|1|x|\r\nAwardItem2=c|0|1|x|\r\n", {L"a"}},
        {"foreign key reads one index more",
         "Note=x\r\nAwardItem0=a|0|1|x|\r\nAwardItem1=b|0|1|x|\r\n",
         {L"a", L"b"}},
        {"bad rows are skipped", "AwardItem0=a|0|1\r\nAwardItem1=\r\nAwardItem2=c|0|1|x|\r\n", {L"c"}},
        {"empty section", "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(names(loadRows(folder, c.rows)), c.loaded) << c.what;
}

TEST(PrizeTable, SavingReplacesEveryRowAndKeepsTheRestOfTheFile)
{
    TestFolder folder;
    folder.write("AwardInfo.ini",
                 "[ScreenPixel]\r\ncx=1920\r\n[AwardInfo]\r\nAwardItem0=a|5|1|x|\r\nNote=y\r\n"
                 "AwardItem1=b|0|2|y|\r\nAwardItem2=c|0|3|z|\r\n; comment\r\n[AwardPic]\r\nPosLeft=1\r\n");
    std::vector<AwardItem> awards = {item(L"一等奖", 1, L"电视", L"D:\\p.jpg"),
                                     item(L"三等奖", 3, L"杯子", L"")};
    awards[0].reserved = 9;
    awards[0].winners = {L"someone"};
    savePrizeTable(folder, awards);
    EXPECT_EQ(folder.read("AwardInfo.ini"),
              "[ScreenPixel]\r\ncx=1920\r\n[AwardInfo]\r\n"
              "AwardItem0=\xD2\xBB\xB5\xC8\xBD\xB1|0|1|\xB5\xE7\xCA\xD3|D:\\p.jpg\r\n"
              "AwardItem1=\xC8\xFD\xB5\xC8\xBD\xB1|0|3|\xB1\xAD\xD7\xD3|\r\n"
              "; comment\r\n[AwardPic]\r\nPosLeft=1\r\n");
    std::vector<AwardItem> back;
    LoadPrizeTable(folder.event(), back);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].awardName, tstring(L"一等奖"));
    EXPECT_EQ(back[0].reserved, 0);
    EXPECT_TRUE(back[0].winners.empty());
    EXPECT_EQ(back[1].winnerCount, 3);
}

TEST(PrizeTable, ABarInATextNoLongerLosesThePrize)
{
    TestFolder folder;
    folder.write("AwardInfo.ini", "[AwardInfo]\r\n");
    savePrizeTable(folder, {item(L"A|B", 2, L"x|y", L"")});
    std::vector<AwardItem> back;
    LoadPrizeTable(folder.event(), back);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0].awardName, tstring(L"A\uFF5CB"));
    EXPECT_EQ(back[0].prizeName, tstring(L"x\uFF5Cy"));
}

TEST(PrizeTable, AMissingFileLoadsNothingAndIsNeverCreated)
{
    TestFolder folder;
    MessageRecorder recorder;
    std::vector<AwardItem> awards;
    LoadPrizeTable(folder.event(), awards);
    savePrizeTable(folder, {item(L"a", 1, L"b", L"")});
    EXPECT_TRUE(awards.empty());
    EXPECT_FALSE(QFile::exists(folder.filePath("AwardInfo.ini")));
    EXPECT_EQ(recorder.texts(), (std::vector<std::wstring>{L"AwardInfo.ini", L"AwardInfo.iniFile unexist",
                                                           L"AwardInfo.ini", L"AwardInfo.iniFile unexist"}));
}
