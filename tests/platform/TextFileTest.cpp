#include "platform/TextFile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

// Every step a disk or a file system can fail at; a failure keeps the old
// bytes and leaves nothing beside them, and the next write succeeds again.
TEST(TextFile, AWriteThatFailsAtAnyStepLeavesTheOldBytesAndNothingElse)
{
    using Step = TextFile::Step;
    struct Case
    {
        std::optional<Step> failing;
        bool replaced;
        bool appended;
    } cases[] = {{std::nullopt, true, true}, {Step::Create, false, false}, {Step::Write, false, false},
                 {Step::Sync, false, false}, {Step::Close, false, false},  {Step::Rename, false, true}};
    for (const Case& c : cases) {
        for (const bool existed : {true, false}) {
            TestFolder folder;
            const std::string old = existed ? "old\r\n" : "<missing>";
            if (existed)
                folder.write("f.txt", old);
            const QString what = QStringLiteral("step %1, file %2")
                                     .arg(c.failing ? int(*c.failing) : -1)
                                     .arg(existed ? "there" : "missing");
            const QStringList alone = existed ? QStringList{"f.txt"} : QStringList();
            TextFile::setFailingStep(c.failing);
            EXPECT_EQ(TextFile::writeAtomically(folder.filePath("f.txt"), "new"), c.replaced)
                << what.toStdString();
            TextFile::setFailingStep(std::nullopt);
            EXPECT_EQ(folder.read("f.txt"), c.replaced ? "new" : old) << what.toStdString();
            EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                      c.replaced ? QStringList{"f.txt"} : alone)
                << what.toStdString();

            const std::string before = folder.read("f.txt");
            TextFile::setFailingStep(c.failing);
            EXPECT_EQ(TextFile::append(folder.filePath("f.txt"), "more"), c.appended) << what.toStdString();
            TextFile::setFailingStep(std::nullopt);
            const std::string kept = before == "<missing>" ? "" : before;
            EXPECT_EQ(folder.read("f.txt"), c.appended ? kept + "more" : before) << what.toStdString();

            ASSERT_TRUE(TextFile::writeAtomically(folder.filePath("f.txt"), "again"));
            EXPECT_EQ(folder.read("f.txt"), "again");
        }
    }
}

TEST(TextFile, ALinkStaysALinkToTheNewContent)
{
    TestFolder folder;
    folder.write("real.ini", "old");
    ASSERT_TRUE(QFile::link("real.ini", folder.filePath("link.ini")));
    ASSERT_TRUE(TextFile::writeAtomically(folder.filePath("link.ini"), "new"));
    EXPECT_TRUE(QFileInfo(folder.filePath("link.ini")).isSymLink());
    EXPECT_EQ(folder.read("real.ini"), "new");
}
