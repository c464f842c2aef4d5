#include "app/CRafoApp.h"
#include "support/TestFiles.h"

#include <QFont>
#include <gtest/gtest.h>

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
