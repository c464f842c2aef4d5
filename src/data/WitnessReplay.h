#pragma once

#include "app/Commitment.h"
#include "app/DrawEngine.h"
#include "app/DrawRecord.h"
#include "data/JournalEntry.h"

#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <set>
#include <unordered_set>
#include <vector>

// The witnessed draws of a journal replayed: every commitment with what the
// draw could pick from when it was made, each stop checked against the one
// it names, and the words its replacements continue. It says what is wrong;
// the journal's replay tells it.
class WitnessReplay
{
public:
    using Names = std::shared_ptr<const std::unordered_set<std::wstring>>;
    struct Commit
    {
        JournalEntry::Commit entry;
        int line = 0;
        qint64 time = 0;
        // The prize's range as the table declared it, and who had checked in, at the commitment.
        tstring range;
        Names checkedIn;
    };
    // Where a witnessed stop's words stand, and what its replacements pick among.
    struct Stream
    {
        std::uint64_t nextWord = 0;
        Names admitted;
        QString admittedSha256;
        tstring scope;
        // Everyone drawn from it: only they can give way to a replacement from it.
        std::set<tstring> drawn;
    };

    // A commit line, with the prize table and the check-ins as they stand.
    void commit(const JournalEntry::Commit& entry, int line, qint64 time, const DrawEngine& engine,
                const std::unordered_set<std::wstring>& checkedIn);
    // Whether a commit line's commitment begins with these hex digits.
    bool committed(const QString& prefix) const;
    // The commitments no stop took: the names stopped without a draw.
    std::vector<Commit> abandon();
    // The commitment a witnessed stop names, taken by it, with every way it
    // falls short of the rule in `faults`; none when it has no commit line before it.
    std::optional<Commit> take(const DrawRecord& stop, qint64 admitted, QStringList& faults);
    // What a witnessed stop that replayed leaves for its replacements.
    void stopped(const DrawRecord& stop, Names admitted);
    // The names a witnessed stop's range admitted from the pool, which its
    // commitment's digest must be of; its replacements pick among them.
    static Names admitted(const NamePool& pool, const DrawScope& scope, const DrawRecord& stop,
                          QStringList& faults);
    // A witnessed prize's replacement replayed: from its stop's seed, at the
    // words used so far, among the names its commitment admitted still in
    // the pool. False when no witnessed stop had its seed.
    bool replace(DrawEngine& engine, const JournalEntry::Draw& draw, DrawRecord& replayed,
                 QStringList& faults);
    // How a witnessed draw's seed is told: with the digits of a stop, the first word of a replacement.
    static QString seedText(const DrawRecord& draw, bool replacement);
    // How an abandoned commitment is told.
    static QString abandoned(const Commit& commit, const QString& prize, const QString& why);

private:
    std::vector<Commit> m_pending;
    // Commitments some stop already took, by their hex.
    std::map<QString, int> m_taken;
    std::map<QString, Stream> m_streams;
    // Every commitment, in hex.
    std::set<QString> m_commitments;
};
