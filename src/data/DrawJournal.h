#pragma once

#include "areas/tstring.h"

#include <QJsonObject>
#include <QString>
#include <map>
#include <string>
#include <vector>

// The record of everything that decided or changed who can win, one JSON
// object per line in "Journal/journal.jsonl", each on disk before the
// winners it names are shown. Every participant list a pool was built from
// is kept beside it, so each draw can be replayed later. Failures come back
// as values; the draw session tells the operator once.
class DrawJournal
{
public:
    static constexpr const char* Folder = "Journal";
    static constexpr const char* FileName = "Journal/journal.jsonl";

    // "participants-<first 16 hex digits>.txt"
    static QString keptListName(const QString& digest);

    // Keeps the list once and gives its digest. A list that cannot be
    // written now is written before the next entry.
    QString keepList(const std::vector<tstring>& names);
    bool listsKept() const { return m_unkept.empty(); }
    // At start-up: a last line without its line feed (a kill or a full disk
    // in the middle of a write) is cut off and a "torn" entry says so.
    // False when the journal could not be mended.
    bool open();
    // Appends the entry (see JournalEntry) with its time, all or nothing.
    bool append(QJsonObject entry);

private:
    void keepPendingLists();

    // Kept lists not yet on disk, by path.
    std::map<QString, std::string> m_unkept;
};
