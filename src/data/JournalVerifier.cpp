#include "data/JournalVerifier.h"

#include "app/DrawEngine.h"
#include "app/DrawScope.h"
#include "app/PoolDigest.h"
#include "data/DrawJournal.h"
#include "data/FolderFile.h"
#include "data/JournalEntry.h"
#include "data/ResultExport.h"
#include "data/ResultStore.h"
#include "platform/IniDocument.h"
#include "platform/IniFile.h"
#include "platform/LineReader.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonDocument>
#include <algorithm>
#include <map>
#include <set>

namespace {

constexpr qsizetype MaxStoreLines = 1000000;

QString joined(const std::vector<tstring>& names)
{
    QStringList list;
    for (const tstring& name : names)
        list << QString::fromStdWString(name.WithFullWidthBars());
    return list.join(QLatin1Char('|'));
}

QString spaced(const std::vector<tstring>& names)
{
    QStringList list;
    for (const tstring& name : names)
        list << QString::fromStdWString(name);
    return list.join(QLatin1Char(' '));
}

QString normalFingerprint(QString text)
{
    text = text.trimmed().toUpper().remove(QLatin1Char('-'));
    if (text.size() != 16)
        return QString();
    return QStringLiteral("%1-%2-%3-%4").arg(text.mid(0, 4), text.mid(4, 4), text.mid(8, 4), text.mid(12, 4));
}

// One stop or replacement, for the fingerprints and for telling it when
// its winners were thrown away.
struct DrawInfo
{
    int line = 0;
    QString seed;
    std::vector<tstring> winners;
    qint64 time = 0;
};

class Replay
{
public:
    JournalVerifier::Report report;

    explicit Replay(const JournalVerifier::Options& options) : m_options(options) { m_clock.start(); }

    void fail(const QString& text)
    {
        report.lines << text;
        m_faults = true;
    }

    bool expired()
    {
        if (m_clock.elapsed() <= JournalVerifier::TimeLimitMs)
            return false;
        fail(QStringLiteral("检查超过 %1 秒: 抽奖记录过大").arg(JournalVerifier::TimeLimitMs / 1000));
        return true;
    }

    // False when nothing after this line can be trusted.
    bool line(const QByteArray& bytes, int number)
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
            if (!m_broken && m_engine.current() == m_engine.prizeCount() - 1)
                m_engine.StartDraw();
            return true;
        case JournalEntry::Type::StoreFailed:
            m_storeFailedLine = number;
            report.lines << QStringLiteral("第 %1 行: 结果没有写入 AwardResult.ini").arg(number);
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

    void finish()
    {
        if (m_lines == 0) {
            fail(QStringLiteral("没有抽奖记录"));
            return conclude();
        }
        checkNobodyWonTwice();
        checkStore();
        for (const QString& given : m_options.fingerprints) {
            const QString fingerprint = normalFingerprint(given);
            if (fingerprint.isEmpty() || !m_fingerprints.count(fingerprint))
                fail(QStringLiteral("记录 %1 不是抽奖记录中任何一次抽取的记录").arg(given.trimmed()));
        }
        conclude();
    }

private:
    bool invalid(const QString& problem)
    {
        fail(QStringLiteral("第 %1 行: %2").arg(m_line).arg(problem));
        return false;
    }

    // Every chained line names the digest of the line before it; lines from
    // before the chain may only come first.
    bool chain(const JournalEntry::Line& head, const QByteArray& bytes)
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

    QString prizeLabel(int index) const
    {
        const QString name = index >= 0 && index < m_engine.prizeCount()
                                 ? QString::fromStdWString(m_engine.award(index).awardName)
                                 : QString();
        return QStringLiteral("第 %1 项 %2").arg(static_cast<qint64>(index) + 1).arg(name);
    }

    bool checkPool(const QString& digest, qint64 size)
    {
        if (static_cast<qint64>(m_engine.pool().size()) == size &&
            QString::fromStdWString(PoolDigest(m_engine.pool())) == digest)
            return true;
        fail(QStringLiteral("第 %1 行: 奖池与记录不符").arg(m_line));
        return false;
    }

    bool readList(const QString& digest, std::vector<tstring>& names, QString& path)
    {
        const QString problem = FolderFile::readKeptList(digest, JournalVerifier::MaxListBytes, names, path);
        if (!problem.isEmpty())
            fail(QStringLiteral("第 %1 行: %2").arg(m_line).arg(problem));
        return problem.isEmpty();
    }

    bool start(const QJsonObject& entry)
    {
        JournalEntry::Start start;
        QString problem;
        if (!JournalEntry::readStart(entry, start, &problem))
            return invalid(problem);
        std::vector<tstring> names;
        QString path;
        if (expired())
            return false;
        const bool listRead = readList(start.participantsDigest, names, path);
        if (start.reason == QLatin1String("launch"))
            relaunch(start);
        else
            discardAll(start.reason == QLatin1String("redraw") ? QStringLiteral("重新抽奖")
                                                               : QStringLiteral("编辑了抽奖名单"));
        if (!listRead) {
            m_broken = true;
            return true;
        }
        m_started = true;
        m_broken = false;
        m_storeFailedLine = 0;
        m_lists.insert(path);
        m_engine.load(std::move(names), start.prizes);
        const auto restored = [&](int i) {
            return i < static_cast<int>(start.restored.size()) ? joined(start.restored[size_t(i)])
                                                               : QString();
        };
        RestoreResults(
            m_engine, start.storedCount, [&](int i) { return tstring(restored(i).toStdWString()); },
            joined(start.absent).toStdWString(), joined(start.withdrawn).toStdWString());
        m_drawsOf.resize(size_t(m_engine.prizeCount()));
        checkPool(start.poolDigest, start.poolSize);
        return true;
    }

    // A restart brings back what was drawn, or the draws it lost are told:
    // the lost prizes are drawn again. The result screen's count one past
    // the table is stored only at exit, so a kill after it loses no draw.
    void relaunch(const JournalEntry::Start& start)
    {
        if (!m_started || m_broken) {
            m_drawsOf.clear();
            return;
        }
        QString why = QStringLiteral("重新启动时结果丢失");
        if (m_storeFailedLine > 0)
            why += QStringLiteral(" (AwardResult.ini 写入失败, 见第 %1 行)").arg(m_storeFailedLine);
        for (int i = 0; i < m_engine.prizeCount() && i < static_cast<int>(m_drawsOf.size()); ++i) {
            if (i >= start.storedCount || i >= static_cast<int>(start.restored.size()))
                discard(i, why);
            else if (start.restored[size_t(i)] != m_engine.award(i).winners)
                discard(i, QStringLiteral("重新启动时结果被改动"));
        }
        if (start.absent != m_engine.absent())
            fail(QStringLiteral("第 %1 行: 重新启动时恢复的缺席名单与记录不符").arg(m_line));
        m_drawsOf.clear();
    }

    void discardAll(const QString& why)
    {
        if (!m_broken) {
            for (int i = 0; i < static_cast<int>(m_drawsOf.size()); ++i)
                discard(i, why);
        }
        m_drawsOf.clear();
    }

    void discard(int prize, const QString& why)
    {
        if (prize >= static_cast<int>(m_drawsOf.size()))
            return;
        for (const DrawInfo& info : m_drawsOf[size_t(prize)]) {
            ++m_discarded;
            report.lines << QStringLiteral(
                                "第 %1 行: 作废了第 %2 行的抽取: %3, 种子 %4, 中奖者 %5, 时间 %6, 原因: %7")
                                .arg(m_line)
                                .arg(info.line)
                                .arg(prizeLabel(prize), info.seed, spaced(info.winners),
                                     QString::fromStdWString(FormatDrawTime(std::time_t(info.time))), why);
        }
        m_drawsOf[size_t(prize)].clear();
    }

    // The range a draw applied, as the prize table declared it before, with
    // the lists it excluded read back from beside the journal.
    bool scopeOf(const DrawRecord& recorded, int prize, DrawScope& scope)
    {
        QString reason;
        if (recorded.admitted >= 0 && !scope.parse(recorded.scope, &reason)) {
            fail(QStringLiteral("第 %1 行: 抽奖范围 \"%2\" 无法解析: %3")
                     .arg(m_line)
                     .arg(QString::fromStdWString(recorded.scope), reason));
            return false;
        }
        DrawScope declared;
        if (prize >= 0 && prize < m_engine.prizeCount())
            declared.parse(m_engine.award(prize).range);
        if (declared.text() != scope.text()) {
            fail(QStringLiteral("第 %1 行: %2 按抽奖范围 \"%3\" 抽取, 奖项表声明的是 \"%4\"")
                     .arg(m_line)
                     .arg(prizeLabel(prize),
                          scope.admitsEveryone() ? QStringLiteral("全部")
                                                 : QString::fromStdWString(scope.text()),
                          declared.admitsEveryone() ? QStringLiteral("全部")
                                                    : QString::fromStdWString(declared.text())));
            return false;
        }
        scope.setExclusionMatch(recorded.exclusionWords ? DrawScope::ExclusionMatch::Word
                                                        : DrawScope::ExclusionMatch::Line);
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

    bool draw(const QJsonObject& entry, const QByteArray& bytes, bool replacement)
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
        const QString seed =
            old ? QStringLiteral("%1 (旧规则)").arg(recorded.seed.second()) : recorded.seed.hex();
        DrawScope scope;
        if (!scopeOf(recorded, prize, scope))
            return true;
        DrawRecord replayed;
        QString head;
        if (replacement) {
            const int row = draw.row;
            if (prize != m_engine.current() || !m_engine.canReplace(row) ||
                QString::fromStdWString(m_engine.award(prize).winners[size_t(row)]) != draw.absent) {
                fail(QStringLiteral("第 %1 行: %2 没有可补抽的中奖者 %3")
                         .arg(m_line)
                         .arg(prizeLabel(prize), draw.absent));
                return true;
            }
            if (!checkPool(QString::fromStdWString(recorded.poolDigest), qint64(recorded.poolSize)))
                return true;
            m_engine.ReplaceWinner(row, recorded.seed, replayed, &scope);
            head = QStringLiteral("%1: 补抽 %2 → %3, 种子 %4, 记录 %5")
                       .arg(prizeLabel(prize), draw.absent,
                            recorded.winners.empty() ? QString()
                                                     : QString::fromStdWString(recorded.winners.front()),
                            seed, fingerprint);
        } else {
            if (prize != m_engine.current() + 1 || prize >= m_engine.prizeCount()) {
                fail(QStringLiteral("第 %1 行: %2 不是按顺序的下一项").arg(m_line).arg(prizeLabel(prize)));
                return true;
            }
            if (!checkPool(QString::fromStdWString(recorded.poolDigest), qint64(recorded.poolSize)))
                return true;
            m_engine.StartDraw();
            m_engine.StopDraw(recorded.seed, replayed, &scope);
            head = QStringLiteral("%1: %2 名, 种子 %3, 记录 %4")
                       .arg(prizeLabel(prize))
                       .arg(recorded.winners.size())
                       .arg(seed, fingerprint);
        }
        ++m_draws;
        if (prize < static_cast<int>(m_drawsOf.size()))
            m_drawsOf[size_t(prize)].push_back(DrawInfo{m_line, seed, recorded.winners, m_time});
        for (const tstring& winner : recorded.winners) {
            if (!scope.admits(winner))
                fail(QStringLiteral("第 %1 行: %2的中奖者 %3 不在抽奖范围 \"%4\" 内")
                         .arg(m_line)
                         .arg(prizeLabel(prize), QString::fromStdWString(winner),
                              QString::fromStdWString(scope.text())));
        }
        const bool same = replayed.winners == recorded.winners && replayed.positions == recorded.positions &&
                          replayed.outcome == recorded.outcome && replayed.admitted == recorded.admitted;
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
    bool prizes(const QJsonObject& entry)
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

    // Nobody won more often than they are on a list the draw was made from;
    // a winner on no list came from a store older than the journal.
    void checkNobodyWonTwice()
    {
        std::map<tstring, int> won;
        for (const AwardItem& award : m_engine.awards())
            for (const tstring& name : award.winners)
                ++won[name];
        std::map<tstring, int> allowed;
        for (const QString& path : m_lists) {
            QByteArray bytes;
            if (LineReader::readAll(path, JournalVerifier::MaxListBytes, bytes) != LineReader::Opened::Ok)
                continue;
            std::map<tstring, int> counted;
            for (const QByteArray& name : bytes.split('\n')) {
                const tstring text = QString::fromUtf8(name).toStdWString();
                if (won.count(text))
                    ++counted[text];
            }
            for (const auto& [name, count] : counted)
                allowed[name] = std::max(allowed[name], count);
        }
        for (const auto& [name, count] : won) {
            const auto found = allowed.find(name);
            if (count > (found == allowed.end() ? 1 : found->second))
                fail(QStringLiteral("%1 中奖不止一次").arg(QString::fromStdWString(name)));
        }
    }

    void checkStore()
    {
        const QString path =
            QString::fromStdWString(ResultStoreFile).replace(QLatin1Char('\\'), QLatin1Char('/'));
        QByteArray bytes;
        const LineReader::Opened opened = FolderFile::read(path, JournalVerifier::MaxStoreBytes, bytes);
        if (opened != LineReader::Opened::Ok && opened != LineReader::Opened::Missing) {
            fail(FolderFile::unreadable(opened, QStringLiteral("AwardResult.ini"),
                                        JournalVerifier::MaxStoreBytes));
            return;
        }
        if (bytes.count('\n') > MaxStoreLines) {
            fail(QStringLiteral("AwardResult.ini 行数过多"));
            return;
        }
        const IniDocument store = IniDocument::fromBytes(bytes.toStdString());
        const auto value = [&](const std::wstring& key) {
            return QString::fromStdWString(
                IniFile::readString(store, L"AwardResult", key, L"", std::wstring::npos));
        };
        const int stored = IniFile::readInt(store, L"AwardResult", L"Cnt", 0);
        const int expected = m_engine.finishedCountToStore();
        if (stored != expected)
            fail(QStringLiteral("AwardResult.ini 记录了 %1 项, 抽奖记录为 %2 项").arg(stored).arg(expected));
        for (int i = 0; i < expected && i < m_engine.prizeCount(); ++i) {
            if (value(L"Itme" + std::to_wstring(i)) != joined(m_engine.award(i).winners))
                fail(QStringLiteral("%1: AwardResult.ini 中的中奖名单与抽奖记录不符").arg(prizeLabel(i)));
        }
        if (value(L"Absent") != joined(m_engine.absent()) ||
            value(L"Withdrawn") != joined(m_engine.withdrawn()))
            fail(QStringLiteral("AwardResult.ini 中的缺席或撤下名单与抽奖记录不符"));
    }

    void conclude()
    {
        if (m_oldRule)
            report.lines << QStringLiteral(
                "有抽取按旧规则 (种子为抽取时的秒数) 进行: 可以复现, 但中奖者事先可以算出");
        if (m_faults) {
            report.exitCode = JournalVerifier::Faulty;
            report.lines << QStringLiteral("共 %1 次抽取, 发现不符, 见上").arg(m_draws);
        } else if (m_discarded > 0 || m_oldRule) {
            report.exitCode = JournalVerifier::Discarded;
            report.lines << QStringLiteral("共 %1 次抽取, 全部可复现, 与 AwardResult.ini 一致; 作废 %2 次%3")
                                .arg(m_draws)
                                .arg(m_discarded)
                                .arg(m_oldRule ? QStringLiteral(", 旧规则") : QString());
        } else {
            report.lines << QStringLiteral("共 %1 次抽取, 全部可复现, 与 AwardResult.ini 一致").arg(m_draws);
        }
        report.ok = report.exitCode == JournalVerifier::Verified;
    }

    const JournalVerifier::Options& m_options;
    QElapsedTimer m_clock;
    DrawEngine m_engine;
    // The draws behind each prize of the replay's table.
    std::vector<std::vector<DrawInfo>> m_drawsOf;
    std::set<QString> m_lists;
    std::set<QString> m_fingerprints;
    QString m_lastHash;
    bool m_chained = false;
    bool m_started = false;
    bool m_broken = false;
    bool m_faults = false;
    bool m_oldRule = false;
    int m_draws = 0;
    int m_discarded = 0;
    int m_line = 0;
    int m_lines = 0;
    qint64 m_time = 0;
    // The last failed store write since the last start, 0 for none.
    int m_storeFailedLine = 0;
};

} // namespace

JournalVerifier::Report JournalVerifier::verify(const Options& options)
{
    Replay replay(options);
    const QString path = QString::fromLatin1(DrawJournal::FileName);
    LineReader reader;
    LineReader::Opened opened = LineReader::Opened::Missing;
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        opened = FolderFile::insideFolder(path) ? reader.open(path, MaxJournalBytes)
                                                : LineReader::Opened::NotRegular;
    if (opened != LineReader::Opened::Ok && opened != LineReader::Opened::Missing) {
        replay.fail(FolderFile::unreadable(opened, path, MaxJournalBytes));
        replay.report.exitCode = Faulty;
        replay.report.ok = false;
        return replay.report;
    }
    QByteArray line;
    int number = 0;
    bool going = opened == LineReader::Opened::Ok;
    while (going && reader.next(line, MaxLineBytes)) {
        ++number;
        if (line.trimmed().isEmpty())
            continue;
        if (reader.torn()) {
            replay.report.lines
                << QStringLiteral("第 %1 行没有写完 (程序在写记录时中断), 未计入").arg(number);
            break;
        }
        going = !replay.expired() && replay.line(line, number);
    }
    if (going && reader.tooLong())
        replay.fail(QStringLiteral("第 %1 行超过 %2 MiB").arg(number + 1).arg(MaxLineBytes >> 20));
    else if (going && reader.failed())
        replay.fail(QStringLiteral("无法读完 %1").arg(path));
    replay.finish();
    return replay.report;
}
