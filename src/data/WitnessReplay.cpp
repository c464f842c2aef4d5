#include "data/WitnessReplay.h"

#include "app/PoolDigest.h"
#include "data/ResultExport.h"

#include <algorithm>

void WitnessReplay::commit(const JournalEntry::Commit& entry, int line, qint64 time, const DrawEngine& engine,
                           const std::unordered_set<std::wstring>& checkedIn)
{
    Commit commit{entry, line, time, tstring(),
                  std::make_shared<const std::unordered_set<std::wstring>>(checkedIn)};
    if (entry.prize < engine.prizeCount())
        commit.range = engine.award(entry.prize).range;
    m_commitments.insert(entry.commitment);
    m_pending.push_back(std::move(commit));
}

bool WitnessReplay::committed(const QString& prefix) const
{
    const auto found = m_commitments.lower_bound(prefix);
    return !prefix.isEmpty() && found != m_commitments.end() && found->startsWith(prefix);
}

std::vector<WitnessReplay::Commit> WitnessReplay::abandon()
{
    return std::exchange(m_pending, {});
}

std::optional<WitnessReplay::Commit> WitnessReplay::take(const DrawRecord& stop, qint64 admitted,
                                                         QStringList& faults)
{
    const QString commitment = Commitment::hex(stop.commitment);
    const auto taken = m_taken.find(commitment);
    if (taken != m_taken.end()) {
        faults << QStringLiteral("承诺已被第 %1 行的抽取用过").arg(taken->second);
        return std::nullopt;
    }
    const auto found = std::find_if(m_pending.begin(), m_pending.end(),
                                    [&](const Commit& c) { return c.entry.commitment == commitment; });
    if (found == m_pending.end()) {
        faults << QStringLiteral("之前没有它的承诺 (承诺缺失或写在抽取之后)");
        return std::nullopt;
    }
    Commit commit = *found;
    m_pending.erase(found);
    m_taken[commitment] = commit.line;
    if (commit.entry.prize != stop.prize)
        faults << QStringLiteral("承诺是给第 %1 项的").arg(commit.entry.prize + 1);
    if (commit.entry.admittedSha256 != Commitment::hex(stop.admittedSha256) ||
        commit.entry.admitted != admitted)
        faults << QStringLiteral("抽取范围的名单与承诺时不同");
    if (Commitment::of(stop.secret, stop.admittedSha256, commit.entry.prize) != stop.commitment)
        faults << QStringLiteral("密钥与承诺不符");
    const QString digits = QString::fromStdString(stop.digits);
    if (!Commitment::validDigits(digits) || digits.size() < stop.witnessDigits)
        faults << QStringLiteral("见证数字 \"%1\" 不是 %2 到 %3 位数字")
                      .arg(digits)
                      .arg(std::max(stop.witnessDigits, Commitment::MinDigits))
                      .arg(Commitment::MaxDigits);
    if (Commitment::seed(stop.commitment, stop.secret, stop.digits).bytes() != stop.seed.bytes())
        faults << QStringLiteral("种子不是由承诺、密钥和见证数字得出的");
    return commit;
}

void WitnessReplay::stopped(const DrawRecord& stop, Names admitted)
{
    Stream& stream = m_streams[stop.seed.hex()];
    stream.nextWord = stop.words;
    stream.admitted = std::move(admitted);
    stream.admittedSha256 = Commitment::hex(stop.admittedSha256);
    stream.scope = stop.scope;
    stream.drawn.insert(stop.winners.begin(), stop.winners.end());
}

WitnessReplay::Names WitnessReplay::admitted(const NamePool& pool, const DrawScope& scope,
                                             const DrawRecord& stop, QStringList& faults)
{
    std::vector<tstring> names;
    if (scope.admitsEveryone()) {
        names = pool.names();
    } else {
        for (std::size_t index : DrawEngine::admittedBy(pool, scope))
            names.push_back(pool[index]);
    }
    if (PoolDigest(names) != Commitment::hex(stop.admittedSha256).toStdWString())
        faults << QStringLiteral("承诺的名单摘要与重放的奖池和抽奖范围不符");
    return std::make_shared<const std::unordered_set<std::wstring>>(names.begin(), names.end());
}

bool WitnessReplay::replace(DrawEngine& engine, const JournalEntry::Draw& draw, DrawRecord& replayed,
                            QStringList& faults)
{
    const DrawRecord& recorded = draw.record;
    const auto found = m_streams.find(recorded.seed.hex());
    if (found == m_streams.end()) {
        faults << QStringLiteral("补抽的种子不是之前任何一次见证抽取的种子");
        return false;
    }
    Stream& stream = found->second;
    if (!stream.drawn.count(draw.absent.toStdWString()))
        faults << QStringLiteral("缺席的 %1 不是由这个种子抽出的").arg(draw.absent);
    if (recorded.firstWord != stream.nextWord)
        faults << QStringLiteral("补抽从第 %1 个数开始, 应从第 %2 个")
                      .arg(recorded.firstWord)
                      .arg(stream.nextWord);
    std::vector<std::size_t> candidates;
    const NamePool& pool = engine.pool();
    tstring name;
    for (std::size_t i = 0; i < pool.size(); ++i) {
        pool.copy(i, name);
        if (stream.admitted->count(name))
            candidates.push_back(i);
    }
    WitnessStream words;
    words.seed = recorded.seed;
    words.nextWord = stream.nextWord;
    words.admittedSha256 = stream.admittedSha256;
    words.scope = stream.scope;
    DrawEngine::Drawing drawing = engine.planReplace(recorded.prize, draw.row, words, candidates);
    replayed = drawing.record;
    engine.land(std::move(drawing));
    stream.nextWord += replayed.words;
    stream.drawn.insert(replayed.winners.begin(), replayed.winners.end());
    return true;
}

QString WitnessReplay::abandoned(const Commit& commit, const QString& prize, const QString& why)
{
    const auto shown = Commitment::fromHex(commit.entry.commitment);
    return QStringLiteral("第 %1 行的承诺 %2 作废: %3, 时间 %4, 没有抽取, 原因: %5")
        .arg(commit.line)
        .arg(shown ? Commitment::grouped(*shown, Commitment::ShownDigits) : QString(), prize,
             QString::fromStdWString(FormatDrawTime(std::time_t(commit.time))), why);
}

QString WitnessReplay::seedText(const DrawRecord& draw, bool replacement)
{
    return QStringLiteral("%1 (rafo-2%2)")
        .arg(draw.seed.hex(), replacement
                                  ? QStringLiteral(", 从第 %1 个数起").arg(draw.firstWord)
                                  : QStringLiteral(", 见证数字 %1").arg(QString::fromStdString(draw.digits)));
}
