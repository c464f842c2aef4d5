#pragma once

#include "platform/EventFolder.h"

#include <QLockFile>

// One program per event folder: two windows drawing into one result store
// overwrite each other's winners. The lock file names its process; one left
// by a program that was killed is taken over, so a crash never blocks the show.
class EventLock
{
public:
    static constexpr const char* FileName = ".rafo.lock";

    enum Outcome
    {
        Taken,
        // Another program of this machine runs in the folder.
        HeldElsewhere,
        // The folder takes no lock file (read-only, full); the show starts without one.
        NotWritable
    };

    // The lock of that event folder.
    explicit EventLock(const EventFolder& folder);
    Outcome take();

private:
    QLockFile m_lock;
};
