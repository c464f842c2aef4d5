#include "areas/TextAreas.h"
#include "areas/AwardPicArea.h"
#include "areas/AwardResult.h"
#include "areas/AwardScrollArea.h"
#include "platform/IniDocument.h"
#include "support/MessageRecorder.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

CLottoryArea loaded(const TestFolder& folder, const std::string& section,
                    COLORREF colorBefore = rgbColor(1, 2, 3))
{
    folder.write("AwardInfo.ini", "[AwardMainTitle]\r\n" + section);
    CIni ini(folder.event(), AwardInfoFile);
    CLottoryArea area;
    area.m_fontColor = colorBefore;
    LoadArea(ini, area, L"AwardMainTitle");
    return area;
}

} // namespace

TEST(TextAreas, LoadsEveryFieldOfItsSection)
{
    TestFolder folder;
    const CLottoryArea area =
        loaded(folder, "PosLeft=100\r\nPosTop=20\r\nPosRight=900\r\nPosBottom=120\r\nFontSize=72\r\n"
                       "FontName=宋体\r\nFontColor=255,255,0,0\r\nTitleName=年会 & 抽奖\r\n");
    EXPECT_EQ(area.m_rect, Rect(100, 20, 900, 120));
    EXPECT_EQ(area.m_fontSize, 72);
    EXPECT_EQ(area.m_fontName, QString("宋体"));
    EXPECT_EQ(area.m_titleName, QString("年会 & 抽奖"));
    EXPECT_EQ(area.m_fontColor, rgbColor(255, 0, 0));
}

TEST(TextAreas, MissingKeysReadAsZeroAndEmpty)
{
    TestFolder folder;
    const CLottoryArea area = loaded(folder, "");
    EXPECT_EQ(area.m_rect, Rect());
    EXPECT_EQ(area.m_fontSize, 0);
    EXPECT_TRUE(area.m_fontName.isEmpty());
    EXPECT_TRUE(area.m_titleName.isEmpty());
    EXPECT_EQ(CLottoryArea().m_fontColor, rgbColor(0, 0, 0));
}

TEST(TextAreas, FontColourNeedsExactlyFourFields)
{
    TestFolder folder;
    const COLORREF before = rgbColor(1, 2, 3);
    struct Case
    {
        const char* value;
        COLORREF expected;
    } cases[] = {
        {nullptr, before},
        {"", before},
        {"255,0,0", before},
        {"0,1,2,3,4", before},
        {"255,300,-1,12", rgbColor(44, 255, 12)},
        {"x,1,2,3", rgbColor(1, 2, 3)},
        {"255,,0,0", rgbColor(0, 0, 0)},
        {"255, 10,20abc,+30", rgbColor(10, 20, 30)},
        {"255,99999999999,0,0", rgbColor(255, 0, 0)},
    };
    for (const Case& c : cases) {
        const std::string section = c.value ? std::string("FontColor=") + c.value + "\r\n" : std::string();
        EXPECT_EQ(loaded(folder, section, before).m_fontColor, c.expected)
            << (c.value ? c.value : "(missing)");
    }
}

TEST(TextAreas, SavingTheLayoutNeverTouchesTheTitleAndTheTitleNeverTheLayout)
{
    TestFolder folder;
    folder.write("AwardInfo.ini",
                 "[AwardType]\r\nTitleName=keep\r\nPosLeft=1\r\n; note\r\n[AwardPic]\r\nPosLeft=5\r\n");
    CLottoryArea area;
    area.m_rect = Rect(10, 20, 30, 40);
    area.m_fontSize = 48;
    area.m_fontName = "黑体";
    area.m_fontColor = rgbColor(0, 128, 255);
    area.m_titleName = "not written";
    CIni(folder.event(), AwardInfoFile).Apply([&](IniDocument& doc) {
        WriteAreaLayout(doc, AreaType, area);
    });
    EXPECT_EQ(folder.read("AwardInfo.ini"),
              "[AwardType]\r\nTitleName=keep\r\nPosLeft=10\r\nPosTop=20\r\nPosRight=30\r\nPosBottom=40\r\n"
              "FontSize=48\r\nFontName=\xBA\xDA\xCC\xE5\r\nFontColor=255,0,128,255\r\n; note\r\n"
              "[AwardPic]\r\nPosLeft=5\r\n");
    area.m_titleName = "new";
    area.m_rect = Rect(0, 0, 1, 1);
    const std::string layout = folder.read("AwardInfo.ini");
    CIni(folder.event(), AwardInfoFile).Apply([&](IniDocument& doc) { WriteAreaTitle(doc, AreaType, area); });
    std::string expected = layout;
    expected.replace(expected.find("TitleName=keep"), 14, "TitleName=new");
    EXPECT_EQ(folder.read("AwardInfo.ini"), expected);
}

TEST(TextAreas, CreatesTheEightAreasOfTheirKindsFromTheirSections)
{
    TestFolder folder;
    std::string file;
    for (int i = 0; i < AreaCount; ++i)
        file += "[" + QString::fromWCharArray(AreaSectionNames[i]).toStdString() + "]\r\nTitleName=t" +
                std::to_string(i) + "\r\nPosRight=" + std::to_string(i * 10) + "\r\n";
    folder.write("AwardInfo.ini", file);
    AreaSet areas;
    CreateAreas(folder.event(), areas);
    for (int i = 0; i < AreaCount; ++i) {
        ASSERT_TRUE(areas[size_t(i)]);
        EXPECT_EQ(areas[size_t(i)]->m_titleName, QString("t%1").arg(i));
        EXPECT_EQ(areas[size_t(i)]->m_rect.right, i * 10);
    }
    EXPECT_TRUE(dynamic_cast<AwardScrollArea*>(areas[AreaScroll].get()));
    EXPECT_TRUE(dynamic_cast<AwardPicArea*>(areas[AreaPic].get()));
    EXPECT_TRUE(dynamic_cast<AwardResult*>(areas[AreaResultLine].get()));
    EXPECT_FALSE(dynamic_cast<AwardResult*>(areas[AreaStatus].get()));

    // A second creation replaces the areas with what the file holds now.
    areas[0]->m_titleName = "changed in memory";
    CreateAreas(folder.event(), areas);
    EXPECT_EQ(areas[0]->m_titleName, QString("t0"));
}

TEST(TextAreas, AMissingConfigurationIsReportedOnceNotForEveryKey)
{
    TestFolder folder;
    MessageRecorder recorder;
    AreaSet areas;
    CreateAreas(folder.event(), areas);
    EXPECT_EQ(recorder.texts(), (std::vector<std::wstring>{L"AwardInfo.ini", L"AwardInfo.iniFile unexist"}));
    for (const auto& area : areas) {
        ASSERT_TRUE(area);
        EXPECT_TRUE(area->m_titleName.isEmpty());
    }
}
