#include "app/TextScroll.h"

Rect TextScroll::entering(const Rect& area, int extent) const
{
    if (m_axis == Axis::Leftwards)
        return Rect(area.right, area.top, saturated(static_cast<long long>(area.right) + extent),
                    area.bottom);
    return Rect(area.left, area.bottom, area.right, saturated(static_cast<long long>(area.bottom) + extent));
}

void TextScroll::enterAt(const Rect& area, int extent, int offset)
{
    m_rect = entering(area, extent);
    if (m_axis == Axis::Leftwards)
        m_rect->offset(-offset + Step, 0);
    else
        m_rect->offset(0, -offset + Step);
}

Rect TextScroll::advance(const Rect& area, int extent)
{
    if (!m_rect)
        m_rect = entering(area, extent);
    if (m_axis == Axis::Leftwards) {
        m_rect->offset(-Step, 0);
        m_rect->right = saturated(static_cast<long long>(m_rect->left) + extent);
    } else {
        m_rect->offset(0, -Step);
        m_rect->bottom = saturated(static_cast<long long>(m_rect->top) + extent);
    }
    const bool gone = m_axis == Axis::Leftwards ? m_rect->right < area.left : m_rect->bottom < area.top;
    if (gone)
        m_rect = entering(area, extent);
    return *m_rect;
}
