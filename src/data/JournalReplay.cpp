#include "data/JournalReplay.h"

#include "app/DrawScope.h"
#include "app/PoolDigest.h"
#include "data/DrawJournal.h"
#include "data/FolderFile.h"
#include "data/JournalEntry.h"
#include "data/ListChange.h"
#include "data/ResultExport.h"
#include "data/ResultStore.h"

#include <QJsonDocument>
#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace {

QString spaced(const std::vector<tstring>& names)
{
    QStringList list;
    for (const tstring& name : names)
        list << QString::fromStdWString(name);
    return list.join(QLatin1Char(' '));
}

} // namespace

JournalReplay::JournalReplay(EventFolder folder) : m_folder(std::move(folder))
{
    m_clock.start();
}

QString JournalReplay::joined(const std::vector<tstring>& names)
{
    QStringList list;
    for (const tstring& name : names)
        list << QString::fromStdWString(name.WithFullWidthBars());
    return list.join(QLatin1Char('|'));
}

void JournalReplay::fail(const QString& text)
{
    report.lines << text;
    m_faults = true;
}

// What an honest event may show too, but an auditor must hear of: exit 2.
void JournalReplay::caution(const QString& text)
{
    report.lines << text;
    ++m_cautions;
}

bool JournalReplay::expired()
{
    if (m_clock.elapsed() <= JournalVerifier::TimeLimitMs)
        return false;
    fail(QStringLiteral("检查超过 %1 秒: 抽奖记录过大").arg(JournalVerifier::TimeLimitMs / 1000));
    return true;
}

// False when nothing after this line can be trusted.
bool JournalReplay::line(const QByteArray& bytes, int number)
{
    m_line = number;
    ++m_lines;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        fail(QStringLiteral("第 %1 行无法读取").arg(number));
        return false;
    }
    const QJsonObject entry = document.object();
    QString problem;
    JournalEntry::Line head;
    if (!JournalEntry::readLine(entry, head, &problem))
        return invalid(problem);
    if (!chain(head, bytes))
        return false;
    // A clock stepped back (by hand or by the network) does it too.
    if (m_lines > 1 && head.time < m_time)
        caution(QStringLiteral("第 %1 行的时间早于上一行").arg(number));
    m_time = head.time;
    switch (head.type) {
    case JournalEntry::Type::Start:
        return start(entry);
    case JournalEntry::Type::Stop:
        return draw(entry, bytes, false);
    case JournalEntry::Type::Replace:
        return draw(entry, bytes, true);
    case JournalEntry::Type::Prizes:
        return prizes(entry);
    case JournalEntry::Type::ResultScreen:
        // A photograph of the result screen fixes every line before it.
        m_resultScreens[DrawJournal::fingerprint(bytes)] = number;
        if (!m_broken && m_engine.current() == m_engine.prizeCount() - 1)
            m_engine.StartDraw();
        return true;
    case JournalEntry::Type::StoreFailed:
        m_storeFailedLine = number;
        report.lines << QStringLiteral("第 %1 行: 结果没有写入 AwardResult.ini").arg(number);
        return true;
    case JournalEntry::Type::Checkin:
        return checkin(entry);
    case JournalEntry::Type::Commit:
        return commit(entry);
    case JournalEntry::Type::Exit:
        abandon(QStringLiteral("退出时名字仍在滚动"));
        return true;
    case JournalEntry::Type::Torn: {
        qint64 cut = 0;
        if (!JournalEntry::readTornBytes(entry, cut, &problem))
            return invalid(problem);
        report.lines << QStringLiteral("第 %1 行: 上次运行中断时有一行记录没有写完, 已去掉 (%2 字节)")
                            .arg(number)
                            .arg(cut);
        return true;
    }
    default:
        return true;
    }
}

bool JournalReplay::invalid(const QString& problem)
{
    fail(QStringLiteral("第 %1 行: %2").arg(m_line).arg(problem));
    return false;
}

// Every chained line names the digest of the line before it; lines from
// before the chain may only come first.
bool JournalReplay::chain(const JournalEntry::Line& head, const QByteArray& bytes)
{
    if (head.chained) {
        if (head.prev != m_lastHash) {
            fail(QStringLiteral("第 %1 行: 与上一行接不上, 记录被改动、删去或插入过").arg(m_line));
            return false;
        }
        m_chained = true;
    } else if (m_chained) {
        fail(QStringLiteral("第 %1 行: 缺少与上一行的链接").arg(m_line));
        return false;
    }
    m_lastHash = DrawJournal::lineHash(bytes);
    return true;
}

QString JournalReplay::prizeLabel(int index) const
{
    const QString name = index >= 0 && index < m_engine.prizeCount()
                             ? QString::fromStdWString(m_engine.award(index).awardName)
                             : QString();
    return QStringLiteral("第 %1 项 %2").arg(static_cast<qint64>(index) + 1).arg(name);
}

bool JournalReplay::checkPool(const QString& digest, qint64 size)
{
    if (static_cast<qint64>(m_engine.pool().size()) == size &&
        QString::fromStdWString(PoolDigest(m_engine.pool())) == digest)
        return true;
    fail(QStringLiteral("第 %1 行: 奖池与记录不符").arg(m_line));
    return false;
}

bool JournalReplay::readList(const QString& digest, std::vector<tstring>& names, QString& path)
{
    const QString problem =
        FolderFile::readKeptList(m_folder, digest, JournalVerifier::MaxListBytes, names, path);
    if (!problem.isEmpty())
        fail(QStringLiteral("第 %1 行: %2").arg(m_line).arg(problem));
    return problem.isEmpty();
}

bool JournalReplay::start(const QJsonObject& entry)
{
    JournalEntry::Start start;
    QString problem;
    if (!JournalEntry::readStart(entry, start, &problem))
        return invalid(problem);
    std::vector<tstring> names;
    QString path;
    if (expired())
        return false;
    m_listedKnown = false;
    abandon(start.reason == QLatin1String("launch")   ? QStringLiteral("程序重新启动")
            : start.reason == QLatin1String("redraw") ? QStringLiteral("重新抽奖")
                                                      : QStringLiteral("编辑了抽奖名单"));
    const bool listRead = readList(start.participantsDigest, names, path);
    if (start.reason == QLatin1String("launch"))
        relaunch(start, listRead ? &names : nullptr);
    else
        discardAll(start.reason == QLatin1String("redraw") ? QStringLiteral("重新抽奖")
                                                           : QStringLiteral("编辑了抽奖名单"));
    if (!listRead) {
        m_broken = true;
        return true;
    }
    m_lastList = start.participantsDigest;
    m_lastListPath = path;
    m_started = true;
    m_broken = false;
    m_storeFailedLine = 0;
    m_lists.insert(path);
    m_engine.load(std::move(names), start.prizes);
    const auto restored = [&](int i) {
        return i < static_cast<int>(start.restored.size()) ? JournalReplay::joined(start.restored[size_t(i)])
                                                           : QString();
    };
    RestoreResults(
        m_engine, start.storedCount, [&](int i) { return tstring(restored(i).toStdWString()); },
        JournalReplay::joined(start.absent).toStdWString(),
        JournalReplay::joined(start.withdrawn).toStdWString());
    m_drawsOf.resize(size_t(m_engine.prizeCount()));
    checkPool(start.poolDigest, start.poolSize);
    return true;
}

// A restart brings back what was drawn, or the draws it lost are told:
// the lost prizes are drawn again. A replacement the store did not take
// before a kill is thrown away alone, the stop before it stands. Winners
// it brings back that no draw of this journal made, and a list changed
// since the last start, are told.
void JournalReplay::relaunch(const JournalEntry::Start& start, const std::vector<tstring>* names)
{
    if (!m_started || m_broken) {
        std::size_t restored = 0;
        for (const std::vector<tstring>& winners : start.restored)
            restored += winners.size();
        if (restored > 0 && !m_broken)
            caution(QStringLiteral("第 %1 行: %2 名中奖者不是本记录中的抽取 (AwardResult.ini 中原有的结果)")
                        .arg(m_line)
                        .arg(restored));
        m_drawsOf.clear();
        return;
    }
    if (names && start.participantsDigest != m_lastList)
        tellListChange(*names);
    QString why = QStringLiteral("重新启动时结果丢失");
    if (m_storeFailedLine > 0)
        why += QStringLiteral(" (AwardResult.ini 写入失败, 见第 %1 行)").arg(m_storeFailedLine);
    std::vector<tstring> absent = m_engine.absent();
    const int replayed = m_engine.finishedCountToStore();
    std::size_t unexplained = 0;
    for (int i = 0; i < start.storedCount && i < static_cast<int>(start.restored.size()); ++i) {
        if (i >= replayed || i >= m_engine.prizeCount())
            unexplained += start.restored[size_t(i)].size();
    }
    for (int i = 0; i < m_engine.prizeCount() && i < static_cast<int>(m_drawsOf.size()); ++i) {
        if (i >= start.storedCount || i >= static_cast<int>(start.restored.size())) {
            discard(i, why);
        } else if (start.restored[size_t(i)] != m_engine.award(i).winners) {
            const int undone = unstoredReplacements(i, start.restored[size_t(i)], absent);
            if (undone > 0)
                discard(i, QStringLiteral("重新启动时补抽没有存入 AwardResult.ini"), undone);
            else
                discard(i, QStringLiteral("重新启动时结果被改动"));
        }
    }
    if (unexplained > 0)
        caution(QStringLiteral("第 %1 行: %2 名中奖者不是本记录中的抽取 (记录缺少它们的抽取)")
                    .arg(m_line)
                    .arg(unexplained));
    if (start.absent != absent)
        fail(QStringLiteral("第 %1 行: 重新启动时恢复的缺席名单与记录不符").arg(m_line));
    m_drawsOf.clear();
}

// How many of the prize's last replacements, undone, give the winners the
// store brought back (0 when none do); `absent` loses their absent winners.
int JournalReplay::unstoredReplacements(int prize, const std::vector<tstring>& restored,
                                        std::vector<tstring>& absent) const
{
    std::vector<tstring> winners = m_engine.award(prize).winners;
    std::vector<tstring> stillAbsent = absent;
    const std::vector<DrawInfo>& draws = m_drawsOf[size_t(prize)];
    int undone = 0;
    for (auto draw = draws.rbegin(); draw != draws.rend() && draw->row >= 0; ++draw) {
        if (size_t(draw->row) >= winners.size())
            break;
        winners[size_t(draw->row)] = draw->absent;
        const auto wasAbsent = std::find(stillAbsent.rbegin(), stillAbsent.rend(), draw->absent);
        if (wasAbsent != stillAbsent.rend())
            stillAbsent.erase(std::next(wasAbsent).base());
        ++undone;
        if (winners == restored) {
            absent = std::move(stillAbsent);
            return undone;
        }
    }
    return 0;
}

// The list a launch was built from is not the one the last start left:
// data.txt was changed while the program was not running.
void JournalReplay::tellListChange(const std::vector<tstring>& names)
{
    std::vector<tstring> before;
    QString path;
    if (!readList(m_lastList, before, path))
        return;
    const ListChange change = ListChange::between(before, names);
    caution(QStringLiteral("第 %1 行: 名单在两次启动之间被改动: 增加 %2 人, 去掉 %3 人 (之前的名单见 %4)")
                .arg(m_line)
                .arg(change.added)
                .arg(change.removed)
                .arg(m_lastListPath));
}

void JournalReplay::discardAll(const QString& why)
{
    if (!m_broken) {
        for (int i = 0; i < static_cast<int>(m_drawsOf.size()); ++i)
            discard(i, why);
    }
    m_drawsOf.clear();
}

// The prize's draws, or its last `last` of them, are thrown away.
void JournalReplay::discard(int prize, const QString& why, int last)
{
    if (prize >= static_cast<int>(m_drawsOf.size()))
        return;
    std::vector<DrawInfo>& draws = m_drawsOf[size_t(prize)];
    const size_t first = last < 0 ? 0 : draws.size() - std::min(draws.size(), size_t(last));
    for (auto info = draws.begin() + std::ptrdiff_t(first); info != draws.end(); ++info) {
        ++m_discarded;
        report.lines << QStringLiteral(
                            "第 %1 行: 作废了第 %2 行的抽取: %3, 种子 %4, 中奖者 %5, 时间 %6, 原因: %7")
                            .arg(m_line)
                            .arg(info->line)
                            .arg(prizeLabel(prize), info->seed, spaced(info->winners),
                                 QString::fromStdWString(FormatDrawTime(std::time_t(info->time))), why);
    }
    draws.resize(first);
}

// A witnessed draw's commitment: what its prize's range and the check-ins
// were then is what its stop must have drawn from.
bool JournalReplay::commit(const QJsonObject& entry)
{
    JournalEntry::Commit commit;
    QString problem;
    if (!JournalEntry::readCommit(entry, commit, &problem))
        return invalid(problem);
    abandon(QStringLiteral("之后又作了新的承诺"));
    m_witness.commit(commit, m_line, m_time, m_engine, m_checkedIn);
    return true;
}

void JournalReplay::abandon(const QString& why)
{
    for (const WitnessReplay::Commit& abandoned : m_witness.abandon()) {
        ++m_discarded;
        report.lines << WitnessReplay::abandoned(abandoned, prizeLabel(abandoned.entry.prize), why);
    }
}

// The range a draw applied, as the prize table declared it before (a
// witnessed stop's: at its commitment), with the lists it excluded read
// back from beside the journal.
bool JournalReplay::scopeOf(const DrawRecord& recorded, int prize, DrawScope& scope,
                            const WitnessReplay::Commit* commit)
{
    QString reason;
    if (recorded.admitted >= 0 && !scope.parse(recorded.scope, &reason)) {
        fail(QStringLiteral("第 %1 行: 抽奖范围 \"%2\" 无法解析: %3")
                 .arg(m_line)
                 .arg(QString::fromStdWString(recorded.scope), reason));
        return false;
    }
    DrawScope declared;
    if (commit)
        declared.parse(commit->range);
    else if (prize >= 0 && prize < m_engine.prizeCount())
        declared.parse(m_engine.award(prize).range);
    if (declared.text() != scope.text()) {
        fail(QStringLiteral("第 %1 行: %2 按抽奖范围 \"%3\" 抽取, 奖项表声明的是 \"%4\"")
                 .arg(m_line)
                 .arg(prizeLabel(prize),
                      scope.admitsEveryone() ? QStringLiteral("全部") : QString::fromStdWString(scope.text()),
                      declared.admitsEveryone() ? QStringLiteral("全部")
                                                : QString::fromStdWString(declared.text())));
        return false;
    }
    scope.setExclusionMatch(recorded.exclusionWords ? DrawScope::ExclusionMatch::Word
                                                    : DrawScope::ExclusionMatch::Line);
    // "已签到": those whose check-in lines come before this one.
    if (scope.needsCheckIns()) {
        const auto checkedIn = commit ? commit->checkedIn
                                      : std::make_shared<const std::unordered_set<std::wstring>>(m_checkedIn);
        scope.setCheckedIn(checkedIn);
        if (recorded.checkedIn != static_cast<long long>(checkedIn->size()))
            fail(QStringLiteral("第 %1 行: 记录的已签到人数 %2 与之前的签到记录 (%3 人) 不符")
                     .arg(m_line)
                     .arg(recorded.checkedIn)
                     .arg(checkedIn->size()));
        else
            report.lines << QStringLiteral("第 %1 行: 在此之前签到的 %2 人中抽取")
                                .arg(commit ? commit->line : m_line)
                                .arg(checkedIn->size());
    }
    for (const tstring& file : scope.files()) {
        const auto digest = recorded.exclusions.find(file);
        std::vector<tstring> names;
        QString path;
        if (digest == recorded.exclusions.end()) {
            fail(QStringLiteral("第 %1 行: 缺少排除名单 %2 的摘要")
                     .arg(m_line)
                     .arg(QString::fromStdWString(file)));
            return false;
        }
        if (!readList(QString::fromStdWString(digest->second), names, path))
            return false;
        scope.setExcluded(file, std::move(names), digest->second);
    }
    return true;
}

bool JournalReplay::checkin(const QJsonObject& entry)
{
    JournalEntry::Checkin checkin;
    QString problem;
    if (!JournalEntry::readCheckin(entry, checkin, &problem))
        return invalid(problem);
    if (!m_listedKnown) {
        const std::vector<tstring> lines = m_engine.everyLine();
        m_listed = std::unordered_set<std::wstring>(lines.begin(), lines.end());
        m_listedKnown = true;
    }
    for (const tstring& line : checkin.lines) {
        if (m_listed.count(line) == 0)
            caution(QStringLiteral("第 %1 行: 签到的 %2 不在当时的名单上 (名单可能在签到后改过)")
                        .arg(m_line)
                        .arg(QString::fromStdWString(line)));
        m_checkedIn.insert(line);
    }
    return true;
}

bool JournalReplay::draw(const QJsonObject& entry, const QByteArray& bytes, bool replacement)
{
    JournalEntry::Draw draw;
    QString problem;
    if (!JournalEntry::readDraw(entry, draw, &problem))
        return invalid(problem);
    const QString fingerprint = DrawJournal::fingerprint(bytes);
    m_fingerprints.insert(fingerprint);
    if (expired())
        return false;
    if (m_broken)
        return true;
    const DrawRecord& recorded = draw.record;
    const int prize = recorded.prize;
    const bool old = recorded.seed.rule() == DrawSeed::Rule::CrtSecond;
    m_oldRule = m_oldRule || old;
    const QString seed = old                  ? QStringLiteral("%1 (旧规则)").arg(recorded.seed.second())
                         : recorded.witnessed ? WitnessReplay::seedText(recorded, replacement)
                                              : recorded.seed.hex();
    // A witnessed stop answers to the commitment before it; its replacements
    // to the names that commitment admitted, whatever the range says now.
    std::optional<WitnessReplay::Commit> commit;
    QStringList faults;
    // What the witnessed draw's checks found, told with the line and the prize.
    const auto witnessed = [&](bool going) {
        for (const QString& fault : std::exchange(faults, {}))
            fail(QStringLiteral("第 %1 行: %2 (rafo-2): %3").arg(m_line).arg(prizeLabel(prize), fault));
        return going;
    };
    if (recorded.witnessed && !replacement) {
        commit = m_witness.take(recorded, draw.witnessAdmitted, faults);
        if (!witnessed(commit.has_value()))
            return true;
    }
    DrawScope scope;
    if (!(recorded.witnessed && replacement) && !scopeOf(recorded, prize, scope, commit ? &*commit : nullptr))
        return true;
    DrawRecord replayed;
    QString head;
    if (replacement) {
        const int row = draw.row;
        if (!m_engine.canReplace(prize, row) ||
            QString::fromStdWString(m_engine.award(prize).winners[size_t(row)]) != draw.absent) {
            fail(QStringLiteral("第 %1 行: %2 没有可补抽的中奖者 %3")
                     .arg(m_line)
                     .arg(prizeLabel(prize), draw.absent));
            return true;
        }
        if (!checkPool(QString::fromStdWString(recorded.poolDigest), qint64(recorded.poolSize)))
            return true;
        if (!recorded.witnessed)
            m_engine.ReplaceWinner(prize, row, recorded.seed, replayed, &scope);
        else if (!witnessed(m_witness.replace(m_engine, draw, replayed, faults)))
            return true;
        head =
            QStringLiteral("%1: 补抽 %2 → %3, 种子 %4, 记录 %5")
                .arg(prizeLabel(prize), draw.absent,
                     recorded.winners.empty() ? QString() : QString::fromStdWString(recorded.winners.front()),
                     seed, fingerprint);
    } else {
        if (prize != m_engine.current() + 1 || prize >= m_engine.prizeCount()) {
            fail(QStringLiteral("第 %1 行: %2 不是按顺序的下一项").arg(m_line).arg(prizeLabel(prize)));
            return true;
        }
        if (!checkPool(QString::fromStdWString(recorded.poolDigest), qint64(recorded.poolSize)))
            return true;
        const WitnessReplay::Names admitted =
            commit ? WitnessReplay::admitted(m_engine.pool(), scope, recorded, faults) : nullptr;
        witnessed(true);
        m_engine.StartDraw();
        m_engine.StopDraw(recorded.seed, replayed, &scope);
        if (commit)
            m_witness.stopped(recorded, admitted);
        head = QStringLiteral("%1: %2 名, 种子 %3, 记录 %4")
                   .arg(prizeLabel(prize))
                   .arg(recorded.winners.size())
                   .arg(seed, fingerprint);
    }
    ++m_draws;
    m_drawLines.emplace_back(m_line, fingerprint);
    if (prize < static_cast<int>(m_drawsOf.size()))
        m_drawsOf[size_t(prize)].push_back(DrawInfo{m_line, seed, recorded.winners, m_time,
                                                    replacement ? draw.row : -1,
                                                    replacement ? draw.absent.toStdWString() : tstring()});
    for (const tstring& winner : recorded.winners) {
        if (!scope.admits(winner))
            fail(QStringLiteral("第 %1 行: %2的中奖者 %3 不在抽奖范围 \"%4\" 内")
                     .arg(m_line)
                     .arg(prizeLabel(prize), QString::fromStdWString(winner),
                          QString::fromStdWString(scope.text())));
    }
    const bool same = replayed.winners == recorded.winners && replayed.positions == recorded.positions &&
                      replayed.outcome == recorded.outcome && replayed.admitted == recorded.admitted &&
                      (!recorded.witnessed || replayed.words == recorded.words);
    if (same) {
        report.lines << head + QStringLiteral(", 可复现");
        return true;
    }
    fail(head + QStringLiteral(", 不可复现: 种子给出的中奖者与记录不同"));
    // The replay goes on from what was recorded, so one difference is told once.
    std::vector<AwardItem> awards = m_engine.awards();
    std::vector<tstring>& winners = awards[size_t(prize)].winners;
    if (replacement) {
        if (!recorded.winners.empty())
            winners[size_t(draw.row)] = recorded.winners.front();
    } else {
        winners.assign(winners.begin(), winners.end() - std::ptrdiff_t(replayed.winners.size()));
        winners.insert(winners.end(), recorded.winners.begin(), recorded.winners.end());
    }
    m_engine.setPrizes(std::move(awards), m_engine.current());
    return true;
}

// A change of the prize table brings no winner that was not drawn; the
// winners of a prize it deletes stay out of the pool.
bool JournalReplay::prizes(const QJsonObject& entry)
{
    JournalEntry::Prizes table;
    QString problem;
    if (!JournalEntry::readPrizes(entry, table, &problem))
        return invalid(problem);
    if (m_broken)
        return true;
    std::map<tstring, int> drawn;
    for (const AwardItem& award : m_engine.awards())
        for (const tstring& name : award.winners)
            ++drawn[name];
    for (const AwardItem& award : table.prizes)
        for (const tstring& name : award.winners)
            if (--drawn[name] < 0)
                fail(QStringLiteral("第 %1 行: 奖项修改带来了未抽出的中奖者 %2")
                         .arg(m_line)
                         .arg(QString::fromStdWString(name)));
    std::vector<tstring> withdrawn;
    for (const auto& [name, left] : drawn)
        withdrawn.insert(withdrawn.end(), size_t(std::max(left, 0)), name);
    // The draws follow their prizes to where the table put them.
    std::vector<std::vector<DrawInfo>> draws(table.prizes.size());
    std::vector<bool> used(m_engine.awards().size());
    for (size_t j = 0; j < table.prizes.size(); ++j) {
        for (size_t i = 0; i < used.size() && i < m_drawsOf.size(); ++i) {
            const AwardItem& old = m_engine.awards()[i];
            if (!used[i] && old.awardName == table.prizes[j].awardName &&
                old.winners == table.prizes[j].winners) {
                used[i] = true;
                draws[j] = std::move(m_drawsOf[i]);
                break;
            }
        }
    }
    m_drawsOf = std::move(draws);
    // A table changed while names cycle: that prize's stop is still to come.
    const int current = table.running ? table.current - 1 : table.current;
    m_engine.setPrizes(std::move(table.prizes), current, withdrawn);
    return true;
}
