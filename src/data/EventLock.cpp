#include "data/EventLock.h"

EventLock::EventLock(const EventFolder& folder) : m_lock(folder.file(FileName))
{
    // Never stale by age: a show runs for hours. A lock is stale only when
    // the program that took it is gone.
    m_lock.setStaleLockTime(0);
}

EventLock::Outcome EventLock::take()
{
    if (m_lock.tryLock(0))
        return Taken;
    return m_lock.error() == QLockFile::LockFailedError ? HeldElsewhere : NotWritable;
}
