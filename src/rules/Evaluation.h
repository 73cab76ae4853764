// The evaluation of a village: everything derived from its record, the
// catalog and "now", worked out in one pass by one set of rules: the rows
// of the table of available buildings, the projection of the build queue,
// the storages' times to full and the snapshot that the notifications and
// the summary of all villages read. The table, the queue, the notifications
// and the summary read the same evaluation, so they cannot disagree.
//
// The planner of a village keeps its latest evaluation and makes a new one
// once per change (TPlanner::Evaluation).
#pragma once

#include "rules/Production.h"
#include "rules/QueueProjection.h"
#include "rules/VillageSnapshot.h"

#include <QDateTime>
#include <QDebug>
#include <QList>

class TdmListObj;
class TVillageData;

// One row of the table of available buildings, as numbers. The texts of
// its columns "Строение" ... "Строить" are made where it is shown
// (TAvailableModel).
struct TAvailableEntry
{
    // The catalog entry; -1 for the blank row of a table without buildings.
    qint32 CatalogIndex = -1;
    // When the four stocks cover the costs, or never and why.
    TAffordTime Afford;
    // When the four stocks together cover the costs together, trading 1:1
    // at the market (PlanExchange); never later than Afford.
    TAffordTime Exchange;
    // At the village's main-building level.
    qint32 BuildSeconds = 0;
    // Bit KindIndex(kind) is set where the cost exceeds the stock.
    quint8 ShortKinds = 0;
    // For a resource field, the seconds until its added production pays
    // back its costs (PaybackSeconds); -1 for other buildings.
    qint64 Payback = -1;

    bool IsBlank() const { return CatalogIndex < 0; }
    bool IsShort(TResourceKind kind) const { return ShortKinds & (1u << KindIndex(kind)); }
    bool HasPayback() const { return Payback >= 0; }

    friend bool operator==(const TAvailableEntry &, const TAvailableEntry &) = default;
};

QDebug operator<<(QDebug debug, const TAvailableEntry &entry);

struct TVillageEvaluation
{
    // The moment the times count from.
    QDateTime At;
    // The table: the considered buildings (in list order) that are
    // affordable within the horizon or never (so that the player sees why);
    // one blank row when none is.
    QList<TAvailableEntry> Available;
    // The build queue played through from At.
    TQueueProjection Queue;
    TVillageSnapshot Snapshot;
};

// The queue's stock timeline (for a chart) only when asked for.
TVillageEvaluation EvaluateVillage(const TVillageData &village, const TdmListObj &catalog, const QDateTime &now,
                                   bool withTimeline = true);
// The same into an evaluation made before, whose lists keep their room: a
// village is evaluated again every second.
void EvaluateVillage(const TVillageData &village, const TdmListObj &catalog, const QDateTime &now,
                     bool withTimeline, TVillageEvaluation &into);
