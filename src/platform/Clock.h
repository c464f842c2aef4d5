#pragma once

#include <ctime>
#include <optional>

// Calendar time for the draw's seed and the export's time stamp; tests fix it.
class Clock
{
public:
    static std::time_t now();
    static void setFixed(std::optional<std::time_t> time);
};
