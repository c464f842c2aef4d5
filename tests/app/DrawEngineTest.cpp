#include "app/DrawEngine.h"
#include "app/PoolDigest.h"
#include "platform/Clock.h"
#include "platform/CrtRand.h"

#include <QCryptographicHash>
#include <QString>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Names = std::vector<tstring>;

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

using Start = DrawEngine::StartOutcome;
using Stop = DrawEngine::StopOutcome;

Names stopped(DrawEngine& engine, Stop expected = Stop::Drawn)
{
    DrawRecord record;
    EXPECT_EQ(engine.StopDraw(record), expected);
    return record.winners;
}

// A draw that the result store continues: `stored` prizes finished.
void continueAt(DrawEngine& engine, int stored)
{
    DrawEngine::Restored restored;
    restored.storedCount = stored;
    engine.restore(restored);
}

class DrawEngineTest : public ::testing::Test
{
protected:
    void SetUp() override { Clock::setFixed(DrawTime); }
    void TearDown() override { Clock::setFixed(std::nullopt); }

    void load(int poolSize, std::initializer_list<int> winnerCounts)
    {
        std::vector<AwardItem> awards;
        int i = 0;
        for (int count : winnerCounts)
            awards.push_back(prize((L"prize" + std::to_wstring(i++)).c_str(), count));
        engine.load(people(poolSize), awards);
    }

    DrawEngine engine;
};

} // namespace

TEST_F(DrawEngineTest, StopDrawsWinnersAtRandomAndKeepsTheOrderOfTheRest)
{
    load(10, {3, 2});
    const Names pool = engine.pool();
    EXPECT_EQ(engine.StartDraw(), Start::Cycling);
    EXPECT_EQ(engine.current(), 0);
    EXPECT_TRUE(engine.running());
    const Names expected = expectedPicks(pool, 3, DrawTime);
    EXPECT_EQ(stopped(engine), expected);
    EXPECT_EQ(engine.award(0).winners, expected);
    EXPECT_EQ(engine.award(0).drawn, 1);
    EXPECT_FALSE(engine.running());
    Names rest;
    for (const tstring& name : pool) {
        if (std::find(expected.begin(), expected.end(), name) == expected.end())
            rest.push_back(name);
    }
    EXPECT_EQ(engine.pool(), rest);
}

TEST_F(DrawEngineTest, StopsInTheSameSecondWithEqualPoolsPickTheSameNames)
{
    load(50, {5});
    DrawEngine other;
    other.load(engine.pool(), engine.awards());
    for (DrawEngine* e : {&engine, &other}) {
        e->StartDraw();
        CrtRand::instance().next(); // cycling frames in between change nothing
        stopped(*e);
    }
    EXPECT_EQ(engine.award(0).winners, other.award(0).winners);
    EXPECT_EQ(engine.pool(), other.pool());
}

TEST_F(DrawEngineTest, APoolNoLargerThanThePrizeAllWinsAnEmptyOneNobodyAndTheNextStartMovesOn)
{
    struct Case
    {
        const char* what;
        int pool;
        int count;
        Stop outcome;
        size_t winners;
        size_t left;
        int drawn;
    } cases[] = {
        {"a pool as large as the prize", 3, 3, Stop::AllRemaining, 3, 0, 1},
        {"a pool smaller than the prize", 2, 3, Stop::AllRemaining, 2, 0, 1},
        {"an empty pool", 0, 2, Stop::EmptyPool, 0, 0, 0},
        {"no winners wanted", 10, 0, Stop::Drawn, 0, 10, 1},
        {"a negative count", 10, -5, Stop::Drawn, 0, 10, 1},
    };
    for (const Case& c : cases) {
        load(c.pool, {c.count, 1});
        EXPECT_EQ(engine.StartDraw(), Start::Cycling) << c.what;
        EXPECT_EQ(engine.nextCycleStart() >= 0, c.pool > 0) << c.what;
        stopped(engine, c.outcome);
        const Names everybody = people(c.pool);
        EXPECT_EQ(engine.award(0).winners, Names(everybody.begin(), everybody.begin() + c.winners)) << c.what;
        EXPECT_EQ(engine.pool().size(), c.left) << c.what;
        EXPECT_EQ(engine.award(0).drawn, c.drawn) << c.what;
        EXPECT_EQ(engine.StartDraw(), Start::Cycling) << c.what;
        EXPECT_EQ(engine.current(), 1) << c.what;
    }
}

TEST_F(DrawEngineTest, AStartAfterTheLastPrizeCountsOnePastTheTableOnceAndBeyondNothingHappens)
{
    load(10, {1});
    engine.StartDraw();
    stopped(engine, Stop::Drawn);
    EXPECT_EQ(engine.StartDraw(), Start::ResultScreen);
    EXPECT_EQ(engine.current(), 1);
    EXPECT_FALSE(engine.running());
    EXPECT_EQ(engine.StartDraw(), Start::Ignored);
    stopped(engine, Stop::Ignored);
    EXPECT_EQ(engine.current(), 1);

    load(10, {});
    EXPECT_EQ(engine.StartDraw(), Start::ResultScreen) << "an empty table";
    EXPECT_EQ(engine.current(), 0);

    load(10, {1, 1});
    continueAt(engine, 8); // a stored count larger than the table
    EXPECT_EQ(engine.StartDraw(), Start::Ignored);
    stopped(engine, Stop::Ignored);
    EXPECT_EQ(engine.current(), 7);
    EXPECT_EQ(engine.pool().size(), 10u);
}

TEST_F(DrawEngineTest, EverybodyInAHugePoolCanWin)
{
    load(100000, {1000});
    const Names pool = engine.pool();
    engine.StartDraw();
    stopped(engine);
    const Names& winners = engine.award(0).winners;
    EXPECT_EQ(winners, expectedPicks(pool, 1000, DrawTime));
    const auto beyond = std::count_if(winners.begin(), winners.end(),
                                      [](const tstring& name) { return std::stoi(name.Mid(1)) > 32767; });
    // About two thirds of the pool lies beyond the old 15-bit reach.
    EXPECT_GT(beyond, 500);
    EXPECT_EQ(engine.pool().size(), 99000u);
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
    stopped(engine);
    check({3, 1, {true, false, false}}, "first shown");
    engine.StartDraw();
    check({3, 1, {true, false, false}}, "second cycling");
    stopped(engine);
    engine.StartDraw();
    stopped(engine);
    check({15, 3, {true, true, true}}, "all shown");
    engine.StartDraw();
    check({15, 4, {true, true, true}}, "over");
    engine.Reset();
    EXPECT_EQ(engine.current(), -1);
    EXPECT_FALSE(engine.running());
    EXPECT_TRUE(engine.pool().empty());
    EXPECT_TRUE(engine.awards().empty());
}

TEST(DrawEnginePrizeTable, ChangesKeepTheFinishedPrizesFirstSoNoneIsSkippedOrDrawnTwice)
{
    struct Case
    {
        const char* what;
        int stored;
        bool running;
        std::function<bool(DrawEngine&)> change;
        int expectedCurrent;
        bool expectedRunning;
        const char* expectedOrder;
    };
    const auto remove = [](int i) { return [i](DrawEngine& e) { return e.removePrize(i); }; };
    const auto move = [](int from, int to) {
        return [from, to](DrawEngine& e) {
            e.movePrize(from, to);
            return false;
        };
    };
    const Case cases[] = {
        {"remove a finished prize", 2, false, remove(0), 0, false, "BCD"},
        {"remove the last finished prize", 2, false, remove(1), 0, false, "ACD"},
        {"remove one still to draw", 2, false, remove(3), 1, false, "ABC"},
        {"remove the cycling prize", 1, true, remove(1), 0, false, "ACD"},
        {"remove before the cycling prize", 2, true, remove(0), 1, true, "BCD"},
        {"finished ones trade places", 2, false, move(1, 0), 1, false, "BACD"},
        {"waiting ones trade places", 2, false, move(2, 3), 1, false, "ABDC"},
        {"finished and waiting do not", 2, false, move(1, 2), 1, false, "ABCD"},
        {"the cycling prize stays", 1, true, move(1, 0), 1, true, "ABCD"},
        {"after the result screen a new prize waits", 5, false,
         [](DrawEngine& e) {
             AwardItem item;
             item.awardName = L"E";
             e.appendPrize(item);
             return false;
         },
         3, false, "ABCDE"},
    };
    for (const Case& c : cases) {
        DrawEngine engine;
        std::vector<AwardItem> awards;
        for (const wchar_t* name : {L"A", L"B", L"C", L"D"})
            awards.push_back(prize(name, 0));
        engine.load(people(10), awards);
        continueAt(engine, c.stored);
        if (c.running)
            engine.StartDraw();
        const bool stoppedCycling = c.change(engine);
        std::string order;
        for (const AwardItem& award : engine.awards())
            order += QString::fromStdWString(award.awardName).toStdString();
        EXPECT_EQ(order, c.expectedOrder) << c.what;
        EXPECT_EQ(engine.current(), c.expectedCurrent) << c.what;
        EXPECT_EQ(engine.running(), c.expectedRunning) << c.what;
        EXPECT_EQ(stoppedCycling, c.running && !engine.running()) << c.what;
    }
}
