#include "app/SummaryScroll.h"

namespace {

Rect belowScreen(const Rect& screen, int textHeight)
{
    return Rect(screen.left, screen.bottom, screen.right,
                saturated(static_cast<long long>(screen.bottom) + textHeight));
}

} // namespace

Rect SummaryScroll::advance(const Rect& screen, int textHeight)
{
    if (!m_rect)
        m_rect = belowScreen(screen, textHeight);
    m_rect->offset(0, -Step);
    if (m_rect->bottom < screen.top)
        m_rect = belowScreen(screen, textHeight);
    return *m_rect;
}
