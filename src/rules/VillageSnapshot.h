// What the notification rules and the summary of all villages read from one
// village at a moment: the time to afford of each considered and queued
// building (over the record's stocks, incomes and capacities, not limited by
// the horizon of the available table) and, per storage, the time until it is
// full and whether it is full now.
//
// Made once per tick for every open village by TVillageWatch, and by
// TSummaryModel for its rows.
#pragma once

#include "notify/NotificationRules.h"
#include "rules/Production.h"

#include <optional>

class TdmListObj;
class TVillageData;

// The record's stocks, hourly incomes and capacities as numbers.
TResourceAmounts StocksOf(const TVillageData &village);
TResourceAmounts IncomesOf(const TVillageData &village);
TResourceAmounts CapacitiesOf(const TVillageData &village);

// Considered buildings first (in list order), then queued ones (in queue
// order); an entry the catalog does not know is left out. A storage is full
// when its capacity is known and the stock has reached it.
TVillageSnapshot MakeVillageSnapshot(const TVillageData &village, const TdmListObj &catalog,
                                     const std::optional<QString> &endedConstruction = std::nullopt);
