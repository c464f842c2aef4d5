#include "data/WitnessReplay.h"

#include <algorithm>

std::vector<WitnessReplay::Commit> WitnessReplay::commit(const Commit& commit)
{
    std::vector<Commit> abandoned = abandon();
    m_pending.push_back(commit);
    return abandoned;
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

WitnessReplay::Stream* WitnessReplay::stream(const DrawSeed& seed)
{
    const auto found = m_streams.find(seed.hex());
    return found == m_streams.end() ? nullptr : &found->second;
}
