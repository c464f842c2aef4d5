#pragma once

#include "areas/tstring.h"

#include <functional>
#include <vector>

class DrawEngine;
class EventFolder;
class IniDocument;

extern const wchar_t* const ResultStoreFile;

// Puts back the finished prizes and their winners stored by the last run and
// takes those winners out of the pool. From then on the draw continues that
// store (until a reset), so storing keeps what this run knows nothing of.
void RestoreResults(const EventFolder& folder, DrawEngine& engine);

// The restore's rule on values already read: the stored count, the joined
// winners stored for each prize index, the replaced absent winners and the
// winners of deleted prizes ("Withdrawn"). Each takes the first pool entry of
// its name that is still there.
void RestoreResults(DrawEngine& engine, int storedCount, const std::function<tstring(int)>& joinedWinners,
                    const tstring& joinedAbsent, const tstring& joinedWithdrawn = tstring());

// What the store holds of a draw: whether it continues the store, how many
// prizes are finished, their winners, the replaced absent winners and the
// winners of deleted prizes. It points into the draw it was taken from.
struct StoredDraw
{
    bool continuesStore = false;
    int finished = 0;
    std::vector<const std::vector<tstring>*> winners;
    const std::vector<tstring>* absent = nullptr;
    const std::vector<tstring>* withdrawn = nullptr;

    static StoredDraw of(const DrawEngine& engine);
};

// Stores the finished prizes and their winners in one write. A draw that
// continues the store updates it in place, so prizes beyond this run's table
// keep their winners; otherwise the store is replaced. False when the store
// could not be written (told by CIni); it then holds what it held before,
// and the next store writes the whole state again.
bool SaveResults(const EventFolder& folder, const DrawEngine& engine);
bool SaveResults(const EventFolder& folder, const StoredDraw& draw);

// What SaveResults writes, into a document already read.
void WriteResults(IniDocument& doc, const DrawEngine& engine);
void WriteResults(IniDocument& doc, const StoredDraw& draw);

// The store written after each stop. A missing store was reported at
// start-up and is not reported again at every stop; it is at exit. False
// only when an existing store could not be written.
bool KeepResults(const EventFolder& folder, const DrawEngine& engine);
bool KeepResults(const EventFolder& folder, const StoredDraw& draw);

bool ResultStoreExists(const EventFolder& folder);
