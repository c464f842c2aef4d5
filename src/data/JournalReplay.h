#pragma once

#include "app/DrawEngine.h"
#include "data/JournalEntry.h"
#include "data/JournalVerifier.h"
#include "data/WitnessReplay.h"
#include "platform/EventFolder.h"

#include <QElapsedTimer>
#include <QString>
#include <map>
#include <set>
#include <unordered_set>
#include <utility>
#include <vector>

// An event's draw journal replayed line after line: the chain, every draw
// with the rule and the range it was made under, the prize table's changes
// and the restarts, each against the state the lines before it built. What
// it finds goes into its report: faults, draws thrown away, and what an
// honest event may show too but an auditor must hear of. What the whole
// journal must agree with at its end is JournalVerifier's to check.
class JournalReplay
{
public:
    JournalVerifier::Report report;

    // Replays the journal of that event folder, whose kept lists it reads.
    explicit JournalReplay(EventFolder folder);

    void fail(const QString& text);
    // Not a fault, but not "all reproduces" either: exit 2.
    void caution(const QString& text);
    bool expired();
    // False when nothing after this line can be trusted.
    bool line(const QByteArray& bytes, int number);

    // What the journal built, for the checks at its end.
    const DrawEngine& engine() const { return m_engine; }
    const EventFolder& folder() const { return m_folder; }
    const std::set<QString>& lists() const { return m_lists; }
    // Whether a stop or replacement line has this fingerprint.
    bool drawn(const QString& fingerprint) const { return m_fingerprints.count(fingerprint) > 0; }
    // The line of each result screen, by its fingerprint.
    const std::map<QString, int>& resultScreens() const { return m_resultScreens; }
    // Every stop and replacement replayed: its line and fingerprint.
    const std::vector<std::pair<int, QString>>& drawLines() const { return m_drawLines; }
    int lines() const { return m_lines; }
    int draws() const { return m_draws; }
    int discarded() const { return m_discarded; }
    int cautions() const { return m_cautions; }
    bool faulty() const { return m_faults; }
    // The commitments no stop took are abandoned: the names stopped without a draw.
    void abandon(const QString& why);
    // Whether a commit line's commitment begins with these hex digits.
    bool committed(const QString& prefix) const { return m_witness.committed(prefix); }
    bool oldRule() const { return m_oldRule; }
    QString prizeLabel(int index) const;
    // Names joined as the result store joins them.
    static QString joined(const std::vector<tstring>& names);

private:
    // One stop or replacement, for the fingerprints and for telling it when
    // its winners were thrown away.
    struct DrawInfo
    {
        int line = 0;
        QString seed;
        std::vector<tstring> winners;
        qint64 time = 0;
        // Of a replacement: the row and the absent winner it took the place of.
        int row = -1;
        tstring absent;
    };

    bool invalid(const QString& problem);
    // Every chained line names the digest of the line before it; lines from
    // before the chain may only come first.
    bool chain(const JournalEntry::Line& head, const QByteArray& bytes);
    bool checkPool(const QString& digest, qint64 size);
    bool readList(const QString& digest, std::vector<tstring>& names, QString& path);
    bool start(const QJsonObject& entry);
    void relaunch(const JournalEntry::Start& start, const std::vector<tstring>* names);
    int unstoredReplacements(int prize, const std::vector<tstring>& restored,
                             std::vector<tstring>& absent) const;
    void tellListChange(const std::vector<tstring>& names);
    void discardAll(const QString& why);
    void discard(int prize, const QString& why, int last = -1);
    bool scopeOf(const DrawRecord& recorded, int prize, DrawScope& scope,
                 const WitnessReplay::Commit* commit = nullptr);
    bool commit(const QJsonObject& entry);
    bool draw(const QJsonObject& entry, const QByteArray& bytes, bool replacement);
    bool prizes(const QJsonObject& entry);
    bool checkin(const QJsonObject& entry);

    QElapsedTimer m_clock;
    const EventFolder m_folder;
    DrawEngine m_engine;
    // The draws behind each prize of the replay's table.
    std::vector<std::vector<DrawInfo>> m_drawsOf;
    std::set<QString> m_lists;
    // Every line checked in so far, and the list's lines to tell a stranger by (made when needed).
    std::unordered_set<std::wstring> m_checkedIn;
    std::unordered_set<std::wstring> m_listed;
    bool m_listedKnown = false;
    std::set<QString> m_fingerprints;
    WitnessReplay m_witness;
    // Of each result screen's line, by its fingerprint.
    std::map<QString, int> m_resultScreens;
    // Every stop and replacement replayed: its line and fingerprint.
    std::vector<std::pair<int, QString>> m_drawLines;
    // The list the last start was built from, and where it is kept.
    QString m_lastList;
    QString m_lastListPath;
    int m_cautions = 0;
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
