#include "platform/WinPath.h"
#include "platform/EventFolder.h"
#include "support/TestFiles.h"

#include <QFile>
#include <gtest/gtest.h>

// Paths as the program writes them name files of the event folder, wherever
// the process runs.
TEST(WinPath, RelativePathsNameFilesOfTheFolderWhateverTheirCase)
{
    TestFolder folder;
    folder.write("music/INIT.MP3", "x");
    folder.write("Backimg/show.jpg", "x");
    const EventFolder event = folder.event();
    const QString root = folder.path();
    struct Case
    {
        std::wstring path;
        QString expected;
    } cases[] = {
        {L".\\AwardInfo.ini", root + "/AwardInfo.ini"},
        {L"Music\\Init.mp3", root + "/music/INIT.MP3"},
        {L".\\BACKIMG\\Show.JPG", root + "/Backimg/show.jpg"},
        {root.toStdWString() + L"/MUSIC/init.mp3", root + "/music/INIT.MP3"},
        // A new file goes into the folder that is there, whatever its spelling.
        {L"Music\\none.mp3", root + "/music/none.mp3"},
        {L"Nowhere\\Music", root + "/Nowhere/Music"},
        {L"D:\\年会\\1.jpg", root + "/D:/年会/1.jpg"},
        {L"", QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(event.file(c.path), c.expected) << QString::fromStdWString(c.path).toStdString();
}

TEST(EventFolder, HoldsOnlyWhatIsInsideOnceLinksAreFollowed)
{
    TestFolder folder;
    TestFolder elsewhere;
    folder.write("in.txt", "x");
    elsewhere.write("out.txt", "x");
    QFile::link(elsewhere.filePath("out.txt"), folder.filePath("link.txt"));
    const EventFolder event = folder.event();
    EXPECT_TRUE(event.holds(event.file("in.txt")));
    EXPECT_FALSE(event.holds(event.file("link.txt")));
    EXPECT_FALSE(event.holds(event.file("missing.txt")));
    EXPECT_FALSE(event.holds(elsewhere.filePath("out.txt")));
}
