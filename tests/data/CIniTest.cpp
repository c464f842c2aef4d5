#include "data/CIni.h"
#include "platform/AppInfo.h"
#include "platform/IniDocument.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using Texts = std::vector<std::wstring>;

struct Opened
{
    bool accepted;
    tstring path;
    std::vector<MessageRecorder::Message> messages;
};

Opened open(const TestFolder& folder, const std::wstring& name)
{
    MessageRecorder recorder;
    CIni ini(folder.event(), L"");
    recorder.clear();
    const bool accepted = ini.OpenFile(name);
    return {accepted, ini.GetPath(), recorder.messages()};
}

} // namespace

TEST(CIni, FileNamesAreCheckedAndMadeRelative)
{
    TestFolder folder;
    folder.write("AwardInfo.ini", "[a]\r\n");
    folder.write("sub/x.ini", "[a]\r\n");
    const std::wstring absolute = folder.filePath("sub/x.ini").toStdWString();
    struct Case
    {
        std::wstring name;
        bool accepted;
        std::wstring path;
        std::vector<std::pair<std::wstring, std::wstring>> messages; // text, caption
    } cases[] = {
        {L"AwardInfo.ini", true, L".\\AwardInfo.ini", {}},
        {L"  AwardInfo.ini  ", true, L".\\AwardInfo.ini", {}},
        {L".\\AwardInfo.ini", true, L".\\AwardInfo.ini", {}},
        {L"AwardInfo.Ini", true, L".\\AwardInfo.Ini", {}},
        {L"sub\\x.ini", true, L"sub\\x.ini", {}},
        {absolute, true, absolute, {}},
        {L"   ", false, L"", {{L"file name can't be null", L"tips"}}},
        {L"AwardInfo", false, L"", {{L"set file extend name first", L"Tips"}}},
        {L"Result.txt", false, L"", {{L"extend name must be INF or INI", L"Tips"}}},
        {L".ini", false, L"", {{L"extend name must be INF or INI", L"Tips"}}},
        {L"D:\\event\\AwardInfo.ini", false, L"", {{L"File unexist:D:\\event\\AwardInfo.ini", L"Tips"}}},
        {L"missing.ini",
         false,
         L"",
         {{L"missing.ini", AppInfo::applicationName()}, {L"missing.iniFile unexist", L"Tips"}}},
        {L".\\missing.INF",
         false,
         L"",
         {{L"missing.INF", AppInfo::applicationName()}, {L"missing.INFFile unexist", L"Tips"}}},
    };
    for (const Case& c : cases) {
        const Opened result = open(folder, c.name);
        const std::string what = QString::fromStdWString(c.name).toStdString();
        EXPECT_EQ(result.accepted, c.accepted) << what;
        EXPECT_EQ(result.path, tstring(c.path)) << what;
        std::vector<std::pair<std::wstring, std::wstring>> got;
        for (const auto& m : result.messages)
            got.emplace_back(m.text, m.caption);
        EXPECT_EQ(got, c.messages) << what;
    }
}

TEST(CIni, ANameFoundOnlyBesideTheExecutableIsStillAddressedInTheEventFolder)
{
    TestFolder folder;
    const QString name = QString("beside-%1.ini").arg(QCoreApplication::applicationPid());
    const QString besideExe = AppInfo::executableDir() + name;
    writeFile(besideExe, "[a]\r\nk=exe\r\n");
    {
        MessageRecorder recorder;
        CIni ini(folder.event(), name.toStdWString());
        EXPECT_TRUE(ini.IsOpen());
        EXPECT_EQ(ini.GetPath(), tstring(L".\\" + name.toStdWString()));
        EXPECT_EQ(ini.GetString(L"a", L"k"), tstring());
        EXPECT_TRUE(recorder.messages().empty());
    }
    QFile::remove(besideExe);
}

TEST(CIni, AMissingFileAnswersEveryCallWithAMessageAndAnEmptyResult)
{
    TestFolder folder;
    MessageRecorder recorder;
    CIni ini(folder.event(), L".\\AwardResult.ini");
    recorder.clear();
    EXPECT_EQ(ini.GetString(L"a", L"k"), tstring());
    EXPECT_EQ(ini.GetInt(L"a", L"k"), 0);
    EXPECT_EQ(ini.SetString(L"a", L"k", L"v"), 0);
    EXPECT_EQ(ini.SetInt(3, L"a", L"k"), 0);
    ini.DeleteKey(L"a", L"k");
    EXPECT_EQ(ini.DeleteSection(L"a"), 0);
    EXPECT_TRUE(ini.GetSectionNames().empty());
    EXPECT_TRUE(ini.GetKeyNames(L"a").empty());
    EXPECT_EQ(recorder.texts(),
              Texts({L"Please open file first", L"please Open file first", L"please Open file first",
                     L"please Open file first", L"please Open file first", L"please Open file first",
                     L"please Open file first", L"please Open file first"}));
    for (const auto& m : recorder.messages())
        EXPECT_EQ(m.caption, L"Tips");
    EXPECT_FALSE(QFile::exists(folder.filePath("AwardResult.ini")));
}

TEST(CIni, EmptyNamesAreRefusedWithoutWriting)
{
    TestFolder folder;
    const std::string before = "[a]\r\nk=1\r\n";
    folder.write("AwardInfo.ini", before);
    MessageRecorder recorder;
    CIni ini(folder.event(), L"AwardInfo.ini");
    EXPECT_EQ(ini.GetString(L"  ", L"k"), tstring());
    EXPECT_EQ(ini.GetInt(L"a", L" "), 0);
    EXPECT_EQ(ini.SetString(L"   ", L"k", L"v"), 0);
    EXPECT_EQ(ini.SetInt(1, L"a", L""), 0);
    EXPECT_EQ(recorder.texts(),
              Texts({L"must confirm AppName and KeyName", L"Must confirm AppName and KeyName",
                     L"Must confirm AppName and KeyName", L"Must confirm AppName and KeyName"}));
    EXPECT_EQ(folder.read("AwardInfo.ini"), before);
}

TEST(CIni, ReadsAndWritesValues)
{
    TestFolder folder;
    folder.write("AwardInfo.ini", "[AwardInfo]\r\nAwardItem0=一等奖\r\n");
    CIni ini(folder.event(), L"AwardInfo.ini");
    EXPECT_EQ(ini.GetInt(L"ScreenPixel", L"cy"), 0) << "read before the writes, which must be seen";
    EXPECT_EQ(ini.SetString(L" ScreenPixel ", L" cx ", L" 1920 "), 1);
    EXPECT_EQ(ini.SetInt(-1080, L"ScreenPixel", L"cy"), 1);
    EXPECT_EQ(ini.GetString(L"screenpixel", L"CX"), tstring(L"1920"));
    EXPECT_EQ(ini.GetInt(L"ScreenPixel", L"cy"), -1080);
    EXPECT_EQ(ini.GetString(L"AwardInfo", L"AwardItem0"), tstring(L"一等奖"));
    EXPECT_EQ(folder.read("AwardInfo.ini"),
              "[AwardInfo]\r\nAwardItem0=一等奖\r\n[ScreenPixel]\r\ncx= 1920 \r\ncy=-1080\r\n");
}

TEST(CIni, LongValuesAreCutTo2047Characters)
{
    TestFolder folder;
    folder.write("r.ini",
                 "[r]\r\nlong=" + std::string(3000, 'n') + "\r\nfit=" + std::string(2047, 'f') + "\r\n");
    CIni ini(folder.event(), L"r.ini");
    EXPECT_EQ(ini.GetString(L"r", L"long"), tstring(std::wstring(2047, L'n')));
    EXPECT_EQ(ini.GetString(L"r", L"fit"), tstring(std::wstring(2047, L'f')));
}

TEST(CIni, ListsAreCompleteWhateverTheirLength)
{
    TestFolder folder;
    std::string file = "[Empty]\r\n[Big]\r\n; comment=1\r\n";
    std::vector<tstring> keys;
    for (int i = 0; i < 3000; ++i) {
        const std::string key = "Itme" + std::to_string(i);
        file += key + "=x\r\n";
        keys.emplace_back(QString::fromStdString(key).toStdWString());
    }
    file += "[lower]\r\n[Mixed Case]\r\n[]\r\n[lower]\r\n";
    folder.write("r.ini", file);
    CIni ini(folder.event(), L"r.ini");
    EXPECT_EQ(ini.GetKeyNames(L"big"), keys);
    EXPECT_TRUE(ini.GetKeyNames(L"Empty").empty());
    EXPECT_TRUE(ini.GetKeyNames(L"none").empty());
    EXPECT_EQ(ini.GetSectionNames(),
              (std::vector<tstring>{L"EMPTY", L"BIG", L"LOWER", L"MIXED CASE", L"LOWER"}));
}

TEST(CIni, DeletingKeysAndSections)
{
    TestFolder folder;
    folder.write(
        "r.ini",
        "; keep me\r\n[AwardResult]\r\nCnt=2\r\nItme0=a|b\r\n[Other]\r\nx=1\r\n[awardresult]\r\ny=2\r\n");
    MessageRecorder recorder;
    CIni ini(folder.event(), L".\\r.ini");
    ini.DeleteKey(L"AwardResult", L"Cnt");
    ini.DeleteKey(L"AwardResult", L"NotThere");
    EXPECT_EQ(folder.read("r.ini"),
              "; keep me\r\n[AwardResult]\r\nItme0=a|b\r\n[Other]\r\nx=1\r\n[awardresult]\r\ny=2\r\n");
    EXPECT_EQ(ini.DeleteSection(L"Other"), 1);
    EXPECT_EQ(ini.DeleteAllSections(), 1);
    EXPECT_EQ(folder.read("r.ini"), "; keep me\r\n");
    EXPECT_TRUE(recorder.messages().empty());
}

TEST(CIni, AFileThatCannotBeWrittenIsKeptAndToldOnceUntilAWriteSucceedsAgain)
{
    TestFolder folder;
    const std::string before = "[a]\r\nk=1\r\n";
    folder.write("r.ini", before);
    const auto writable = [&](bool yes) {
        QFile::setPermissions(folder.filePath("r.ini"),
                              QFile::ReadOwner | (yes ? QFile::WriteOwner : QFile::ReadGroup));
    };
    writable(false);
    MessageRecorder recorder;
    CIni ini(folder.event(), L"r.ini");
    EXPECT_EQ(ini.SetString(L"a", L"k", L"2"), 0);
    EXPECT_EQ(ini.DeleteSection(L"a"), 0);
    EXPECT_EQ(ini.Apply([](IniDocument& doc) { doc.setValue(L"a", L"k", L"1"); }), 1) << "nothing to write";
    EXPECT_EQ(recorder.texts(), Texts({L"无法写入文件:.\\r.ini"}));
    EXPECT_EQ(folder.read("r.ini"), before);
    EXPECT_EQ(ini.GetInt(L"a", L"k"), 1);
    writable(true);
    EXPECT_EQ(ini.SetString(L"a", L"k", L"3"), 1);
    writable(false);
    EXPECT_EQ(ini.SetString(L"a", L"k", L"4"), 0);
    EXPECT_EQ(recorder.texts().size(), 2u) << "told again once a write had succeeded";
}
