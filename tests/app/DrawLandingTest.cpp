#include "app/DrawSession.h"
#include "app/DrawWorker.h"
#include "data/ResultStore.h"
#include "platform/Clock.h"
#include "platform/IniDocument.h"
#include "support/TestEvent.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <gtest/gtest.h>
#include <thread>

namespace {

// The show as it runs: stops, replacements and the result screen's entry
// worked out on the worker, which a seam makes slow.
class DrawLandingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixed(1700000000);
        DrawWorker::setInline(false);
        DrawWorker::setAfterWork([] { std::this_thread::sleep_for(std::chrono::milliseconds(30)); });
    }
    void TearDown() override
    {
        DrawWorker::setAfterWork({});
        DrawWorker::setInline(true);
        Clock::setFixed(std::nullopt);
    }

    // Runs the event loop until the session has landed what is on its way.
    void land(DrawSession& session)
    {
        const QDeadlineTimer deadline(30000);
        while (session.landing() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_FALSE(session.landing());
    }

    // What a view can check when it hears of winners: whether the journal's
    // last draw and the store on disk hold every one the engine shows.
    std::string onDisk(const DrawSession& session, const char* entry)
    {
        const std::string journal = folder.read("Journal/journal.jsonl");
        const std::string last = journal.substr(journal.rfind("{", journal.size() - 2));
        if (last.find(entry) == std::string::npos)
            return "the journal's last line is not a " + std::string(entry) + ": " + last;
        IniDocument store = IniDocument::fromBytes(folder.read("AwardResult.ini"));
        const std::string before = store.toBytes();
        WriteResults(store, session.engine());
        if (store.toBytes() != before)
            return "the store differs from the draw shown";
        return "held";
    }

    TestFolder folder;
};

} // namespace

TEST_F(DrawLandingTest, NoViewHearsOfWinnersBeforeTheJournalAndTheStoreHoldThem)
{
    // Counts run out: a random draw, a replacement, everybody left, nobody left, the result screen.
    TestEvent::make(folder, 12, {5, 3, 9, 2});
    DrawSession session(folder.event());
    session.open(1920, 1080);
    QStringList heard;
    QObject::connect(&session, &DrawSession::prizeDrawn, [&](int prize) {
        heard
            << QStringLiteral("drawn %1: %2").arg(prize).arg(QString::fromStdString(onDisk(session, "stop")));
    });
    QObject::connect(&session, &DrawSession::winnerReplaced, [&](int prize) {
        heard << QStringLiteral("replaced %1: %2")
                     .arg(prize)
                     .arg(QString::fromStdString(onDisk(session, "replace")));
    });
    QObject::connect(&session, &DrawSession::resultScreenRequested, [&] {
        heard << QStringLiteral("results: %1").arg(QString::fromStdString(onDisk(session, "result screen")));
    });

    for (int prize = 0; prize < 4; ++prize) {
        const qsizetype before = heard.size();
        session.start();
        session.stop();
        // The names go on cycling while the winners land, and nothing else starts or stops.
        EXPECT_TRUE(session.landing());
        EXPECT_TRUE(session.engine().running());
        session.stop();
        EXPECT_EQ(session.start(), DrawEngine::StartOutcome::Ignored);
        EXPECT_EQ(heard.size(), before);
        land(session);
        EXPECT_FALSE(session.engine().running());
        if (prize == 0) {
            EXPECT_EQ(session.replace(1), DrawEngine::Replaced);
            EXPECT_EQ(session.replace(2), DrawEngine::NothingToReplace) << "one at a time";
            land(session);
        }
    }
    session.startAction();
    land(session);
    EXPECT_EQ(heard, QStringList({"drawn 0: held", "replaced 0: held", "drawn 1: held", "drawn 2: held",
                                  "drawn 3: held", "results: held"}));
    EXPECT_EQ(session.engine().award(2).winners.size(), 3u);
    EXPECT_TRUE(session.engine().pool().empty());
    session.close();
}

TEST_F(DrawLandingTest, AnExitWhileWinnersLandKeepsThemAndTheirPlaceInTheJournal)
{
    TestEvent::make(folder, 10, {4, 2});
    {
        DrawSession session(folder.event());
        session.open(1920, 1080);
        session.start();
        session.stop();
        session.close();
        EXPECT_EQ(session.engine().award(0).winners.size(), 4u);
    }
    const std::string journal = folder.read("Journal/journal.jsonl");
    EXPECT_LT(journal.find("\"stop\""), journal.find("\"exit\""));
    DrawSession again(folder.event());
    again.open(1920, 1080);
    EXPECT_EQ(again.engine().current(), 0);
    EXPECT_EQ(again.engine().award(0).winners.size(), 4u);
    again.close();
}
