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

// The village's buildings at their current levels, from its built list in
// the list's order (an entry the catalog does not know is left out); the
// main building at the record's main level when the list lacks it. Empty
// while the village has no built list.
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
