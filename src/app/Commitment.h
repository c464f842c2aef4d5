#pragma once

#include "app/DrawRecord.h"
#include "app/DrawSeed.h"
#include "areas/tstring.h"
#include "platform/Sha256.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

// The arithmetic of a witnessed draw, the rule "rafo-2": before the names
// stop, the program commits to a secret and to the names it may pick; the
// hall's dice then decide, with that secret, the seed. Neither the program
// nor the operator knows the seed before the dice are rolled.
class Commitment
{
public:
    using Digest = Sha256::Digest;
    static constexpr const char* RuleName = "rafo-2";
    static constexpr int MinDigits = 12;
    static constexpr int MaxDigits = 64;
    // How many hex digits of the commitment the screen shows: 64 bits would
    // let a rigged program find two secrets with the same shown prefix.
    static constexpr int ShownDigits = 32;

    // H("rafo-2 commit\n" || secret || admitted || prize as 4 bytes little-endian).
    static Digest of(const Digest& secret, const Digest& admitted, int prize);
    // H("rafo-2 seed\n" || commitment || secret || digits).
    static DrawSeed seed(const Digest& commitment, const Digest& secret, const std::string& digits);
    // 32 bytes from the system's random source.
    static Digest freshSecret();
    // The first `hexDigits` hex digits, upper case, in groups of four.
    static QString grouped(const Digest& digest, int hexDigits);
    // 64 lower-case hex digits, or nothing.
    static std::optional<Digest> fromHex(const QString& hex);
    static QString hex(const Digest& digest);
    // MinDigits .. MaxDigits of 0-9 and nothing else.
    static bool validDigits(const QString& digits);
};

// Where a witnessed prize's words stand, for its replacements: they pick
// among the names its commitment admitted (kept beside the journal by that
// digest) and continue its stop's words.
struct WitnessStream
{
    DrawSeed seed;
    std::uint64_t nextWord = 0;
    QString admittedSha256;
    // The range applied at the commitment.
    tstring scope;
    // What the stop revealed, for whoever checks it again (the phones).
    int committedPrize = -1;
    Commitment::Digest commitment{};
    Commitment::Digest secret{};
    std::string digits;

    // Of a witnessed stop.
    static WitnessStream of(const DrawRecord& stop);
};
