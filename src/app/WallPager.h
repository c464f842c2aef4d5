#pragma once

#include "app/WinnerWall.h"

#include <QObject>
#include <QTimer>
#include <cstddef>
#include <vector>

class CLottoryArea;
class DrawEngine;

// The names area's wall and its pages: the winners of the prize just drawn,
// or while names cycle the grid they will fill; the page shown, the timer
// that turns them round, and the clicker's keys with their guard: on the last
// page a press counts only once that page has been seen for a second.
class WallPager : public QObject
{
    Q_OBJECT
public:
    static constexpr int DefaultSeconds = 6;
    static constexpr int LastPageGuardMs = 1000;

    explicit WallPager(QObject* parent = nullptr);

    // Seconds a page stays; 0 turns them only by key.
    void setSeconds(int seconds) { m_seconds = seconds; }
    // Whether a one column of few winners is drawn in a grown font ([AwardScroll] Grow).
    void setGrow(bool grow) { m_grow = grow; }
    bool grows() const { return m_grow; }
    const WinnerWall& wall() const { return m_wall; }
    int page() const { return m_page; }
    int pages() const { return m_pages; }
    // Lays the wall out in the area for what the engine shows: its first page
    // shows, or with `keepPage` the one shown as far as it is still there. The
    // timer runs when there are pages; while names cycle there is one, standing.
    void layOut(const CLottoryArea& area, int screenHeight, const DrawEngine& engine, bool keepPage);
    // A wall laid out elsewhere (another thread) for those winners, shown as `layOut` shows it.
    void install(WinnerWall wall, bool keepPage);
    // The wall `layOut` makes for those names; any thread.
    static WinnerWall wallFor(const Rect& rect, const QString& faceName, int fontSize, int screenHeight,
                              const std::vector<QString>& names, bool grow);
    // The names the wall is measured on: the winners of the prize just drawn,
    // or while names cycle at most `CyclingSample` spread over the pool.
    static std::vector<QString> namesOnWall(const DrawEngine& engine);
    // The cells it holds: the winners, or while names cycle as many as will win.
    static std::size_t cellsOnWall(const DrawEngine& engine);
    static constexpr std::size_t CyclingSample = 200;
    // The clicker's keys: false when there was no page to turn to.
    bool next();
    bool previous();
    // Whether the last page has been shown long enough for a press to count.
    bool lastPageSeen() const;
    // The timer's turn: after the last page the first shows again.
    void turn();

signals:
    void pageChanged(int page, int pages);

private:
    void show(int page);

    WinnerWall m_wall;
    QTimer m_timer;
    int m_page = 0;
    int m_pages = 1;
    bool m_grow = true;
    int m_seconds = DefaultSeconds;
    bool m_turning = false;
    qint64 m_shownAt = 0;
};
