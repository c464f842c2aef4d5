#include "app/DrawScope.h"
#include "app/DrawEngine.h"
#include "app/DrawSession.h"
#include "support/TestEvent.h"

#include <gtest/gtest.h>

TEST(DrawScope, ParsesTheDeclaredRangeOrSaysWhyNot)
{
    const struct
    {
        const wchar_t* text;
        bool ok;
        const char* reason;
    } cases[] = {
        {L"", true, ""},
        {L"  全部 ", true, ""},
        {L"包含 研发部", true, ""},
        {L"不含 管理层 且 包含 A1023", true, ""},
        {L"排除 去年中奖.txt 且 不含　管理层", true, ""},
        {L"排除 old winners.txt", true, ""},
        {L"研发部", false, "\"研发部\" 不是条件"},
        {L"包含", false, "\"包含\" 后面缺少内容"},
        {L"包含 研发 部", false, "只能有一个词"},
        {L"不含 管理层 且", false, "\"且\" 后面缺少条件"},
        {L"包含 A 且 且 不含 B", false, "\"且\" 不是条件"},
        {L"排除 ../data.txt", false, "必须在活动文件夹中"},
        {L"排除 Backimg\\x.txt", false, "必须在活动文件夹中"},
        {L"全部 且 包含 A", false, "\"全部\" 不是条件"},
    };
    for (const auto& c : cases) {
        DrawScope scope;
        QString reason;
        EXPECT_EQ(scope.parse(c.text, &reason), c.ok) << QString::fromWCharArray(c.text).toStdString();
        EXPECT_TRUE(reason.contains(QString::fromUtf8(c.reason)))
            << QString::fromWCharArray(c.text).toStdString() << ": " << reason.toStdString();
    }
}

// An excluded line matches the whole name, or, once words match and when
// it is a single word, one word of it: a list of names alone excludes them.
TEST(DrawScope, AdmitsByWholeWordsAndExcludedLists)
{
    DrawScope scope;
    ASSERT_TRUE(scope.parse(L"包含 研发部 且 不含 管理层 且 排除 vip.txt"));
    scope.setExcluded(L"vip.txt", {L"A1 张伟 研发部", L" 李娜 ", L"王 强"}, L"");
    const struct
    {
        const wchar_t* name;
        bool byLine;
        bool byWord;
    } cases[] = {
        {L"A1023 赵敏 研发部", true, true},
        {L"A1023\t赵敏\t研发部", true, true},
        {L"A1023　赵敏　研发部", true, true},
        {L"研发部", true, true},
        {L"A1023 赵敏 研发部二组", false, false},
        {L"A1023 赵敏 大研发部", false, false},
        {L"A1024 赵敏 研发部 管理层", false, false},
        {L"A1 张伟 研发部", false, false},
        {L"A1 张伟 研发部 ", true, true},
        {L"A1025 赵敏 市场部", false, false},
        {L"A7 李娜 研发部", true, false},
        {L"A7 李娜娜 研发部", true, true},
        {L"A8 王 研发部", true, true},
        {L"A9 张伟 研发部", true, true},
        {L"A2 \U00020000 研发部", true, true},
        {L"A2 \U00020000研发部", false, false},
    };
    // And the same for a name read in place from a pool, as UTF-16.
    for (const auto& c : cases) {
        const NamePool pool({c.name});
        std::u16string_view inPool;
        ASSERT_TRUE(pool.view(0, inPool));
        tstring scratch;
        scope.setExclusionMatch(DrawScope::ExclusionMatch::Line);
        EXPECT_EQ(scope.admits(c.name), c.byLine) << QString::fromWCharArray(c.name).toStdString();
        EXPECT_EQ(scope.admits(inPool, scratch), c.byLine) << QString::fromWCharArray(c.name).toStdString();
        scope.setExclusionMatch(DrawScope::ExclusionMatch::Word);
        EXPECT_EQ(scope.admits(c.name), c.byWord) << QString::fromWCharArray(c.name).toStdString();
        EXPECT_EQ(scope.admits(inPool, scratch), c.byWord) << QString::fromWCharArray(c.name).toStdString();
    }
    // A word UTF-16 cannot hold (a lone surrogate, as an undecodable byte may
    // become) is in no name read in place, though one holds U+FFFD there.
    DrawScope odd;
    ASSERT_TRUE(odd.parse(L"包含 研\xDC91部"));
    const NamePool replaced({L"A1 研\uFFFD部"});
    std::u16string_view inPool;
    tstring scratch;
    ASSERT_TRUE(replaced.view(0, inPool));
    EXPECT_FALSE(odd.admits(inPool, scratch));
    EXPECT_FALSE(odd.admits(replaced[0]));

    const std::vector<DrawScope::Exclusion> exclusions = scope.exclusions(
        NamePool({L"A7 李娜 研发部", L"A8 李娜 市场部", L"A1 张伟 研发部", L"A9 赵敏 研发部"}));
    ASSERT_EQ(exclusions.size(), 1u);
    EXPECT_EQ(exclusions[0].removed, 3u);
    EXPECT_EQ(exclusions[0].ambiguous, (std::vector<std::pair<tstring, std::size_t>>{{L"李娜", 2}}));
}

// The positions count among the admitted names in pool order: a range that
// admits everyone draws exactly what no range draws, and one that admits few
// takes them all.
TEST(DrawScope, TheRuleDrawsAmongTheAdmittedAndReplacesFromThemToo)
{
    std::vector<tstring> pool;
    for (int i = 0; i < 1000; ++i)
        pool.push_back(L"A" + std::to_wstring(i) + (i % 25 == 0 ? L" 管理层" : L" 员工"));
    AwardItem prize;
    prize.awardName = L"一等奖";
    prize.winnerCount = 50;
    const DrawSeed seed = DrawSeed::fresh();
    const auto drawWith = [&](const wchar_t* range, DrawRecord& record) {
        DrawEngine engine;
        engine.load(pool, {prize});
        DrawScope scope;
        EXPECT_TRUE(scope.parse(range));
        engine.StartDraw();
        const DrawEngine::StopOutcome outcome = engine.StopDraw(seed, record, &scope);
        return std::make_pair(outcome, engine.award(0));
    };
    DrawRecord plain;
    DrawRecord everyone;
    DrawRecord staff;
    DrawRecord managers;
    drawWith(L"", plain);
    drawWith(L"不含 无人", everyone);
    const auto [staffOutcome, staffPrize] = drawWith(L"不含 管理层", staff);
    EXPECT_EQ(everyone.winners, plain.winners);
    EXPECT_EQ(everyone.positions, plain.positions);
    EXPECT_EQ(everyone.admitted, 1000);
    EXPECT_EQ(plain.admitted, -1);
    EXPECT_EQ(staffOutcome, DrawEngine::StopOutcome::Drawn);
    EXPECT_EQ(staff.admitted, 960);
    EXPECT_EQ(staff.winners.size(), 50u);
    for (const tstring& winner : staff.winners)
        EXPECT_EQ(winner.find(L"管理层"), tstring::npos) << QString::fromStdWString(winner).toStdString();
    const auto [managerOutcome, managerPrize] = drawWith(L"包含 管理层 且 不含 A0", managers);
    EXPECT_EQ(managerOutcome, DrawEngine::StopOutcome::AllRemaining);
    EXPECT_EQ(managers.winners.size(), 39u);
    EXPECT_EQ(managers.winners.front(), L"A25 管理层") << "in pool order";
    EXPECT_EQ(managerPrize.admitted, 39);

    DrawEngine engine;
    engine.load({L"a 甲", L"b 乙", L"c 甲", L"d 乙"}, {prize});
    DrawScope onlyA;
    ASSERT_TRUE(onlyA.parse(L"包含 甲"));
    engine.StartDraw();
    DrawRecord record;
    engine.StopDraw(seed, record, &onlyA);
    EXPECT_EQ(engine.award(0).winners, (std::vector<tstring>{L"a 甲", L"c 甲"}));
    EXPECT_EQ(engine.ReplaceWinner(0, seed, record, &onlyA), DrawEngine::PoolEmpty)
        << "nobody of the range is left, though the pool is not empty";
    DrawScope onlyB;
    ASSERT_TRUE(onlyB.parse(L"包含 乙"));
    EXPECT_EQ(engine.ReplaceWinner(0, seed, record, &onlyB), DrawEngine::Replaced);
    EXPECT_EQ(record.admitted, 2);
}

// The operator hears of a range that cannot be drawn when the show opens and
// when the table changes, the start is refused, and nothing said is untrue.
TEST(DrawScope, TheShowTellsOnlyTrueSentencesAboutRanges)
{
    TestFolder folder;
    TestEvent::make(folder, 10, {3, 500, 2, 1});
    std::string people;
    for (int i = 0; i < 2000; ++i)
        people += "A" + std::to_string(i) + (i < 95 ? " 张伟 研发部\r\n" : " 员工 生产部\r\n");
    folder.write("data.txt", people);
    folder.write("AwardInfo.ini", folder.read("AwardInfo.ini") +
                                      "[AwardRange]\r\nRange0=排除 vip.txt\r\nRange1=包含 研发部\r\n"
                                      "Range2=包含 市场部\r\nRange3=研发部\r\n");
    const auto told = [](DrawSession& session) {
        std::vector<std::wstring> texts;
        for (const DrawSession::Notice& notice : session.takeNotices())
            texts.push_back(notice.text);
        return texts;
    };
    const std::wstring missing = L"无法读取排除名单: vip.txt (Prize0)";
    const std::wstring nobody = L"Prize2: 抽奖范围 \"包含 市场部\" 内没有可抽的人";
    const std::wstring malformed =
        L"抽奖范围有误: Prize3: \"研发部\" 不是条件: 条件以 包含, 不含, 排除 或 已签到 开头";
    DrawSession session(folder.event());
    session.open(1920, 1080);
    EXPECT_EQ(told(session), (std::vector<std::wstring>{missing + L"\n" + nobody + L"\n" + malformed}));
    EXPECT_EQ(session.start(), DrawEngine::StartOutcome::Ignored);
    EXPECT_EQ(told(session), (std::vector<std::wstring>{missing}));

    // A list of names alone excludes them, and the console hears what it did.
    folder.write("vip.txt", "张伟\r\nA1999\r\n");
    AwardItem renamed = session.awards()[0];
    session.changePrize(0, renamed);
    EXPECT_EQ(told(session), std::vector<std::wstring>{}) << "what was told is not told again";
    EXPECT_EQ(session.exclusionReport(), QStringLiteral("Prize0: vip.txt 去掉 96 人, \"张伟\" 对应 95 人"));
    EXPECT_EQ(session.start(), DrawEngine::StartOutcome::Cycling);
    session.stop();
    for (const tstring& winner : session.engine().award(0).winners)
        EXPECT_TRUE(winner.find(L"张伟") == tstring::npos && winner != L"A1999 员工 生产部");
    const std::string journal = folder.read("Journal/journal.jsonl");
    EXPECT_NE(journal.find("\"admitted\":1904"), std::string::npos);
    EXPECT_NE(journal.find("\"exclusionMatch\":\"word\""), std::string::npos);

    // 95 admitted for 500 places: all of them win, and nobody says the whole pool did.
    EXPECT_EQ(session.start(), DrawEngine::StartOutcome::Cycling);
    session.stop();
    EXPECT_EQ(told(session), std::vector<std::wstring>{});
    EXPECT_EQ(session.engine().award(1).winners.size(), 95u);
    EXPECT_GT(session.engine().pool().size(), 1800u);

    // Nobody in the range: the start is refused, the names never run.
    EXPECT_EQ(session.start(), DrawEngine::StartOutcome::Ignored);
    EXPECT_FALSE(session.engine().running());
    EXPECT_EQ(told(session), (std::vector<std::wstring>{nobody}));
    session.close();
}
