#pragma once

#include "app/Commitment.h"
#include "areas/tstring.h"

#include <memory>
#include <vector>

// One prize of the table, with the names drawn for it in draw order.
struct AwardItem
{
    tstring awardName;
    tstring prizeName;
    tstring picturePath;
    int reserved = 0;
    int winnerCount = 0;
    int drawn = 0;
    std::vector<tstring> winners;
    // Who it may go to (see DrawScope); empty for everyone.
    tstring range;
    // Its own start loop and stop sound, as the event's other sounds are
    // named (relative to the event folder); empty for the event's own.
    tstring startMusic;
    tstring stopMusic;
    // Its winners are shown one at a time after the stop ([AwardReveal]).
    bool reveal = false;
    // How many names its range admitted at its last draw; -1 when it admits everyone.
    long long admitted = -1;
    // Of a witnessed draw: where its replacements' words go on; none otherwise.
    std::shared_ptr<const WitnessStream> witness;
};
