#include "app/WallPager.h"

#include "app/DrawEngine.h"
#include "areas/CLottoryArea.h"
#include "platform/Clock.h"

#include <algorithm>

WallPager::WallPager(QObject* parent) : QObject(parent)
{
    connect(&m_timer, &QTimer::timeout, this, &WallPager::turn);
}

void WallPager::layOut(const CLottoryArea& area, int screenHeight, const DrawEngine& engine, bool keepPage)
{
    m_wall = WinnerWall::layOut(
        area.m_rect, area.m_fontName, area.m_fontSize, WinnerWall::minimumCellHeight(screenHeight),
        namesOnWall(engine), cellsOnWall(engine), m_grow ? WinnerWall::largestCellHeight(screenHeight) : 0);
    m_turning = !engine.running();
    m_pages = m_turning ? std::max(1, m_wall.pages()) : 1;
    show(keepPage ? std::min(m_page, m_pages - 1) : 0);
}

void WallPager::install(WinnerWall wall, bool keepPage)
{
    m_wall = std::move(wall);
    m_turning = true;
    m_pages = std::max(1, m_wall.pages());
    show(keepPage ? std::min(m_page, m_pages - 1) : 0);
}

WinnerWall WallPager::wallFor(const Rect& rect, const QString& faceName, int fontSize, int screenHeight,
                              const std::vector<QString>& names, bool grow)
{
    return WinnerWall::layOut(rect, faceName, fontSize, WinnerWall::minimumCellHeight(screenHeight), names,
                              grow ? WinnerWall::largestCellHeight(screenHeight) : 0);
}

std::size_t WallPager::cellsOnWall(const DrawEngine& engine)
{
    if (!engine.isCurrentPrize())
        return 0;
    if (!engine.running())
        return engine.award(engine.current()).winners.size();
    return std::min(engine.pool().size(),
                    static_cast<size_t>(std::max(0, engine.award(engine.current()).winnerCount)));
}

std::vector<QString> WallPager::namesOnWall(const DrawEngine& engine)
{
    std::vector<QString> names;
    if (!engine.isCurrentPrize())
        return names;
    if (engine.running()) {
        // The grid the winners will fill, measured on names spread over the
        // pool: a sample, as measuring is what a start waits for.
        const NamePool& pool = engine.pool();
        const size_t count = std::min(cellsOnWall(engine), CyclingSample);
        const size_t step = count > 0 ? std::max<size_t>(1, pool.size() / count) : 1;
        for (size_t i = 0; i < count; ++i)
            names.push_back(pool.text((i * step) % pool.size()));
        return names;
    }
    for (const tstring& winner : engine.award(engine.current()).winners)
        names.push_back(QString::fromStdWString(winner));
    return names;
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
