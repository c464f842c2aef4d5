#pragma once

#include "platform/Rect.h"

#include <Qt>

class QPainter;

// The frame the operator drags and resizes a text area with: a dotted
// outline with eight handles inside it. It keeps its own rectangle; the
// window applies it to the area and asks it which cursor to show.
class CRectTracker
{
public:
    enum Hit
    {
        hitNothing = -1,
        hitTopLeft = 0,
        hitTopRight = 1,
        hitBottomRight = 2,
        hitBottomLeft = 3,
        hitTop = 4,
        hitRight = 5,
        hitBottom = 6,
        hitLeft = 7,
        hitMiddle = 8
    };
    static constexpr int HandleSize = 8;
    // A resize stops short of this, so the rectangle never turns inside out
    // or shrinks to nothing the mouse can find again.
    static constexpr int MinSize = 2 * HandleSize;

    Rect m_rect;

    int HitTest(int x, int y) const;
    // The rectangle with corners in order, grown by one pixel on every side
    // for the outline.
    Rect GetTrueRect() const;
    static Qt::CursorShape cursorFor(int hit);

    // A press on a handle resizes, inside the rectangle moves, elsewhere
    // nothing; false when nothing is tracked.
    bool beginTrack(int x, int y);
    void trackTo(int x, int y);
    void endTrack();
    // Puts the rectangle back as it was before the press.
    void cancelTrack();
    bool isTracking() const { return m_hit != hitNothing; }

    void Draw(QPainter* painter) const;

private:
    Rect handleRect(int hit, const Rect& r) const;

    int m_hit = hitNothing;
    int m_startX = 0;
    int m_startY = 0;
    Rect m_startRect;
};
