#include "app/CRafoApp.h"
#include "data/EventLock.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <QDateTime>
#include <QFile>
#include <QFont>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

TEST(CRafoApp, OnlyAStyleSheetIsTakenAsTheSkin)
{
    EventFolder folder;
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
        EXPECT_EQ(!CRafoApp::readSkin("Anion.ssk").isEmpty(), c.applied) << c.what;
    }
    EXPECT_TRUE(CRafoApp::readSkin("missing.ssk").isEmpty());
}

TEST(CRafoApp, WindowsFaceNamesLeadToAnInstalledChineseFont)
{
    CRafoApp::substituteChineseFonts();
    for (const char* face : {"宋体", "微软雅黑", "黑体", "楷体"})
        EXPECT_TRUE(
            QFont::substitutes(QString::fromUtf8(face)).contains("WenQuanYi Micro Hei", Qt::CaseInsensitive))
            << face;
}

TEST(CRafoApp, OneProgramHoldsAnEventFolderAndTheLockOfAKilledOneIsTakenOver)
{
    EventFolder folder;
    // A program that died in the middle of the show leaves its lock behind.
    const pid_t killed = fork();
    if (killed == 0) {
        EventLock lock;
        _exit(lock.take() == EventLock::Taken ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(waitpid(killed, &status, 0), killed);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(QFile::exists(folder.filePath(EventLock::FileName)));

    MessageRecorder recorder;
    EventLock first;
    EXPECT_TRUE(CRafoApp::lockEventFolder(first));
    // However long the show has run, its lock holds.
    QFile lockFile(folder.filePath(EventLock::FileName));
    ASSERT_TRUE(lockFile.open(QIODevice::ReadWrite));
    lockFile.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime);
    EventLock second;
    EXPECT_FALSE(CRafoApp::lockEventFolder(second));
    EXPECT_EQ(recorder.texts(), std::vector<std::wstring>{CRafoApp::AlreadyRunning});

    EventFolder otherEvent;
    EventLock third;
    EXPECT_EQ(third.take(), EventLock::Taken);
}
