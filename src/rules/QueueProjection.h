// The projection of a village's build queue in time: from now, one
// construction at a time (after the one in progress), each queued building
// starts when the previous one has ended and the stocks, grown at the hourly
// incomes and capped at known capacities, cover its four costs, which are
// spent at its start. At its end a building changes the village as
// BuildingEffects.h says: a field raises its kind's income, a warehouse or
// granary its capacity, every building takes its grain upkeep off the grain
// income (so does the construction in progress at its end), and a main
// building sets the level whose build times the buildings after it take
// (the one in progress too). It gives each
// item's start, waiting time, build time and end, the reason an item can
// never start, and the timeline of the four stocks and their capacities for
// a chart. Deliveries on their way raise the stocks at their arrival.
//
// Part of the evaluation of a village (Evaluation.h), which the queue table,
// its chart (through ProjectionSeries) and the summary of all villages read.
#pragma once

#include "rules/Deliveries.h"
#include "rules/Production.h"

#include <QDebug>
#include <QList>
#include <QtGlobal>

#include <array>

class TdmListObj;
class TVillageData;

// What the projection starts from.
struct TQueueProjectionInput
{
    TResourceAmounts Stocks{};
    // Scaled, added to the whole units of Stocks: the part of the next unit
    // already grown (or, below 0, already taken away) since the last one.
    TScaledAmounts StockParts{};
    TResourceAmounts Incomes{};
    TResourceAmounts Capacities = UnknownCapacities;
    // The main-building level now; outside 1..20 it counts as the nearest end.
    qint32 MainLevel = 1;
    // Seconds left of the construction in progress; 0 or less: none runs.
    qint32 RunningRemaining = 0;
    // The catalog index of the construction in progress, whose effects
    // count at its end; -1: none known.
    qint32 RunningIndex = -1;
    // Divides build times, multiplies the incomes buildings add.
    qint32 ServerSpeed = 1;
    // Catalog indices in build order.
    QList<qint32> Queue;
    // The deliveries on their way, in order of arrival: each raises the
    // stocks at its arrival, capped at the capacities in force then.
    TArrivals Deliveries;
    // The timeline reaches at least this many seconds from now.
    qint64 Horizon = 3600;
    // Whether to make the timeline at all (a chart shows it).
    bool WithTimeline = true;

    friend bool operator==(const TQueueProjectionInput &, const TQueueProjectionInput &) = default;
};

enum class TProjectedStatus {
    Scheduled,    // starts and ends at the times given
    Never,        // can never start; the reason says why
    Blocked,      // waits behind an item that can never start
    NotInCatalog, // no catalog entry has its index; passed over
};

QDebug operator<<(QDebug debug, TProjectedStatus status);

// One queued building. The times are seconds from now and hold for a
// Scheduled item only.
struct TProjectedItem
{
    qint32 CatalogIndex = -1;
    TProjectedStatus Status = TProjectedStatus::Scheduled;
    TNeverReason Never = TNeverReason::None;
    qint64 Start = 0;
    // Start minus the moment it could have started: the end of the one before.
    qint64 Wait = 0;
    // The catalog time scaled by the main-building percentage in force.
    qint64 Build = 0;
    qint64 End = 0;
    // The four stocks right after its costs are spent, in units (fractions of
    // a unit kept), for the markers of a chart.
    std::array<double, 4> StocksAfterStart{};

    bool IsScheduled() const { return Status == TProjectedStatus::Scheduled; }

    friend bool operator==(const TProjectedItem &, const TProjectedItem &) = default;
};

QDebug operator<<(QDebug debug, const TProjectedItem &item);

// A stock at a moment: seconds from now, units (fractions of a unit kept).
// Between two consecutive points of one resource the stock moves in a
// straight line.
struct TStockPoint
{
    double Seconds = 0;
    double Value = 0;

    friend bool operator==(const TStockPoint &, const TStockPoint &) = default;
};

QDebug operator<<(QDebug debug, const TStockPoint &point);

// A capacity from a moment on: seconds from now, units.
struct TCapacityStep
{
    qint64 Seconds = 0;
    qint32 Capacity = 0;

    friend bool operator==(const TCapacityStep &, const TCapacityStep &) = default;
};

QDebug operator<<(QDebug debug, const TCapacityStep &step);

struct TQueueProjection
{
    QList<TProjectedItem> Items;
    // Per resource kind (KindIndex): points from 0 to TimelineEnd, with one at
    // each start before and one after the spending (one when nothing of that
    // kind is spent) and one where the stock reaches its capacity or, falling,
    // reaches 0.
    std::array<QList<TStockPoint>, 4> Timeline;
    // The capacities the projection started from (below 0: unknown).
    TResourceAmounts Capacities = UnknownCapacities;
    // Per resource kind: the capacity from each end of a storage on, in time
    // order (an unknown capacity has none).
    std::array<QList<TCapacityStep>, 4> CapacitySteps;
    // The end of the last scheduled item, or of the construction in progress;
    // 0 when nothing is built.
    qint64 QueueEnd = 0;
    // The later of QueueEnd and the horizon.
    qint64 TimelineEnd = 0;

    friend bool operator==(const TQueueProjection &, const TQueueProjection &) = default;
};

QDebug operator<<(QDebug debug, const TQueueProjection &projection);

// What a village's record gives the projection: its stocks, incomes,
// capacities, main-building level, server speed, the time left of its
// construction in progress (and which entry it is) and its queue; the
// timeline reaches `horizon`; its deliveries counted from `now` (invalid:
// the Clock seam's now).
TQueueProjectionInput QueueInputOf(const TVillageData &village, const TdmListObj &catalog, qint64 horizon,
                                   const QDateTime &now = QDateTime());

TQueueProjection ProjectQueue(const TdmListObj &catalog, const TQueueProjectionInput &input);
