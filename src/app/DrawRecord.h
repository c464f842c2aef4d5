#pragma once

#include "app/DrawSeed.h"
#include "areas/tstring.h"
#include "platform/Sha256.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
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
    // The prize's range as it was applied, how many names of the pool it
    // admitted (-1: everyone), and the digests of the lists it excluded.
    tstring scope;
    long long admitted = -1;
    std::map<tstring, tstring> exclusions;
    // Whether a single-word line of an excluded list matched a word of a name.
    bool exclusionWords = false;
    // How many lines had checked in when a range of "已签到" was applied; -1 without one.
    long long checkedIn = -1;
    // Under "rafo-2" (see Commitment): a stop's commitment, its secret, the
    // hall's digits and the digest of the names it admitted; the word a draw
    // began at and how many it used, rejected ones included.
    bool witnessed = false;
    Sha256::Digest commitment{};
    Sha256::Digest secret{};
    Sha256::Digest admittedSha256{};
    std::string digits;
    // The least number of digits the event asked for.
    int witnessDigits = 0;
    std::uint64_t firstWord = 0;
    std::uint64_t words = 0;
};
