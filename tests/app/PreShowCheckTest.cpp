#include "app/PreShowCheck.h"
#include "app/DrawSession.h"
#include "support/TestEvent.h"

#include <QFile>
#include <gtest/gtest.h>
#include <map>

// An event prepared with faults: each shows on its own line, and what is
// right says 正常; the show is not held up by any of it.
TEST(PreShowCheck, AFaultyEventIsToldLineByLine)
{
    TestFolder folder;
    TestEvent::make(folder, 1, {2, 1, 1});
    folder.write("data.txt", "张伟 研发部\r\n张伟 研发部\r\n李 四\r\n李四\r\n王五 市场部\r\n");
    folder.write("Music/start.mp3", folder.read("Music/result.mp3"));
    folder.write("AwardInfo.ini",
                 folder.read("AwardInfo.ini") +
                     "[AwardRange]\r\nRange0=包含 销售部\r\nRange1=不含 研发部\r\nRange2=排除 vip.txt\r\n");
    folder.write("vip.txt", "王五\r\n");
    QFile::remove(folder.filePath("Backimg/exit.jpg"));
    DrawSession session(folder.event());
    session.open(1920, 1080);
    session.takeNotices();
    PreShowCheck::Views views;
    views.soundAvailable = false;
    views.screen = QStringLiteral("HDMI-1 1920 × 1080");
    const std::vector<PreShowCheck::Line> lines = PreShowCheck::run(session, views);
    std::map<QString, PreShowCheck::Line> by;
    for (const PreShowCheck::Line& line : lines)
        by[line.subject] = line;
    const struct
    {
        const char* subject;
        bool ok;
        const char* says;
    } expected[] = {
        {"名单", false, "\"李 四\" 与 \"李四\""},
        {"Prize0 抽奖范围", false, "内没有可抽的人"},
        {"Prize1 抽奖范围", true, "现在可抽 3 人"},
        {"Prize2 抽奖范围", true, "vip.txt 去掉 1 人"},
        {"图片", false, "Backimg\\exit.jpg"},
        {"声音文件", false, "Music\\stop.wav"},
        {"声音输出", false, "没有可用的声音输出"},
        {"手机页面", true, "未开启"},
        {"观众屏幕", true, "HDMI-1"},
    };
    for (const auto& e : expected) {
        const auto found = by.find(QString::fromUtf8(e.subject));
        ASSERT_NE(found, by.end()) << e.subject;
        EXPECT_EQ(found->second.ok, e.ok) << e.subject << ": " << found->second.text.toStdString();
        EXPECT_TRUE(found->second.text.contains(QString::fromUtf8(e.says)))
            << found->second.text.toStdString();
    }
    EXPECT_TRUE(by[QStringLiteral("名单")].text.contains(QStringLiteral("张伟"))) << "the same line twice";
    EXPECT_TRUE(by[QStringLiteral("磁盘空间")].text.contains(QStringLiteral("剩余")));
    EXPECT_TRUE(PreShowCheck::text(lines).contains(QStringLiteral("✗ 声音文件: 缺少 Music\\stop.wav")));
}
