#pragma once

#include "app/NamePool.h"
#include "areas/tstring.h"
#include "data/JournalEntry.h"
#include "data/WinnerHistory.h"
#include "platform/EventFolder.h"

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
    // The SHA-256 of a line's bytes without its line feed, in lower-case hex:
    // the next line's "prev", so no line can be changed, left out or put in
    // unseen.
    static QString lineHash(const QByteArray& line);
    // What the audience sees of a line: the first 16 hex digits of that
    // digest, upper-case, as XXXX-XXXX-XXXX-XXXX.
    static QString fingerprint(const QByteArray& line);

    // The journal of that event folder.
    explicit DrawJournal(EventFolder folder);

    // Keeps the list once and gives its digest. A list that cannot be
    // written now is written before the next entry.
    QString keepList(const std::vector<tstring>& names);
    QString keepList(const NamePool& names);
    bool listsKept() const { return m_unkept.empty(); }
    // At start-up: a last line without its line feed (a kill or a full disk
    // in the middle of a write) is cut off and a "torn" entry says so.
    // False when the journal could not be mended.
    bool open();
    // The draws of the journal as it was opened.
    const WinnerHistory& history() const { return m_history; }
    // Every check-in the journal holds, oldest first, as it stood when opened.
    const std::vector<JournalEntry::Checkin>& checkins() const { return m_checkins; }
    // How many commitments of witnessed draws it holds for each prize.
    const std::map<int, int>& commits() const { return m_commits; }
    // Appends the entry (see JournalEntry) with its time and the hash of the
    // line before it; true when it is on disk, with its fingerprint. A line
    // that cannot be written now is held, in order and chained, and written
    // before the next entry: a full disk that frees up loses nothing, and
    // only a kill while it is full loses what is held.
    bool append(QJsonObject entry, QString* fingerprint = nullptr);
    // Whether lines wait to be written.
    bool holding() const { return !m_held.empty(); }
    // Of the last stop or replacement that stands (none after a redraw or a
    // participant edit), empty when there is none or it is not on disk yet:
    // the audience is shown only what a photograph can later be checked against.
    QString lastDrawFingerprint() const { return m_lastDrawHeld ? QString() : m_lastDrawFingerprint; }

private:
    void readCheckins(const std::string& bytes);
    template <typename Names> QString keep(const Names& names);
    void keepPendingLists();
    // Finds the end of the chain the next line goes on.
    void readChain(const std::string& bytes);

    EventFolder m_folder;
    // Kept lists not yet on disk, by path.
    std::map<QString, std::string> m_unkept;
    // Lines not yet on disk, in order.
    std::vector<QByteArray> m_held;
    // Of the last line, on disk or held: empty before the first.
    QString m_lastHash;
    bool m_lastDrawHeld = false;
    WinnerHistory m_history;
    std::vector<JournalEntry::Checkin> m_checkins;
    std::map<int, int> m_commits;
    bool m_chainKnown = false;
    QString m_lastDrawFingerprint;
};
