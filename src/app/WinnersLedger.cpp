#include "app/WinnersLedger.h"

#include "app/DrawEngine.h"
#include "platform/TextFile.h"

#include <QFileInfo>
#include <algorithm>

bool WinnersLedger::rebuild(const WinnerHistory& history, const DrawEngine& engine)
{
    m_drawn = history.drawn;
    m_absent.clear();
    std::map<tstring, const WinnerHistory::Replacement*> replacementOf;
    for (const WinnerHistory::Replacement& replacement : history.replacements)
        replacementOf[replacement.absent] = &replacement;
    for (const tstring& absent : engine.absent()) {
        // The prize holds whoever the absent winner finally gave way to.
        const auto found = replacementOf.find(absent);
        tstring holder = found != replacementOf.end() ? found->second->replacement : absent;
        for (size_t step = 0; step < history.replacements.size() && replacementOf.count(holder); ++step)
            holder = replacementOf[holder]->replacement;
        for (int i = 0; i <= engine.current() && i < engine.prizeCount(); ++i) {
            const AwardItem& award = engine.award(i);
            if (std::find(award.winners.begin(), award.winners.end(), holder) != award.winners.end()) {
                m_absent.push_back(
                    Absent{award.awardName, award.prizeName, absent,
                           found != replacementOf.end() ? found->second->absentDrawn : Drawn()});
                break;
            }
        }
    }
    std::string onDisk;
    TextFile::readAll(m_folder.file(WinnersTable::CsvFile), onDisk);
    m_built.clear();
    m_blocks.clear();
    refresh(engine);
    if (onDisk == WinnersTable::csv(rows(), m_fieldNames) &&
        QFileInfo::exists(m_folder.file(WinnersTable::XlsxFile)))
        return true;
    return write(engine);
}

bool WinnersLedger::note(const DrawRecord& record, const DrawEngine& engine, const QString& fingerprint,
                         qint64 time, const tstring& absent)
{
    const bool replacement = !absent.empty();
    const Drawn drawn{WinnerHistory::timeText(time), fingerprint, replacement};
    if (replacement) {
        const AwardItem& award = engine.award(record.prize);
        const auto found = m_drawn.find(absent);
        m_absent.push_back(Absent{award.awardName, award.prizeName, absent,
                                  found != m_drawn.end() ? found->second : Drawn()});
    }
    for (const tstring& winner : record.winners)
        m_drawn[winner] = drawn;
    return write(engine, record.prize);
}

bool WinnersLedger::clear(const DrawEngine& engine)
{
    m_drawn.clear();
    m_absent.clear();
    m_built.clear();
    m_blocks.clear();
    return write(engine);
}

bool WinnersLedger::follow(const DrawEngine& engine)
{
    return write(engine);
}

std::vector<WinnerRow> WinnersLedger::rowsOf(const AwardItem& award, qint64 first) const
{
    std::vector<WinnerRow> rows;
    rows.reserve(award.winners.size());
    const QString awardName = QString::fromStdWString(award.awardName);
    const QString prizeName = QString::fromStdWString(award.prizeName);
    const auto row = [&](const tstring& name, const Drawn& drawn, qint64 number, const QString& note) {
        rows.push_back(WinnerRow{number, awardName, prizeName, QString::fromStdWString(name), drawn.time,
                                 drawn.fingerprint, note});
    };
    qint64 number = first;
    for (const tstring& winner : award.winners) {
        const auto found = m_drawn.find(winner);
        const Drawn drawn = found != m_drawn.end() ? found->second : Drawn();
        row(winner, drawn, ++number, drawn.replacement ? QStringLiteral("补抽") : QString());
    }
    for (const Absent& absent : m_absent) {
        if (absent.awardName == award.awardName && absent.prizeName == award.prizeName)
            row(absent.name, absent.drawn, 0, QStringLiteral("缺席"));
    }
    return rows;
}

std::vector<WinnerRow> WinnersLedger::rowsAfresh(const DrawEngine& engine) const
{
    std::vector<WinnerRow> rows;
    qint64 first = 0;
    for (int i = 0; i < engine.prizeCount(); ++i) {
        if (!engine.isFinishedForDisplay(i))
            continue;
        const std::vector<WinnerRow> block = rowsOf(engine.award(i), first);
        rows.insert(rows.end(), block.begin(), block.end());
        first += qint64(engine.award(i).winners.size());
    }
    return rows;
}

void WinnersLedger::refresh(const DrawEngine& engine, int changed)
{
    // The finished prizes are the first ones of the table.
    std::size_t finished = 0;
    while (int(finished) < engine.prizeCount() && engine.isFinishedForDisplay(int(finished)))
        ++finished;
    m_built.resize(finished);
    m_blocks.resize(finished);
    qint64 first = 0;
    for (std::size_t i = 0; i < finished; ++i) {
        const AwardItem& award = engine.award(int(i));
        Block& built = m_built[i];
        if (int(i) == changed || !m_blocks[i] || built.first != first || built.awardName != award.awardName ||
            built.prizeName != award.prizeName || built.winners != award.winners) {
            built = Block{award.awardName, award.prizeName, award.winners, first};
            m_blocks[i] = std::make_shared<const std::vector<WinnerRow>>(rowsOf(award, first));
        }
        first += qint64(award.winners.size());
    }
}

bool WinnersLedger::write(const DrawEngine& engine, int changed)
{
    refresh(engine, changed);
    const bool lastWritten = !m_table.failing();
    m_table.post(m_blocks, m_fieldNames);
    return lastWritten;
}

QString WinnersLedger::fingerprintOf(const AwardItem& award) const
{
    std::map<QString, int> shared;
    for (const tstring& winner : award.winners) {
        const auto found = m_drawn.find(winner);
        if (found != m_drawn.end() && !found->second.replacement && !found->second.fingerprint.isEmpty())
            ++shared[found->second.fingerprint];
    }
    const auto most = std::max_element(shared.begin(), shared.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    return most == shared.end() ? QString() : most->first;
}

std::vector<tstring> WinnersLedger::absentOf(const AwardItem& award) const
{
    std::vector<tstring> absent;
    for (const Absent& entry : m_absent) {
        if (entry.awardName == award.awardName && entry.prizeName == award.prizeName)
            absent.push_back(entry.name);
    }
    return absent;
}
