#include "platform/Clock.h"

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
