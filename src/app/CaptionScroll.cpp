#include "app/CaptionScroll.h"

namespace {

Rect enteringAt(const Rect& area, int textWidth)
{
    return Rect(area.right, area.top, saturated(static_cast<long long>(area.right) + textWidth), area.bottom);
}

} // namespace

Rect CaptionScroll::advance(const Rect& area, int textWidth)
{
    if (!m_rect)
        m_rect = enteringAt(area, textWidth);
    m_rect->offset(-Step, 0);
    if (m_rect->right < area.left)
        m_rect = enteringAt(area, textWidth);
    return *m_rect;
}
