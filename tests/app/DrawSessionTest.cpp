#include "app/DrawSession.h"
#include "areas/AreaFont.h"
#include "data/DrawJournal.h"
#include "data/JournalVerifier.h"
#include "data/ResultExport.h"
#include "platform/Clock.h"
#include "support/MessageRecorder.h"
#include "support/TestEvent.h"

#include <QFile>
#include <QFontMetrics>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using Notices = std::vector<std::wstring>;

std::vector<QJsonObject> journal(const TestFolder& folder)
{
    std::vector<QJsonObject> entries;
    for (const QString& line :
         QString::fromUtf8(QByteArray::fromStdString(folder.read("Journal/journal.jsonl")))
             .split('\n', Qt::SkipEmptyParts))
        entries.push_back(QJsonDocument::fromJson(line.toUtf8()).object());
    return entries;
}

QString types(const std::vector<QJsonObject>& entries)
{
    QStringList list;
    for (const QJsonObject& entry : entries)
        list << entry.value("type").toString();
    return list.join(", ");
}

// A session of a test event, and what it says to its views, in order.
class DrawSessionTest : public ::testing::Test
{
protected:
    void SetUp() override { Clock::setFixed(1700000000); }
    void TearDown() override { Clock::setFixed(std::nullopt); }

    void open(int participants, std::initializer_list<int> winnerCounts)
    {
        TestEvent::make(folder, participants, winnerCounts);
        start();
    }

    // The program starting again in the same folder.
    void start()
    {
        session = std::make_unique<DrawSession>(folder.event());
        QObject::connect(session.get(), &DrawSession::cycleStarted, [this] { events << "cycling"; });
        QObject::connect(session.get(), &DrawSession::cycleStopped, [this] { events << "still"; });
        QObject::connect(session.get(), &DrawSession::prizeDrawn,
                         [this](int prize) { events << QStringLiteral("drawn %1").arg(prize); });
        QObject::connect(session.get(), &DrawSession::resultScreenRequested, [this] { events << "results"; });
        QObject::connect(session.get(), &DrawSession::soundRequested, [this](const QString& path, int mode) {
            events << QStringLiteral("%1 %2").arg(path).arg(mode);
        });
        session->open(1920, 1080);
        events.clear();
    }

    void draw()
    {
        session->start();
        session->stop();
    }

    QString takeEvents() { return std::exchange(events, {}).join(", "); }

    Notices notices()
    {
        Notices texts;
        for (const DrawSession::Notice& notice : session->takeNotices())
            texts.push_back(notice.text);
        return texts;
    }

    TestFolder folder;
    std::unique_ptr<DrawSession> session;
    QStringList events;
};

} // namespace

TEST_F(DrawSessionTest, TellsItsViewsWhatToPlayAndShowInOrderAndStoresEachPrizeAtOnce)
{
    open(10, {3, 1});
    session->start();
    EXPECT_EQ(takeEvents(), "Music\\start.mp3 2, cycling");
    session->start();
    EXPECT_EQ(takeEvents(), "") << "a start while names cycle does nothing";
    session->stop();
    EXPECT_EQ(takeEvents(), "still, Music\\stop.wav 1, drawn 0");
    EXPECT_NE(folder.read("AwardResult.ini").find("Cnt=1\r\n"), std::string::npos);
    draw();
    EXPECT_NE(folder.read("Result.txt").find("Prize1\r\nGift1\r\n"), std::string::npos)
        << "the last prize exports";
    takeEvents();
    session->startAction();
    EXPECT_EQ(takeEvents(), "Music\\start.mp3 2, results");
    session->startAction();
    EXPECT_EQ(takeEvents(), "results") << "and again, without the start music";
    session->stop();
    EXPECT_EQ(takeEvents(), "") << "a stop while nothing cycles does nothing";
    EXPECT_TRUE(notices().empty());
    session->close();
    EXPECT_EQ(types(journal(folder)), "start, stop, stop, result screen, result screen, exit");
}

TEST_F(DrawSessionTest, TheLastPrizeExportsOnceHoweverItIsCompletedAndThePoolsEndIsTold)
{
    struct Case
    {
        const char* what;
        int participants;
        bool readOnly;
        Notices told;
        bool exported;
    } cases[] = {
        {"a random draw", 10, false, {}, true},
        {"everybody left", 5, false, {DrawSession::AllRemainingWinMessage}, true},
        {"more than are left", 4, false, {DrawSession::AllRemainingWinMessage}, true},
        {"nobody left",
         2,
         false,
         {DrawSession::AllRemainingWinMessage, DrawSession::PoolEmptyMessage},
         false},
        {"an export file that cannot be written, tried again at exit", 10, true, {ResultExportFailure}, true},
    };
    for (const Case& c : cases) {
        TestFolder event;
        TestEvent::make(event, c.participants, {2, 3});
        const QString exportFile = event.filePath("Result.txt");
        if (c.readOnly) {
            event.write("Result.txt", "");
            QFile::setPermissions(exportFile, QFile::ReadOwner);
        }
        DrawSession run(event.event());
        run.open(1920, 1080);
        for (int i = 0; i < 2; ++i) {
            run.start();
            run.stop();
        }
        Notices told;
        for (const DrawSession::Notice& notice : run.takeNotices())
            told.push_back(notice.text);
        EXPECT_EQ(told, c.told) << c.what;
        QFile::setPermissions(exportFile, QFile::ReadOwner | QFile::WriteOwner);
        run.close();
        const std::string exported = event.read("Result.txt");
        EXPECT_EQ(exported.find("Title\r\n") != std::string::npos, c.exported) << c.what;
        EXPECT_EQ(exported.find("Title\r\n"), exported.rfind("Title\r\n")) << c.what;
    }
}

TEST_F(DrawSessionTest, TheJournalRecordsTheWholeEventAndEveryDrawReplays)
{
    open(10, {3, 2, 1});
    draw();
    draw();
    EXPECT_EQ(session->replace(0), DrawEngine::Replaced);
    session->close();
    Clock::setFixed(1700000100);
    start();
    draw();
    session->startAction();
    session->close();

    const std::vector<QJsonObject> entries = journal(folder);
    const QList<QByteArray> lines =
        QByteArray::fromStdString(folder.read("Journal/journal.jsonl")).split('\n');
    EXPECT_EQ(types(entries), "start, stop, stop, replace, exit, start, stop, result screen, exit");
    EXPECT_EQ(entries[0].value("participants").toInt(), 10);
    EXPECT_EQ(entries[0].value("prev").toString(), "");
    EXPECT_EQ(entries[1].value("prev").toString(), DrawJournal::lineHash(lines[0]));
    EXPECT_EQ(entries[1].value("rule").toString(), "rafo-1");
    EXPECT_TRUE(DrawSeed::fromHex(entries[1].value("seed").toString()));
    EXPECT_NE(entries[1].value("seed"), entries[2].value("seed"));
    EXPECT_EQ(entries[1].value("winners").toArray().size(), 3);
    EXPECT_EQ(entries[3].value("absent").toString(), entries[2].value("winners").toArray()[0].toString());
    EXPECT_EQ(entries[5].value("storedCount").toInt(), 2) << "the restart restored two prizes";
    EXPECT_EQ(entries[5].value("poolSize").toInt(), 10 - 3 - 2 - 1) << "the absent winner stays out";
    EXPECT_TRUE(QFile::exists(folder.filePath(
        "Journal/" + DrawJournal::keptListName(entries[0].value("participantsSha256").toString()))));

    // The fingerprints the screen showed are those of the stop and replacement
    // lines, and the result screen's of its own line.
    JournalVerifier::Options photographed;
    photographed.fingerprints = {DrawJournal::fingerprint(lines[1]), DrawJournal::fingerprint(lines[3]),
                                 DrawJournal::fingerprint(lines[6]), DrawJournal::fingerprint(lines[7])};
    EXPECT_EQ(session->fingerprint(), photographed.fingerprints[2]);
    EXPECT_EQ(session->resultFingerprint(), photographed.fingerprints[3]);
    const JournalVerifier::Report report = JournalVerifier::verify(folder.event(), photographed);
    ASSERT_EQ(report.exitCode, JournalVerifier::Verified) << report.lines.join('\n').toStdString();
    ASSERT_EQ(report.lines.size(), 5);
    EXPECT_EQ(report.lines[0], QString::fromUtf8("第 1 项 Prize0: 3 名, 种子 %1, 记录 %2, 可复现")
                                   .arg(entries[1].value("seed").toString(), photographed.fingerprints[0]));
    EXPECT_TRUE(report.lines[2].contains(QString::fromUtf8("补抽")));

    const std::string store = folder.read("AwardResult.ini");
    const std::string log = folder.read("Journal/journal.jsonl");
    const QString list =
        "Journal/" + DrawJournal::keptListName(entries[0].value("participantsSha256").toString());
    const std::string names = folder.read(list);
    const auto replaced = [](std::string text, const std::string& from, const std::string& to) {
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::string firstWinner = entries[1].value("winners").toArray()[0].toString().toStdString();
    struct Edit
    {
        const char* what;
        std::function<void()> edit;
        const char* reported;
    };
    const Edit edits[] = {
        {"a winner in the store",
         [&] { folder.write("AwardResult.ini", replaced(store, firstWinner, "nobody")); },
         "第 1 项 Prize0: AwardResult.ini"},
        {"a seed",
         [&] {
             const std::string seed = entries[1].value("seed").toString().toStdString();
             folder.write("Journal/journal.jsonl",
                          replaced(log, seed, (seed[0] == 'a' ? "b" : "a") + seed.substr(1)));
         },
         "不可复现"},
        {"a line left out",
         [&] { folder.write("Journal/journal.jsonl", replaced(log, lines[4].toStdString() + "\n", "")); },
         "第 5 行: 与上一行接不上"},
        {"a fingerprint nobody recorded", [&] { photographed.fingerprints << "0000-1111-2222-3333"; },
         "记录 0000-1111-2222-3333 不是"},
        {"a list", [&] { folder.write(list, replaced(names, "p1\n", "p11\n")); }, "已被改动"},
        {"a missing list", [&] { QFile::remove(folder.filePath(list)); }, "缺少名单"},
    };
    for (const Edit& e : edits) {
        photographed.fingerprints.clear();
        e.edit();
        const JournalVerifier::Report edited = JournalVerifier::verify(folder.event(), photographed);
        EXPECT_EQ(edited.exitCode, JournalVerifier::Faulty) << e.what;
        EXPECT_TRUE(edited.lines.join('\n').contains(QString::fromUtf8(e.reported)))
            << e.what << ":\n"
            << edited.lines.join('\n').toStdString();
        folder.write("AwardResult.ini", store);
        folder.write("Journal/journal.jsonl", log);
        folder.write(list, names);
    }
}

TEST_F(DrawSessionTest, AStoreThatCannotBeWrittenKeepsWhatItHeldAndTheJournalExplainsTheDrawAgain)
{
    open(10, {3, 2, 1});
    const QString store = folder.filePath("AwardResult.ini");
    draw();
    const std::string stored = folder.read("AwardResult.ini");
    MessageRecorder recorder;
    QFile::setPermissions(store, QFile::ReadOwner);
    draw();
    session->close();
    EXPECT_EQ(recorder.texts(), std::vector<std::wstring>{L"无法写入文件:.\\AwardResult.ini"}) << "told once";
    EXPECT_EQ(folder.read("AwardResult.ini"), stored);
    // A kill in the middle of a line: the next start cuts it off and says so.
    folder.write("Journal/journal.jsonl", folder.read("Journal/journal.jsonl") + "{\"type\":\"stop\",\"pri");

    QFile::setPermissions(store, QFile::ReadOwner | QFile::WriteOwner);
    start();
    EXPECT_EQ(types(journal(folder)), "start, stop, stop, store failed, store failed, exit, torn, start");
    EXPECT_EQ(session->engine().current(), 0) << "the first prize is back, the second is drawn again";
    EXPECT_EQ(session->engine().pool().size(), 7u);
    draw();
    session->close();
    // The second prize's first draw was shown, then lost: it is told as discarded.
    JournalVerifier::Report report = JournalVerifier::verify(folder.event());
    const QString told = report.lines.join('\n');
    EXPECT_EQ(report.exitCode, JournalVerifier::Discarded) << told.toStdString();
    EXPECT_TRUE(told.contains(QString::fromUtf8("没有写完, 已去掉 (19 字节)")));
    EXPECT_TRUE(told.contains(QString::fromUtf8("第 8 行: 作废了第 3 行的抽取: 第 2 项 Prize1, 种子 %1")
                                  .arg(journal(folder)[2].value("seed").toString())));
    EXPECT_TRUE(
        told.contains(QString::fromUtf8("原因: 重新启动时结果丢失 (AwardResult.ini 写入失败, 见第 5 行)")));

    // Lines taken out of the journal break its chain.
    QString log = QString::fromStdString(folder.read("Journal/journal.jsonl"));
    log.remove(QRegularExpression("[^\n]*store failed[^\n]*\n"));
    folder.write("Journal/journal.jsonl", log.toStdString());
    report = JournalVerifier::verify(folder.event());
    EXPECT_EQ(report.exitCode, JournalVerifier::Faulty);
    EXPECT_TRUE(report.lines.join('\n').contains(QString::fromUtf8("与上一行接不上")));
}

// A journal that takes no line (its disk full) holds them, in order and
// chained, and writes them before the next entry: the show goes on, told
// once, and a draw shows its fingerprint only once its line is on disk. Only
// a kill while lines are held loses them, and the checker then says so.
TEST_F(DrawSessionTest, AJournalThatCannotBeWrittenHoldsItsLinesUntilItCan)
{
    open(10, {2, 1, 1});
    const QString path = folder.filePath("Journal/journal.jsonl");
    const auto writable = [&path](bool on) {
        QFile::setPermissions(path, on ? QFile::ReadOwner | QFile::WriteOwner : QFile::ReadOwner);
    };
    writable(false);
    draw();
    EXPECT_EQ(notices(), Notices{L"无法写入抽奖记录:Journal/journal.jsonl"});
    EXPECT_TRUE(session->fingerprint().isEmpty());
    EXPECT_NE(folder.read("AwardResult.ini").find("Cnt=1"), std::string::npos);
    writable(true);
    draw();
    EXPECT_EQ(types(journal(folder)), "start, stop, stop");
    const QByteArray last =
        QByteArray::fromStdString(folder.read("Journal/journal.jsonl")).trimmed().split('\n').last();
    EXPECT_EQ(session->fingerprint(), DrawJournal::fingerprint(last));
    EXPECT_TRUE(notices().empty()) << "told once";
    session->close();
    JournalVerifier::Report report = JournalVerifier::verify(folder.event());
    EXPECT_EQ(report.exitCode, JournalVerifier::Verified) << report.lines.join('\n').toStdString();

    start();
    writable(false);
    draw();
    session.reset();
    writable(true);
    start();
    session->close();
    report = JournalVerifier::verify(folder.event());
    EXPECT_EQ(report.exitCode, JournalVerifier::Discarded) << report.lines.join('\n').toStdString();
    EXPECT_TRUE(report.lines.join('\n').contains(QString::fromUtf8("1 名中奖者不是本记录中的抽取")));
}

// After a restart the corner shows the last draw that stands: none after a redraw.
TEST_F(DrawSessionTest, TheCornerShowsTheLastDrawThatStandsAfterARestart)
{
    open(10, {3, 2});
    draw();
    const QString shown = session->fingerprint();
    session->close();
    start();
    EXPECT_EQ(session->fingerprint(), shown);
    EXPECT_FALSE(shown.isEmpty());
    session->restart("redraw");
    EXPECT_TRUE(session->fingerprint().isEmpty());
    session->close();
    start();
    EXPECT_TRUE(session->fingerprint().isEmpty());
}

// The seed comes from the system's random source, not the clock: the same
// event under the same frozen clock draws other winners each time.
TEST_F(DrawSessionTest, TwoRunsOfOneEventUnderOneClockDrawDifferentWinners)
{
    std::vector<std::vector<tstring>> winners;
    for (int run = 0; run < 2; ++run) {
        TestFolder event;
        TestEvent::make(event, 1000, {3});
        DrawSession again(event.event());
        again.open(1920, 1080);
        again.start();
        again.stop();
        winners.push_back(again.engine().award(0).winners);
    }
    EXPECT_NE(winners[0], winners[1]);
}

// The wall's pages belong to the session: the clicker's PageDown turns them
// and on the last one (seen for a second) does what Space does; PageUp goes
// back; the timer lets them go round; an absent winner on any page is replaced
// in that cell.
TEST_F(DrawSessionTest, ThePagesOfABigPrizeTurnByKeyAndByTimerAndTheClickerRunsTheShow)
{
    open(2000, {1000, 5});
    Clock::setFixedMonotonic(0);
    session->pageDown();
    EXPECT_TRUE(session->engine().running()) << "nothing shown yet: PageDown starts";
    session->pageDown();
    EXPECT_FALSE(session->engine().running()) << "and stops";
    const WinnerWall& wall = session->wall();
    ASSERT_EQ(wall.mode(), WinnerWall::Mode::Grid);
    ASSERT_GE(wall.pages(), 3);
    session->pageUp();
    EXPECT_EQ(session->page(), 0) << "nothing before the first page";
    for (int page = 1; page < wall.pages(); ++page) {
        session->pageDown();
        EXPECT_EQ(session->page(), page);
    }
    Clock::setFixedMonotonic(999);
    session->pageDown();
    EXPECT_EQ(session->engine().current(), 0) << "the last page, not yet seen for a second";
    session->pageUp();
    EXPECT_EQ(session->page(), wall.pages() - 2);

    const int first = wall.firstOn(session->page());
    const QPoint middle = wall.cell(first + 1).toQRect().center();
    const tstring absent = session->engine().award(0).winners[size_t(first + 1)];
    ASSERT_EQ(session->replaceableRowAt(middle.x(), middle.y()), first + 1);
    EXPECT_EQ(session->replace(first + 1), DrawEngine::Replaced);
    EXPECT_NE(session->engine().award(0).winners[size_t(first + 1)], absent)
        << "the replacement takes that cell";
    EXPECT_EQ(session->page(), wall.pages() - 2) << "the page stays";

    for (int turn = 0; turn < 2; ++turn)
        session->turnPage();
    EXPECT_EQ(session->page(), 0) << "the pages go round";
    Clock::setFixedMonotonic(5000);
    while (session->page() + 1 < session->wall().pages())
        session->pageDown();
    Clock::setFixedMonotonic(6000);
    session->pageDown();
    EXPECT_EQ(session->engine().current(), 1);
    EXPECT_TRUE(session->engine().running()) << "a second on the last page: the next prize starts";
    Clock::setFixedMonotonic(std::nullopt);
}

// A rehearsal open beside the show: each session reads and writes its own
// folder only, whatever the process's working folder is.
TEST(DrawSessions, TwoEventsSideBySideKeepToTheirOwnFolders)
{
    Clock::setFixed(1700000000);
    TestFolder show;
    TestFolder rehearsal;
    TestEvent::make(show, 10, {3});
    TestEvent::make(rehearsal, 10, {2});
    DrawSession drawn(show.event());
    DrawSession waiting(rehearsal.event());
    drawn.open(1920, 1080);
    waiting.open(1920, 1080);
    drawn.start();
    drawn.stop();
    drawn.close();
    waiting.close();
    EXPECT_EQ(waiting.engine().current(), -1);
    EXPECT_NE(show.read("AwardResult.ini").find("Cnt=1\r\n"), std::string::npos);
    EXPECT_EQ(rehearsal.read("AwardResult.ini").find("Cnt=1\r\n"), std::string::npos);
    EXPECT_EQ(types(journal(show)), "start, stop, exit");
    EXPECT_EQ(types(journal(rehearsal)), "start, exit");
    EXPECT_EQ(JournalVerifier::verify(show.event()).exitCode, JournalVerifier::Verified);
    Clock::setFixed(std::nullopt);
}

// A prize's own start loop and stop sound play when they are there; a
// missing key or file falls back to the event's own, and the sounds stay
// with their prize when rows move.
TEST_F(DrawSessionTest, EachPrizePlaysItsOwnMusicOrTheEventsOwn)
{
    TestEvent::make(folder, 10, {1, 1, 1});
    folder.write("Music/gala.mp3", "not decoded here");
    folder.write("Music/fanfare.wav", "not decoded here");
    folder.write("AwardInfo.ini", folder.read("AwardInfo.ini") +
                                      "[AwardMusic]\r\nStart0=Music\\gala.mp3\r\nStop0=Music\\missing.wav\r\n"
                                      "Stop1=Music\\fanfare.wav\r\nStart2=\r\n");
    start();
    session->movePrize(2, 1);
    EXPECT_NE(folder.read("AwardInfo.ini").find("Stop2=Music\\fanfare.wav"), std::string::npos)
        << folder.read("AwardInfo.ini");
    takeEvents();
    const char* heard[] = {"Music\\gala.mp3 2, cycling, still, Music\\stop.wav 1, drawn 0",
                           "Music\\start.mp3 2, cycling, still, Music\\stop.wav 1, drawn 1",
                           "Music\\start.mp3 2, cycling, still, Music\\fanfare.wav 1, drawn 2"};
    for (const char* expected : heard) {
        draw();
        EXPECT_EQ(takeEvents(), expected);
    }
}

// A prize shown one at a time: the stop records every winner at once; each
// press brings the next, landing for a moment first, a press while one
// lands does nothing, and once all are shown the next press goes on.
TEST_F(DrawSessionTest, APrizeShownOneAtATimeBringsEachWinnerOnAPress)
{
    TestEvent::make(folder, 10, {1, 3});
    folder.write("AwardInfo.ini",
                 folder.read("AwardInfo.ini") + "[AwardReveal]\r\nReveal0=1\r\nReveal1=1\r\n");
    start();
    QStringList landed;
    QObject::connect(session.get(), &DrawSession::revealChanged, [&](int prize) {
        landed << QStringLiteral("%1:%2%3")
                      .arg(prize)
                      .arg(session->shownWinners(prize))
                      .arg(session->reveal().landing() ? "+" : "");
    });
    draw();
    EXPECT_EQ(session->engine().award(0).winners.size(), 1u);
    EXPECT_NE(folder.read("AwardResult.ini").find("Cnt=1\r\n"), std::string::npos) << "stored at once";
    session->startAction();
    EXPECT_FALSE(session->engine().running()) << "a press while the winner lands";
    session->settleReveal();
    session->startAction();
    ASSERT_TRUE(session->engine().running()) << "all shown: the next prize starts";
    session->stop();
    for (int press = 0; press < 2; ++press) {
        session->settleReveal();
        press == 0 ? session->pageDown() : session->startAction();
    }
    session->settleReveal();
    EXPECT_EQ(session->shownWinners(1), 3);
    EXPECT_EQ(landed.join(' '), "0:0+ 0:1 1:0+ 1:1 1:1+ 1:2 1:2+ 1:3");
    session->startAction();
    EXPECT_EQ(takeEvents().contains("results"), true);
}

// The demo event on a smaller projector: every text still fits its area,
// since the fonts scale with the areas.
TEST(DrawSessions, TheDemoLayoutFitsEveryScreen)
{
    for (const QSize screen : {QSize(1920, 1080), QSize(1280, 720), QSize(1024, 768)}) {
        TestFolder folder;
        for (const char* file : {"AwardInfo.ini", "data.txt", "AwardResult.ini"})
            folder.write(file, readFile(QStringLiteral(RAFO_SOURCE_DIR "/demo/") + file));
        DrawSession session(folder.event());
        session.open(screen.width(), screen.height());
        const auto fits = [&](int index, const QString& text) {
            const CLottoryArea& area = session.areas().area(index);
            const QFontMetrics metrics(AreaFont::font(area.m_fontName, area.m_fontSize));
            const Rect box = area.m_rect.normalized();
            EXPECT_LE(metrics.horizontalAdvance(text), box.width())
                << screen.width() << " " << text.toStdString();
            EXPECT_LE(metrics.height(), box.height()) << screen.width() << " " << text.toStdString();
        };
        fits(AreaMainTitle, session.areas().area(AreaMainTitle).m_titleName);
        fits(AreaSubTitle, session.areas().area(AreaSubTitle).m_titleName);
        for (const AwardItem& award : session.engine().awards()) {
            fits(AreaType, QString::fromStdWString(award.awardName));
            fits(AreaText, QString::fromStdWString(award.prizeName));
        }
        fits(AreaStatus, QStringLiteral("总共 27 个奖品, 已经抽取了 27 名"));
        fits(AreaResultLine, QStringLiteral("恭喜!"));
        session.start();
        session.stop();
        EXPECT_EQ(session.wall().mode(), WinnerWall::Mode::OneColumn) << screen.width();
        // On the screen it was made for, the demo's ten winners stand as they always did.
        if (screen == QSize(1920, 1080)) {
            EXPECT_EQ(session.wall().fontHeight(), session.areas().area(AreaScroll).m_fontSize);
        }
    }
}
