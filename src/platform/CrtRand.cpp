#include "platform/CrtRand.h"

std::size_t CrtRand::position(std::size_t size)
{
    if (size == 0)
        return 0;
    if (size <= static_cast<std::size_t>(Max) + 1)
        return static_cast<std::size_t>(next()) % size;
    const std::size_t first = static_cast<std::size_t>(next());
    const std::size_t second = static_cast<std::size_t>(next());
    return ((first << 15) | second) % size;
}
