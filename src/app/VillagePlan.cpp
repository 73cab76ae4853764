// What the development plan takes from a village; see VillagePlan.h.
#include "VillagePlan.h"

#include "app/VillageDocument.h"
#include "app/VillageHistory.h"
#include "record/VillageData.h"

#include "catalog/dm_ListObjects.h"

#include <algorithm>

QList<TPlanSlot> VillagePlanSlots(const TVillageData &village, const TdmListObj &catalog)
{
    QList<TPlanSlot> found;
    bool main = false;
    for (const TBuiltBuilding &built : village.Built) {
        if (!built.IsRecognised() || built.CatalogIndex >= catalog.Count())
            continue;
        const TLivaronObject &object = catalog.Object(built.CatalogIndex);
        if (object.Name == MainBuildingName) {
            if (main)
                continue;
            main = true;
        }
        // Named by the building's first level, as the search names slots.
        const qint32 first = catalog.FindByDisplayText(MakeDisplayText(object.Name, 1));
        found.append({first >= 0 ? first : built.CatalogIndex, qint32(object.Level)});
    }
    if (!found.isEmpty() && !main) {
        const qint32 first = catalog.FindByDisplayText(MakeDisplayText(MainBuildingName, 1));
        if (first >= 0)
            found.append({first, village.MainLevelValue()});
    }
    return found;
}

TPlanRequest VillagePlanRequest(const TVillageData &village, const TdmListObj &catalog)
{
    TPlanRequest request;
    request.Start = QueueInputOf(village, catalog, 0);
    request.Start.Queue.clear();
    request.Start.WithTimeline = false;
    request.Slots = VillagePlanSlots(village, catalog);
    return request;
}

void ApplyPlan(TVillageDocument &document, const QList<qint32> &queue, TPlanApply how)
{
    const TdmListObj &catalog = document.Catalog();
    TVillageData &village = document.Village();
    QList<TAvBuildingEntry> entries = how == TPlanApply::AddToQueue ? village.Queue : QList<TAvBuildingEntry>{};
    for (qint32 index : queue) {
        if (index >= 0 && index < catalog.Count())
            entries.append({catalog.Object(index).DisplayText(), index});
    }
    // What changed before is a step of its own.
    document.History().Settle();
    document.History().NameNextStep(QStringLiteral("план развития"));
    village.SetQueue(entries);
    document.History().Settle();
}
