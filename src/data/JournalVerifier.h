#pragma once

#include <QString>
#include <QStringList>

// Replays an event's draw journal against its kept participant lists and
// its result store, with the program's own selection rule.
class JournalVerifier
{
public:
    struct Report
    {
        QStringList lines;
        bool ok = true;
    };

    // Works in the current folder, which must be the event folder.
    static Report verify();
};
