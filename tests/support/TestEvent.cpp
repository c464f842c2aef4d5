#include "support/TestEvent.h"

#include "support/TestSounds.h"

#include <QDir>
#include <QImage>

namespace {

void picture(TestFolder& folder, const QString& name, QSize size, const QColor& color)
{
    QDir(folder.path()).mkpath("Backimg");
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    image.save(folder.filePath("Backimg/" + name), name.endsWith(".png") ? "PNG" : "JPG", 100);
}

std::string area(const char* section, const char* rect, const char* title, int size, const char* color)
{
    const QStringList r = QString(rect).split(',');
    return std::string("[") + section + "]\r\nTitleName=" + title + "\r\nPosLeft=" + r[0].toStdString() +
           "\r\nPosTop=" + r[1].toStdString() + "\r\nPosRight=" + r[2].toStdString() +
           "\r\nPosBottom=" + r[3].toStdString() + "\r\nFontSize=" + std::to_string(size) +
           "\r\nFontName=\r\nFontColor=255," + color + "\r\n";
}

} // namespace

void TestEvent::make(TestFolder& folder, int participants, std::initializer_list<int> winnerCounts)
{
    picture(folder, "show.jpg", QSize(192, 108), Show);
    picture(folder, "start.jpg", QSize(30, 8), Start);
    picture(folder, "stop.jpg", QSize(30, 8), Stop);
    picture(folder, "result.jpg", QSize(192, 108), Result);
    picture(folder, "exit.jpg", QSize(18, 8), Exit);
    picture(folder, "prize.png", QSize(56, 42), Prize);

    // A short tone; the player recognises it by its content, whatever its name says.
    folder.write("Music/result.mp3", wavTone(1000));

    std::string people;
    for (int i = 0; i < participants; ++i)
        people += "p" + std::to_string(i) + "\r\n";
    folder.write("data.txt", people);

    std::string config =
        "[ScreenPixel]\r\ncx=1920\r\ncy=1080\r\nstartx1=1160\r\nstarty1=905\r\nstartx2=1460\r\n"
        "starty2=985\r\nstopx1=1500\r\nstopy1=905\r\nstopx2=1800\r\nstopy2=985\r\nexitx1=1700\r\n"
        "exity1=960\r\nexitx2=1880\r\nexity2=1040\r\n[AwardInfo]\r\n";
    int i = 0;
    for (int count : winnerCounts) {
        config += "AwardItem" + std::to_string(i) + "=Prize" + std::to_string(i) + "|0|" +
                  std::to_string(count) + "|Gift" + std::to_string(i) + "|Backimg\\prize.png\r\n";
        ++i;
    }
    config += area("AwardMainTitle", "160,40,1760,160", "Title", 60, "255,200,0");
    config += area("AwardSubTitle", "360,160,1560,235", "Sub", 40, "255,255,255");
    config += area("AwardType", "80,280,760,370", "", 50, "0,255,255");
    config += area("AwardScroll", "860,280,1840,890", "", 40, "255,255,0");
    config += area("AwardText", "80,380,760,450", "", 36, "255,255,255");
    config += area("AwardPic", "140,470,700,890", "", 0, "0,0,0");
    config += area("AwardStatus", "80,905,1100,965", "", 28, "255,128,0");
    config += area("AwardResult", "0,995,1920,1065", "Welcome", 36, "255,255,255");
    folder.write("AwardInfo.ini", config);
    folder.write("AwardResult.ini", "");
}
