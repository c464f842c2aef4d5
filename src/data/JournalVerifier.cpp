#include "data/JournalVerifier.h"

#include "app/DrawEngine.h"
#include "app/PoolDigest.h"
#include "data/CIni.h"
#include "data/DrawJournal.h"
#include "data/JournalEntry.h"
#include "data/ResultStore.h"
#include "platform/Clock.h"
#include "platform/MsgBox.h"

#include <QFile>
#include <QJsonDocument>
#include <algorithm>
#include <map>

namespace {

QString joined(const std::vector<tstring>& names)
{
    QStringList list;
    for (const tstring& name : names)
        list << QString::fromStdWString(name.WithFullWidthBars());
    return list.join(QLatin1Char('|'));
}

class Replay
{
public:
    JournalVerifier::Report report;

    void fail(const QString& line)
    {
        report.lines << line;
        report.ok = false;
    }

    QString prizeLabel(int index) const
    {
        const QString name = index >= 0 && index < m_engine.prizeCount()
                                 ? QString::fromStdWString(m_engine.award(index).awardName)
                                 : QString();
        return QStringLiteral("第 %1 项 %2").arg(static_cast<qint64>(index) + 1).arg(name);
    }

    void start(const QJsonObject& entry, int line)
    {
        const JournalEntry::Start start = JournalEntry::readStart(entry);
        const QString path = QStringLiteral("%1/%2").arg(DrawJournal::Folder,
                                                         DrawJournal::keptListName(start.participantsDigest));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            fail(QStringLiteral("第 %1 行: 缺少名单 %2").arg(line).arg(path));
            m_broken = true;
            return;
        }
        std::vector<tstring> names;
        for (const QByteArray& name : file.readAll().split('\n'))
            names.push_back(QString::fromUtf8(name).toStdWString());
        names.pop_back();
        if (QString::fromStdWString(PoolDigest(names)) != start.participantsDigest) {
            fail(QStringLiteral("第 %1 行: 名单 %2 已被改动").arg(line).arg(path));
            m_broken = true;
            return;
        }
        if (start.reason == QLatin1String("launch") && m_started)
            checkRelaunch(start, line);
        m_started = true;
        m_broken = false;
        m_storeFailedLine = 0;
        m_list = names;
        m_engine.load(std::move(names), start.prizes);
        const auto restored = [&](int i) {
            return i < static_cast<int>(start.restored.size()) ? joined(start.restored[size_t(i)])
                                                               : QString();
        };
        RestoreResults(
            m_engine, start.storedCount, [&](int i) { return tstring(restored(i).toStdWString()); },
            joined(start.absent).toStdWString());
        checkPool(start.poolDigest, line);
    }

    // A restart brings back what the draw held: the same winners, the same
    // absent ones, and no fewer prizes than were drawn, unless a store write
    // that failed explains it, since the lost prizes are drawn again. The
    // result screen's count one past the table is stored only at exit, so a
    // kill after it loses no draw.
    void checkRelaunch(const JournalEntry::Start& start, int line)
    {
        const int drawn = std::min(m_engine.finishedCountToStore(), m_engine.prizeCount());
        if (start.storedCount < drawn) {
            const QString head = QStringLiteral("第 %1 行: 重新启动时只恢复了 %2 项, 抽奖记录为 %3 项")
                                     .arg(line)
                                     .arg(start.storedCount)
                                     .arg(drawn);
            if (m_storeFailedLine > 0)
                report.lines << head + QStringLiteral(
                                           " (AwardResult.ini 写入失败, 见第 %1 行), 之后的奖项重新抽取")
                                           .arg(m_storeFailedLine);
            else
                fail(head);
        }
        for (size_t i = 0; i < start.restored.size(); ++i) {
            const int index = static_cast<int>(i);
            const bool known = index < m_engine.prizeCount() && index <= m_engine.current();
            if (!known || start.restored[i] != m_engine.award(index).winners)
                fail(QStringLiteral("第 %1 行: 重新启动时恢复的%2中奖名单与记录不符")
                         .arg(line)
                         .arg(prizeLabel(index)));
        }
        if (start.absent != m_engine.absent())
            fail(QStringLiteral("第 %1 行: 重新启动时恢复的缺席名单与记录不符").arg(line));
    }

    void storeFailed(int line)
    {
        m_storeFailedLine = line;
        report.lines << QStringLiteral("第 %1 行: 结果没有写入 AwardResult.ini").arg(line);
    }

    void torn(const QJsonObject& entry, int line)
    {
        report.lines << QStringLiteral("第 %1 行: 上次运行中断时有一行记录没有写完, 已去掉 (%2 字节)")
                            .arg(line)
                            .arg(JournalEntry::readTornBytes(entry));
    }

    bool checkPool(const QString& poolDigest, int line)
    {
        if (QString::fromStdWString(PoolDigest(m_engine.pool())) == poolDigest)
            return true;
        fail(QStringLiteral("第 %1 行: 奖池与记录不符").arg(line));
        return false;
    }

    void stop(const QJsonObject& entry, int line)
    {
        if (m_broken)
            return;
        const JournalEntry::Draw draw = JournalEntry::readDraw(entry);
        const int prize = draw.record.prize;
        if (prize != static_cast<long long>(m_engine.current()) + 1 || prize >= m_engine.prizeCount()) {
            fail(QStringLiteral("第 %1 行: %2 不是按顺序的下一项").arg(line).arg(prizeLabel(prize)));
            return;
        }
        if (!checkPool(QString::fromStdWString(draw.record.poolDigest), line))
            return;
        Clock::setFixed(static_cast<std::time_t>(draw.record.seed));
        m_engine.StartDraw();
        DrawRecord replayed;
        m_engine.StopDraw(replayed);
        Clock::setFixed(std::nullopt);
        const std::vector<tstring>& recorded = draw.record.winners;
        ++m_draws;
        const QString head = QStringLiteral("%1: %2 名, 种子 %3")
                                 .arg(prizeLabel(prize))
                                 .arg(recorded.size())
                                 .arg(draw.record.seed);
        if (m_engine.award(prize).winners == recorded) {
            report.lines << head + QStringLiteral(", 可复现");
            return;
        }
        fail(head + QStringLiteral(", 不可复现: 种子给出的中奖者与记录不同"));
        // The replay goes on from what was recorded, so one difference is told once.
        std::vector<AwardItem> awards = m_engine.awards();
        awards[size_t(prize)].winners = recorded;
        m_engine.setPrizes(std::move(awards), m_engine.current());
    }

    void replace(const QJsonObject& entry, int line)
    {
        if (m_broken)
            return;
        const JournalEntry::Draw draw = JournalEntry::readDraw(entry);
        const int row = draw.row;
        const int prize = draw.record.prize;
        if (prize != m_engine.current() || !m_engine.canReplace(row) ||
            QString::fromStdWString(m_engine.award(prize).winners[size_t(row)]) != draw.absent) {
            fail(QStringLiteral("第 %1 行: %2 没有可补抽的中奖者 %3")
                     .arg(line)
                     .arg(prizeLabel(prize), draw.absent));
            return;
        }
        if (!checkPool(QString::fromStdWString(draw.record.poolDigest), line))
            return;
        Clock::setFixed(static_cast<std::time_t>(draw.record.seed));
        DrawRecord replayed;
        m_engine.ReplaceWinner(row, replayed);
        Clock::setFixed(std::nullopt);
        const std::vector<tstring>& recorded = draw.record.winners;
        const QString head =
            QStringLiteral("%1: 补抽 %2 → %3, 种子 %4")
                .arg(prizeLabel(prize), draw.absent,
                     recorded.empty() ? QString() : QString::fromStdWString(recorded.front()))
                .arg(draw.record.seed);
        ++m_draws;
        if (replayed.winners == recorded) {
            report.lines << head + QStringLiteral(", 可复现");
            return;
        }
        fail(head + QStringLiteral(", 不可复现"));
        if (!recorded.empty()) {
            std::vector<AwardItem> awards = m_engine.awards();
            awards[size_t(prize)].winners[size_t(row)] = recorded.front();
            m_engine.setPrizes(std::move(awards), m_engine.current());
        }
    }

    // A change of the prize table brings no winner that was not drawn.
    void prizes(const QJsonObject& entry, int line)
    {
        if (m_broken)
            return;
        std::map<tstring, int> drawn;
        for (const AwardItem& award : m_engine.awards())
            for (const tstring& name : award.winners)
                ++drawn[name];
        JournalEntry::Prizes table = JournalEntry::readPrizes(entry);
        for (const AwardItem& award : table.prizes)
            for (const tstring& name : award.winners)
                if (--drawn[name] < 0)
                    fail(QStringLiteral("第 %1 行: 奖项修改带来了未抽出的中奖者 %2")
                             .arg(line)
                             .arg(QString::fromStdWString(name)));
        m_engine.setPrizes(std::move(table.prizes), table.current);
    }

    // The start after the last prize opens the result screen and counts one past the table.
    void resultScreen()
    {
        if (!m_broken && m_engine.current() == m_engine.prizeCount() - 1)
            m_engine.StartDraw();
    }

    void finish()
    {
        std::map<tstring, int> allowed;
        for (const tstring& name : m_list)
            ++allowed[name];
        for (int i = 0; i < m_engine.prizeCount(); ++i)
            for (const tstring& name : m_engine.award(i).winners)
                if (--allowed[name] < 0)
                    fail(QStringLiteral("%1: %2 中奖不止一次")
                             .arg(prizeLabel(i))
                             .arg(QString::fromStdWString(name)));

        CIni store(ResultStoreFile);
        const int stored = store.IsOpen() ? store.GetInt(L"AwardResult", L"Cnt") : 0;
        const int expected = m_engine.finishedCountToStore();
        if (stored != expected)
            fail(QStringLiteral("AwardResult.ini 记录了 %1 项, 抽奖记录为 %2 项").arg(stored).arg(expected));
        for (int i = 0; i < expected && i < m_engine.prizeCount(); ++i) {
            tstring key;
            key.Format(L"Itme%d", i);
            const QString inStore = store.IsOpen()
                                        ? QString::fromStdWString(store.GetLongString(L"AwardResult", key))
                                        : QString();
            if (inStore != joined(m_engine.award(i).winners))
                fail(QStringLiteral("%1: AwardResult.ini 中的中奖名单与抽奖记录不符").arg(prizeLabel(i)));
        }
        report.lines
            << (report.ok ? QStringLiteral("共 %1 次抽取, 全部可复现, 与 AwardResult.ini 一致").arg(m_draws)
                          : QStringLiteral("共 %1 次抽取, 发现不符, 见上").arg(m_draws));
    }

private:
    DrawEngine m_engine;
    std::vector<tstring> m_list;
    bool m_started = false;
    bool m_broken = false;
    int m_draws = 0;
    // The last failed store write since the last start, 0 for none.
    int m_storeFailedLine = 0;
};

} // namespace

JournalVerifier::Report JournalVerifier::verify()
{
    Replay replay;
    const MsgBox::Handler previous = MsgBox::setHandler(
        [](const std::wstring&, const std::wstring&, unsigned) { return int(MsgBox::IdOk); });
    QFile journal(QString::fromLatin1(DrawJournal::FileName));
    if (!journal.open(QIODevice::ReadOnly)) {
        replay.fail(QStringLiteral("找不到抽奖记录 %1").arg(DrawJournal::FileName));
        MsgBox::setHandler(previous);
        return replay.report;
    }
    int line = 0;
    for (const QByteArray& text : journal.readAll().split('\n')) {
        ++line;
        if (text.trimmed().isEmpty())
            continue;
        QJsonParseError error;
        const QJsonObject entry = QJsonDocument::fromJson(text, &error).object();
        if (error.error != QJsonParseError::NoError) {
            replay.fail(QStringLiteral("第 %1 行无法读取").arg(line));
            continue;
        }
        switch (JournalEntry::typeOf(entry)) {
        case JournalEntry::Type::Start:
            replay.start(entry, line);
            break;
        case JournalEntry::Type::Stop:
            replay.stop(entry, line);
            break;
        case JournalEntry::Type::Replace:
            replay.replace(entry, line);
            break;
        case JournalEntry::Type::Prizes:
            replay.prizes(entry, line);
            break;
        case JournalEntry::Type::ResultScreen:
            replay.resultScreen();
            break;
        case JournalEntry::Type::StoreFailed:
            replay.storeFailed(line);
            break;
        case JournalEntry::Type::Torn:
            replay.torn(entry, line);
            break;
        default:
            break;
        }
    }
    replay.finish();
    MsgBox::setHandler(previous);
    return replay.report;
}
