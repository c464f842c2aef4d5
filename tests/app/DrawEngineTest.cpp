#include "app/DrawEngine.h"
#include "app/PoolDigest.h"
#include "platform/CrtRand.h"

#include <QCryptographicHash>
#include <QString>
#include <functional>
#include <gtest/gtest.h>

namespace {

using Names = std::vector<tstring>;

const DrawSeed Seed = DrawSeed::ofBytes({0x9f, 0x01, 0x7a, 0x33, 0x00, 0xff, 0x42, 0x17, 0x88, 0x5c, 0x21,
                                         0xd0, 0x0b, 0x6e, 0xe4, 0x90, 0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc,
                                         0xde, 0xf0, 0x31, 0x41, 0x59, 0x26, 0x53, 0x58, 0x97, 0x93});

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

// The rule "rafo-1" as an auditor reads it, on Qt's own SHA-256: block j is
// the digest of the seed and j as 8 bytes little-endian, four little-endian
// words each; a word at or above 2^64 - (2^64 mod m) is skipped.
class Rafo1Words
{
public:
    explicit Rafo1Words(const DrawSeed& seed) : m_seed(seed) {}

    quint64 position(quint64 m)
    {
        const quint64 rest = static_cast<quint64>((static_cast<unsigned __int128>(1) << 64) % m);
        for (;;) {
            const quint64 word = next();
            if (rest == 0 ||
                static_cast<unsigned __int128>(word) < (static_cast<unsigned __int128>(1) << 64) - rest)
                return word % m;
        }
    }

private:
    quint64 next()
    {
        if (m_words.isEmpty()) {
            QByteArray input(reinterpret_cast<const char*>(m_seed.bytes().data()), 32);
            for (int i = 0; i < 8; ++i)
                input += char(m_block >> (8 * i));
            ++m_block;
            m_words = QCryptographicHash::hash(input, QCryptographicHash::Sha256);
        }
        quint64 word = 0;
        for (int i = 7; i >= 0; --i)
            word = (word << 8) | static_cast<unsigned char>(m_words[i]);
        m_words.remove(0, 8);
        return word;
    }

    const DrawSeed& m_seed;
    quint64 m_block = 0;
    QByteArray m_words;
};

// What the draw must pick: one position after the other from the shrinking pool.
Names expectedPicks(Names pool, int count, const DrawSeed& seed = Seed)
{
    Rafo1Words words(seed);
    Names picks;
    for (int i = 0; i < count && !pool.empty(); ++i) {
        const auto position = static_cast<std::ptrdiff_t>(words.position(pool.size()));
        picks.push_back(pool[size_t(position)]);
        pool.erase(pool.begin() + position);
    }
    return picks;
}

using Start = DrawEngine::StartOutcome;
using Stop = DrawEngine::StopOutcome;

Names stopped(DrawEngine& engine, Stop expected = Stop::Drawn)
{
    DrawRecord record;
    EXPECT_EQ(engine.StopDraw(Seed, record), expected);
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
    const Names pool = engine.pool().names();
    EXPECT_EQ(engine.StartDraw(), Start::Cycling);
    EXPECT_EQ(engine.current(), 0);
    EXPECT_TRUE(engine.running());
    const Names expected = expectedPicks(pool, 3);
    EXPECT_EQ(stopped(engine), expected);
    EXPECT_EQ(engine.award(0).winners, expected);
    EXPECT_EQ(engine.award(0).drawn, 1);
    EXPECT_FALSE(engine.running());
    Names rest;
    for (const tstring& name : pool) {
        if (std::find(expected.begin(), expected.end(), name) == expected.end())
            rest.push_back(name);
    }
    EXPECT_EQ(engine.pool().names(), rest);
}

TEST_F(DrawEngineTest, EqualSeedsAndPoolsPickTheSameNames)
{
    load(50, {5});
    DrawEngine other;
    other.load(engine.pool(), engine.awards());
    for (DrawEngine* e : {&engine, &other}) {
        e->StartDraw();
        e->nextCycleStart(); // cycling frames in between change nothing
        stopped(*e);
    }
    EXPECT_EQ(engine.award(0).winners, other.award(0).winners);
    EXPECT_EQ(engine.pool().names(), other.pool().names());
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
    const Names pool = engine.pool().names();
    engine.StartDraw();
    stopped(engine);
    const Names& winners = engine.award(0).winners;
    EXPECT_EQ(winners, expectedPicks(pool, 1000));
    const auto beyond = std::count_if(winners.begin(), winners.end(),
                                      [](const tstring& name) { return std::stoi(name.Mid(1)) > 32767; });
    // About two thirds of the pool lies beyond the old 15-bit reach.
    EXPECT_GT(beyond, 500);
    EXPECT_EQ(engine.pool().size(), 99000u);
}

// Big draws skip the one-by-one removal; winners, their positions and the
// order of the rest must still be exactly what taking one name after the
// other gives, under rafo-1 and under the old rule of journals before it.
TEST(DrawEnginePick, EqualsTakingOneNameAfterTheOtherOutOfThePool)
{
    DrawSeed::Bytes ones;
    ones.fill(0xFF);
    const DrawSeed seeds[] = {Seed,
                              DrawSeed::ofBytes({}),
                              DrawSeed::ofBytes(ones),
                              DrawSeed::crtSecond(0),
                              DrawSeed::crtSecond(1700000000),
                              DrawSeed::crtSecond(4294967295LL)};
    for (const int size : {1, 2, 7, 100, 32768, 32769, 100000}) {
        for (const int count : {1, 3, 1000, size - 1, size, size + 5}) {
            if (count <= 0 || (size > 1000 && count > 1000))
                continue;
            for (const DrawSeed& seed : seeds) {
                const Names pool = people(size);
                NamePool left(pool);
                std::vector<std::size_t> positions;
                Names winners;
                DrawEngine::pick(left, seed, count, positions, winners);
                const Names rest = left.names();

                Names expectedRest = pool;
                std::vector<std::size_t> expectedPositions;
                Names expectedWinners;
                Rafo1Words words(seed);
                CrtRand crt;
                crt.seed(static_cast<std::uint32_t>(seed.second()));
                for (int i = 0; i < count && !expectedRest.empty(); ++i) {
                    const std::size_t position = seed.rule() == DrawSeed::Rule::Rafo1
                                                     ? words.position(expectedRest.size())
                                                     : crt.position(expectedRest.size());
                    expectedPositions.push_back(position);
                    expectedWinners.push_back(expectedRest[position]);
                    expectedRest.erase(expectedRest.begin() + static_cast<std::ptrdiff_t>(position));
                }
                const std::string where = std::to_string(size) + " " + std::to_string(count) + " " +
                                          seed.hex().toStdString() + " " + std::to_string(seed.second());
                ASSERT_EQ(positions, expectedPositions) << where;
                ASSERT_EQ(winners, expectedWinners) << where;
                ASSERT_EQ(rest, expectedRest) << where;
            }
        }
    }
    // Counts that leave a large rest of 2^64 skip words, about half of them at 2^63 + 1.
    for (const quint64 m : {quint64(3), (quint64(1) << 63) + 1, ~quint64(0)}) {
        DrawSeed::Positions positions(Seed);
        Rafo1Words words(Seed);
        for (int i = 0; i < 64; ++i)
            ASSERT_EQ(positions.next(m), words.position(m)) << m << " pick " << i;
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
