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
    if (clock)
        return clock();
    // Local time is worked out once per millisecond: a tick of many
    // villages asks for it once each.
    static qint64 lastMilliseconds = -1;
    static QDateTime last;
    const qint64 milliseconds = QDateTime::currentMSecsSinceEpoch();
    if (milliseconds != lastMilliseconds) {
        last = QDateTime::fromMSecsSinceEpoch(milliseconds);
        lastMilliseconds = milliseconds;
    }
    return last;
}

void SetClock(std::function<QDateTime()> clock)
{
    ClockFunction() = std::move(clock);
}
