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
    if (onDisk == WinnersTable::csv(rows(engine), m_fieldNames) &&
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
    return write(engine);
}

bool WinnersLedger::clear(const DrawEngine& engine)
{
    m_drawn.clear();
    m_absent.clear();
    return write(engine);
}

std::vector<WinnerRow> WinnersLedger::rows(const DrawEngine& engine) const
{
    std::vector<WinnerRow> rows;
    qint64 number = 0;
    const auto row = [&rows](const tstring& awardName, const tstring& prizeName, const tstring& name,
                             const Drawn& drawn, qint64 rowNumber, const QString& note) {
        rows.push_back(WinnerRow{rowNumber, QString::fromStdWString(awardName),
                                 QString::fromStdWString(prizeName), QString::fromStdWString(name),
                                 drawn.time, drawn.fingerprint, note});
    };
    for (int i = 0; i < engine.prizeCount(); ++i) {
        if (!engine.isFinishedForDisplay(i))
            continue;
        const AwardItem& award = engine.award(i);
        for (const tstring& winner : award.winners) {
            const auto found = m_drawn.find(winner);
            const Drawn drawn = found != m_drawn.end() ? found->second : Drawn();
            row(award.awardName, award.prizeName, winner, drawn, ++number,
                drawn.replacement ? QStringLiteral("补抽") : QString());
        }
        for (const Absent& absent : m_absent) {
            if (absent.awardName == award.awardName && absent.prizeName == award.prizeName)
                row(absent.awardName, absent.prizeName, absent.name, absent.drawn, 0, QStringLiteral("缺席"));
        }
    }
    return rows;
}

bool WinnersLedger::write(const DrawEngine& engine)
{
    const bool lastWritten = !m_table.failing();
    m_table.post(rows(engine), m_fieldNames);
    return lastWritten;
}
