// The chart data of a queue projection: per resource the stock line, the
// markers of the queued starts (the stock right after the spending) and the
// capacity as a line that steps where a storage's end raises it, as QPointF lists that a QtCharts line or
// scatter series takes as they are. The x axis is seconds from now, or
// milliseconds since the epoch when a start moment is given (for a
// QDateTimeAxis).
//
// Used by the village page's chart view.
#pragma once

#include "rules/QueueProjection.h"

#include <QDateTime>
#include <QDebug>
#include <QList>
#include <QPointF>

#include <array>
#include <optional>

struct TProjectionSeries
{
    // Per resource kind (KindIndex).
    std::array<QList<QPointF>, 4> Stocks;
    // One marker per scheduled item and kind, in queue order.
    std::array<QList<QPointF>, 4> StartMarkers;
    // The catalog index of each marker, in the same order.
    QList<qint32> MarkerItems;
    // From the left edge to the right one, two points at each step (before
    // and after it); empty when the capacity of that kind is unknown.
    std::array<QList<QPointF>, 4> Capacities;
    // The x range: now and the end of the timeline.
    double Left = 0;
    double Right = 0;

    friend bool operator==(const TProjectionSeries &, const TProjectionSeries &) = default;
};

QDebug operator<<(QDebug debug, const TProjectionSeries &series);

// x = seconds from now; with startMoment, x = its msecs since the epoch
// plus the seconds × 1000.
TProjectionSeries MakeProjectionSeries(const TQueueProjection &projection,
                                       const std::optional<QDateTime> &startMoment = std::nullopt);
