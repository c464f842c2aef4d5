#pragma once

#include "app/AwardItem.h"
#include "app/DrawRecord.h"
#include "data/WinnerHistory.h"
#include "data/WinnersTable.h"

#include <QStringList>
#include <map>
#include <vector>

class DrawEngine;

// The prize desk's table: who won which prize, when, by which journal line,
// and whom each absent winner gave way to. It is rebuilt at every start from
// the journal and the result store, follows every stop and replacement, and
// is written to Result.csv and Result.xlsx off the screen's thread. Its rows
// are kept in a block a prize: a stop builds the block of its prize only.
class WinnersLedger
{
public:
    explicit WinnersLedger(const EventFolder& folder) : m_folder(folder), m_table(folder) {}

    // The headings of the fields of a name, as the import found them.
    void setFieldNames(QStringList names) { m_fieldNames = std::move(names); }
    const QStringList& fieldNames() const { return m_fieldNames; }

    // At the start: the journal's draws for the winners the store gave back;
    // the files are written when they say otherwise. False when they were
    // and their last write failed.
    bool rebuild(const WinnerHistory& history, const DrawEngine& engine);
    // A stop or a replacement, with its journal line's fingerprint (empty
    // while the line is not on disk), at this time; the files follow.
    bool note(const DrawRecord& record, const DrawEngine& engine, const QString& fingerprint, qint64 time,
              const tstring& absent = tstring());
    // A draw started afresh has no winners yet.
    bool clear(const DrawEngine& engine);
    // The prize table was edited: the blocks whose prize changed are built again.
    bool follow(const DrawEngine& engine);

    // Every winner of the finished prizes, then each prize's absent winners.
    std::vector<WinnerRow> rows() const { return WinnersTable::rowsOf(m_blocks); }
    // The same, built whole from the engine rather than block by block.
    std::vector<WinnerRow> rowsAfresh(const DrawEngine& engine) const;
    // The journal line a prize's winners were drawn by: the one most of
    // them share, replacements aside; empty when none is known.
    QString fingerprintOf(const AwardItem& award) const;
    // The prize's absent winners, in the order they gave way.
    std::vector<tstring> absentOf(const AwardItem& award) const;
    // Waits for the files; false when their last write failed.
    bool finish() { return m_table.finish(); }

private:
    // Brings the blocks in line with the finished prizes, building again
    // those whose prize, place or winners changed, and `changed` whatever it holds.
    void refresh(const DrawEngine& engine, int changed = -1);
    std::vector<WinnerRow> rowsOf(const AwardItem& award, qint64 first) const;
    // Posts the rows; false when the write before this one failed.
    bool write(const DrawEngine& engine, int changed = -1);

    using Drawn = WinnerHistory::Drawn;
    struct Absent
    {
        tstring awardName;
        tstring prizeName;
        tstring name;
        Drawn drawn;
    };
    // A finished prize's rows, and what they were built from.
    struct Block
    {
        tstring awardName;
        tstring prizeName;
        std::vector<tstring> winners;
        qint64 first = 0;
    };
    std::map<tstring, Drawn> m_drawn;
    std::vector<Absent> m_absent;
    std::vector<Block> m_built;
    WinnerBlocks m_blocks;
    QStringList m_fieldNames;
    EventFolder m_folder;
    WinnersTable m_table;
};
