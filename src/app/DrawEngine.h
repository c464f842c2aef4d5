#pragma once

#include "app/AwardItem.h"
#include "app/DrawHost.h"

#include <cstdint>
#include <vector>

// How one stop or one replacement chose its winners, so it can be replayed.
struct DrawRecord
{
    enum Outcome
    {
        Drawn,
        AllRemaining,
        EmptyPool
    };
    int prize = -1;
    Outcome outcome = Drawn;
    long long seed = 0;
    std::size_t poolSize = 0;
    // Of the pool before the draw.
    tstring poolDigest;
    std::vector<std::size_t> positions;
    std::vector<tstring> winners;
};

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

    // An absent winner of the prize just drawn gives way to one drawn from
    // the pool by the same rule; the absent one does not go back into it.
    enum ReplaceResult
    {
        Replaced,
        NothingToReplace,
        PoolEmpty
    };
    ReplaceResult ReplaceWinner(int row, DrawRecord& record);
    // The row of a winner that can be replaced now, or false.
    bool canReplace(int row) const;

    // The selection rule: seeded once, each pick removes one name from the pool.
    static void pick(std::vector<tstring>& pool, long long seed, int count,
                     std::vector<std::size_t>& positions, std::vector<tstring>& winners);

    // Takes the marked names out in one pass; the rest keep their order.
    static void removeMarked(std::vector<tstring>& pool, const std::vector<bool>& marked);

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
    // Winners who were absent and replaced; they stay out of the pool.
    std::vector<tstring> m_absent;

private:
    // 0 finished, 1 cycling, 2 still to draw.
    int prizeState(int index) const;

    DrawHost& m_host;
    // Of the pool when the current prize began to cycle.
    tstring m_cyclePoolDigest;
    std::size_t m_cyclePoolSize = 0;
};
