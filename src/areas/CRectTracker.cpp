#include "areas/CRectTracker.h"

#include <QPainter>

namespace {

// Corners always have a handle; a side only when it is long enough to hold one clear of them.
bool hasHandle(int hit, const Rect& r)
{
    if (hit < CRectTracker::hitTop)
        return true;
    const bool horizontal = hit == CRectTracker::hitTop || hit == CRectTracker::hitBottom;
    return (horizontal ? r.width() : r.height()) >= 3 * CRectTracker::HandleSize;
}

// Where a dragged edge may go: it follows the mouse but keeps its distance
// from the opposite edge.
int lowEdge(int start, long long delta, int opposite, int minSize)
{
    return static_cast<int>(std::min<long long>(static_cast<long long>(start) + delta,
                                                static_cast<long long>(opposite) - minSize));
}

int highEdge(int start, long long delta, int opposite, int minSize)
{
    return static_cast<int>(std::max<long long>(static_cast<long long>(start) + delta,
                                                static_cast<long long>(opposite) + minSize));
}

} // namespace

Rect CRectTracker::handleRect(int hit, const Rect& r) const
{
    const int s = HandleSize;
    const int midX = saturated((static_cast<long long>(r.left) + r.right - s) / 2);
    const int midY = saturated((static_cast<long long>(r.top) + r.bottom - s) / 2);
    const int rightX = saturated(static_cast<long long>(r.right) - s);
    const int bottomY = saturated(static_cast<long long>(r.bottom) - s);
    int x = r.left;
    int y = r.top;
    switch (hit) {
    case hitTopRight:
        x = rightX;
        break;
    case hitBottomRight:
        x = rightX;
        y = bottomY;
        break;
    case hitBottomLeft:
        y = bottomY;
        break;
    case hitTop:
        x = midX;
        break;
    case hitRight:
        x = rightX;
        y = midY;
        break;
    case hitBottom:
        x = midX;
        y = bottomY;
        break;
    case hitLeft:
        y = midY;
        break;
    default:
        break;
    }
    return Rect(x, y, saturated(static_cast<long long>(x) + s), saturated(static_cast<long long>(y) + s));
}

int CRectTracker::HitTest(int x, int y) const
{
    const Rect r = m_rect.normalized();
    if (!r.contains(x, y))
        return hitNothing;
    for (int hit = hitTopLeft; hit <= hitLeft; ++hit) {
        if (hasHandle(hit, r) && handleRect(hit, r).contains(x, y))
            return hit;
    }
    return hitMiddle;
}

Rect CRectTracker::GetTrueRect() const
{
    Rect r = m_rect.normalized();
    r.left = saturated(static_cast<long long>(r.left) - 1);
    r.top = saturated(static_cast<long long>(r.top) - 1);
    r.right = saturated(static_cast<long long>(r.right) + 1);
    r.bottom = saturated(static_cast<long long>(r.bottom) + 1);
    return r;
}

Qt::CursorShape CRectTracker::cursorFor(int hit)
{
    switch (hit) {
    case hitTopLeft:
    case hitBottomRight:
        return Qt::SizeFDiagCursor;
    case hitTopRight:
    case hitBottomLeft:
        return Qt::SizeBDiagCursor;
    case hitTop:
    case hitBottom:
        return Qt::SizeVerCursor;
    case hitLeft:
    case hitRight:
        return Qt::SizeHorCursor;
    case hitMiddle:
        return Qt::SizeAllCursor;
    default:
        return Qt::ArrowCursor;
    }
}

bool CRectTracker::beginTrack(int x, int y)
{
    m_hit = HitTest(x, y);
    if (m_hit == hitNothing)
        return false;
    m_startX = x;
    m_startY = y;
    m_startRect = m_rect;
    m_rect = m_rect.normalized();
    return true;
}

void CRectTracker::trackTo(int x, int y)
{
    if (!isTracking())
        return;
    const long long dx = static_cast<long long>(x) - m_startX;
    const long long dy = static_cast<long long>(y) - m_startY;
    const Rect s = m_startRect.normalized();
    if (m_hit == hitMiddle) {
        m_rect = s;
        m_rect.offset(saturated(dx), saturated(dy));
        return;
    }
    const int minW = std::min(MinSize, s.width());
    const int minH = std::min(MinSize, s.height());
    Rect r = s;
    if (m_hit == hitTopLeft || m_hit == hitBottomLeft || m_hit == hitLeft)
        r.left = lowEdge(s.left, dx, s.right, minW);
    if (m_hit == hitTopRight || m_hit == hitBottomRight || m_hit == hitRight)
        r.right = highEdge(s.right, dx, s.left, minW);
    if (m_hit == hitTopLeft || m_hit == hitTopRight || m_hit == hitTop)
        r.top = lowEdge(s.top, dy, s.bottom, minH);
    if (m_hit == hitBottomLeft || m_hit == hitBottomRight || m_hit == hitBottom)
        r.bottom = highEdge(s.bottom, dy, s.top, minH);
    m_rect = r;
}

void CRectTracker::endTrack()
{
    m_hit = hitNothing;
    m_rect = m_rect.normalized();
}

void CRectTracker::cancelTrack()
{
    if (!isTracking())
        return;
    m_rect = m_startRect;
    m_hit = hitNothing;
}

void CRectTracker::Draw(QPainter* painter) const
{
    const Rect r = m_rect.normalized();
    if (r.isEmpty())
        return;
    painter->save();
    // White under black dots, so the outline shows on dark and light pictures alike.
    const QRect outline = r.toQRect().adjusted(-1, -1, 0, 0);
    painter->setBrush(Qt::NoBrush);
    painter->setPen(QPen(Qt::white, 1));
    painter->drawRect(outline);
    painter->setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter->drawRect(outline);
    for (int hit = hitTopLeft; hit <= hitLeft; ++hit) {
        if (!hasHandle(hit, r))
            continue;
        const QRect handle = handleRect(hit, r).toQRect();
        painter->fillRect(handle, Qt::black);
        painter->fillRect(handle.adjusted(1, 1, -1, -1), Qt::white);
    }
    painter->restore();
}
