// The template texts of the tables' columns; see ColumnWidth.h.
#include "ColumnWidth.h"

QString DurationTemplate()
{
    return QStringLiteral("00:00:00");
}

QString DurationWithEndTemplate()
{
    // An end on another day carries its date.
    return DurationTemplate() + QStringLiteral(" (") + ClockWithDateTemplate() + u')';
}

QString ClockWithDateTemplate()
{
    return QStringLiteral("00.00 00:00");
}
