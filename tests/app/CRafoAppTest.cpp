#include "app/CRafoApp.h"
#include "data/EventLock.h"
#include "platform/TerminationSignals.h"
#include "support/MessageRecorder.h"
#include "support/TestEvent.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(CRafoApp, OnlyAStyleSheetIsTakenAsTheSkin)
{
    TestFolder folder;
    struct Case
    {
        const char* what;
        std::string bytes;
        bool applied;
    } cases[] = {
        {"style sheet", "QMenu { background: #300; color: gold; }", true},
        {"binary skin", "SSK\x01\x00\x02{"_bytes, false},
        {"text without rules", "just words", false},
        {"broken bytes", "QMenu { color: \xFF; }", false},
    };
    for (const Case& c : cases) {
        folder.write("Anion.ssk", c.bytes);
        EXPECT_EQ(!CRafoApp::readSkin(folder.filePath("Anion.ssk")).isEmpty(), c.applied) << c.what;
    }
    EXPECT_TRUE(CRafoApp::readSkin(folder.filePath("missing.ssk")).isEmpty());
}

TEST(CRafoApp, QtsOwnButtonsAndMenusSpeakChinese)
{
    ASSERT_TRUE(CRafoApp::installQtTranslations(*QCoreApplication::instance()));
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    EXPECT_TRUE(menu->actions().first()->text().startsWith(QString::fromUtf8("撤消")))
        << menu->actions().first()->text().toStdString();
    EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text(),
              QString::fromUtf8("取消"));
}

TEST(CRafoApp, OneProgramHoldsAnEventFolderAndTheLockOfAKilledOneIsTakenOver)
{
    TestFolder folder;
    // A program that died in the middle of the show leaves its lock behind.
    const pid_t killed = fork();
    if (killed == 0) {
        EventLock lock(folder.event());
        _exit(lock.take() == EventLock::Taken ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(killed, &status, 0), killed);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFile::exists(folder.filePath(EventLock::FileName)));

    MessageRecorder recorder;
    EventLock first(folder.event());
    EXPECT_TRUE(CRafoApp::lockEventFolder(first));
    // However long the show has run, its lock holds.
    QFile lockFile(folder.filePath(EventLock::FileName));
    ASSERT_TRUE(lockFile.open(QIODevice::ReadWrite));
    lockFile.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime);
    EventLock second(folder.event());
    EXPECT_FALSE(CRafoApp::lockEventFolder(second));
    EXPECT_EQ(recorder.texts(), std::vector<std::wstring>{CRafoApp::AlreadyRunning});

    TestFolder otherEvent;
    EventLock third(otherEvent.event());
    EXPECT_EQ(third.take(), EventLock::Taken);
}

// A logout, a shutdown or Ctrl+C ends the show as Enter does: the program
// itself, run in an event folder, ends cleanly with its exit in the journal.
TEST(CRafoApp, TerminationSignalsEndTheShowAsEnterDoes)
{
    for (const int signal : TerminationSignals::Handled) {
        TestFolder folder;
        TestEvent::make(folder, 10, {3});
        QProcess show;
        show.setWorkingDirectory(folder.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        show.setProcessEnvironment(environment);
        show.start(QStringLiteral(RAFO_BINARY), {});
        ASSERT_TRUE(show.waitForStarted());
        // The show is up once the journal has its start.
        for (int i = 0;
             i < 400 && folder.read("Journal/journal.jsonl").find("\"type\":\"start\"") == std::string::npos;
             ++i)
            QThread::msleep(50);
        ASSERT_EQ(::kill(pid_t(show.processId()), signal), 0);
        ASSERT_TRUE(show.waitForFinished(20000)) << signal;
        EXPECT_EQ(show.exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(show.exitCode(), 0) << signal;
        const std::string journal = folder.read("Journal/journal.jsonl");
        EXPECT_NE(journal.rfind("\"type\":\"exit\""), std::string::npos) << signal;
        EXPECT_FALSE(QFile::exists(folder.filePath(EventLock::FileName))) << signal;
    }
}
