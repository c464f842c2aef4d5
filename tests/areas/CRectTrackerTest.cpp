#include "areas/CRectTracker.h"

#include <gtest/gtest.h>

namespace {

CRectTracker trackerAt(const Rect& rect)
{
    CRectTracker tracker;
    tracker.m_rect = rect;
    return tracker;
}

const Rect Title(100, 20, 900, 120);

} // namespace

TEST(CRectTracker, HandlesLieInsideTheRectangleEachWithItsCursor)
{
    struct Case
    {
        int x, y, hit;
        Qt::CursorShape cursor;
    };
    const Case cases[] = {
        {100, 20, CRectTracker::hitTopLeft, Qt::SizeFDiagCursor},
        {899, 20, CRectTracker::hitTopRight, Qt::SizeBDiagCursor},
        {899, 119, CRectTracker::hitBottomRight, Qt::SizeFDiagCursor},
        {107, 112, CRectTracker::hitBottomLeft, Qt::SizeBDiagCursor},
        {496, 20, CRectTracker::hitTop, Qt::SizeVerCursor},
        {899, 66, CRectTracker::hitRight, Qt::SizeHorCursor},
        {503, 119, CRectTracker::hitBottom, Qt::SizeVerCursor},
        {100, 73, CRectTracker::hitLeft, Qt::SizeHorCursor},
        {108, 28, CRectTracker::hitMiddle, Qt::SizeAllCursor},
        {500, 70, CRectTracker::hitMiddle, Qt::SizeAllCursor},
        {900, 70, CRectTracker::hitNothing, Qt::ArrowCursor},
        {99, 70, CRectTracker::hitNothing, Qt::ArrowCursor},
        {500, 120, CRectTracker::hitNothing, Qt::ArrowCursor},
    };
    const CRectTracker upright = trackerAt(Title);
    const CRectTracker inverted = trackerAt(Rect(900, 120, 100, 20));
    for (const Case& c : cases) {
        EXPECT_EQ(upright.HitTest(c.x, c.y), c.hit) << c.x << "," << c.y;
        EXPECT_EQ(inverted.HitTest(c.x, c.y), c.hit) << "corners in any order " << c.x << "," << c.y;
        EXPECT_EQ(CRectTracker::cursorFor(c.hit), c.cursor) << c.hit;
    }
    // Too short a side has no middle handle on it.
    EXPECT_EQ(trackerAt(Rect(0, 0, 20, 20)).HitTest(10, 0), CRectTracker::hitMiddle);
}

TEST(CRectTracker, DragsMoveOrResizeAndNeverTurnTheRectangleInsideOut)
{
    struct Case
    {
        int x, y, dx, dy;
        Rect expected;
    };
    const Case cases[] = {
        {500, 70, 50, 30, Rect(150, 50, 950, 150)},       {100, 20, 50, 30, Rect(150, 50, 900, 120)},
        {899, 119, 50, 30, Rect(100, 20, 950, 150)},      {496, 20, 50, 30, Rect(100, 50, 900, 120)},
        {100, 66, 50, 30, Rect(150, 20, 900, 120)},       {100, 66, 1000, 0, Rect(884, 20, 900, 120)},
        {899, 20, -1000, 1000, Rect(100, 104, 116, 120)},
    };
    for (const Case& c : cases) {
        CRectTracker tracker = trackerAt(Title);
        ASSERT_TRUE(tracker.beginTrack(c.x, c.y));
        EXPECT_TRUE(tracker.isTracking());
        tracker.trackTo(c.x + c.dx / 2, c.y + c.dy / 2);
        tracker.trackTo(c.x + c.dx, c.y + c.dy);
        tracker.endTrack();
        EXPECT_FALSE(tracker.isTracking());
        EXPECT_EQ(tracker.m_rect, c.expected) << c.x << "," << c.y << " by " << c.dx << "," << c.dy;
    }
    CRectTracker tracker = trackerAt(Title);
    EXPECT_FALSE(tracker.beginTrack(950, 70)) << "a press beside it tracks nothing";
    ASSERT_TRUE(tracker.beginTrack(500, 70));
    tracker.trackTo(700, 300);
    tracker.cancelTrack();
    EXPECT_FALSE(tracker.isTracking());
    EXPECT_EQ(tracker.m_rect, Title) << "cancelled";
}

TEST(CRectTracker, TheTrueRectangleIsNormalisedGrownAndSaturated)
{
    EXPECT_EQ(trackerAt(Title).GetTrueRect(), Rect(99, 19, 901, 121));
    EXPECT_EQ(trackerAt(Rect(900, 120, 100, 20)).GetTrueRect(), Rect(99, 19, 901, 121));
    EXPECT_EQ(trackerAt(Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX)).GetTrueRect(),
              Rect(INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    CRectTracker far = trackerAt(Rect(INT_MAX - 100, 0, INT_MAX, 100));
    ASSERT_TRUE(far.beginTrack(INT_MAX - 50, 50));
    far.trackTo(INT_MAX, 50);
    EXPECT_EQ(far.m_rect.right, INT_MAX) << "a move saturates";
}
