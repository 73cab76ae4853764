// What a table's columns need room for, as the models tell their views.
// A column whose texts change while its rows stay (times that tick, the
// reasons that come and go with an edit) gives the widest texts it can
// take as its header's data in WidthTemplatesRole; the views fit their
// columns to those, the titles and the texts of the rows when the rows
// change (src/ui/ColumnFit.h), rather than measuring at every tick.
#pragma once

#include <QString>
#include <Qt>

// The header data role of a column's template texts (a QStringList).
constexpr int WidthTemplatesRole = Qt::UserRole + 64;

// A duration as the tables show it ("01:23:45").
QString DurationTemplate();
// A duration with the clock at which it ends, on another day with its date
// ("01:23:45 (08.12 14:05)").
QString DurationWithEndTemplate();
// A clock with its date in front ("08.12 05:57").
QString ClockWithDateTemplate();
