#pragma once

#include <cstddef>
#include <cstdint>

// The C runtime's rand(): same constants, same 15-bit results. Draws recorded
// before the rule "rafo-1" were seeded with the second of the clock and are
// replayed with it.
class CrtRand
{
public:
    static constexpr int Max = 0x7FFF;

    void seed(std::uint32_t seed) { m_state = seed; }
    int next()
    {
        m_state = m_state * 214013u + 2531011u;
        return static_cast<int>((m_state >> 16) & 0x7FFF);
    }

    // A position in 0 .. size-1, or 0 for an empty range. Ranges of up to
    // 32768 take one number (rand() % size); larger ones combine two numbers so
    // that every position can come up.
    std::size_t position(std::size_t size);

private:
    std::uint32_t m_state = 1;
};
