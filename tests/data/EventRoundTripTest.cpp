#include "app/DrawSession.h"
#include "platform/Clock.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<tstring>;

// A run of the event without a window: a draw session on a 1920 x 1080 screen.
struct HeadlessRun
{
    explicit HeadlessRun(const TestFolder& folder) : session(folder.event())
    {
        QObject::connect(&session, &DrawSession::resultScreenRequested, [this] { ++resultScreens; });
        session.open(1920, 1080);
    }

    DrawSession session;
    const DrawEngine& engine = session.engine();
    int resultScreens = 0;
};

struct Flavour
{
    const char* name;
    TextEncoding encoding;
    std::string lineBreak;
};

class EventRoundTrip : public ::testing::TestWithParam<Flavour>
{
protected:
    void SetUp() override
    {
        Clock::setFixed(1700000000);
        const Flavour& f = GetParam();
        std::string people;
        for (int i = 0; i < 20; ++i) {
            participants.emplace_back(L"员工" + std::to_wstring(i));
            people += encode(participants.back()) + f.lineBreak;
        }
        folder.write("data.txt", people);
        std::string config =
            "[ScreenPixel]" + f.lineBreak + "cx=1920" + f.lineBreak + "cy=1080" + f.lineBreak + "startx1=10" +
            f.lineBreak + "starty1=10" + f.lineBreak + "startx2=20" + f.lineBreak + "starty2=20" +
            f.lineBreak + "stopx1=30" + f.lineBreak + "stopy1=30" + f.lineBreak + "stopx2=40" + f.lineBreak +
            "stopy2=40" + f.lineBreak + "exitx1=0" + f.lineBreak + "exity1=0" + f.lineBreak + "exitx2=5" +
            f.lineBreak + "exity2=5" + f.lineBreak + "[AwardInfo]" + f.lineBreak +
            encode(L"AwardItem0=三等奖|0|5|杯子|") + f.lineBreak + encode(L"AwardItem1=二等奖|0|3|电视|") +
            f.lineBreak + encode(L"AwardItem2=一等奖|0|2|汽车|") + f.lineBreak + "[AwardMainTitle]" +
            f.lineBreak + encode(L"TitleName=年会抽奖") + f.lineBreak + "[AwardSubTitle]" + f.lineBreak +
            "TitleName=2026" + f.lineBreak;
        folder.write("AwardInfo.ini", config);
        folder.write("AwardResult.ini", "");
    }
    void TearDown() override { Clock::setFixed(std::nullopt); }

    std::string encode(const std::wstring& text) const { return CodePage::encode(text, GetParam().encoding); }

    static void drawNext(HeadlessRun& run)
    {
        run.session.start();
        run.session.stop();
    }

    TestFolder folder;
    Names participants;
};

} // namespace

TEST_P(EventRoundTrip, AnInterruptedEventContinuesWhereItStopped)
{
    const std::string data = folder.read("data.txt");
    const std::string config = folder.read("AwardInfo.ini");
    Names firstWinners;
    {
        HeadlessRun run(folder);
        EXPECT_EQ(run.session.participantEncoding(), GetParam().encoding);
        ASSERT_EQ(run.engine.pool().names(), participants);
        ASSERT_EQ(run.engine.prizeCount(), 3);
        EXPECT_EQ(run.session.zones().stop, Rect(30, 30, 40, 40));
        drawNext(run);
        firstWinners = run.engine.award(0).winners;
        ASSERT_EQ(firstWinners.size(), 5u);
        run.session.start(); // the process is killed while the second prize cycles
    }
    {
        HeadlessRun run(folder);
        EXPECT_EQ(run.engine.current(), 0);
        EXPECT_EQ(run.engine.award(0).winners, firstWinners);
        EXPECT_EQ(run.engine.pool().size(), 15u);
        drawNext(run);
        drawNext(run);
        EXPECT_EQ(run.engine.pool().size(), 10u);
        run.session.close();
    }
    HeadlessRun last(folder);
    EXPECT_EQ(last.engine.current(), 2);
    Names everyone;
    for (const AwardItem& award : last.engine.awards())
        everyone.insert(everyone.end(), award.winners.begin(), award.winners.end());
    everyone.insert(everyone.end(), last.engine.pool().begin(), last.engine.pool().end());
    std::sort(everyone.begin(), everyone.end());
    Names sorted = participants;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(everyone, sorted) << "nobody lost, nobody twice";
    last.session.start();
    EXPECT_EQ(last.resultScreens, 1);
    last.session.close();
    const std::string store = folder.read("AwardResult.ini");
    EXPECT_NE(store.find("Cnt=4\r\n"), std::string::npos);
    // The store began empty and takes the event's encoding.
    EXPECT_NE(store.find(encode(firstWinners[0] + L"|" + firstWinners[1])), std::string::npos);

    const std::string exported = folder.read("Result.txt");
    EXPECT_EQ(exported.find(encode(L"年会抽奖\r\n2026\r\n\r\n")), 0u);
    EXPECT_NE(exported.find(encode(L"一等奖\r\n汽车\r\n")), std::string::npos);
    EXPECT_NE(exported.find(encode(firstWinners[0] + L"\r\n")), std::string::npos);
    EXPECT_EQ(exported.find(encode(L"年会抽奖")), exported.rfind(encode(L"年会抽奖"))) << "exported once";

    EXPECT_EQ(folder.read("data.txt"), data);
    EXPECT_EQ(folder.read("AwardInfo.ini"), config);
}

TEST(EventFiles, AMissingParticipantListLoadsNothing)
{
    TestFolder folder;
    folder.write("AwardInfo.ini", "[AwardInfo]\r\nAwardItem0=a|0|1|b|\r\n");
    MessageRecorder recorder;
    HeadlessRun run(folder);
    EXPECT_TRUE(run.engine.awards().empty());
    EXPECT_TRUE(run.engine.pool().empty());
    EXPECT_EQ(run.session.takeNotices().at(0).text, L"打开抽奖文件失败!");
}

INSTANTIATE_TEST_SUITE_P(Events, EventRoundTrip,
                         ::testing::Values(Flavour{"WindowsGbkCrLf", TextEncoding::Ansi, "\r\n"},
                                           Flavour{"LinuxUtf8Lf", TextEncoding::Utf8, "\n"}),
                         [](const ::testing::TestParamInfo<Flavour>& info) {
                             return std::string(info.param.name);
                         });
