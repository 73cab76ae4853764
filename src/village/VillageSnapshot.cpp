// The snapshot of one village; see VillageSnapshot.h.
#include "VillageSnapshot.h"

#include "VillageData.h"
#include "catalog/dm_ListObjects.h"

namespace {

void AddBuildings(QList<TBuildingSnapshot> &out, const QList<TAvBuildingEntry> &entries, const TdmListObj &catalog,
                  const TResourceAmounts &stocks, const TResourceAmounts &incomes, const TResourceAmounts &capacities,
                  const QString &underConstruction)
{
    for (const TAvBuildingEntry &entry : entries) {
        if (entry.CatalogIndex < 0 || entry.CatalogIndex >= catalog.Count())
            continue;
        // The building being built is no building to afford (a queued item
        // of it stays in the queue after "Построить").
        if (!underConstruction.isEmpty() && entry.Text == underConstruction)
            continue;
        const TAffordTime time =
            TimeToAffordCosts(stocks, incomes, capacities, CostsOf(catalog.Object(entry.CatalogIndex)));
        out.append({entry.Text, time.IsNever() ? std::nullopt : std::optional<qint64>(time.Seconds)});
    }
}

} // namespace

TResourceAmounts StocksOf(const TVillageData &village)
{
    TResourceAmounts amounts{};
    for (TResourceKind kind : AllResourceKinds)
        amounts[KindIndex(kind)] = village.ResourceCollectValue(kind);
    return amounts;
}

TResourceAmounts IncomesOf(const TVillageData &village)
{
    TResourceAmounts amounts{};
    for (TResourceKind kind : AllResourceKinds)
        amounts[KindIndex(kind)] = village.ResourceAddValue(kind);
    return amounts;
}

TResourceAmounts CapacitiesOf(const TVillageData &village)
{
    TResourceAmounts amounts{};
    for (TResourceKind kind : AllResourceKinds)
        amounts[KindIndex(kind)] = village.CapacityValue(kind);
    return amounts;
}

TVillageSnapshot MakeVillageSnapshot(const TVillageData &village, const TdmListObj &catalog,
                                     const std::optional<QString> &endedConstruction)
{
    const TResourceAmounts stocks = StocksOf(village);
    const TResourceAmounts incomes = IncomesOf(village);
    const TResourceAmounts capacities = CapacitiesOf(village);

    TVillageSnapshot snapshot;
    snapshot.VillageName = village.Name;
    snapshot.EndedConstruction = endedConstruction;
    snapshot.Buildings.reserve(village.AvBuildings.size() + village.Queue.size());
    const QString underConstruction = village.BuildTotal > 0 ? village.BuildName : QString();
    AddBuildings(snapshot.Buildings, village.AvBuildings, catalog, stocks, incomes, capacities, underConstruction);
    AddBuildings(snapshot.Buildings, village.Queue, catalog, stocks, incomes, capacities, underConstruction);
    for (std::size_t i = 0; i < snapshot.Storages.size(); ++i) {
        snapshot.Storages[i].SecondsToFull = SecondsToFull(stocks[i], incomes[i], capacities[i]);
        snapshot.Storages[i].Full = IsKnownCapacity(capacities[i]) && stocks[i] >= capacities[i];
    }
    return snapshot;
}
