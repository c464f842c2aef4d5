#pragma once

#include "platform/CrtRand.h"
#include "platform/Sha256.h"

#include <QString>
#include <array>
#include <cstdint>
#include <optional>

// What a draw's winners follow from. Under the rule "rafo-1" it is 32 bytes
// from the system's cryptographic random source, drawn at the stop, so
// nobody can know the winners before the operator stops. Journals written
// before it hold the second of the clock, played through the C runtime's
// rand; they are still replayed by that rule.
class DrawSeed
{
public:
    enum class Rule
    {
        Rafo1,
        CrtSecond
    };
    static constexpr const char* Rafo1Name = "rafo-1";
    using Bytes = std::array<std::uint8_t, 32>;

    DrawSeed() = default;
    static DrawSeed fresh();
    static DrawSeed ofBytes(const Bytes& bytes);
    static DrawSeed crtSecond(long long second);
    // 64 lower-case hex digits, or nothing.
    static std::optional<DrawSeed> fromHex(const QString& hex);

    Rule rule() const { return m_rule; }
    long long second() const { return m_second; }
    const Bytes& bytes() const { return m_bytes; }
    QString hex() const;

    // One position after the other for the picks of one draw.
    class Positions
    {
    public:
        // From word `firstWord` on: a replacement under "rafo-2" continues
        // the words its stop and the replacements before it used.
        explicit Positions(const DrawSeed& seed, std::uint64_t firstWord = 0);
        // A position in 0 .. count-1: under rafo-1 the next 64-bit word below
        // the largest multiple of `count`, taken modulo `count`.
        std::size_t next(std::size_t count);
        // The number of the next word: how many the picks have used, rejected ones included.
        std::uint64_t word() const { return m_block * 4 - std::uint64_t(4 - m_used); }

    private:
        std::uint64_t nextWord();

        const DrawSeed& m_seed;
        CrtRand m_crt;
        std::uint64_t m_block = 0;
        Sha256::Digest m_words{};
        int m_used = 4;
    };

private:
    Rule m_rule = Rule::Rafo1;
    Bytes m_bytes{};
    long long m_second = 0;
};
