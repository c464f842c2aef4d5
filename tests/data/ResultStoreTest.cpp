#include "data/ResultStore.h"
#include "app/DrawEngine.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<tstring>;

class ResultStoreTest : public ::testing::Test
{
protected:
    // The first prize finished with these winners, the rest of the pool left.
    void finished(Names pool, Names winners, int prizes)
    {
        setUp(std::move(pool), prizes);
        std::vector<AwardItem> awards = engine.awards();
        awards[0].winners = std::move(winners);
        engine.setPrizes(awards, 0);
    }

    void setUp(Names pool, int prizes)
    {
        std::vector<AwardItem> awards(static_cast<size_t>(prizes));
        for (AwardItem& award : awards)
            award.winnerCount = 2;
        engine.load(std::move(pool), awards);
    }

    TestFolder folder;
    DrawEngine engine;
};

} // namespace

TEST_F(ResultStoreTest, RestoresWinnersAndTakesThemOutOfThePool)
{
    struct Case
    {
        const char* what;
        std::string store;
        Names pool;
        int current;
        std::vector<Names> winners;
        Names poolAfter;
    } cases[] = {
        {"nothing stored", "", {L"a", L"b"}, -1, {{}, {}, {}}, {L"a", L"b"}},
        {"count of 0", "[AwardResult]\r\nCnt=0\r\nItme0=a\r\n", {L"a"}, -1, {{}, {}, {}}, {L"a"}},
        {"two prizes",
         "[AwardResult]\r\nCnt=2\r\nItme0=b|d\r\nItme1=a\r\n",
         {L"a", L"b", L"c", L"d"},
         1,
         {{L"b", L"d"}, {L"a"}, {}},
         {L"c"}},
        {"equal names: only the first goes",
         "[AwardResult]\r\nCnt=1\r\nItme0=x\r\n",
         {L"x", L"y", L"x"},
         0,
         {{L"x"}, {}, {}},
         {L"y", L"x"}},
        {"winner no longer listed",
         "[AwardResult]\r\nCnt=1\r\nItme0=gone|a\r\n",
         {L"a", L"b"},
         0,
         {{L"gone", L"a"}, {}, {}},
         {L"b"}},
        {"empty value: no winners",
         "[AwardResult]\r\nCnt=2\r\nItme0=\r\nItme1=b\r\n",
         {L"a", L"b"},
         1,
         {{}, {L"b"}, {}},
         {L"a"}},
        {"count beyond the table",
         "[AwardResult]\r\nCnt=9\r\nItme0=a\r\nItme3=b\r\n",
         {L"a", L"b"},
         8,
         {{L"a"}, {}, {}},
         {L"b"}},
        {"empty pieces are kept",
         "[AwardResult]\r\nCnt=1\r\nItme0=a||b\r\n",
         {L"a", L"", L"b"},
         0,
         {{L"a", L"", L"b"}, {}, {}},
         {}},
        {"a bar in a name is stored full-width and comes back as that participant",
         "[AwardResult]\r\nCnt=1\r\nItme0=x|A\xEF\xBD\x9C"
         "B|y\r\n",
         {L"A|B", L"x", L"A", L"y"},
         0,
         {{L"x", L"A|B", L"y"}, {}, {}},
         {L"A"}},
        {"bars separate winners, even where a participant's name would join them",
         "[AwardResult]\r\nCnt=1\r\nItme0=A|B\r\n",
         {L"A|B", L"A", L"B", L"C"},
         0,
         {{L"A", L"B"}, {}, {}},
         {L"A|B", L"C"}},
        {"a full-width bar that is part of a name matches that name first",
         "[AwardResult]\r\nCnt=1\r\nItme0=A\xEF\xBD\x9C"
         "B|A\xEF\xBD\x9C"
         "B|A\xEF\xBD\x9C"
         "B\r\n",
         {L"A|B", L"A\uFF5CB"},
         0,
         {{L"A\uFF5CB", L"A|B", L"A\uFF5CB"}, {}, {}},
         {}},
    };
    for (const Case& c : cases) {
        folder.write("AwardResult.ini", c.store);
        setUp(c.pool, 3);
        RestoreResults(folder.event(), engine);
        EXPECT_EQ(engine.current(), c.current) << c.what;
        EXPECT_FALSE(engine.running()) << c.what;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(engine.award(i).winners, c.winners[size_t(i)]) << c.what << " prize " << i;
            EXPECT_EQ(engine.award(i).drawn, 0) << c.what;
        }
        EXPECT_EQ(engine.pool().names(), c.poolAfter) << c.what;
    }
}

TEST_F(ResultStoreTest, StoresTheFinishedPrizesInOneWrite)
{
    struct Case
    {
        const char* what;
        int current;
        bool running;
        std::string store;
    } cases[] = {
        {"before the first start", -1, false, "; kept\r\n"},
        {"third of five cycling", 2, true, "; kept\r\n[AwardResult]\r\nCnt=2\r\nItme0=p0|p1\r\nItme1=\r\n"},
        {"third of five shown", 2, false,
         "; kept\r\n[AwardResult]\r\nCnt=3\r\nItme0=p0|p1\r\nItme1=\r\nItme2=p2\r\n"},
        {"after the result screen", 5, false,
         "; kept\r\n[AwardResult]\r\nCnt=6\r\nItme0=p0|p1\r\nItme1=\r\nItme2=p2\r\nItme3=\r\nItme4=\r\n"},
    };
    for (const Case& c : cases) {
        folder.write("AwardResult.ini", "[Old]\r\nx=1\r\n; kept\r\n[AwardResult]\r\nCnt=7\r\nItme0=z\r\n");
        std::vector<AwardItem> awards(5);
        awards[0].winners = {L"p0", L"p1"};
        awards[2].winners = {L"p2"};
        engine.load(NamePool(), {});
        engine.setPrizes(awards, c.running ? c.current - 1 : c.current);
        if (c.running)
            engine.StartDraw();
        SaveResults(folder.event(), engine);
        EXPECT_EQ(folder.read("AwardResult.ini"), c.store) << c.what;
    }
}

TEST_F(ResultStoreTest, AContinuedStoreKeepsWhatThisRunDoesNotKnow)
{
    const std::string stored = "[Old]\r\nx=1\r\n[AwardResult]\r\nCnt = 4\r\nItme0=a|b\r\nItme1=\r\n"
                               "Itme2=c\r\nItme3=\xD5\xC5\xC8\xFD\r\n";
    struct Case
    {
        const char* what;
        int prizes;
        int stops;
        bool redraw;
        std::string after;
    } cases[] = {
        {"no prize table loaded", 0, 0, false, stored},
        {"a table shorter than the count", 2, 0, false, stored},
        {"every stored prize in the table", 4, 0, false, stored},
        {"a new prize drawn adds to the store in place", 5, 1, false,
         "[Old]\r\nx=1\r\n[AwardResult]\r\nCnt=5\r\nItme0=a|b\r\nItme1=\r\nItme2=c\r\n"
         "Itme3=\xD5\xC5\xC8\xFD\r\nItme4=p|q\r\n"},
        {"a redraw replaces the store", 5, 1, true, "[AwardResult]\r\nCnt=1\r\nItme0=p|q\r\n"},
    };
    for (const Case& c : cases) {
        folder.write("AwardResult.ini", stored);
        setUp({L"a", L"b", L"c", L"p", L"q", L"张三"}, c.prizes);
        RestoreResults(folder.event(), engine);
        if (c.redraw)
            setUp({L"p", L"q"}, c.prizes);
        for (int i = 0; i < c.stops; ++i) {
            // p and q are all the pool holds now: the prize takes them both.
            DrawRecord record;
            engine.StartDraw();
            engine.StopDraw(DrawSeed::fresh(), record);
            KeepResults(folder.event(), engine);
        }
        SaveResults(folder.event(), engine);
        EXPECT_EQ(folder.read("AwardResult.ini"), c.after) << c.what;
    }
}

TEST_F(ResultStoreTest, EveryWinnerComesBackExactly)
{
    struct Case
    {
        const char* what;
        std::string store;
        Names winners;
        std::string storedStart;
    } cases[] = {
        {"names holding bars", "", {L"A|B", L"|"}, "[AwardResult]"},
        {"a name code page 936 cannot hold turns a GBK store into UTF-16LE",
         "; \xD5\xC5\xC8\xFD\r\n",
         {L"\u00DF\U0001F600", L"张三"},
         "\xFF\xFE;\0 \0\x20\x5F\x09\x4E\r\0\n\0[\0A\0"_bytes},
    };
    for (const Case& c : cases) {
        folder.write("AwardResult.ini", c.store);
        Names pool = c.winners;
        pool.insert(pool.end(), {L"A", L"B", L"C"});
        finished({L"A", L"B", L"C"}, c.winners, 1);
        SaveResults(folder.event(), engine);
        EXPECT_EQ(folder.read("AwardResult.ini").rfind(c.storedStart, 0), 0u) << c.what;
        setUp(pool, 1);
        RestoreResults(folder.event(), engine);
        EXPECT_EQ(engine.award(0).winners, c.winners) << c.what;
        EXPECT_EQ(engine.pool().names(), (Names{L"A", L"B", L"C"})) << c.what;
    }
}

TEST_F(ResultStoreTest, AStoreOfAnyLengthComesBackWhole)
{
    Names pool;
    for (int i = 0; i < 3000; ++i)
        pool.emplace_back(L"参加者" + std::to_wstring(i));
    folder.write("AwardResult.ini", "");
    finished(Names(pool.begin() + 2000, pool.end()), Names(pool.begin(), pool.begin() + 2000), 2);
    SaveResults(folder.event(), engine);

    setUp(pool, 2);
    RestoreResults(folder.event(), engine);
    EXPECT_EQ(engine.award(0).winners, Names(pool.begin(), pool.begin() + 2000));
    EXPECT_EQ(engine.pool().names(), Names(pool.begin() + 2000, pool.end()));
}

TEST_F(ResultStoreTest, AMissingStoreIsReportedAndNeverCreated)
{
    MessageRecorder recorder;
    setUp({L"a"}, 1);
    RestoreResults(folder.event(), engine);
    finished({L"a"}, {}, 1);
    KeepResults(folder.event(), engine);
    SaveResults(folder.event(), engine);
    EXPECT_EQ(engine.pool().names(), Names{L"a"});
    EXPECT_FALSE(ResultStoreExists(folder.event()));
    EXPECT_EQ(recorder.texts(),
              (std::vector<std::wstring>{L"AwardResult.ini", L"AwardResult.iniFile unexist",
                                         L"AwardResult.ini", L"AwardResult.iniFile unexist"}));
}
