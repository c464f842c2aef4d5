#include "areas/CLottoryArea.h"
#include "areas/AreaFont.h"
#include "areas/AwardScrollArea.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <climits>
#include <gtest/gtest.h>

namespace {

const QColor Background(10, 20, 30);

QImage render(CLottoryArea& area, QSize size = QSize(400, 200))
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Background);
    QPainter painter(&image);
    area.Draw(&painter);
    return image;
}

// The box around every pixel that is not background; empty when none is.
QRect ink(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != Background)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

CLottoryArea titled(const QString& text, Rect rect = Rect(50, 50, 350, 150))
{
    CLottoryArea area;
    area.m_rect = rect;
    area.m_fontSize = 40;
    area.m_fontColor = rgbColor(255, 255, 0);
    area.m_titleName = text;
    return area;
}

} // namespace

TEST(CLottoryArea, AnEmptyTitleDrawsNothing)
{
    CLottoryArea area = titled("");
    EXPECT_TRUE(ink(render(area)).isEmpty());
    AwardScrollArea frame;
    frame.m_rect = Rect(0, 0, 100, 100);
    frame.m_titleName = "never drawn";
    EXPECT_TRUE(ink(render(frame)).isEmpty());
}

TEST(CLottoryArea, DrawsItsTitleCentredInItsColourWithoutABackground)
{
    CLottoryArea area = titled("WWW");
    const QImage image = render(area);
    const QRect box = ink(image);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_TRUE(QRect(50, 50, 300, 100).contains(box));
    EXPECT_NEAR(box.center().x(), 200, 3);
    EXPECT_NEAR(box.center().y(), 100, 6);
    EXPECT_EQ(image.pixelColor(box.center().x(), box.top() + 1).rgb() & 0xFFFF00,
              QColor(255, 255, 0).rgb() & 0xFFFF00);
    EXPECT_EQ(image.pixelColor(60, 55), Background);
}

TEST(CLottoryArea, TextIsClippedToTheAreaAndCornersMayComeInAnyOrder)
{
    CLottoryArea area = titled("A very long title that cannot fit", Rect(300, 120, 100, 80));
    const QRect box = ink(render(area));
    ASSERT_FALSE(box.isEmpty());
    EXPECT_TRUE(QRect(100, 80, 200, 40).contains(box)) << box.x() << "," << box.y() << " " << box.width();
}

TEST(CLottoryArea, AnAmpersandUnderlinesTheNextCharacterInsteadOfBeingDrawn)
{
    CLottoryArea withAmpersand = titled("A&B");
    CLottoryArea plain = titled("AB");
    const QImage marked = render(withAmpersand);
    const QRect markedBox = ink(marked);
    const QRect plainBox = ink(render(plain));
    EXPECT_NEAR(markedBox.width(), plainBox.width(), 2);
    // The underline reaches below the letters.
    EXPECT_GT(markedBox.bottom(), plainBox.bottom());
}

TEST(CLottoryArea, APositiveFontHeightIsTheCharacterCell)
{
    for (int height : {12, 40, 72, 200}) {
        const QFont font = AreaFont::font(QString(), height);
        EXPECT_LE(QFontMetrics(font).height(), height) << height;
        QFont bigger = font;
        bigger.setPixelSize(font.pixelSize() + 1);
        EXPECT_GT(QFontMetrics(bigger).height(), height) << height;
    }
    EXPECT_EQ(AreaFont::font(QString(), -30).pixelSize(), 30);
    EXPECT_EQ(AreaFont::font(QString(), INT_MIN).pixelSize(), 4000) << "held, not overflowed";
    EXPECT_EQ(AreaFont::font(QString(), 0).pixelSize(), QFont().pixelSize());
}

TEST(CLottoryArea, TextWithoutItsMnemonics)
{
    struct Case
    {
        const char* text;
        const char* shown;
    } cases[] = {{"A&B", "AB"}, {"A&&B", "A&B"}, {"AB&", "AB"}, {"&&&x", "&x"}, {"none", "none"}, {"", ""}};
    for (const Case& c : cases)
        EXPECT_EQ(AreaFont::withoutMnemonics(c.text), QString(c.shown)) << c.text;
}
