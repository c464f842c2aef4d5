#include "app/DrawEngine.h"
#include "app/MusicPlayer.h"
#include "app/PoolDigest.h"
#include "platform/AppInfo.h"
#include "platform/Clock.h"
#include "platform/CrtRand.h"
#include "support/MessageRecorder.h"

#include <QCryptographicHash>
#include <QString>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Calls = std::vector<std::string>;
using Names = std::vector<tstring>;

class RecordingHost : public DrawHost
{
public:
    void playMusic(const tstring& path, int mode) override
    {
        calls.push_back("play " + QString::fromStdWString(path).toStdString() + " " + std::to_string(mode));
    }
    void startCycleTimer() override { calls.push_back("timer on"); }
    void stopCycleTimer() override { calls.push_back("timer off"); }
    void repaintAll() override { calls.push_back("repaint"); }
    void showResultScreen() override { calls.push_back("result screen"); }
    void exportResults() override { calls.push_back("export"); }
    void storeResults() override { calls.push_back("store"); }

    Calls take() { return std::exchange(calls, Calls()); }

    Calls calls;
};

const std::string PlayStart = "play Music\\start.mp3 2";
const std::string PlayStop = "play Music\\stop.wav 1";
constexpr std::time_t DrawTime = 1700000000;

Names people(int count)
{
    Names names;
    for (int i = 0; i < count; ++i)
        names.emplace_back(L"p" + std::to_wstring(i));
    return names;
}

AwardItem prize(const wchar_t* name, int winners)
{
    AwardItem item;
    item.awardName = name;
    item.winnerCount = winners;
    return item;
}

// What the draw must pick: the C runtime's sequence seeded with the time,
// one position at a time from the shrinking pool.
Names expectedPicks(Names pool, int count, std::time_t seed)
{
    CrtRand random;
    random.seed(static_cast<std::uint32_t>(seed));
    Names picks;
    for (int i = 0; i < count; ++i) {
        std::size_t position;
        if (pool.size() <= 32768) {
            position = static_cast<std::size_t>(random.next()) % pool.size();
        } else {
            const std::size_t first = static_cast<std::size_t>(random.next());
            position = ((first << 15) | static_cast<std::size_t>(random.next())) % pool.size();
        }
        picks.push_back(pool[position]);
        pool.erase(pool.begin() + static_cast<std::ptrdiff_t>(position));
    }
    return picks;
}

class DrawEngineTest : public ::testing::Test
{
protected:
    void SetUp() override { Clock::setFixed(DrawTime); }
    void TearDown() override { Clock::setFixed(std::nullopt); }

    void load(int poolSize, std::initializer_list<int> winnerCounts)
    {
        engine.Reset();
        engine.m_pool = people(poolSize);
        int i = 0;
        for (int count : winnerCounts)
            engine.m_awards.push_back(prize((L"prize" + std::to_wstring(i++)).c_str(), count));
    }

    RecordingHost host;
    DrawEngine engine{host};
};

} // namespace

TEST_F(DrawEngineTest, StartCyclesTheNextPrize)
{
    load(10, {3, 2});
    engine.StartDraw();
    EXPECT_EQ(engine.m_current, 0);
    EXPECT_EQ(engine.m_running, 1);
    EXPECT_EQ(host.take(), (Calls{PlayStart, "timer on"}));
}

TEST_F(DrawEngineTest, StopDrawsWinnersAtRandomAndKeepsTheOrderOfTheRest)
{
    load(10, {3, 2});
    const Names pool = engine.m_pool;
    engine.StartDraw();
    host.take();
    engine.StopDraw();

    const Names expected = expectedPicks(pool, 3, DrawTime);
    const AwardItem& award = engine.m_awards[0];
    EXPECT_EQ(award.winners, expected);
    EXPECT_EQ(award.drawn, 1);
    EXPECT_EQ(engine.m_running, 0);
    EXPECT_EQ(host.take(), (Calls{"timer off", PlayStop, "store", "repaint"}));

    Names rest;
    for (const tstring& name : pool) {
        if (std::find(expected.begin(), expected.end(), name) == expected.end())
            rest.push_back(name);
    }
    EXPECT_EQ(engine.m_pool, rest);
}

TEST_F(DrawEngineTest, StopsInTheSameSecondWithEqualPoolsPickTheSameNames)
{
    load(50, {5});
    RecordingHost otherHost;
    DrawEngine other(otherHost);
    other.m_pool = engine.m_pool;
    other.m_awards = engine.m_awards;
    for (DrawEngine* e : {&engine, &other}) {
        e->StartDraw();
        CrtRand::instance().next(); // cycling frames in between change nothing
        e->StopDraw();
    }
    EXPECT_EQ(engine.m_awards[0].winners, other.m_awards[0].winners);
    EXPECT_EQ(engine.m_pool, other.m_pool);
}

TEST_F(DrawEngineTest, APoolNoLargerThanThePrizeAllWins)
{
    for (int poolSize : {3, 2}) {
        load(poolSize, {3, 1});
        MessageRecorder recorder;
        engine.StartDraw();
        engine.StopDraw();
        EXPECT_EQ(engine.m_awards[0].winners, people(poolSize));
        EXPECT_EQ(engine.m_awards[0].drawn, 1);
        EXPECT_TRUE(engine.m_pool.empty());
        ASSERT_EQ(recorder.messages().size(), 1u);
        EXPECT_EQ(recorder.messages()[0].text, L"奖项多余抽奖人数,剩余的人奖全部中奖");
        EXPECT_EQ(recorder.messages()[0].caption, AppInfo::applicationName());
        EXPECT_EQ(recorder.messages()[0].buttons, unsigned(MsgBox::Ok));
    }
}

TEST_F(DrawEngineTest, AnEmptyPoolDrawsNobodyAndTheNextStartMovesOn)
{
    load(0, {2, 1});
    MessageRecorder recorder;
    engine.StartDraw();
    host.take();
    engine.StopDraw();
    EXPECT_EQ(recorder.texts(), std::vector<std::wstring>{L"剩余抽奖人数为0"});
    EXPECT_EQ(host.take(), (Calls{"timer off", PlayStop, "store", "repaint"}));
    EXPECT_EQ(engine.m_awards[0].drawn, 0);
    EXPECT_TRUE(engine.m_awards[0].winners.empty());
    EXPECT_EQ(engine.m_current, 0);
    EXPECT_EQ(engine.nextCycleStart(), -1);
    engine.StartDraw();
    EXPECT_EQ(engine.m_current, 1);
}

TEST_F(DrawEngineTest, ResultsAreExportedOnceWhenTheLastPrizeIsCompleted)
{
    struct Case
    {
        const char* what;
        int poolSize;
        std::initializer_list<int> counts;
        int expectedExports;
    } cases[] = {
        {"random draw of the last prize", 10, {2, 3}, 1},
        {"last prize takes everybody left", 5, {2, 3}, 1},
        {"last prize takes more than are left", 4, {2, 3}, 1},
        {"last prize finds the pool empty", 2, {2, 3}, 0},
    };
    for (const Case& c : cases) {
        load(c.poolSize, c.counts);
        MessageRecorder recorder;
        host.take();
        for (int i = 0; i < 2; ++i) {
            engine.StartDraw();
            engine.StopDraw();
        }
        const Calls calls = host.take();
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "export"), c.expectedExports) << c.what;
        EXPECT_EQ(calls.back() == "export", c.expectedExports == 1) << c.what;
        // The store is written before the export, whose failure may wait for the operator.
        const auto store = std::find(calls.rbegin(), calls.rend(), "store");
        const auto exported = std::find(calls.rbegin(), calls.rend(), "export");
        EXPECT_TRUE(store != calls.rend()) << c.what;
        EXPECT_TRUE(exported == calls.rend() || exported < store) << c.what;
    }
}

TEST_F(DrawEngineTest, StartAfterTheLastPrizeOpensTheResultScreenOnce)
{
    load(10, {1});
    engine.StartDraw();
    engine.StopDraw();
    host.take();
    engine.StartDraw();
    EXPECT_EQ(host.take(), (Calls{PlayStart, "result screen"}));
    EXPECT_EQ(engine.m_current, 1);
    EXPECT_EQ(engine.m_running, 0);
    engine.StartDraw();
    engine.StopDraw();
    EXPECT_EQ(host.take(), (Calls{"timer off"}));
    EXPECT_EQ(engine.m_current, 1);
}

TEST_F(DrawEngineTest, AnEmptyPrizeTableGoesStraightToTheResultScreen)
{
    load(10, {});
    engine.StartDraw();
    EXPECT_EQ(host.take(), (Calls{PlayStart, "result screen"}));
    EXPECT_EQ(engine.m_current, 0);
    EXPECT_EQ(engine.m_running, 0);
}

TEST_F(DrawEngineTest, StartAndStopBeyondTheTableDoNothing)
{
    load(10, {1, 1});
    engine.m_current = 7; // a stored count larger than the table
    engine.StartDraw();
    engine.StopDraw();
    EXPECT_EQ(host.take(), (Calls{"timer off"}));
    EXPECT_EQ(engine.m_current, 7);
    EXPECT_EQ(engine.m_pool.size(), 10u);
}

TEST_F(DrawEngineTest, ZeroOrNegativeWinnerCountsDrawNobody)
{
    for (int count : {0, -5}) {
        load(10, {count});
        engine.StartDraw();
        EXPECT_GE(engine.nextCycleStart(), 0);
        engine.StopDraw();
        EXPECT_TRUE(engine.m_awards[0].winners.empty()) << count;
        EXPECT_EQ(engine.m_pool.size(), 10u) << count;
        EXPECT_EQ(engine.m_awards[0].drawn, 1) << count;
    }
}

TEST_F(DrawEngineTest, EverybodyInAHugePoolCanWin)
{
    load(100000, {1000});
    const Names pool = engine.m_pool;
    engine.StartDraw();
    engine.StopDraw();
    const Names& winners = engine.m_awards[0].winners;
    EXPECT_EQ(winners, expectedPicks(pool, 1000, DrawTime));
    const auto beyond = std::count_if(winners.begin(), winners.end(),
                                      [](const tstring& name) { return std::stoi(name.Mid(1)) > 32767; });
    // About two thirds of the pool lies beyond the old 15-bit reach.
    EXPECT_GT(beyond, 500);
    EXPECT_EQ(engine.m_pool.size(), 99000u);
}

// Big draws skip the one-by-one removal; winners, their positions and the
// order of the rest must still be exactly what it gives.
TEST(DrawEnginePick, EqualsTakingOneNameAfterTheOtherOutOfThePool)
{
    for (const int size : {1, 2, 7, 100, 32768, 32769, 100000}) {
        for (const int count : {1, 3, 1000, size - 1, size, size + 5}) {
            if (count <= 0 || (size > 1000 && count > 1000))
                continue;
            for (const long long seed : {0LL, 1LL, 1700000000LL, 4294967295LL}) {
                const Names pool = people(size);
                Names rest = pool;
                std::vector<std::size_t> positions;
                Names winners;
                DrawEngine::pick(rest, seed, count, positions, winners);

                Names expectedRest = pool;
                std::vector<std::size_t> expectedPositions;
                Names expectedWinners;
                CrtRand& random = CrtRand::instance();
                random.seed(static_cast<std::uint32_t>(seed));
                for (int i = 0; i < count && !expectedRest.empty(); ++i) {
                    const std::size_t position = random.position(expectedRest.size());
                    expectedPositions.push_back(position);
                    expectedWinners.push_back(expectedRest[position]);
                    expectedRest.erase(expectedRest.begin() + static_cast<std::ptrdiff_t>(position));
                }
                const std::string where =
                    std::to_string(size) + " " + std::to_string(count) + " " + std::to_string(seed);
                ASSERT_EQ(positions, expectedPositions) << where;
                ASSERT_EQ(winners, expectedWinners) << where;
                ASSERT_EQ(rest, expectedRest) << where;
            }
        }
    }
}

// The journal's digests were Qt's UTF-8 of each name; the fast conversion
// must give the same bytes, odd code points included.
TEST(PoolDigestTest, MatchesTheDigestOfQtsUtf8)
{
    const std::vector<Names> lists = {
        {},
        {L""},
        {L"张三", L"Zoë", L"a b", L"\U0001F600x"},
        {std::wstring(1, L'\0'), std::wstring(1, static_cast<wchar_t>(0xD800)) + L"x",
         std::wstring(1, static_cast<wchar_t>(0x110000)), std::wstring(1, static_cast<wchar_t>(0x7FF)),
         std::wstring(1, static_cast<wchar_t>(0xFFFF))},
    };
    for (const Names& list : lists) {
        QByteArray text;
        for (const tstring& name : list)
            text += QString::fromStdWString(name).toUtf8() + '\n';
        const QString expected =
            QString::fromLatin1(QCryptographicHash::hash(text, QCryptographicHash::Sha256).toHex());
        EXPECT_EQ(PoolText(list), text.toStdString());
        EXPECT_EQ(QString::fromStdWString(PoolDigest(list)), expected) << list.size();
    }
}

TEST_F(DrawEngineTest, DerivedCountsFollowTheState)
{
    load(100, {3, 5, 7});
    struct Expect
    {
        long long drawn;
        int stored;
        std::vector<bool> finished;
    };
    const auto check = [&](const Expect& e, const char* when) {
        EXPECT_EQ(engine.totalPlaces(), 15) << when;
        EXPECT_EQ(engine.placesDrawn(), e.drawn) << when;
        EXPECT_EQ(engine.finishedCountToStore(), e.stored) << when;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(engine.isFinishedForDisplay(i), e.finished[static_cast<size_t>(i)]) << when << i;
    };
    check({0, 0, {false, false, false}}, "not started");
    engine.StartDraw();
    check({0, 0, {false, false, false}}, "first cycling");
    engine.StopDraw();
    check({3, 1, {true, false, false}}, "first shown");
    engine.StartDraw();
    check({3, 1, {true, false, false}}, "second cycling");
    engine.StopDraw();
    engine.StartDraw();
    engine.StopDraw();
    check({15, 3, {true, true, true}}, "all shown");
    engine.StartDraw();
    check({15, 4, {true, true, true}}, "over");
}

TEST_F(DrawEngineTest, ResetReturnsToNotStarted)
{
    load(10, {2});
    engine.StartDraw();
    engine.Reset();
    EXPECT_EQ(engine.m_current, -1);
    EXPECT_EQ(engine.m_running, 0);
    EXPECT_TRUE(engine.m_pool.empty());
    EXPECT_TRUE(engine.m_awards.empty());
}

TEST(DrawEnginePrizeTable, ChangesKeepTheFinishedPrizesFirstSoNoneIsSkippedOrDrawnTwice)
{
    struct Case
    {
        const char* what;
        int current;
        int running;
        std::function<void(DrawEngine&)> change;
        int expectedCurrent;
        int expectedRunning;
        const char* expectedOrder;
    };
    const auto remove = [](int i) { return [i](DrawEngine& e) { e.removePrize(i); }; };
    const auto move = [](int from, int to) { return [from, to](DrawEngine& e) { e.movePrize(from, to); }; };
    const Case cases[] = {
        {"remove a finished prize", 1, 0, remove(0), 0, 0, "BCD"},
        {"remove the last finished prize", 1, 0, remove(1), 0, 0, "ACD"},
        {"remove one still to draw", 1, 0, remove(3), 1, 0, "ABC"},
        {"remove the cycling prize", 1, 1, remove(1), 0, 0, "ACD"},
        {"remove before the cycling prize", 2, 1, remove(0), 1, 1, "BCD"},
        {"finished ones trade places", 1, 0, move(1, 0), 1, 0, "BACD"},
        {"waiting ones trade places", 1, 0, move(2, 3), 1, 0, "ABDC"},
        {"finished and waiting do not", 1, 0, move(1, 2), 1, 0, "ABCD"},
        {"the cycling prize stays", 1, 1, move(1, 0), 1, 1, "ABCD"},
        {"after the result screen a new prize waits", 4, 0,
         [](DrawEngine& e) {
             AwardItem item;
             item.awardName = L"E";
             e.appendPrize(item);
         },
         3, 0, "ABCDE"},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        DrawEngine engine(host);
        for (const wchar_t* name : {L"A", L"B", L"C", L"D"}) {
            AwardItem item;
            item.awardName = name;
            engine.m_awards.push_back(item);
        }
        engine.m_current = c.current;
        engine.m_running = c.running;
        c.change(engine);
        std::string order;
        for (const AwardItem& award : engine.m_awards)
            order += QString::fromStdWString(award.awardName).toStdString();
        EXPECT_EQ(order, c.expectedOrder) << c.what;
        EXPECT_EQ(engine.m_current, c.expectedCurrent) << c.what;
        EXPECT_EQ(engine.m_running, c.expectedRunning) << c.what;
        EXPECT_EQ(host.calls == Calls{"timer off"}, c.running && !engine.m_running) << c.what;
    }
}
