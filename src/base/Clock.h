// The program's one source of "now". Durations with their finishing clock
// time and the date written into village files read the local date and time
// here, so that tests can pin it.
#pragma once

#include <QDateTime>

#include <functional>

QDateTime CurrentDateTime();

// Replaces the clock; an empty function brings back the system clock.
void SetClock(std::function<QDateTime()> clock);
