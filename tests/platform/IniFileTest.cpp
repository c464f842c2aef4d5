#include "platform/IniFile.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// The file an event folder's INI name leads to.
QString path(const TestFolder& folder, const std::wstring& name = L".\\test.ini")
{
    return folder.event().file(name);
}

} // namespace

TEST(IniFile, ReadsIntegersWithThePlatformRule)
{
    TestFolder folder;
    folder.write("test.ini", "[a]\r\nneg=-1\r\nsp= 5\r\ntail=12abc\r\nword=abc\r\nwrap=4294967297\r\n"
                             "empty=\r\nplus=+7\r\nquoted=\" 8\"\r\nbig=-2147483648\r\n");
    struct Case
    {
        const wchar_t* key;
        int expected;
    } cases[] = {{L"neg", -1},   {L"sp", 5},       {L"tail", 12}, {L"word", 0},   {L"wrap", 1},
                 {L"empty", 77}, {L"missing", 77}, {L"plus", 7},  {L"quoted", 8}, {L"big", -2147483647 - 1}};
    for (const Case& c : cases)
        EXPECT_EQ(IniFile::readInt(path(folder), L"a", c.key, 77), c.expected)
            << QString::fromStdWString(c.key).toStdString();
}

TEST(IniFile, ReadsStringsIntoABufferOfGivenSize)
{
    TestFolder folder;
    folder.write("test.ini", "[a]\r\nk=abcdef\r\n");
    EXPECT_EQ(IniFile::readString(path(folder), L" a ", L" k ", L"", 4), L"abc");
    EXPECT_EQ(IniFile::readString(path(folder), L"a", L"k", L"", 100), L"abcdef");
    EXPECT_EQ(IniFile::readString(path(folder), L"a", L"none", L" dflt  ", 100), L" dflt");
    EXPECT_EQ(IniFile::readString(path(folder), L"a", L"none", L"dflt", 3), L"df");
    EXPECT_EQ(IniFile::readString(path(folder, L".\\missing.ini"), L"a", L"k", L"d", 100), L"d");
}

TEST(IniFile, FindsAFileWhoseNameDiffersInCase)
{
    TestFolder folder;
    folder.write("AwardInfo.INI", "[a]\r\nk=v\r\n");
    EXPECT_EQ(IniFile::readString(path(folder, L".\\awardinfo.ini"), L"a", L"k", L"", 100), L"v");
    EXPECT_TRUE(IniFile::writeString(path(folder, L".\\awardinfo.ini"), L"a", L"k", L"w"));
    EXPECT_EQ(folder.read("AwardInfo.INI"), "[a]\r\nk=w\r\n");
    EXPECT_FALSE(QFile::exists(folder.filePath("awardinfo.ini")));
}

TEST(IniFile, WritingCreatesAMissingFile)
{
    TestFolder folder;
    EXPECT_TRUE(IniFile::writeString(path(folder), L"App", L"key", L"value"));
    EXPECT_EQ(folder.read("test.ini"), "[App]\r\nkey=value\r\n");
    EXPECT_TRUE(IniFile::writeString(path(folder), L"App", L"name", L"中"));
    EXPECT_EQ(folder.read("test.ini"), "[App]\r\nkey=value\r\nname=\xD6\xD0\r\n");
}

TEST(IniFile, DeletingWhatIsNotThereSucceedsWithoutCreatingAFile)
{
    TestFolder folder;
    EXPECT_TRUE(IniFile::deleteKey(path(folder), L"a", L"k"));
    EXPECT_TRUE(IniFile::deleteSection(path(folder), L"a"));
    EXPECT_FALSE(QFile::exists(folder.filePath("test.ini")));
}

TEST(IniFile, AReadOnlyFileIsLeftExactlyAsItWas)
{
    TestFolder folder;
    const std::string before = "[a]\r\nk=1\r\n";
    folder.write("test.ini", before);
    QFile::setPermissions(folder.filePath("test.ini"),
                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    EXPECT_FALSE(IniFile::writeString(path(folder), L"a", L"k", L"2"));
    EXPECT_FALSE(IniFile::deleteKey(path(folder), L"a", L"k"));
    EXPECT_FALSE(IniFile::deleteSection(path(folder), L"a"));
    EXPECT_EQ(folder.read("test.ini"), before);
    EXPECT_EQ(IniFile::readString(path(folder), L"a", L"k", L"", 100), L"1");
}

TEST(IniFile, AFileThatCannotBeReadIsNeverOverwritten)
{
    TestFolder folder;
    QDir(folder.path()).mkdir("test.ini");
    EXPECT_FALSE(IniFile::writeString(path(folder), L"a", L"k", L"2"));
    EXPECT_TRUE(QFileInfo(folder.filePath("test.ini")).isDir());
    EXPECT_EQ(IniFile::readString(path(folder), L"a", L"k", L"d", 100), L"d");
    EXPECT_TRUE(IniFile::sectionNames(path(folder)).empty());
}

TEST(IniFile, AWriteLeavesNoTemporaryFilesBehindAndKeepsPermissions)
{
    TestFolder folder;
    folder.write("test.ini", "[a]\r\n");
    QFile::setPermissions(folder.filePath("test.ini"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(IniFile::writeString(path(folder), L"a", L"k", std::to_wstring(i)));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"test.ini"});
    EXPECT_EQ(QFile::permissions(folder.filePath("test.ini")) & 0x7077,
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
}

TEST(IniFile, HandlesHugeFilesAndLongLines)
{
    TestFolder folder;
    std::string big = "[a]\r\nlong=" + std::string(2000, 'x') + "\r\n";
    big.reserve(52u << 20);
    for (int i = 0; big.size() < (50u << 20); ++i)
        big += "[s" + std::to_string(i) + "]\r\nkey=" + std::string(100, 'v') + "\r\n";
    folder.write("test.ini", big);
    EXPECT_EQ(IniFile::readString(path(folder), L"a", L"long", L"", 2048).size(), 2000u);
    EXPECT_TRUE(IniFile::writeString(path(folder), L"a", L"k", L"1"));
    const std::string after = folder.read("test.ini");
    EXPECT_EQ(after.size(), big.size() + 5);
    EXPECT_EQ(after.substr(after.size() - 100), big.substr(big.size() - 100));
}
