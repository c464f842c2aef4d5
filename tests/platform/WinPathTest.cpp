#include "platform/WinPath.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

TEST(WinPath, BackslashesBecomeSlashes)
{
    EventFolder folder;
    EXPECT_EQ(WinPath::toLocal(L".\\AwardInfo.ini"), QString("./AwardInfo.ini"));
    EXPECT_EQ(WinPath::toLocal(L"Music\\Init.mp3"), QString("Music/Init.mp3"));
    EXPECT_EQ(WinPath::toLocal(L"D:\\年会\\1.jpg"), QString("D:/年会/1.jpg"));
    EXPECT_EQ(WinPath::toLocal(L""), QString());
}

TEST(WinPath, PartsAreMatchedWithoutRegardToCaseWhenTheExactPathIsMissing)
{
    EventFolder folder;
    folder.write("music/INIT.MP3", "x");
    folder.write("Backimg/show.jpg", "x");
    EXPECT_EQ(WinPath::toLocal(L"Music\\Init.mp3"), QString("music/INIT.MP3"));
    EXPECT_EQ(WinPath::toLocal(L".\\BACKIMG\\Show.JPG"), QString("./Backimg/show.jpg"));
    EXPECT_EQ(WinPath::toLocal(folder.path().toStdWString() + L"/MUSIC/init.mp3"),
              folder.path() + "/music/INIT.MP3");
    // A new file goes into the folder that is there, whatever its spelling.
    EXPECT_EQ(WinPath::toLocal(L"Music\\none.mp3"), QString("music/none.mp3"));
    EXPECT_EQ(WinPath::toLocal(L"Nowhere\\Music"), QString("Nowhere/Music"));
}
