#include "app/DrawEngine.h"
#include "data/DrawJournal.h"
#include "data/PendingSettings.h"
#include "data/ResultStore.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

const char* const SmallDisk = "RAFO_SMALL_DISK";

// Runs the shell command in a user and mount namespace of its own, with a
// 64 KiB tmpfs on the folder ("$0"); "$1" is this test program.
int onSmallDisk(const QString& folder, const QString& command, QByteArray& output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(SmallDisk, folder);
    process.setProcessEnvironment(environment);
    process.start("unshare", {"-rm", "sh", "-c", "mount -t tmpfs -o size=64k tmpfs \"$0\" && " + command,
                              folder, QCoreApplication::applicationFilePath()});
    if (!process.waitForStarted() || !process.waitForFinished(-1))
        return -1;
    output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// Inside the namespace, in the full file system: the store, a settings
// change and a journal entry each fail and keep the old bytes, are told
// once, and succeed once there is space again.
void writeOnAFullDisk(const EventFolder& folder)
{
    writeFile(folder.file("AwardInfo.ini"), "[AwardInfo]\r\nAwardItem0=a|0|1|x|\r\n");
    writeFile(folder.file("AwardResult.ini"), "");
    DrawEngine engine;
    engine.load(NamePool(), std::vector<AwardItem>(4));
    engine.setPrizes(engine.awards(), 2);
    DrawJournal journal(folder);
    ASSERT_TRUE(SaveResults(folder, engine));
    ASSERT_TRUE(journal.append(QJsonObject{{"type", "start"}}));
    const QString files[] = {"AwardResult.ini", "AwardInfo.ini", DrawJournal::FileName};
    std::string before[3];
    for (int i = 0; i < 3; ++i)
        before[i] = readFile(folder.file(files[i]));

    QFile filler(folder.file("filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    while (filler.write(QByteArray(4096, 'x')) > 0) {
    }
    filler.close();
    engine.setPrizes(engine.awards(), 3);
    AreaSet areas;
    areas[AreaMainTitle] = std::make_unique<CLottoryArea>();
    areas[AreaMainTitle]->m_rect = Rect(1, 2, 3, 4);
    PendingSettings settings;
    settings.layoutChanged(AreaMainTitle);
    // More than the page the journal's last line sits in has left.
    QJsonArray names;
    for (int i = 0; i < 600; ++i)
        names.append(QStringLiteral("name %1").arg(i));
    const QJsonObject entry{{"winners", names}};
    MessageRecorder recorder;
    const QString list =
        QStringLiteral("Journal/") + DrawJournal::keptListName(journal.keepList({L"a", L"b"}));
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_FALSE(KeepResults(folder, engine));
        EXPECT_FALSE(settings.write(folder, areas));
        EXPECT_FALSE(journal.append(entry));
        EXPECT_TRUE(journal.holding());
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(readFile(folder.file(files[i])), before[i]) << files[i].toStdString();
    }
    EXPECT_EQ(recorder.texts(), (std::vector<std::wstring>{L"无法写入文件:.\\AwardResult.ini",
                                                           L"无法写入文件:.\\AwardInfo.ini"}));
    EXPECT_FALSE(journal.listsKept());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"AwardInfo.ini", "AwardResult.ini", "filler"}));
    EXPECT_FALSE(QFile::exists(folder.file(list)));

    ASSERT_TRUE(QFile::remove(folder.file("filler")));
    EXPECT_TRUE(KeepResults(folder, engine));
    EXPECT_TRUE(settings.write(folder, areas));
    EXPECT_TRUE(journal.append(entry));
    EXPECT_NE(readFile(folder.file("AwardResult.ini")).find("Cnt=4\r\n"), std::string::npos);
    EXPECT_NE(readFile(folder.file("AwardInfo.ini")).find("PosLeft=1\r\nPosTop=2\r\n"), std::string::npos);
    // The two entries that found no space went in before it, in order and chained.
    const std::string written = readFile(folder.file(DrawJournal::FileName));
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 4);
    EXPECT_GT(written.size(), before[2].size() + 3 * 6000);
    EXPECT_FALSE(journal.holding());
    EXPECT_EQ(readFile(folder.file(list)), "a\nb\n") << "the list is kept with the next entry";
}

} // namespace

TEST(FullDisk, WritesThatFindNoSpaceLoseNothingAndSucceedOnceThereIsSpace)
{
    if (const QByteArray folder = qgetenv(SmallDisk); !folder.isEmpty()) {
        writeOnAFullDisk(EventFolder(QString::fromLocal8Bit(folder)));
        return;
    }
    QTemporaryDir mountPoint;
    QByteArray output;
    if (onSmallDisk(mountPoint.path(), "true", output) != 0)
        GTEST_SKIP() << "no user and mount namespace can be made here: " << output.toStdString();
    EXPECT_EQ(onSmallDisk(mountPoint.path(), "exec \"$1\" --gtest_filter=FullDisk.*", output), 0)
        << output.toStdString();
}
