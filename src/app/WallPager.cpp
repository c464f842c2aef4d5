#include "app/WallPager.h"

#include "platform/Clock.h"

#include <algorithm>

WallPager::WallPager(QObject* parent) : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &WallPager::turn);
}

void WallPager::laidOut(int pages, bool turning, bool keepPage)
{
    m_pages = std::max(1, pages);
    m_turning = turning;
    show(keepPage ? std::min(m_page, m_pages - 1) : 0);
}

bool WallPager::next()
{
    if (m_page + 1 >= m_pages)
        return false;
    show(m_page + 1);
    emit pageChanged(m_page, m_pages);
    return true;
}

bool WallPager::previous()
{
    if (m_page == 0)
        return false;
    show(m_page - 1);
    emit pageChanged(m_page, m_pages);
    return true;
}

bool WallPager::lastPageSeen() const
{
    // A press just as the timer turned to the last page starts nothing.
    return Clock::monotonicMs() - m_shownAt >= LastPageGuardMs;
}

void WallPager::turn()
{
    if (!m_turning || m_pages < 2)
        return;
    show((m_page + 1) % m_pages);
    emit pageChanged(m_page, m_pages);
}

void WallPager::show(int page)
{
    m_page = std::max(0, page);
    m_shownAt = Clock::monotonicMs();
    if (m_turning && m_pages > 1 && m_seconds > 0)
        m_timer.start(m_seconds * 1000);
    else
        m_timer.stop();
}
