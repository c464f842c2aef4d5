#pragma once

#include "app/AwardItem.h"
#include "app/DrawRecord.h"
#include "app/DrawScope.h"
#include "app/NamePool.h"

#include <cstdint>
#include <future>
#include <vector>

// The draw: who is still in the pool, the prize table, the current prize and
// whether names are cycling. Prizes go strictly in table order. Every change
// goes through an operation that says what came of it; what is shown, heard
// or stored is the session's part.
class DrawEngine
{
public:
    enum class StartOutcome
    {
        Ignored,
        Cycling,
        // The start after the last prize: it counts one past the table.
        ResultScreen
    };
    enum class StopOutcome
    {
        Ignored,
        Drawn,
        // The pool was not larger than the prize: everyone left won.
        AllRemaining,
        EmptyPool
    };
    // An absent winner of the prize just drawn gives way to one drawn from
    // the pool by the same rule; the absent one does not go back into it.
    enum ReplaceResult
    {
        Replaced,
        NothingToReplace,
        PoolEmpty
    };

    // What the result store gives back: the stored count, the winners of the
    // prizes it holds, the replaced absent winners, the winners of deleted
    // prizes, and the pool entries they take (by position, as the pool was
    // loaded; empty when none).
    struct Restored
    {
        int storedCount = 0;
        std::vector<std::vector<tstring>> winners;
        std::vector<tstring> absent;
        std::vector<tstring> withdrawn;
        std::vector<bool> taken;
    };

    DrawEngine() = default;
    ~DrawEngine();
    DrawEngine(const DrawEngine&) = delete;
    DrawEngine& operator=(const DrawEngine&) = delete;

    // Back to the state before the first start, with nothing loaded.
    void Reset();
    // A fresh draw of these participants and prizes.
    void load(NamePool pool, std::vector<AwardItem> awards);
    void load(const std::vector<tstring>& pool, std::vector<AwardItem> awards)
    {
        load(NamePool(pool), std::move(awards));
    }
    // Continues the result store: from now on a store keeps what this run
    // knows nothing of, until a reset.
    void restore(Restored restored);

    // A stop or a replacement worked out on the pool and the prize table as
    // they stand, without changing either: the GUI thread may go on reading
    // them (the names cycle) while another thread works it out. `land` makes it so.
    struct Drawing
    {
        StopOutcome outcome = StopOutcome::Ignored;
        ReplaceResult replaced = NothingToReplace;
        // The replaced row; -1 for a stop.
        int row = -1;
        DrawRecord record;
        // The prize's winners once it has landed.
        std::vector<tstring> winners;
        NamePool::Order remaining;
        bool takesFromPool = false;
    };

    StartOutcome StartDraw();
    // The winners follow from the seed, the pool and the prize's scope alone:
    // with a scope, the positions count among the names it admits, in pool order.
    StopOutcome StopDraw(const DrawSeed& seed, DrawRecord& record, const DrawScope* scope = nullptr);
    ReplaceResult ReplaceWinner(int row, const DrawSeed& seed, DrawRecord& record,
                                const DrawScope* scope = nullptr)
    {
        return ReplaceWinner(m_current, row, seed, record, scope);
    }
    // The same for the winner in that row of any prize drawn so far.
    ReplaceResult ReplaceWinner(int prize, int row, const DrawSeed& seed, DrawRecord& record,
                                const DrawScope* scope = nullptr);
    // The same in two steps. Between them only the pool's digest may change,
    // and the plan must land before anything else changes the draw.
    Drawing planStop(const DrawSeed& seed, const DrawScope* scope = nullptr);
    Drawing planReplace(int prize, int row, const DrawSeed& seed, const DrawScope* scope = nullptr);
    // The replacement of a witnessed prize's winner: among the pool's names at
    // `candidates` (those its commitment admitted), continuing its words.
    Drawing planReplace(int prize, int row, const WitnessStream& stream,
                        const std::vector<std::size_t>& candidates);
    // Where in the pool the names of that list are, in pool order.
    std::vector<std::size_t> positionsOf(const std::vector<tstring>& names) const;
    void land(Drawing drawing);
    // Whether the winner in that row of the prize just drawn can be replaced now.
    bool canReplace(int row) const { return isCurrentPrize() && canReplace(m_current, row); }
    // The same for any prize drawn so far, while no names cycle.
    bool canReplace(int prize, int row) const;

    const NamePool& pool() const { return m_pool; }
    const std::vector<AwardItem>& awards() const { return m_awards; }
    const AwardItem& award(int index) const { return m_awards[static_cast<size_t>(index)]; }
    int current() const { return m_current; }
    bool running() const { return m_running != 0; }
    bool continuesStore() const { return m_continuesStore; }
    const std::vector<tstring>& absent() const { return m_absent; }
    // Every line of the list: in the pool, drawn, absent or withdrawn.
    std::vector<tstring> everyLine() const;
    const std::vector<tstring>& withdrawn() const { return m_withdrawn; }

    int prizeCount() const { return static_cast<int>(m_awards.size()); }
    // Counts the changes of the draw: equal means nothing a view shows of it changed.
    std::uint64_t revision() const { return m_revision; }
    bool isCurrentPrize() const { return m_current >= 0 && m_current < prizeCount(); }
    bool isFinishedForDisplay(int index) const;
    // Finished with winners, in this run or one the result store brought back.
    bool hasWinners(int prize) const;
    // The names in the prizes' winner lists.
    std::size_t winnersDrawn() const;
    // Both count the planned places of the prizes, not the names drawn.
    long long totalPlaces() const;
    long long placesDrawn() const;
    // How many prizes the result store records: a cycling prize does not count.
    int finishedCountToStore() const { return m_running ? m_current : m_current + 1; }

    // Changes of the prize table during the show. The finished prizes stay
    // the first ones of the table, so none is drawn twice and none skipped.
    void appendPrize(AwardItem item);
    // True when it was the cycling prize: the cycle stops without a draw.
    // The winners of a finished prize stay out of the pool, withdrawn.
    bool removePrize(int index);
    // Only prizes on the same side of the finished ones trade places; the
    // cycling prize stays where it is.
    bool canMovePrize(int from, int to) const;
    void movePrize(int from, int to);
    // The four texts of a row as the operator edited them.
    void changePrize(int index, const AwardItem& texts);
    // A whole table in place of the loaded one, at that current prize: the
    // one a journal entry records, or one the file could not take yet. The
    // given winners of the old table are withdrawn.
    void setPrizes(std::vector<AwardItem> awards, int current, const std::vector<tstring>& withdrawn = {});
    // Where the words of a witnessed prize drawn before a restart stand.
    void attachWitness(int prize, std::shared_ptr<const WitnessStream> stream)
    {
        if (prize >= 0 && prize < prizeCount())
            m_awards[static_cast<size_t>(prize)].witness = std::move(stream);
    }
    // The operator was told the drawn data goes: the next store replaces the old one.
    void storeAfresh() { m_continuesStore = false; }

    // The selection rule: each pick takes the name at the seed's next
    // position among those still in the pool, in pool order.
    static void pick(NamePool& pool, const DrawSeed& seed, int count, std::vector<std::size_t>& positions,
                     std::vector<tstring>& winners);

    // The same among the pool's names at `admitted` (in pool order).
    static void pickAmong(NamePool& pool, const std::vector<std::size_t>& admitted, const DrawSeed& seed,
                          int count, std::vector<std::size_t>& positions, std::vector<tstring>& winners);
    // Where in the pool the scope's names are.
    static std::vector<std::size_t> admittedBy(const NamePool& pool, const DrawScope& scope);
    // Whether it admits anyone; quick when it does.
    static bool anyAdmitted(const NamePool& pool, const DrawScope& scope);

    // Where the cycling names start on this tick; -1 when the pool is empty.
    long long nextCycleStart();
    // Waits for the pool's digest a start began on another thread; the
    // pool changes only after it.
    void settleDigest();

private:
    // Takes the pool's digest on another thread, for the next draw from it.
    void digestInBackground();
    // That digest, or the pool's taken now when the pool changed since.
    tstring takeDigest();
    // The picks of `count` among the candidates, the k-th of which is the pool's name at `indexOf(k)`.
    template <typename IndexOf>
    void plan(std::size_t candidates, IndexOf indexOf, const DrawSeed& seed, int count,
              Drawing& drawing) const;
    // One replacement among the pool's names at `among` (everyone when null), from that word on.
    Drawing replacing(int prize, int row, const std::vector<std::size_t>* among, const DrawSeed& seed,
                      std::uint64_t firstWord);
    // 0 finished, 1 cycling, 2 still to draw.
    int prizeState(int index) const;

    NamePool m_pool;
    std::vector<AwardItem> m_awards;
    std::uint64_t m_revision = 0;
    int m_current = -1;
    int m_running = 0;
    bool m_continuesStore = false;
    // Winners who were absent and replaced; they stay out of the pool.
    std::vector<tstring> m_absent;
    // Winners of prizes deleted after their draw; they stay out of the pool too.
    std::vector<tstring> m_withdrawn;
    // Of the pool when the current prize began to cycle; after the pool, so
    // it is waited for before the pool goes.
    std::size_t m_cyclePoolSize = 0;
    std::future<tstring> m_cycleDigest;
};
