// The projection of a build queue in time; see QueueProjection.h.
//
// Stocks are kept in units × 3600 ("scaled"), so that a whole number of
// seconds at an hourly income adds a whole number and no fraction of a unit
// is ever lost. A scaled stock lies within ±2^31 × 3600 (about 7.7e12): a
// stock never exceeds the 32 bits of the record, nor a known capacity.
#include "QueueProjection.h"

#include "record/VillageData.h"
#include "rules/BuildingEffects.h"
#include "base/Clock.h"

#include "base/WholeNumber.h"
#include "catalog/dm_ListObjects.h"

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 Forever = std::numeric_limits<qint64>::max();

qint64 AddSeconds(qint64 a, qint64 b)
{
    return a > Forever - b ? Forever : a + b;
}

// The four stocks while the queue is played through.
struct TStocks
{
    TScaledAmounts Scaled{};
    // The top a positive income reaches: the known capacity or the 32-bit
    // limit of a stock.
    TScaledAmounts Top{};
    TResourceAmounts Incomes{};
    qint64 Now = 0;
    std::array<QList<TStockPoint>, 4> *Timeline = nullptr;
    // The deliveries on their way, and the first not taken in yet.
    const TArrivals *Arrivals = nullptr;
    qsizetype NextArrival = 0;

    qint64 NextArrivalSeconds() const
    {
        return Arrivals && NextArrival < Arrivals->size() ? Arrivals->at(NextArrival).Seconds : Forever;
    }
};

double Units(qint64 scaled)
{
    return double(scaled) / double(SecondsPerHour);
}

// Appends a point unless it repeats the last one.
void AddPoint(QList<TStockPoint> &points, double seconds, qint64 scaled)
{
    const TStockPoint point{seconds, Units(scaled)};
    if (points.isEmpty() || !(points.constLast() == point))
        points.append(point);
}

void AddPoints(TStocks &stocks)
{
    if (!stocks.Timeline)
        return;
    for (std::size_t i = 0; i < stocks.Scaled.size(); ++i)
        AddPoint((*stocks.Timeline)[i], double(stocks.Now), stocks.Scaled[i]);
}

// Lets the stocks grow (or shrink) up to the moment `until`, with a point
// where a stock meets its top or, falling, 0: there its line bends.
void AdvanceSmoothly(TStocks &stocks, qint64 until)
{
    if (until <= stocks.Now)
        return;
    const qint64 span = until - stocks.Now;
    for (std::size_t i = 0; i < stocks.Scaled.size(); ++i) {
        const qint64 income = stocks.Incomes[i];
        qint64 &scaled = stocks.Scaled[i];
        qint64 bound = 0;
        qint64 gap = 0; // scaled units until the bound, always > 0 below
        if (income > 0 && scaled < stocks.Top[i]) {
            bound = stocks.Top[i];
            gap = bound - scaled;
        } else if (income < 0 && scaled > 0) {
            bound = 0;
            gap = scaled;
        } else {
            continue;
        }
        const qint64 rate = income < 0 ? -income : income;
        // span × rate ≥ gap, asked without the product
        const qint64 secondsToBound = gap / rate + (gap % rate != 0 ? 1 : 0);
        if (span >= secondsToBound) {
            scaled = bound;
            if (stocks.Timeline)
                AddPoint((*stocks.Timeline)[i], double(stocks.Now) + double(gap) / double(rate), bound);
        } else {
            // span × rate < gap < 2^44: no overflow
            scaled += income > 0 ? span * rate : -span * rate;
        }
    }
    stocks.Now = until;
}

// AdvanceSmoothly, taking in each delivery that arrives by `until` at its
// arrival: the stocks jump there (a point before and one after).
void AdvanceTo(TStocks &stocks, qint64 until)
{
    while (stocks.NextArrivalSeconds() <= until) {
        const TArrival &arrival = stocks.Arrivals->at(stocks.NextArrival++);
        AdvanceSmoothly(stocks, arrival.Seconds);
        AddPoints(stocks);
        for (std::size_t i = 0; i < stocks.Scaled.size(); ++i)
            stocks.Scaled[i] = ReceivedScaled(stocks.Scaled[i], arrival.Amounts[i], stocks.Top[i]);
        AddPoints(stocks);
    }
    AdvanceSmoothly(stocks, until);
}

bool IsMainBuilding(const TLivaronObject &object)
{
    return object.Name == MainBuildingName;
}

// A building's effects at its end, `at`: the stocks are brought there first,
// and each kind it changes gets a point there, where its line bends; each
// capacity that moves gets a step.
void ApplyEffect(TStocks &stocks, TQueueProjection &projection, const TBuildingEffect &effect, qint64 at)
{
    if (!effect.ChangesIncome() && effect.StorageKinds == 0)
        return;
    AdvanceTo(stocks, at);
    for (TResourceKind kind : AllResourceKinds) {
        const std::size_t i = KindIndex(kind);
        if (effect.IncomeChange[i] == 0 && !effect.ChangesCapacity(kind))
            continue;
        if (stocks.Timeline)
            AddPoint((*stocks.Timeline)[i], double(at), stocks.Scaled[i]);
        stocks.Incomes[i] = IncomeAfter(stocks.Incomes[i], effect.IncomeChange[i]);
        if (!effect.ChangesCapacity(kind))
            continue;
        QList<TCapacityStep> &steps = projection.CapacitySteps[i];
        const qint32 before = steps.isEmpty() ? projection.Capacities[i] : steps.constLast().Capacity;
        const qint32 after = CapacityAfter(before, effect);
        if (after == before)
            continue;
        steps.append({at, after});
        stocks.Top[i] = ScaledTop(after);
    }
}

} // namespace

QDebug operator<<(QDebug debug, TProjectedStatus status)
{
    QDebugStateSaver saver(debug);
    switch (status) {
    case TProjectedStatus::Scheduled:
        return debug.nospace() << "Scheduled";
    case TProjectedStatus::Never:
        return debug.nospace() << "Never";
    case TProjectedStatus::Blocked:
        return debug.nospace() << "Blocked";
    case TProjectedStatus::NotInCatalog:
        return debug.nospace() << "NotInCatalog";
    }
    return debug;
}

QDebug operator<<(QDebug debug, const TProjectedItem &item)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TProjectedItem(#" << item.CatalogIndex << ' ' << item.Status;
    if (item.Status == TProjectedStatus::Never)
        debug << ' ' << item.Never;
    if (item.IsScheduled()) {
        debug << ", start " << item.Start << ", wait " << item.Wait << ", build " << item.Build
              << ", end " << item.End << ", after " << item.StocksAfterStart[0] << '/'
              << item.StocksAfterStart[1] << '/' << item.StocksAfterStart[2] << '/'
              << item.StocksAfterStart[3];
    }
    debug << ')';
    return debug;
}

QDebug operator<<(QDebug debug, const TStockPoint &point)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << '(' << point.Seconds << ", " << point.Value << ')';
    return debug;
}

QDebug operator<<(QDebug debug, const TCapacityStep &step)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << '(' << step.Seconds << ": " << step.Capacity << ')';
    return debug;
}

QDebug operator<<(QDebug debug, const TQueueProjection &projection)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TQueueProjection(queue end " << projection.QueueEnd << ", timeline end "
                    << projection.TimelineEnd << ", items " << projection.Items << ", wood "
                    << projection.Timeline[0] << ", clay " << projection.Timeline[1] << ", iron "
                    << projection.Timeline[2] << ", grain " << projection.Timeline[3] << ", capacity steps "
                    << projection.CapacitySteps[0] << ' ' << projection.CapacitySteps[1] << ' '
                    << projection.CapacitySteps[2] << ' ' << projection.CapacitySteps[3] << ')';
    return debug;
}

TQueueProjectionInput QueueInputOf(const TVillageData &village, const TdmListObj &catalog, qint64 horizon,
                                   const QDateTime &now)
{
    TQueueProjectionInput input;
    input.Stocks = village.Stocks();
    input.Incomes = village.Incomes();
    input.Capacities = village.Capacities();
    const TScaledAmounts exact = ExactScaledStocks(input.Stocks, input.Incomes, input.Capacities, village.HourCounter);
    for (std::size_t i = 0; i < exact.size(); ++i)
        input.StockParts[i] = exact[i] - qint64(input.Stocks[i]) * SecondsPerHour;
    input.MainLevel = village.MainLevelValue();
    input.ServerSpeed = village.ServerSpeedValue();
    if (village.BuildTotal > 0) {
        input.RunningRemaining = ClampToInt32(qint64(village.BuildTotal) - village.BuildElapsed);
        input.RunningIndex = catalog.FindByDisplayText(village.BuildName);
    }
    input.Queue.reserve(village.Queue.size());
    for (const TAvBuildingEntry &entry : village.Queue)
        input.Queue.append(entry.CatalogIndex);
    input.Horizon = horizon;
    input.Deliveries = ArrivalsOf(village, now.isValid() ? now : CurrentDateTime());
    return input;
}

TQueueProjection ProjectQueue(const TdmListObj &catalog, const TQueueProjectionInput &input)
{
    TQueueProjection projection;
    projection.Capacities = input.Capacities;

    TStocks stocks;
    stocks.Timeline = input.WithTimeline ? &projection.Timeline : nullptr;
    stocks.Incomes = input.Incomes;
    stocks.Arrivals = &input.Deliveries;
    for (std::size_t i = 0; i < stocks.Scaled.size(); ++i) {
        stocks.Scaled[i] = qint64(input.Stocks[i]) * SecondsPerHour + input.StockParts[i];
        stocks.Top[i] = ScaledTop(input.Capacities[i]);
    }
    AddPoints(stocks);

    qint32 mainLevel = input.MainLevel;
    qint64 previousEnd = std::max(input.RunningRemaining, 0);
    // The effects of the building that ends at previousEnd, applied when the
    // projection gets there.
    TBuildingEffect pending;
    if (input.RunningRemaining > 0) {
        pending = BuildingEffect(catalog, input.RunningIndex, input.ServerSpeed);
        // Everything queued starts after the construction in progress: a
        // main building in progress sets the build times of all of it, as
        // it sets the village's level when it ends.
        if (input.RunningIndex >= 0 && input.RunningIndex < catalog.Count()
            && IsMainBuilding(catalog.Object(input.RunningIndex)))
            mainLevel = catalog.Object(input.RunningIndex).Level;
    }
    const auto applyPending = [&]() {
        ApplyEffect(stocks, projection, pending, previousEnd);
        pending = TBuildingEffect();
    };
    bool blocked = false;
    projection.Items.reserve(input.Queue.size());
    for (qint32 index : input.Queue) {
        TProjectedItem item;
        item.CatalogIndex = index;
        if (index < 0 || index >= catalog.Count()) {
            item.Status = TProjectedStatus::NotInCatalog;
        } else if (blocked) {
            item.Status = TProjectedStatus::Blocked;
        } else {
            const TLivaronObject &object = catalog.Object(index);
            const TResourceAmounts costs = CostsOf(object);
            TScaledAmounts scaledCosts{};
            for (std::size_t i = 0; i < costs.size(); ++i)
                scaledCosts[i] = qint64(costs[i]) * SecondsPerHour;
            applyPending();
            AdvanceTo(stocks, previousEnd);
            // From one delivery's arrival to the next, until the costs are
            // covered before the next one (or for good).
            TAffordTime wait = TimeToAffordScaled(stocks.Scaled, stocks.Incomes, stocks.Top, scaledCosts);
            while (stocks.NextArrivalSeconds() < Forever && wait.Never != TNeverReason::Capacity
                   && (wait.IsNever() || AddSeconds(stocks.Now, wait.Seconds) >= stocks.NextArrivalSeconds())) {
                AdvanceTo(stocks, stocks.NextArrivalSeconds());
                wait = TimeToAffordScaled(stocks.Scaled, stocks.Incomes, stocks.Top, scaledCosts);
            }
            if (wait.IsNever()) {
                item.Status = TProjectedStatus::Never;
                item.Never = wait.Never;
                blocked = true;
            } else {
                item.Start = AddSeconds(stocks.Now, wait.Seconds);
                item.Wait = item.Start - previousEnd;
                AdvanceTo(stocks, item.Start);
                AddPoints(stocks);
                for (std::size_t i = 0; i < costs.size(); ++i) {
                    stocks.Scaled[i] -= scaledCosts[i];
                    item.StocksAfterStart[i] = Units(stocks.Scaled[i]);
                }
                AddPoints(stocks);
                item.Build = BuildSecondsAt(catalog, object.Time, mainLevel, input.ServerSpeed);
                item.End = AddSeconds(item.Start, item.Build);
                if (IsMainBuilding(object))
                    mainLevel = object.Level;
                previousEnd = item.End;
                pending = BuildingEffect(catalog, index, input.ServerSpeed);
            }
        }
        projection.Items.append(item);
    }

    projection.QueueEnd = previousEnd;
    projection.TimelineEnd = std::max(previousEnd, input.Horizon);
    // A queue whose end lies beyond 64 bits of seconds has no moment left
    // for the last building's effects.
    if (previousEnd < Forever)
        applyPending();
    AdvanceTo(stocks, projection.TimelineEnd);
    AddPoints(stocks);
    return projection;
}
