// What the notification rules and the summary of all villages read from one
// village at a moment: the time to afford of each considered and queued
// building (over the record's stocks, incomes and capacities, not limited by
// the horizon of the available table) and, per storage, the time until it is
// full and whether it is full now, or, for a negative income, the time
// until it runs out and whether it has.
//
// Part of the evaluation of a village (Evaluation.h); the notification rules
// and the summary take it from there.
#pragma once

#include "rules/Deliveries.h"
#include "rules/Production.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

class TdmListObj;
class TVillageData;

// One considered or queued building.
struct TBuildingSnapshot
{
    // Its display text, "Ферма ( 5)".
    QString Text;
    // When it is affordable, or never and why.
    TAffordTime Afford;

    friend bool operator==(const TBuildingSnapshot &, const TBuildingSnapshot &) = default;
};

// One storage (per resource kind).
struct TStorageSnapshot
{
    // Seconds until it is full; none when its capacity is unknown or it does
    // not grow.
    std::optional<qint64> SecondsToFull;
    bool Full = false;
    // Seconds until its stock, shrinking at a negative income, runs out (0
    // when it has); none when the income is 0 or positive.
    std::optional<qint64> SecondsToEmpty;
    bool Empty = false;

    friend bool operator==(const TStorageSnapshot &, const TStorageSnapshot &) = default;
};

struct TVillageSnapshot
{
    QString VillageName;
    QList<TBuildingSnapshot> Buildings;
    // The display text of the construction that ended on this tick, if one did.
    std::optional<QString> EndedConstruction;
    std::array<TStorageSnapshot, 4> Storages{};

    friend bool operator==(const TVillageSnapshot &, const TVillageSnapshot &) = default;
};

// The storages of a village, timed from the exact stocks (ExactScaledStocks
// at the village's hour counter): time to full, and full when the capacity is
// known and the stock has reached it; time to empty, and empty when the
// income is negative and the stock is at 0 or below.
// The time to full counts the deliveries on their way at their arrival.
std::array<TStorageSnapshot, 4> StorageSnapshots(const TVillageData &village, const TArrivals &arrivals = {});

// The snapshot of a village now, as its evaluation makes it: considered
// buildings first (in list order), then queued ones (in queue order); an
// entry the catalog does not know is left out.
TVillageSnapshot MakeVillageSnapshot(const TVillageData &village, const TdmListObj &catalog,
                                     const std::optional<QString> &endedConstruction = std::nullopt);
