#include "data/ScreenLayout.h"
#include "areas/AreaEditor.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

namespace {

std::string configuration(const std::string& screen)
{
    std::string file = "[ScreenPixel]\r\n" + screen +
                       "startx1=100\r\nstarty1=100\r\nstartx2=300\r\nstarty2=200\r\n"
                       "stopx1=500\r\nstopy1=50\r\nstopx2=700\r\nstopy2=150\r\n"
                       "exitx1=0\r\nexity1=0\r\nexitx2=64\r\nexity2=48\r\n";
    for (const wchar_t* section : AreaSectionNames)
        file += "[" + QString::fromWCharArray(section).toStdString() +
                "]\r\nPosLeft=100\r\nPosTop=50\r\nPosRight=500\r\nPosBottom=150\r\nTitleName=t\r\n";
    return file;
}

// A start on a 1920 x 1080 screen.
HotZones scale(const TestFolder& folder, AreaSet& areas)
{
    PendingSettings settings;
    return ScaleScreenLayout(folder.event(), areas, 1920, 1080, settings);
}

} // namespace

TEST(ScreenLayout, ScalesAreasAndHotZonesToTheRealScreen)
{
    TestFolder folder;
    folder.write("AwardInfo.ini", configuration("cx=1024\r\ncy=768\r\n"));
    AreaSet areas;
    CreateAreas(folder.event(), areas);
    const HotZones zones = scale(folder, areas);
    for (const auto& area : areas)
        EXPECT_EQ(area->m_rect, Rect(187, 70, 937, 210));
    EXPECT_EQ(zones.start, Rect(187, 140, 562, 281));
    EXPECT_EQ(zones.stop, Rect(937, 70, 1312, 210));
    EXPECT_EQ(zones.exit, Rect(0, 0, 120, 67));

    // The file now describes this screen, and a second start changes nothing.
    const std::string once = folder.read("AwardInfo.ini");
    EXPECT_NE(once.find("[ScreenPixel]\r\ncx=1920\r\ncy=1080\r\nstartx1=187\r\nstarty1=140\r\n"),
              std::string::npos);
    EXPECT_NE(
        once.find("[AwardPic]\r\nPosLeft=187\r\nPosTop=70\r\nPosRight=937\r\nPosBottom=210\r\nTitleName=t\r\n"
                  "FontSize=0\r\nFontName=\r\nFontColor=255,0,0,0\r\n"),
        std::string::npos);
    AreaSet again;
    CreateAreas(folder.event(), again);
    EXPECT_EQ(scale(folder, again).start, zones.start);
    EXPECT_EQ(again[3]->m_rect, Rect(187, 70, 937, 210));
    EXPECT_EQ(folder.read("AwardInfo.ini"), once);
}

TEST(ScreenLayout, TheSameScreenLeavesTheAreasAlone)
{
    TestFolder folder;
    const std::string before = configuration("cx=1920\r\ncy=1080\r\n");
    folder.write("AwardInfo.ini", before);
    AreaSet areas;
    CreateAreas(folder.event(), areas);
    const HotZones zones = scale(folder, areas);
    EXPECT_EQ(areas[0]->m_rect, Rect(100, 50, 500, 150));
    EXPECT_EQ(zones.stop, Rect(500, 50, 700, 150));
    EXPECT_EQ(folder.read("AwardInfo.ini"), before);
}

TEST(ScreenLayout, AMissingOrUnusableScreenSizeKeepsTheLayoutAsLoaded)
{
    for (const char* screen : {"", "cx=0\r\ncy=768\r\n", "cx=-1024\r\ncy=768\r\n", "cx=1024\r\ncy=abc\r\n"}) {
        TestFolder folder;
        folder.write("AwardInfo.ini", configuration(screen));
        AreaSet areas;
        CreateAreas(folder.event(), areas);
        const HotZones zones = scale(folder, areas);
        EXPECT_EQ(areas[0]->m_rect, Rect(100, 50, 500, 150)) << screen;
        EXPECT_EQ(zones.start, Rect(100, 100, 300, 200)) << screen;
        // From now on the layout counts as made for this screen.
        EXPECT_NE(folder.read("AwardInfo.ini").find("cx=1920\r\n"), std::string::npos) << screen;
    }
}

TEST(ScreenLayout, ProductsAreTruncatedTowardZero)
{
    struct Case
    {
        int value;
        float factor;
        int expected;
    } cases[] = {{100, 1.875f, 187},
                 {-100, 1.875f, -187},
                 {1, 0.999f, 0},
                 {2000000000, 4.0f, 2147483647},
                 {-2000000000, 4.0f, -2147483647 - 1},
                 {333, static_cast<float>(1080.0 / 768), 468}};
    for (const Case& c : cases)
        EXPECT_EQ(ScaleCoordinate(c.value, c.factor), c.expected) << c.value << " x " << c.factor;
}

// Fonts scale with their areas by the smaller factor, so a layout made for
// one screen keeps its text inside its areas on another, and the file then
// holds them for this screen.
TEST(ScreenLayout, FontsScaleByTheSmallerFactorAndAreWrittenBack)
{
    const struct
    {
        const char* madeFor;
        int width, height, font, scaled;
    } cases[] = {
        {"cx=1920\r\ncy=1080\r\n", 1280, 720, 60, 40},   {"cx=1920\r\ncy=1080\r\n", 1024, 768, 60, 32},
        {"cx=1920\r\ncy=1080\r\n", 3840, 2160, 60, 120}, {"cx=1024\r\ncy=768\r\n", 1920, 1080, 30, 42},
        {"cx=1024\r\ncy=768\r\n", 1024, 768, 30, 30},    {"cx=1920\r\ncy=1080\r\n", 1280, 720, 0, 0},
        {"cx=1920\r\ncy=1080\r\n", 192, 108, 5, 1},
    };
    for (const auto& c : cases) {
        TestFolder folder;
        std::string config;
        for (const QString& part : QString::fromStdString(configuration(c.madeFor)).split("TitleName=t"))
            config += (config.empty() ? "" : "FontSize=" + std::to_string(c.font) + "\r\nTitleName=t") +
                      part.toStdString();
        folder.write("AwardInfo.ini", config);
        AreaSet areas;
        CreateAreas(folder.event(), areas);
        PendingSettings settings;
        ScaleScreenLayout(folder.event(), areas, c.width, c.height, settings);
        for (const auto& area : areas)
            EXPECT_EQ(area->m_fontSize, c.scaled) << c.madeFor << " on " << c.width << "x" << c.height;
        EXPECT_NE(folder.read("AwardInfo.ini").find("FontSize=" + std::to_string(c.scaled) + "\r\n"),
                  std::string::npos);
    }
}

// When the show follows another screen, fonts scale with the areas in memory
// only; a font chosen there is kept in the file's scale.
TEST(ScreenLayout, FontsFollowAScreenChangeInMemoryAndAChosenFontIsKeptInTheFilesScale)
{
    TestFolder folder;
    std::string config;
    for (const QString& part :
         QString::fromStdString(configuration("cx=1920\r\ncy=1080\r\n")).split("TitleName=t"))
        config += (config.empty() ? "" : "FontSize=60\r\nTitleName=t") + part.toStdString();
    folder.write("AwardInfo.ini", config);
    AreaEditor editor(folder.event());
    editor.load();
    editor.scaleToScreen(1920, 1080);
    editor.followScreen(1280, 720);
    EXPECT_EQ(editor.area(AreaScroll).m_fontSize, 40);
    EXPECT_TRUE(editor.writeSettings());
    EXPECT_EQ(folder.read("AwardInfo.ini").find("FontSize=40"), std::string::npos);
    editor.select(100, 50);
    ASSERT_TRUE(editor.hasSelection());
    editor.setFont(QString(), 30, 0);
    EXPECT_EQ(editor.area(editor.selected()).m_fontSize, 30);
    EXPECT_NE(folder.read("AwardInfo.ini").find("FontSize=45"), std::string::npos);
    editor.followScreen(1920, 1080);
    EXPECT_EQ(editor.area(editor.selected()).m_fontSize, 45);
    EXPECT_EQ(editor.area(AreaScroll).m_fontSize, editor.selected() == AreaScroll ? 45 : 60);
}
