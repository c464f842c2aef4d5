#include "platform/Clock.h"

#include <chrono>

namespace {

std::optional<std::time_t>& fixedTime()
{
    static std::optional<std::time_t> time;
    return time;
}

} // namespace

std::time_t Clock::now()
{
    return fixedTime() ? *fixedTime() : std::time(nullptr);
}

void Clock::setFixed(std::optional<std::time_t> time)
{
    fixedTime() = time;
}

namespace {

std::optional<long long>& fixedMonotonic()
{
    static std::optional<long long> ms;
    return ms;
}

} // namespace

long long Clock::monotonicMs()
{
    if (fixedMonotonic())
        return *fixedMonotonic();
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Clock::setFixedMonotonic(std::optional<long long> ms)
{
    fixedMonotonic() = ms;
}
