#pragma once

#include "app/Commitment.h"
#include "areas/tstring.h"
#include "data/JournalEntry.h"

#include <QString>
#include <map>
#include <memory>
#include <string>
#include <vector>

// When and by which journal line each winner of the draw going on was
// drawn, and whom each absent winner gave way to, read back from the
// journal: the prize desk's table is rebuilt from it and the result store
// at every start, so a kill between two writes never leaves the table behind.
struct WinnerHistory
{
    struct Drawn
    {
        QString time;
        QString fingerprint;
        bool replacement = false;
    };
    struct Replacement
    {
        tstring absent;
        tstring replacement;
        // When the absent winner had been drawn.
        Drawn absentDrawn;
    };

    std::map<tstring, Drawn> drawn;
    std::vector<Replacement> replacements;
    // Where the words of each witnessed draw stand, by the winners it made.
    std::map<tstring, std::shared_ptr<WitnessStream>> streams;

    // How the table shows a journal line's time.
    static QString timeText(qint64 secondsSinceEpoch);
    // The stops and replacements since the last start that threw the draws
    // away (a redraw, a participant edit); a launch carries them on.
    static WinnerHistory fromJournal(const std::string& bytes);

private:
    void follow(const JournalEntry::Draw& draw, bool replacement);
};
