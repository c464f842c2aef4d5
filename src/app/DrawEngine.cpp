#include "app/DrawEngine.h"

#include "app/MusicPlayer.h"
#include "app/PoolDigest.h"
#include "app/PositionTree.h"
#include "platform/Clock.h"
#include "platform/CrtRand.h"
#include "platform/MsgBox.h"

#include <algorithm>
#include <cstdint>

DrawEngine::DrawEngine(DrawHost& host) : m_host(host) {}

void DrawEngine::Reset()
{
    m_pool.clear();
    m_awards.clear();
    m_current = -1;
    m_running = 0;
    m_continuesStore = false;
    m_absent.clear();
    m_cyclePoolDigest.clear();
}

void DrawEngine::StartDraw()
{
    if (m_current >= prizeCount())
        return;
    m_host.playMusic(StartMusic, MusicPlayer::PlayLoop);
    ++m_current;
    if (m_current == prizeCount()) {
        m_host.showResultScreen();
        return;
    }
    m_running = 1;
    // The pool stays as it is while names cycle; taking its digest now keeps
    // the stop quick on a big pool.
    m_cyclePoolDigest = PoolDigest(m_pool);
    m_cyclePoolSize = m_pool.size();
    m_host.startCycleTimer();
}

void DrawEngine::StopDraw()
{
    m_running = 0;
    m_host.stopCycleTimer();
    if (!isCurrentPrize())
        return;
    m_host.playMusic(StopSound, MusicPlayer::PlayOnce);
    DrawRecord record;
    record.prize = m_current;
    record.poolSize = m_pool.size();
    record.poolDigest = m_cyclePoolSize == m_pool.size() && !m_cyclePoolDigest.empty()
                            ? std::move(m_cyclePoolDigest)
                            : PoolDigest(m_pool);
    m_cyclePoolDigest.clear();
    if (m_pool.empty()) {
        record.outcome = DrawRecord::EmptyPool;
        m_host.recordDraw(record);
        m_host.storeResults();
        m_host.repaintAll();
        MsgBox::show(PoolEmptyMessage);
        return;
    }
    AwardItem& award = m_awards[static_cast<size_t>(m_current)];
    if (m_pool.size() > static_cast<size_t>(std::max(award.winnerCount, 0))) {
        record.seed = static_cast<long long>(Clock::now());
        pick(m_pool, record.seed, award.winnerCount, record.positions, record.winners);
    } else {
        MsgBox::show(AllRemainingWinMessage);
        record.outcome = DrawRecord::AllRemaining;
        record.winners = std::move(m_pool);
        m_pool.clear();
    }
    award.winners.insert(award.winners.end(), record.winners.begin(), record.winners.end());
    award.drawn = 1;
    m_host.recordDraw(record);
    // The winners are safe on disk before anything else can go wrong.
    m_host.storeResults();
    m_host.repaintAll();
    // The summary is exported however the last prize was completed.
    if (m_current == prizeCount() - 1)
        m_host.exportResults();
}

void DrawEngine::pick(std::vector<tstring>& pool, long long seed, int count,
                      std::vector<std::size_t>& positions, std::vector<tstring>& winners)
{
    CrtRand& random = CrtRand::instance();
    random.seed(static_cast<std::uint32_t>(seed));
    const std::size_t draws = std::min(static_cast<std::size_t>(std::max(count, 0)), pool.size());
    if (draws == 0)
        return;
    // The same positions as taking one name after the other out of the pool,
    // without moving the rest after each one.
    PositionTree remaining(pool.size());
    std::vector<bool> won(pool.size());
    for (std::size_t i = 0; i < draws; ++i) {
        const std::size_t position = random.position(remaining.remaining());
        const std::size_t index = remaining.take(position);
        positions.push_back(position);
        winners.push_back(std::move(pool[index]));
        won[index] = true;
    }
    removeMarked(pool, won);
}

void DrawEngine::removeMarked(std::vector<tstring>& pool, const std::vector<bool>& marked)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < pool.size(); ++i) {
        if (marked[i])
            continue;
        if (kept != i)
            pool[kept] = std::move(pool[i]);
        ++kept;
    }
    pool.resize(kept);
}

bool DrawEngine::canReplace(int row) const
{
    return isCurrentPrize() && !m_running && row >= 0 &&
           static_cast<size_t>(row) < m_awards[static_cast<size_t>(m_current)].winners.size();
}

DrawEngine::ReplaceResult DrawEngine::ReplaceWinner(int row, DrawRecord& record)
{
    if (!canReplace(row))
        return NothingToReplace;
    if (m_pool.empty())
        return PoolEmpty;
    record = DrawRecord();
    record.prize = m_current;
    record.poolSize = m_pool.size();
    record.poolDigest = PoolDigest(m_pool);
    record.seed = static_cast<long long>(Clock::now());
    pick(m_pool, record.seed, 1, record.positions, record.winners);
    m_absent.push_back(m_awards[static_cast<size_t>(m_current)].winners[static_cast<size_t>(row)]);
    m_awards[static_cast<size_t>(m_current)].winners[static_cast<size_t>(row)] = record.winners.front();
    return Replaced;
}

bool DrawEngine::isFinishedForDisplay(int index) const
{
    return index < m_current || (index == m_current && !m_running);
}

long long DrawEngine::totalPlaces() const
{
    long long total = 0;
    for (const AwardItem& award : m_awards)
        total += award.winnerCount;
    return total;
}

long long DrawEngine::placesDrawn() const
{
    long long drawn = 0;
    for (int i = 0; i < prizeCount(); ++i) {
        if (isFinishedForDisplay(i))
            drawn += m_awards[static_cast<size_t>(i)].winnerCount;
    }
    return drawn;
}

int DrawEngine::prizeState(int index) const
{
    if (index == m_current && m_running)
        return 1;
    return isFinishedForDisplay(index) ? 0 : 2;
}

void DrawEngine::appendPrize(AwardItem item)
{
    // After the result screen the count runs one past the table; a new prize is still to draw.
    if (!m_running && m_current >= prizeCount())
        m_current = prizeCount() - 1;
    m_awards.push_back(std::move(item));
}

void DrawEngine::removePrize(int index)
{
    if (index < 0 || index >= prizeCount())
        return;
    if (prizeState(index) == 1) {
        m_running = 0;
        m_host.stopCycleTimer();
    }
    if (index <= m_current)
        --m_current;
    m_awards.erase(m_awards.begin() + index);
}

bool DrawEngine::canMovePrize(int from, int to) const
{
    if (from < 0 || to < 0 || from >= prizeCount() || to >= prizeCount() || from == to)
        return false;
    return prizeState(from) != 1 && prizeState(from) == prizeState(to);
}

void DrawEngine::movePrize(int from, int to)
{
    if (!canMovePrize(from, to))
        return;
    AwardItem moved = m_awards[static_cast<size_t>(from)];
    m_awards.erase(m_awards.begin() + from);
    m_awards.insert(m_awards.begin() + to, std::move(moved));
}

long long DrawEngine::nextCycleStart()
{
    if (m_pool.empty())
        return -1;
    return static_cast<long long>(CrtRand::instance().position(m_pool.size()));
}
