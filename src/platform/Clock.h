#pragma once

#include <ctime>
#include <optional>

// Calendar time for the journal's and the export's time stamps, and a
// steady clock in milliseconds for how long a page has been shown; tests fix both.
class Clock
{
public:
    static std::time_t now();
    static void setFixed(std::optional<std::time_t> time);

    static long long monotonicMs();
    static void setFixedMonotonic(std::optional<long long> ms);
};
