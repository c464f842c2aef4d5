#include "platform/Rect.h"

#include <gtest/gtest.h>

TEST(Rect, RightAndBottomEdgesLieOutside)
{
    const Rect r(10, 20, 30, 40);
    struct Case
    {
        int x, y;
        bool inside;
    } cases[] = {{10, 20, true},  {29, 39, true}, {30, 20, false},
                 {10, 40, false}, {9, 25, false}, {15, 19, false}};
    for (const Case& c : cases)
        EXPECT_EQ(r.contains(c.x, c.y), c.inside) << c.x << "," << c.y;
    EXPECT_EQ(r.width(), 20);
    EXPECT_EQ(r.height(), 20);
}

TEST(Rect, CornersInTheWrongOrderAreNormalised)
{
    const Rect r = Rect(30, 40, 10, 20).normalized();
    EXPECT_EQ(r, Rect(10, 20, 30, 40));
    EXPECT_TRUE(Rect(30, 40, 10, 20).isEmpty());
    EXPECT_FALSE(r.isEmpty());
}

TEST(Rect, ConvertsToQtWithoutLosingAPixel)
{
    const Rect r(5, 6, 105, 56);
    const QRect q = r.toQRect();
    EXPECT_EQ(q.width(), 100);
    EXPECT_EQ(q.height(), 50);
    EXPECT_EQ(q.right(), 104);
    EXPECT_EQ(Rect::fromQRect(q), r);
}

TEST(Rect, ColourKeepsRedInTheLowByte)
{
    const COLORREF c = rgbColor(0x12, 0x34, 0x56);
    EXPECT_EQ(c, 0x563412u);
    EXPECT_EQ(redOf(c), 0x12);
    EXPECT_EQ(greenOf(c), 0x34);
    EXPECT_EQ(blueOf(c), 0x56);
}
