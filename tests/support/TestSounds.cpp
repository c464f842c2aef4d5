#include "support/TestSounds.h"

#include <cmath>
#include <cstdint>

namespace {

std::string littleEndian(std::uint32_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    return out;
}

} // namespace

std::string wavTone(int milliseconds)
{
    const int rate = 8000;
    const int samples = rate * milliseconds / 1000;
    std::string data;
    for (int i = 0; i < samples; ++i) {
        const auto value = static_cast<std::int16_t>(8000 * std::sin(i * 2 * M_PI * 440 / rate));
        data += littleEndian(static_cast<std::uint16_t>(value), 2);
    }
    const auto size = static_cast<std::uint32_t>(data.size());
    return "RIFF" + littleEndian(36 + size, 4) + "WAVEfmt " + littleEndian(16, 4) + littleEndian(1, 2) +
           littleEndian(1, 2) + littleEndian(rate, 4) + littleEndian(rate * 2, 4) + littleEndian(2, 2) +
           littleEndian(16, 2) + "data" + littleEndian(size, 4) + data;
}
