#include "app/WinnersLedger.h"
#include "app/DrawEngine.h"
#include "support/TestFiles.h"

#include <functional>
#include <gtest/gtest.h>

// The prize desk's rows are built a prize at a time as the show goes; after
// every kind of change they are what building them whole from the engine
// gives, and the table on disk holds them.
TEST(WinnersLedger, RowsBuiltPrizeByPrizeEqualThoseBuiltWhole)
{
    using Step = std::function<bool(DrawEngine&, WinnersLedger&)>;
    const Step draw = [](DrawEngine& engine, WinnersLedger& ledger) {
        engine.StartDraw();
        DrawRecord record;
        engine.StopDraw(DrawSeed::fresh(), record);
        return ledger.note(record, engine, QStringLiteral("ABCD-0000-0000-0001"), 1700000000);
    };
    const Step replace = [](DrawEngine& engine, WinnersLedger& ledger) {
        const tstring absent = engine.award(engine.current()).winners[0];
        DrawRecord record;
        engine.ReplaceWinner(0, DrawSeed::fresh(), record);
        return ledger.note(record, engine, QStringLiteral("ABCD-0000-0000-0002"), 1700000060, absent);
    };
    const Step rename = [](DrawEngine& engine, WinnersLedger& ledger) {
        AwardItem texts = engine.award(0);
        texts.awardName += L"*";
        engine.changePrize(0, texts);
        return ledger.follow(engine);
    };
    const Step remove = [](DrawEngine& engine, WinnersLedger& ledger) {
        engine.removePrize(0);
        return ledger.follow(engine);
    };
    struct Case
    {
        const char* what;
        std::vector<Step> steps;
    } cases[] = {
        {"draws", {draw, draw, draw}},
        {"a replacement in the last prize", {draw, draw, replace, replace}},
        {"a finished prize renamed", {draw, draw, rename, draw}},
        {"a finished prize removed", {draw, draw, remove, draw}},
    };
    for (const Case& c : cases) {
        TestFolder folder;
        DrawEngine engine;
        std::vector<tstring> pool;
        for (int i = 0; i < 40; ++i)
            pool.push_back(L"p" + std::to_wstring(i));
        std::vector<AwardItem> awards(4);
        for (size_t i = 0; i < awards.size(); ++i) {
            awards[i].awardName = L"Prize" + std::to_wstring(i);
            awards[i].winnerCount = int(5 - i);
        }
        engine.load(pool, awards);
        WinnersLedger ledger(folder.event());
        for (const Step& step : c.steps) {
            EXPECT_TRUE(step(engine, ledger)) << c.what;
            EXPECT_EQ(WinnersTable::csv(ledger.rows()), WinnersTable::csv(ledger.rowsAfresh(engine)))
                << c.what;
        }
        ASSERT_TRUE(ledger.finish()) << c.what;
        EXPECT_EQ(folder.read(WinnersTable::CsvFile), WinnersTable::csv(ledger.rows())) << c.what;
    }
}
