#include "Clock.h"

namespace {

std::function<QDateTime()> &ClockFunction()
{
    static std::function<QDateTime()> clock;
    return clock;
}

} // namespace

QDateTime CurrentDateTime()
{
    const auto &clock = ClockFunction();
    return clock ? clock() : QDateTime::currentDateTime();
}

void SetClock(std::function<QDateTime()> clock)
{
    ClockFunction() = std::move(clock);
}
