#include "data/ResultExport.h"
#include "platform/Clock.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <QFile>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {

// 2016-05-01 20:15:07 UTC
constexpr std::time_t ExportTime = 1462133707;

class ResultExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        Clock::setFixed(ExportTime);
        AwardItem first;
        first.awardName = L"一等奖";
        first.prizeName = L"电视";
        first.winners = {L"张三"};
        AwardItem second;
        second.awardName = L"二等奖";
        second.prizeName = L"Cup";
        second.winners = {L"Li", L"Wang"};
        awards = {first, second};
    }
    void TearDown() override { Clock::setFixed(std::nullopt); }

    tstring block(unsigned& lines) const
    {
        tstring text;
        BuildResultText("年会", "Sub", awards, text, lines);
        return text;
    }

    TestFolder folder;
    std::vector<AwardItem> awards;
};

} // namespace

TEST_F(ResultExportTest, TheBlockListsThePrizesFromTheLastToTheFirst)
{
    unsigned lines = 99;
    EXPECT_EQ(block(lines),
              tstring(L"年会\r\nSub\r\n\r\n2016-05-01  20:15:07\r\n\r\n二等奖\r\nCup\r\nLi\r\nWang\r\n\r\n"
                      L"一等奖\r\n电视\r\n张三\r\n\r\n"));
    EXPECT_EQ(lines, 14u);
    tstring text(L"kept");
    BuildResultText("", "", {}, text, lines);
    EXPECT_EQ(text, tstring(L"kept\r\n\r\n\r\n2016-05-01  20:15:07\r\n\r\n"));
    EXPECT_EQ(lines, 5u);
}

TEST_F(ResultExportTest, ExportsAppendInTheEncodingOfTheEvent)
{
    const std::string gbkBlock = "\xC4\xEA\xBB\xE1\r\nSub\r\n\r\n2016-05-01  20:15:07\r\n\r\n"
                                 "\xB6\xFE\xB5\xC8\xBD\xB1\r\nCup\r\nLi\r\nWang\r\n\r\n"
                                 "\xD2\xBB\xB5\xC8\xBD\xB1\r\n\xB5\xE7\xCA\xD3\r\n\xD5\xC5\xC8\xFD\r\n\r\n";
    const std::string utf8Block =
        "年会\r\nSub\r\n\r\n2016-05-01  20:15:07\r\n\r\n二等奖\r\nCup\r\nLi\r\nWang\r\n\r\n"
        "一等奖\r\n电视\r\n张三\r\n\r\n";
    struct Case
    {
        const char* what;
        const char* existing; // nullptr: no file yet
        TextEncoding participants;
        std::string expected;
    } cases[] = {
        {"new file, GBK event", nullptr, TextEncoding::Ansi, gbkBlock + gbkBlock},
        {"new file, UTF-8 event", nullptr, TextEncoding::Utf8, utf8Block + utf8Block},
        {"new file, event with UTF-8 mark", nullptr, TextEncoding::Utf8Bom,
         "\xEF\xBB\xBF" + utf8Block + utf8Block},
        {"GBK file stays GBK", "\xC4\xEA\r\n", TextEncoding::Utf8, "\xC4\xEA\r\n" + gbkBlock + gbkBlock},
        {"UTF-8 file stays UTF-8", "年\r\n", TextEncoding::Ansi, "年\r\n" + utf8Block + utf8Block},
        {"ASCII file takes the event's UTF-8", "old\r\n", TextEncoding::Utf8,
         "old\r\n" + utf8Block + utf8Block},
    };
    for (const Case& c : cases) {
        QFile::remove(folder.filePath("Result.txt"));
        if (c.existing)
            folder.write("Result.txt", c.existing);
        unsigned lines = 0;
        const tstring text = block(lines);
        EXPECT_TRUE(AppendResultFile(folder.event(), text, c.participants)) << c.what;
        EXPECT_TRUE(AppendResultFile(folder.event(), text, c.participants)) << c.what;
        EXPECT_EQ(folder.read("Result.txt"), c.expected) << c.what;
    }
}

TEST_F(ResultExportTest, AnExportThatCannotBeWrittenChangesNothing)
{
    folder.write("Result.txt", "old\r\n");
    QFile::setPermissions(folder.filePath("Result.txt"), QFile::ReadOwner | QFile::ReadGroup);
    unsigned lines = 0;
    EXPECT_FALSE(AppendResultFile(folder.event(), block(lines), TextEncoding::Ansi));
    EXPECT_EQ(folder.read("Result.txt"), "old\r\n");
    EXPECT_TRUE(AppendResultFile(folder.event(), L"", TextEncoding::Ansi)) << "nothing to write";
}

TEST_F(ResultExportTest, DrawTimeIsLocalTime)
{
    EXPECT_EQ(FormatDrawTime(ExportTime), tstring(L"2016-05-01  20:15:07"));
    setenv("TZ", "CST-8", 1);
    tzset();
    EXPECT_EQ(FormatDrawTime(ExportTime), tstring(L"2016-05-02  04:15:07"));
}
