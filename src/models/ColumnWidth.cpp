// The template texts of the tables' columns; see ColumnWidth.h.
#include "ColumnWidth.h"

QString DurationTemplate()
{
    return QStringLiteral("00:00:00");
}

QString DurationWithEndTemplate()
{
    return DurationTemplate() + QStringLiteral(" (00:00)");
}

QString ClockWithDateTemplate()
{
    return QStringLiteral("00.00 00:00");
}
