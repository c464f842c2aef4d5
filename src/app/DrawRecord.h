#pragma once

#include "app/DrawSeed.h"
#include "areas/tstring.h"

#include <cstddef>
#include <vector>

// How one stop or one replacement chose its winners, so it can be replayed.
struct DrawRecord
{
    enum Outcome
    {
        Drawn,
        AllRemaining,
        EmptyPool
    };
    int prize = -1;
    Outcome outcome = Drawn;
    DrawSeed seed;
    std::size_t poolSize = 0;
    // Of the pool before the draw.
    tstring poolDigest;
    std::vector<std::size_t> positions;
    std::vector<tstring> winners;
};
