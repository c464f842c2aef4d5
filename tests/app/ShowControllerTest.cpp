#include "show/ShowController.h"
#include "app/MusicPlayer.h"
#include "data/JournalVerifier.h"
#include "platform/Clock.h"
#include "support/MessageRecorder.h"
#include "support/TestEvent.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

enum class State
{
    Idle,
    Cycling,
    Stopped,
    ResultScreen,
    BlackedOut
};

// A show of two prizes and what it tells its views, one command at a time.
class ShowControllerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MusicPlayer::setAudioSink("fakesink sync=true");
        Clock::setFixed(1700000000);
        Clock::setFixedMonotonic(0);
    }
    void TearDown() override
    {
        Clock::setFixed(std::nullopt);
        Clock::setFixedMonotonic(std::nullopt);
    }

    void reach(State state)
    {
        folder = std::make_unique<TestFolder>();
        TestEvent::make(*folder, 30, {3, 2});
        show = std::make_unique<ShowController>(folder->event());
        show->open(QRect(0, 0, 1920, 1080));
        DrawSession& session = show->session();
        QObject::connect(&session, &DrawSession::cycleStarted, [this] { events << "cycling"; });
        QObject::connect(&session, &DrawSession::cycleStopped, [this] { events << "still"; });
        QObject::connect(&session, &DrawSession::prizeDrawn,
                         [this](int prize) { events << QStringLiteral("drawn %1").arg(prize); });
        QObject::connect(&session, &DrawSession::winnerReplaced, [this](int prize, int row) {
            events << QStringLiteral("replaced %1 %2").arg(prize).arg(row);
        });
        QObject::connect(&session, &DrawSession::restarted, [this](const QString& why) { events << why; });
        QObject::connect(&session, &DrawSession::blackoutChanged,
                         [this](bool on) { events << (on ? "black" : "lit"); });
        QObject::connect(show.get(), &ShowController::resultScreen,
                         [this](bool shown) { events << (shown ? "results" : "results closed"); });
        QObject::connect(show.get(), &ShowController::exitRequested, [this] { events << "exit"; });
        if (state != State::Idle)
            show->start();
        if (state == State::Stopped || state == State::BlackedOut || state == State::ResultScreen)
            show->stop();
        if (state == State::ResultScreen) {
            show->start();
            show->stop();
            show->startAction();
        }
        if (state == State::BlackedOut)
            show->setBlackedOut(true);
        events.clear();
    }

    std::unique_ptr<TestFolder> folder;
    std::unique_ptr<ShowController> show;
    QStringList events;
};

} // namespace

// Every command in every state: what the views hear, what is asked, and
// that a refused command writes nothing.
TEST_F(ShowControllerTest, EachCommandInEachStateSaysWhatChangedOrIsRefused)
{
    using Command = void (*)(ShowController&);
    struct Case
    {
        State state;
        const char* command;
        Command run;
        const char* events;
        int questions;
        int answer = MsgBox::IdOk;
    };
    const Command space = [](ShowController& s) { s.space(); };
    const Command startAction = [](ShowController& s) { s.startAction(); };
    const Command stop = [](ShowController& s) { s.stop(); };
    const Command pageDown = [](ShowController& s) { s.pageDown(); };
    const Command replace = [](ShowController& s) { s.replace(0); };
    const Command redraw = [](ShowController& s) { s.redraw(); };
    const Command black = [](ShowController& s) { s.setBlackedOut(true); };
    const Command closeResults = [](ShowController& s) { s.closeResultScreen(); };
    const Case cases[] = {
        {State::Idle, "space", space, "cycling", 0},
        {State::Idle, "stop", stop, "", 0},
        {State::Idle, "replace", replace, "", 0},
        {State::Idle, "redraw", redraw, "still, redraw", 0},
        {State::Idle, "close results", closeResults, "", 0},
        {State::Cycling, "space", space, "still, drawn 0", 0},
        {State::Cycling, "start", startAction, "", 0},
        {State::Cycling, "page down", pageDown, "still, drawn 0", 0},
        {State::Cycling, "replace", replace, "", 0},
        {State::Cycling, "black", black, "black", 0},
        {State::Stopped, "space", space, "cycling", 0},
        {State::Stopped, "stop", stop, "", 0},
        {State::Stopped, "page down on a page just shown", pageDown, "", 0},
        {State::Stopped, "replace", replace, "replaced 0 0", 1},
        {State::Stopped, "redraw", redraw, "still, redraw", 1, MsgBox::IdYes},
        {State::Stopped, "redraw, answered No", redraw, "", 1, MsgBox::IdNo},
        {State::ResultScreen, "space", space, "", 0},
        {State::ResultScreen, "start", startAction, "", 0},
        {State::ResultScreen, "page down", pageDown, "", 0},
        {State::ResultScreen, "close results", closeResults, "results closed", 0},
        {State::BlackedOut, "black", black, "", 0},
        {State::BlackedOut, "space", space, "cycling", 0},
    };
    for (const Case& c : cases) {
        reach(c.state);
        const std::string journal = folder->read("Journal/journal.jsonl");
        MessageRecorder messages;
        messages.setNextAnswer(c.answer);
        c.run(*show);
        const QString what = QStringLiteral("%1 in state %2").arg(c.command).arg(int(c.state));
        EXPECT_EQ(events.join(", "), c.events) << qPrintable(what);
        EXPECT_EQ(messages.messages().size(), size_t(c.questions)) << qPrintable(what);
        if (QString(c.events).isEmpty()) {
            EXPECT_EQ(folder->read("Journal/journal.jsonl"), journal) << qPrintable(what) << ": refused";
        }
        show->exit();
        EXPECT_EQ(events.last(), "exit");
        show.reset();
    }
}

// Closing the result screen lets the start open it again, with a new line.
TEST_F(ShowControllerTest, TheResultScreenOpensAgainOnlyOnceClosed)
{
    reach(State::ResultScreen);
    show->startAction();
    show->closeResultScreen();
    show->startAction();
    EXPECT_EQ(events.join(", "), "results closed, results");
    show->close();
    const std::string journal = folder->read("Journal/journal.jsonl");
    size_t lines = 0;
    for (size_t at = journal.find("\"result screen\""); at != std::string::npos;
         at = journal.find("\"result screen\"", at + 1))
        ++lines;
    EXPECT_EQ(lines, 2u);
}

// Absent winners of an earlier prize go in one step after one question, each
// a replacement journalled with its own seed; the screen keeps the prize it
// shows, the store and the prize desk follow, and rafo-verify replays it.
TEST_F(ShowControllerTest, AbsentWinnersOfAnEarlierPrizeAreReplacedInOneStep)
{
    reach(State::Stopped);
    show->start();
    show->stop();
    ASSERT_EQ(show->engine().current(), 1);
    const std::vector<tstring> before = show->engine().award(0).winners;
    const int wallCount = show->session().wall().count();
    events.clear();
    MessageRecorder messages;
    messages.setNextAnswer(MsgBox::IdCancel);
    show->replaceAbsent(0, {2, 0});
    EXPECT_EQ(show->engine().award(0).winners, before) << "cancelled";
    messages.setNextAnswer(MsgBox::IdOk);
    show->replaceAbsent(0, {2, 0, 0, 7});
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.texts(), (std::vector<std::wstring>{L"补抽 2 名缺席者?", L"补抽 2 名缺席者?"}));
    EXPECT_EQ(events, (QStringList{"replaced 0 0", "replaced 0 2"})) << "in row order";
    const std::vector<tstring>& after = show->engine().award(0).winners;
    EXPECT_NE(after[0], before[0]);
    EXPECT_EQ(after[1], before[1]);
    EXPECT_NE(after[2], before[2]);
    EXPECT_EQ(show->engine().current(), 1);
    EXPECT_EQ(show->session().wall().count(), wallCount) << "the screen keeps the prize it shows";
    const std::vector<WinnerRow> rows = show->session().winnerRows();
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const WinnerRow& row) { return row.number == 0; }),
              2);

    std::string journal = folder->read("Journal/journal.jsonl");
    EXPECT_EQ(QString::fromStdString(journal).count(QStringLiteral("\"type\":\"replace\"")), 2);
    show->close();
    const JournalVerifier::Report report = JournalVerifier::verify(folder->event());
    EXPECT_EQ(report.exitCode, JournalVerifier::Verified) << report.lines.join('\n').toStdString();
    // The program again: the store gave the replacements back.
    ShowController again(folder->event());
    again.open(QRect(0, 0, 1920, 1080));
    EXPECT_EQ(again.engine().award(0).winners, after);
}
