#include "app/DrawEngine.h"

#include "app/PoolDigest.h"
#include "app/PositionTree.h"
#include "platform/ThreadPriority.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_set>

DrawEngine::~DrawEngine()
{
    settleDigest();
}

void DrawEngine::settleDigest()
{
    if (m_cycleDigest.valid())
        m_cycleDigest.wait();
}

void DrawEngine::digestInBackground()
{
    settleDigest();
    m_cyclePoolSize = m_pool.size();
    m_cycleDigest = std::async(std::launch::async, [this] {
        ThreadPriority::runWhenIdle();
        return PoolDigest(m_pool);
    });
}

tstring DrawEngine::takeDigest()
{
    const bool known = m_cycleDigest.valid() && m_cyclePoolSize == m_pool.size();
    tstring digest = known ? m_cycleDigest.get() : PoolDigest(m_pool);
    settleDigest();
    m_cycleDigest = std::future<tstring>();
    return digest;
}

void DrawEngine::Reset()
{
    ++m_revision;
    settleDigest();
    m_cycleDigest = std::future<tstring>();
    m_pool.clear();
    m_awards.clear();
    m_current = -1;
    m_running = 0;
    m_continuesStore = false;
    m_absent.clear();
    m_withdrawn.clear();
}

void DrawEngine::load(NamePool pool, std::vector<AwardItem> awards)
{
    Reset();
    m_pool = std::move(pool);
    m_awards = std::move(awards);
}

void DrawEngine::restore(Restored restored)
{
    ++m_revision;
    settleDigest();
    m_continuesStore = true;
    if (restored.storedCount >= 1)
        m_current = restored.storedCount - 1;
    const size_t prizes = std::min(restored.winners.size(), m_awards.size());
    for (size_t i = 0; i < prizes; ++i) {
        std::vector<tstring>& winners = m_awards[i].winners;
        winners.insert(winners.end(), std::make_move_iterator(restored.winners[i].begin()),
                       std::make_move_iterator(restored.winners[i].end()));
    }
    m_absent.insert(m_absent.end(), restored.absent.begin(), restored.absent.end());
    m_withdrawn.insert(m_withdrawn.end(), restored.withdrawn.begin(), restored.withdrawn.end());
    if (restored.taken.empty())
        return;
    restored.taken.resize(m_pool.size());
    m_pool.removeMarked(restored.taken);
}

DrawEngine::StartOutcome DrawEngine::StartDraw()
{
    ++m_revision;
    if (m_running || m_current >= prizeCount())
        return StartOutcome::Ignored;
    ++m_current;
    if (m_current == prizeCount())
        return StartOutcome::ResultScreen;
    m_running = 1;
    // The pool stays as it is while names cycle; its digest, taken off the
    // screen's thread since the pool last changed (a million names take tens
    // of milliseconds), keeps the stop quick.
    if (!m_cycleDigest.valid() || m_cyclePoolSize != m_pool.size())
        digestInBackground();
    return StartOutcome::Cycling;
}

namespace {

bool limited(const DrawScope* scope)
{
    return scope && !scope->admitsEveryone();
}

void recordScope(const DrawScope& scope, std::size_t admitted, DrawRecord& record)
{
    record.scope = scope.text();
    record.admitted = static_cast<long long>(admitted);
    record.exclusions = scope.exclusionDigests();
    record.exclusionWords =
        scope.exclusionMatch() == DrawScope::ExclusionMatch::Word && !scope.files().empty();
    if (scope.needsCheckIns())
        record.checkedIn = scope.checkedIn() ? static_cast<long long>(scope.checkedIn()->size()) : 0;
}

} // namespace

DrawEngine::StopOutcome DrawEngine::StopDraw(const DrawSeed& seed, DrawRecord& record, const DrawScope* scope)
{
    Drawing drawing = planStop(seed, scope);
    const StopOutcome outcome = drawing.outcome;
    if (outcome != StopOutcome::Ignored)
        record = drawing.record;
    land(std::move(drawing));
    return outcome;
}

namespace {

// The rule's picks among `candidates`, the k-th of which is the pool's name
// at `indexOf(k)`: the same positions as taking one name after the other out
// of them, without moving the rest after each one.
template <typename IndexOf>
std::vector<bool> pickFrom(const NamePool& pool, std::size_t candidates, IndexOf indexOf,
                           const DrawSeed& seed, int count, std::vector<std::size_t>& positions,
                           std::vector<tstring>& winners, std::uint64_t firstWord = 0,
                           std::uint64_t* words = nullptr)
{
    DrawSeed::Positions random(seed, firstWord);
    const std::size_t draws = std::min(static_cast<std::size_t>(std::max(count, 0)), candidates);
    std::vector<bool> won(draws > 0 ? pool.size() : 0);
    if (draws == 0)
        return won;
    PositionTree remaining(candidates);
    for (std::size_t i = 0; i < draws; ++i) {
        const std::size_t position = random.next(remaining.remaining());
        const std::size_t index = indexOf(remaining.take(position));
        positions.push_back(position);
        winners.push_back(pool[index]);
        won[index] = true;
    }
    if (words)
        *words = random.word() - firstWord;
    return won;
}

} // namespace

template <typename IndexOf>
void DrawEngine::plan(std::size_t candidates, IndexOf indexOf, const DrawSeed& seed, int count,
                      Drawing& drawing) const
{
    DrawRecord& record = drawing.record;
    record.seed = seed;
    const std::vector<bool> won = pickFrom(m_pool, candidates, indexOf, seed, count, record.positions,
                                           record.winners, record.firstWord, &record.words);
    drawing.remaining = m_pool.without(won);
    drawing.takesFromPool = true;
}

DrawEngine::Drawing DrawEngine::planStop(const DrawSeed& seed, const DrawScope* scope)
{
    // A stop draws only the prize whose names cycle; a finished one is never drawn again.
    Drawing drawing;
    if (!m_running || !isCurrentPrize())
        return drawing;
    DrawRecord& record = drawing.record;
    record.prize = m_current;
    record.poolSize = m_pool.size();
    record.poolDigest = takeDigest();
    const AwardItem& award = m_awards[static_cast<size_t>(m_current)];
    const int count = std::max(award.winnerCount, 0);
    if (limited(scope)) {
        const std::vector<std::size_t> admitted = admittedBy(m_pool, *scope);
        recordScope(*scope, admitted.size(), record);
        if (admitted.empty()) {
            record.outcome = DrawRecord::EmptyPool;
        } else if (admitted.size() > static_cast<size_t>(count)) {
            plan(
                admitted.size(), [&admitted](std::size_t k) { return admitted[k]; }, seed, count, drawing);
        } else {
            record.outcome = DrawRecord::AllRemaining;
            std::vector<bool> won(m_pool.size());
            for (std::size_t index : admitted) {
                record.winners.push_back(m_pool[index]);
                won[index] = true;
            }
            drawing.remaining = m_pool.without(won);
            drawing.takesFromPool = true;
        }
    } else if (m_pool.empty()) {
        record.outcome = DrawRecord::EmptyPool;
    } else if (m_pool.size() > static_cast<size_t>(count)) {
        plan(
            m_pool.size(), [](std::size_t k) { return k; }, seed, count, drawing);
    } else {
        record.outcome = DrawRecord::AllRemaining;
        record.winners = m_pool.names();
        drawing.takesFromPool = true;
    }
    drawing.outcome = record.outcome == DrawRecord::EmptyPool      ? StopOutcome::EmptyPool
                      : record.outcome == DrawRecord::AllRemaining ? StopOutcome::AllRemaining
                                                                   : StopOutcome::Drawn;
    drawing.winners = award.winners;
    drawing.winners.insert(drawing.winners.end(), record.winners.begin(), record.winners.end());
    return drawing;
}

DrawEngine::Drawing DrawEngine::planReplace(int prize, int row, const DrawSeed& seed, const DrawScope* scope)
{
    // The replacement comes from the prize's own range.
    std::vector<std::size_t> admitted;
    if (limited(scope) && canReplace(prize, row))
        admitted = admittedBy(m_pool, *scope);
    Drawing drawing = replacing(prize, row, limited(scope) ? &admitted : nullptr, seed, 0);
    if (drawing.replaced == Replaced && limited(scope))
        recordScope(*scope, admitted.size(), drawing.record);
    return drawing;
}

DrawEngine::Drawing DrawEngine::planReplace(int prize, int row, const WitnessStream& stream,
                                            const std::vector<std::size_t>& candidates)
{
    Drawing drawing = replacing(prize, row, &candidates, stream.seed, stream.nextWord);
    if (drawing.replaced != Replaced)
        return drawing;
    DrawRecord& record = drawing.record;
    record.scope = stream.scope;
    record.admitted = static_cast<long long>(candidates.size());
    record.witnessed = true;
    if (const auto admitted = Commitment::fromHex(stream.admittedSha256))
        record.admittedSha256 = *admitted;
    return drawing;
}

DrawEngine::Drawing DrawEngine::replacing(int prize, int row, const std::vector<std::size_t>* among,
                                          const DrawSeed& seed, std::uint64_t firstWord)
{
    Drawing drawing;
    drawing.row = row;
    if (!canReplace(prize, row))
        return drawing;
    drawing.replaced = PoolEmpty;
    if (m_pool.empty() || (among && among->empty()))
        return drawing;
    DrawRecord& record = drawing.record;
    record.prize = prize;
    record.poolSize = m_pool.size();
    record.poolDigest = takeDigest();
    record.firstWord = firstWord;
    if (among)
        plan(
            among->size(), [among](std::size_t k) { return (*among)[k]; }, seed, 1, drawing);
    else
        plan(
            m_pool.size(), [](std::size_t k) { return k; }, seed, 1, drawing);
    drawing.replaced = Replaced;
    drawing.winners = m_awards[static_cast<size_t>(prize)].winners;
    drawing.winners[static_cast<size_t>(row)] = record.winners.front();
    return drawing;
}

void DrawEngine::land(Drawing drawing)
{
    ++m_revision;
    if (drawing.row < 0)
        m_running = 0;
    if (drawing.outcome == StopOutcome::Ignored && drawing.replaced != Replaced)
        return;
    const DrawRecord& record = drawing.record;
    AwardItem& award = m_awards[static_cast<size_t>(record.prize)];
    if (drawing.row >= 0)
        m_absent.push_back(award.winners[static_cast<size_t>(drawing.row)]);
    else
        award.admitted = record.admitted;
    // A witnessed draw's replacements go on with its words; a stop without
    // a commitment has none.
    if (record.witnessed) {
        auto stream = drawing.row >= 0 && award.witness
                          ? std::make_shared<WitnessStream>(*award.witness)
                          : std::make_shared<WitnessStream>(WitnessStream::of(record));
        stream->nextWord = record.firstWord + record.words;
        award.witness = std::move(stream);
    } else if (drawing.row < 0) {
        award.witness.reset();
    }
    if (drawing.takesFromPool)
        m_pool.keep(std::move(drawing.remaining));
    if (drawing.outcome == StopOutcome::EmptyPool)
        return;
    award.winners = std::move(drawing.winners);
    award.drawn = 1;
    // For a replacement or the next start.
    digestInBackground();
}

void DrawEngine::pick(NamePool& pool, const DrawSeed& seed, int count, std::vector<std::size_t>& positions,
                      std::vector<tstring>& winners)
{
    pool.removeMarked(pickFrom(
        pool, pool.size(), [](std::size_t k) { return k; }, seed, count, positions, winners));
}

void DrawEngine::pickAmong(NamePool& pool, const std::vector<std::size_t>& admitted, const DrawSeed& seed,
                           int count, std::vector<std::size_t>& positions, std::vector<tstring>& winners)
{
    pool.removeMarked(pickFrom(
        pool, admitted.size(), [&admitted](std::size_t k) { return admitted[k]; }, seed, count, positions,
        winners));
}

namespace {

// Names are read in place where they can be; a range reads every one of a million.
bool admittedAt(const NamePool& pool, std::size_t i, const DrawScope& scope, tstring& scratch)
{
    std::u16string_view view;
    if (pool.view(i, view))
        return scope.admits(view, scratch);
    pool.copy(i, scratch);
    return scope.admits(scratch);
}

} // namespace

std::vector<std::size_t> DrawEngine::positionsOf(const std::vector<tstring>& names) const
{
    std::unordered_set<std::wstring_view> wanted;
    for (const tstring& name : names)
        wanted.insert(name);
    std::vector<std::size_t> positions;
    tstring scratch;
    for (std::size_t i = 0; i < m_pool.size(); ++i) {
        m_pool.copy(i, scratch);
        if (wanted.count(scratch))
            positions.push_back(i);
    }
    return positions;
}

std::vector<std::size_t> DrawEngine::admittedBy(const NamePool& pool, const DrawScope& scope)
{
    std::vector<std::size_t> admitted;
    tstring scratch;
    for (std::size_t i = 0; i < pool.size(); ++i) {
        if (admittedAt(pool, i, scope, scratch))
            admitted.push_back(i);
    }
    return admitted;
}

bool DrawEngine::anyAdmitted(const NamePool& pool, const DrawScope& scope)
{
    tstring scratch;
    for (std::size_t i = 0; i < pool.size(); ++i) {
        if (admittedAt(pool, i, scope, scratch))
            return true;
    }
    return false;
}

bool DrawEngine::canReplace(int prize, int row) const
{
    return !m_running && hasWinners(prize) && row >= 0 &&
           static_cast<size_t>(row) < m_awards[static_cast<size_t>(prize)].winners.size();
}

bool DrawEngine::hasWinners(int prize) const
{
    return prize >= 0 && prize < prizeCount() && isFinishedForDisplay(prize) &&
           !m_awards[static_cast<size_t>(prize)].winners.empty();
}

DrawEngine::ReplaceResult DrawEngine::ReplaceWinner(int prize, int row, const DrawSeed& seed,
                                                    DrawRecord& record, const DrawScope* scope)
{
    Drawing drawing = planReplace(prize, row, seed, scope);
    const ReplaceResult result = drawing.replaced;
    if (result == Replaced)
        record = drawing.record;
    land(std::move(drawing));
    return result;
}

bool DrawEngine::isFinishedForDisplay(int index) const
{
    return index < m_current || (index == m_current && !m_running);
}

std::size_t DrawEngine::winnersDrawn() const
{
    std::size_t drawn = 0;
    for (const AwardItem& award : m_awards)
        drawn += award.winners.size();
    return drawn;
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
    ++m_revision;
    // After the result screen the count runs one past the table; a new prize is still to draw.
    if (!m_running && m_current >= prizeCount())
        m_current = prizeCount() - 1;
    m_awards.push_back(std::move(item));
}

bool DrawEngine::removePrize(int index)
{
    ++m_revision;
    if (index < 0 || index >= prizeCount())
        return false;
    const int state = prizeState(index);
    const bool cycling = state == 1;
    if (cycling)
        m_running = 0;
    if (state == 0) {
        const std::vector<tstring>& winners = m_awards[static_cast<size_t>(index)].winners;
        m_withdrawn.insert(m_withdrawn.end(), winners.begin(), winners.end());
    }
    if (index <= m_current)
        --m_current;
    m_awards.erase(m_awards.begin() + index);
    return cycling;
}

void DrawEngine::changePrize(int index, const AwardItem& texts)
{
    ++m_revision;
    if (index < 0 || index >= prizeCount())
        return;
    AwardItem& award = m_awards[static_cast<size_t>(index)];
    award.awardName = texts.awardName;
    award.winnerCount = texts.winnerCount;
    award.prizeName = texts.prizeName;
    award.picturePath = texts.picturePath;
    award.range = texts.range;
    award.startMusic = texts.startMusic;
    award.stopMusic = texts.stopMusic;
    award.reveal = texts.reveal;
}

void DrawEngine::setPrizes(std::vector<AwardItem> awards, int current, const std::vector<tstring>& withdrawn)
{
    ++m_revision;
    m_withdrawn.insert(m_withdrawn.end(), withdrawn.begin(), withdrawn.end());
    m_awards = std::move(awards);
    m_current = std::clamp(current, -1, prizeCount());
    m_running = 0;
}

bool DrawEngine::canMovePrize(int from, int to) const
{
    if (from < 0 || to < 0 || from >= prizeCount() || to >= prizeCount() || from == to)
        return false;
    return prizeState(from) != 1 && prizeState(from) == prizeState(to);
}

void DrawEngine::movePrize(int from, int to)
{
    ++m_revision;
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
    // The flickering names are not recorded; any generator will do.
    return static_cast<long long>(QRandomGenerator::global()->bounded(static_cast<quint64>(m_pool.size())));
}

std::vector<tstring> DrawEngine::everyLine() const
{
    std::vector<tstring> lines(m_pool.begin(), m_pool.end());
    for (const AwardItem& award : m_awards)
        lines.insert(lines.end(), award.winners.begin(), award.winners.end());
    lines.insert(lines.end(), m_absent.begin(), m_absent.end());
    lines.insert(lines.end(), m_withdrawn.begin(), m_withdrawn.end());
    return lines;
}
