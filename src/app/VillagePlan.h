// What the development plan takes from a village and gives back to it: the
// village's buildings at their levels, the start of the plan (as the queue's
// projection starts, without the queue) and the found order written into
// the queue as one undo step.
//
// The development-plan dialog uses it; the plan itself is rules/DevelopmentPlan.
#pragma once

#include "rules/DevelopmentPlan.h"

#include <QList>

class TdmListObj;
class TVillageData;
class TVillageDocument;

// The village's buildings at their current levels. Until the village keeps
// a list of what it has built, its considered buildings stand for it: an
// entry "Ферма ( 5)" is a farm at level 4; the main building is at the
// record's main level. Empty when the village names no building.
QList<TPlanSlot> VillagePlanSlots(const TVillageData &village, const TdmListObj &catalog);

// The plan's start from the village now (stocks, incomes, capacities, main
// level, speed, construction in progress) and its buildings; no targets.
TPlanRequest VillagePlanRequest(const TVillageData &village, const TdmListObj &catalog);

enum class TPlanApply {
    ReplaceQueue, // "Заменить очередь"
    AddToQueue,   // "Добавить в очередь"
};

// Writes the catalog entries of a plan's order into the village's queue,
// in place of it or after it, as one undo step named "план развития";
// entries outside the catalog are left out.
void ApplyPlan(TVillageDocument &document, const QList<qint32> &queue, TPlanApply how);
