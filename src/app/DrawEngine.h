#pragma once

#include "app/AwardItem.h"
#include "app/DrawHost.h"

#include <vector>

// The draw: who is still in the pool, the prize table, the current prize and
// whether names are cycling. Prizes go strictly in table order.
class DrawEngine
{
public:
    static constexpr const wchar_t* StartMusic = L"Music\\start.mp3";
    static constexpr const wchar_t* StopSound = L"Music\\stop.wav";
    static constexpr const wchar_t* PoolEmptyMessage = L"剩余抽奖人数为0";
    static constexpr const wchar_t* AllRemainingWinMessage = L"奖项多余抽奖人数,剩余的人奖全部中奖";

    explicit DrawEngine(DrawHost& host);

    // Back to the state before the first start, with nothing loaded.
    void Reset();

    void StartDraw();
    void StopDraw();

    int prizeCount() const { return static_cast<int>(m_awards.size()); }
    bool isCurrentPrize() const { return m_current >= 0 && m_current < prizeCount(); }
    bool isFinishedForDisplay(int index) const;
    // Both count the planned places of the prizes, not the names drawn.
    long long totalPlaces() const;
    long long placesDrawn() const;
    // How many prizes the result store records: a cycling prize does not count.
    int finishedCountToStore() const { return m_running ? m_current : m_current + 1; }

    // Changes of the prize table during the show. The finished prizes stay
    // the first ones of the table, so none is drawn twice and none skipped.
    void appendPrize(AwardItem item);
    // Removing the cycling prize stops the cycle without a draw.
    void removePrize(int index);
    // Only prizes on the same side of the finished ones trade places; the
    // cycling prize stays where it is.
    bool canMovePrize(int from, int to) const;
    void movePrize(int from, int to);

    // Where the cycling names start on this tick; -1 when the pool is empty.
    long long nextCycleStart();

    std::vector<tstring> m_pool;
    std::vector<AwardItem> m_awards;
    int m_current = -1;
    int m_running = 0;
    // Set by the restore at start-up: the draw continues the result store,
    // which may hold prizes this table does not have. A reset clears it, and
    // the next store replaces the old results.
    bool m_continuesStore = false;

private:
    void drawAtRandom(AwardItem& award, int count);
    // 0 finished, 1 cycling, 2 still to draw.
    int prizeState(int index) const;

    DrawHost& m_host;
};
