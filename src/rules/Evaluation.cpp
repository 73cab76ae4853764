// The evaluation of a village; see Evaluation.h.
#include "Evaluation.h"

#include "record/VillageData.h"
#include "rules/BuildingEffects.h"
#include "rules/Deliveries.h"
#include "rules/Exchange.h"

#include "catalog/dm_ListObjects.h"

#include <algorithm>

QDebug operator<<(QDebug debug, const TAvailableEntry &entry)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TAvailableEntry(" << entry.CatalogIndex << ", " << entry.Afford << ", exchange "
                    << entry.Exchange << ", "
                    << entry.BuildSeconds << ", short " << entry.ShortKinds << ", payback " << entry.Payback << ')';
    return debug;
}

namespace {

// Whether a row with this time is listed within the horizon: within it, or
// never (so that the player sees why).
bool IsListed(const TAffordTime &afford, qint64 horizon)
{
    return afford.IsNever() || afford.Seconds <= horizon;
}

} // namespace

TVillageEvaluation EvaluateVillage(const TVillageData &village, const TdmListObj &catalog, const QDateTime &now,
                                   bool withTimeline)
{
    TVillageEvaluation evaluation;
    EvaluateVillage(village, catalog, now, withTimeline, evaluation);
    return evaluation;
}

void EvaluateVillage(const TVillageData &village, const TdmListObj &catalog, const QDateTime &now,
                     bool withTimeline, TVillageEvaluation &evaluation)
{
    evaluation.At = now;
    evaluation.Available.clear();
    const TResourceAmounts &stocks = village.Stocks();
    const TResourceAmounts &incomes = village.Incomes();
    const TResourceAmounts &capacities = village.Capacities();
    const qint32 percent = catalog.MainBuildingPercent(village.MainLevelValue());
    const qint32 speed = village.ServerSpeedValue();
    const qint32 catalogCount = catalog.Count();
    // The rule on scaled amounts, with the stocks and tops scaled once; the
    // stocks exact, with the part of the next unit already grown.
    const TScaledAmounts scaledStocks = ExactScaledStocks(stocks, incomes, capacities, village.HourCounter);
    const TScaledAmounts tops = ScaledTops(capacities);
    // The deliveries on their way count at their arrival.
    const TArrivals arrivals = ArrivalsOf(village, now);
    const auto timeToAfford = [&](const TLivaronObject &object) {
        return TimeToAffordWithArrivals(scaledStocks, incomes, tops, ScaledAmounts(CostsOf(object)), arrivals);
    };

    TVillageSnapshot &snapshot = evaluation.Snapshot;
    snapshot.Buildings.clear();
    snapshot.EndedConstruction.reset();
    // The building being built is no building to afford for the
    // notifications (a resource field's level stays considered after it).
    const QString underConstruction = village.BuildTotal > 0 ? village.BuildName : QString();
    const auto notifiable = [&underConstruction](const TAvBuildingEntry &entry) {
        return underConstruction.isEmpty() || entry.Text != underConstruction;
    };
    snapshot.VillageName = village.Name;
    snapshot.Buildings.reserve(village.AvBuildings.size() + village.Queue.size());
    evaluation.Available.reserve(village.AvBuildings.size());
    for (const TAvBuildingEntry &entry : village.AvBuildings) {
        if (entry.CatalogIndex < 0 || entry.CatalogIndex >= catalogCount)
            continue;
        const TLivaronObject &object = catalog.Object(entry.CatalogIndex);
        TAvailableEntry row;
        row.CatalogIndex = entry.CatalogIndex;
        row.Afford = timeToAfford(object);
        row.Exchange = PlanExchangeWithArrivals(stocks, incomes, capacities, CostsOf(object), arrivals).Afford;
        // BuildSecondsAt, with the level's percentage looked up once.
        row.BuildSeconds = AtServerSpeed(std::max(BuildSeconds(object.Time, percent), 0), speed);
        row.Payback = PaybackSeconds(catalog, entry.CatalogIndex, speed).value_or(-1);
        const TResourceAmounts costs = CostsOf(object);
        for (TResourceKind kind : AllResourceKinds) {
            if (costs[KindIndex(kind)] > stocks[KindIndex(kind)])
                row.ShortKinds |= quint8(1u << KindIndex(kind));
        }
        if (notifiable(entry))
            snapshot.Buildings.append({entry.Text, row.Afford});
        if (IsListed(row.Afford, village.Horizon))
            evaluation.Available.append(row);
    }
    if (evaluation.Available.isEmpty())
        evaluation.Available.append(TAvailableEntry{});

    for (const TAvBuildingEntry &entry : village.Queue) {
        if (entry.CatalogIndex < 0 || entry.CatalogIndex >= catalogCount || !notifiable(entry))
            continue;
        snapshot.Buildings.append({entry.Text, timeToAfford(catalog.Object(entry.CatalogIndex))});
    }
    snapshot.Storages = StorageSnapshots(village, arrivals);
    TQueueProjectionInput input = QueueInputOf(village, catalog, village.Horizon, now);
    input.WithTimeline = withTimeline;
    evaluation.Queue = ProjectQueue(catalog, input);
}
