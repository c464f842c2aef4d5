#pragma once

#include <QString>
#include <QStringList>

class EventFolder;

// Replays an event's draw journal against its kept participant lists and
// its result store, with the rule each draw was made under. It reads only
// regular files inside the event folder, within fixed bounds, so whatever
// the folder holds it answers, and in time.
class JournalVerifier
{
public:
    enum ExitCode
    {
        // Every line of the chain intact, every draw reproduces, the store
        // holds exactly the journal's results and no draw was discarded.
        Verified = 0,
        Faulty = 1,
        // Everything reproduces, but draws were discarded, or were made
        // under the rule from before "rafo-1".
        Discarded = 2,
        UsageError = 3
    };

    struct Report
    {
        QStringList lines;
        int exitCode = Verified;
        bool ok = true;
    };

    // Fingerprints photographed from the screen, each of which must be that
    // of a stop or a replacement of the journal.
    struct Options
    {
        QStringList fingerprints;
        // Commitments photographed from the screen (32 or 64 hex digits),
        // each of which must begin a commit line's.
        QStringList commitments;
    };

    // The bounds of what is read.
    static constexpr qint64 MaxJournalBytes = qint64(1) << 30;
    static constexpr qint64 MaxListBytes = qint64(256) << 20;
    static constexpr qint64 MaxStoreBytes = qint64(64) << 20;
    static constexpr qint64 MaxLineBytes = qint64(64) << 20;
    static constexpr int TimeLimitMs = 9000;

    // Checks the journal of that event folder.
    static Report verify(const EventFolder& folder, const Options& options = Options());
};
