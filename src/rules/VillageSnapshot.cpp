// The snapshot of one village; see VillageSnapshot.h.
#include "VillageSnapshot.h"

#include "rules/Evaluation.h"
#include "record/VillageData.h"

#include "base/Clock.h"

std::array<TStorageSnapshot, 4> StorageSnapshots(const TVillageData &village, const TArrivals &arrivals)
{
    const TResourceAmounts &stocks = village.Stocks();
    const TResourceAmounts &incomes = village.Incomes();
    const TResourceAmounts &capacities = village.Capacities();
    const TScaledAmounts exact = ExactScaledStocks(stocks, incomes, capacities, village.HourCounter);
    std::array<TStorageSnapshot, 4> storages{};
    for (std::size_t i = 0; i < storages.size(); ++i) {
        storages[i].SecondsToFull =
            SecondsToFullWithArrivalsScaled(exact[i], incomes[i], capacities[i], AllResourceKinds[i], arrivals);
        storages[i].Full = IsKnownCapacity(capacities[i]) && stocks[i] >= capacities[i];
        storages[i].SecondsToEmpty = SecondsToEmptyScaled(exact[i], incomes[i]);
        storages[i].Empty = storages[i].SecondsToEmpty == qint64(0);
    }
    return storages;
}

TVillageSnapshot MakeVillageSnapshot(const TVillageData &village, const TdmListObj &catalog,
                                     const std::optional<QString> &endedConstruction)
{
    TVillageSnapshot snapshot = EvaluateVillage(village, catalog, CurrentDateTime()).Snapshot;
    snapshot.EndedConstruction = endedConstruction;
    return snapshot;
}
