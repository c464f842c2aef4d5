#include "data/JournalVerifier.h"

#include "app/DrawEngine.h"
#include "app/PoolDigest.h"
#include "app/SilentHost.h"
#include "data/CIni.h"
#include "data/DrawJournal.h"
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
        list << QString::fromStdWString(StoredWinnerName(name));
    return list.join(QLatin1Char('|'));
}

std::vector<AwardItem> prizeTable(const QJsonArray& array)
{
    std::vector<AwardItem> awards;
    for (const QJsonValue& value : array) {
        const QJsonObject prize = value.toObject();
        AwardItem award;
        award.awardName = prize.value("awardName").toString().toStdWString();
        award.winnerCount = prize.value("winnerCount").toInt();
        award.prizeName = prize.value("prizeName").toString().toStdWString();
        award.winners = DrawJournal::names(prize.value("winners").toArray());
        awards.push_back(award);
    }
    return awards;
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
                                 ? QString::fromStdWString(m_engine.m_awards[size_t(index)].awardName)
                                 : QString();
        return QStringLiteral("第 %1 项 %2").arg(static_cast<qint64>(index) + 1).arg(name);
    }

    void start(const QJsonObject& entry, int line)
    {
        const QString digest = entry.value("participantsSha256").toString();
        const QString path =
            QStringLiteral("%1/%2").arg(DrawJournal::Folder, DrawJournal::keptListName(digest));
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
        if (QString::fromStdWString(PoolDigest(names)) != digest) {
            fail(QStringLiteral("第 %1 行: 名单 %2 已被改动").arg(line).arg(path));
            m_broken = true;
            return;
        }
        const bool relaunch = entry.value("reason").toString() == QLatin1String("launch") && m_started;
        const QJsonArray restored = entry.value("restored").toArray();
        if (relaunch)
            checkRelaunchCount(entry.value("storedCount").toInt(), line);
        if (relaunch) {
            for (int i = 0; i < restored.size(); ++i) {
                const bool known = i < m_engine.prizeCount() && i <= m_engine.m_current;
                const std::vector<tstring> back = DrawJournal::names(restored[i].toArray());
                if (!known || back != m_engine.m_awards[size_t(i)].winners)
                    fail(QStringLiteral("第 %1 行: 重新启动时恢复的%2中奖名单与记录不符")
                             .arg(line)
                             .arg(prizeLabel(i)));
            }
        }
        if (relaunch && DrawJournal::names(entry.value("absent").toArray()) != m_engine.m_absent)
            fail(QStringLiteral("第 %1 行: 重新启动时恢复的缺席名单与记录不符").arg(line));
        m_started = true;
        m_broken = false;
        m_storeFailedLine = 0;
        m_list = names;
        m_engine.Reset();
        m_engine.m_pool = names;
        m_engine.m_awards = prizeTable(entry.value("prizes").toArray());
        RestoreResults(m_engine, entry.value("storedCount").toInt(), [&](int i) {
            return tstring(joined(DrawJournal::names(restored[i].toArray())).toStdWString());
        });
        RestoreAbsent(m_engine, joined(DrawJournal::names(entry.value("absent").toArray())).toStdWString());
        checkPool(entry, line);
    }

    // A restart that brings back fewer prizes than were drawn draws them
    // again; only a store write that failed may explain that. The result
    // screen's count one past the table is stored only at exit, so a kill
    // after it loses no draw.
    void checkRelaunchCount(int storedCount, int line)
    {
        const int drawn = std::min(m_engine.finishedCountToStore(), m_engine.prizeCount());
        if (storedCount >= drawn)
            return;
        const QString head = QStringLiteral("第 %1 行: 重新启动时只恢复了 %2 项, 抽奖记录为 %3 项")
                                 .arg(line)
                                 .arg(storedCount)
                                 .arg(drawn);
        if (m_storeFailedLine > 0)
            report.lines << head +
                                QStringLiteral(" (AwardResult.ini 写入失败, 见第 %1 行), 之后的奖项重新抽取")
                                    .arg(m_storeFailedLine);
        else
            fail(head);
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
                            .arg(entry.value("bytes").toInteger());
    }

    bool checkPool(const QJsonObject& entry, int line)
    {
        if (QString::fromStdWString(PoolDigest(m_engine.m_pool)) == entry.value("poolDigest").toString())
            return true;
        fail(QStringLiteral("第 %1 行: 奖池与记录不符").arg(line));
        return false;
    }

    void stop(const QJsonObject& entry, int line)
    {
        if (m_broken)
            return;
        const int prize = entry.value("prize").toInt();
        if (prize != static_cast<long long>(m_engine.m_current) + 1 || prize >= m_engine.prizeCount()) {
            fail(QStringLiteral("第 %1 行: %2 不是按顺序的下一项").arg(line).arg(prizeLabel(prize)));
            return;
        }
        if (!checkPool(entry, line))
            return;
        const long long seed = static_cast<long long>(entry.value("seed").toDouble());
        Clock::setFixed(static_cast<std::time_t>(seed));
        m_engine.StartDraw();
        m_engine.StopDraw();
        Clock::setFixed(std::nullopt);
        const std::vector<tstring> recorded = DrawJournal::names(entry.value("winners").toArray());
        const AwardItem& award = m_engine.m_awards[size_t(prize)];
        ++m_draws;
        const QString head =
            QStringLiteral("%1: %2 名, 种子 %3").arg(prizeLabel(prize)).arg(recorded.size()).arg(seed);
        if (award.winners == recorded)
            report.lines << head + QStringLiteral(", 可复现");
        else
            fail(head + QStringLiteral(", 不可复现: 种子给出的中奖者与记录不同"));
        // The replay goes on from what was recorded, so one difference is told once.
        m_engine.m_awards[size_t(prize)].winners = recorded;
    }

    void replace(const QJsonObject& entry, int line)
    {
        if (m_broken)
            return;
        const int row = entry.value("row").toInt();
        const int prize = entry.value("prize").toInt();
        const QString absent = entry.value("absent").toString();
        if (prize != m_engine.m_current || !m_engine.canReplace(row) ||
            QString::fromStdWString(m_engine.m_awards[size_t(prize)].winners[size_t(row)]) != absent) {
            fail(QStringLiteral("第 %1 行: %2 没有可补抽的中奖者 %3")
                     .arg(line)
                     .arg(prizeLabel(prize), absent));
            return;
        }
        if (!checkPool(entry, line))
            return;
        const long long seed = static_cast<long long>(entry.value("seed").toDouble());
        Clock::setFixed(static_cast<std::time_t>(seed));
        DrawRecord record;
        m_engine.ReplaceWinner(row, record);
        Clock::setFixed(std::nullopt);
        const std::vector<tstring> recorded = DrawJournal::names(entry.value("winners").toArray());
        const QString head =
            QStringLiteral("%1: 补抽 %2 → %3, 种子 %4")
                .arg(prizeLabel(prize), absent,
                     recorded.empty() ? QString() : QString::fromStdWString(recorded.front()))
                .arg(seed);
        ++m_draws;
        if (record.winners == recorded)
            report.lines << head + QStringLiteral(", 可复现");
        else
            fail(head + QStringLiteral(", 不可复现"));
        if (!recorded.empty())
            m_engine.m_awards[size_t(prize)].winners[size_t(row)] = recorded.front();
    }

    // A change of the prize table brings no winner that was not drawn.
    void prizes(const QJsonObject& entry, int line)
    {
        if (m_broken)
            return;
        std::map<tstring, int> drawn;
        for (const AwardItem& award : m_engine.m_awards)
            for (const tstring& name : award.winners)
                ++drawn[name];
        std::vector<AwardItem> table = prizeTable(entry.value("prizes").toArray());
        for (const AwardItem& award : table)
            for (const tstring& name : award.winners)
                if (--drawn[name] < 0)
                    fail(QStringLiteral("第 %1 行: 奖项修改带来了未抽出的中奖者 %2")
                             .arg(line)
                             .arg(QString::fromStdWString(name)));
        m_engine.m_awards = std::move(table);
        m_engine.m_current = std::clamp(entry.value("current").toInt(), -1, m_engine.prizeCount());
        m_engine.m_running = 0;
    }

    // The start after the last prize opens the result screen and counts one past the table.
    void resultScreen()
    {
        if (!m_broken && m_engine.m_current == m_engine.prizeCount() - 1)
            m_engine.m_current = m_engine.prizeCount();
    }

    void finish()
    {
        std::map<tstring, int> allowed;
        for (const tstring& name : m_list)
            ++allowed[name];
        for (int i = 0; i < m_engine.prizeCount(); ++i)
            for (const tstring& name : m_engine.m_awards[size_t(i)].winners)
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
            if (inStore != joined(m_engine.m_awards[size_t(i)].winners))
                fail(QStringLiteral("%1: AwardResult.ini 中的中奖名单与抽奖记录不符").arg(prizeLabel(i)));
        }
        report.lines
            << (report.ok ? QStringLiteral("共 %1 次抽取, 全部可复现, 与 AwardResult.ini 一致").arg(m_draws)
                          : QStringLiteral("共 %1 次抽取, 发现不符, 见上").arg(m_draws));
    }

private:
    SilentHost m_host;
    DrawEngine m_engine{m_host};
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
        const QString type = entry.value("type").toString();
        if (type == QLatin1String("start"))
            replay.start(entry, line);
        else if (type == QLatin1String("stop"))
            replay.stop(entry, line);
        else if (type == QLatin1String("replace"))
            replay.replace(entry, line);
        else if (type == QLatin1String("prizes"))
            replay.prizes(entry, line);
        else if (type == QLatin1String("result screen"))
            replay.resultScreen();
        else if (type == QLatin1String("store failed"))
            replay.storeFailed(line);
        else if (type == QLatin1String("torn"))
            replay.torn(entry, line);
    }
    replay.finish();
    MsgBox::setHandler(previous);
    return replay.report;
}
