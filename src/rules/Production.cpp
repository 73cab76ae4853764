// Production over time; see Production.h.
#include "Production.h"

#include "base/WholeNumber.h"
#include "catalog/dm_ListObjects.h"

#include <algorithm>
#include <limits>

namespace {

// The magnitude of a 32-bit value, which fits 64 bits for the lowest one too.
constexpr qint64 Magnitude(qint32 value)
{
    return value < 0 ? -qint64(value) : qint64(value);
}

} // namespace

TResourceAmounts CostsOf(const TLivaronObject &object)
{
    TResourceAmounts costs{};
    for (TResourceKind kind : AllResourceKinds)
        costs[KindIndex(kind)] = std::max(object.Cost(kind), 0);
    return costs;
}

qint64 ProducedUnits(qint32 income, qint64 seconds)
{
    if (income == 0 || seconds <= 0)
        return 0;
    const qint64 rate = Magnitude(income); // at most 2^31
    const qint64 hours = seconds / SecondsPerHour;
    const qint64 rest = seconds % SecondsPerHour;
    // rate × hours stays below 2^63 while hours < 2^32; the rest adds less
    // than rate. Beyond that the amount exceeds every stock many times over.
    constexpr qint64 HoursLimit = qint64(1) << 32;
    const qint64 units = hours >= HoursLimit ? std::numeric_limits<qint64>::max()
                                             : rate * hours + rate * rest / SecondsPerHour;
    return income < 0 ? -units : units;
}

qint32 MoveStock(qint32 stock, qint64 units, qint32 capacity)
{
    if (units > 0) {
        // The top a gain can reach: the known capacity, or the 32-bit limit
        // of a stock.
        const qint64 top = IsKnownCapacity(capacity) ? capacity : std::numeric_limits<qint32>::max();
        if (stock >= top)
            return stock;
        const qint64 room = top - stock;
        return ClampToInt32(units >= room ? top : stock + units);
    }
    if (units == 0 || stock <= 0)
        return stock;
    return units <= -qint64(stock) ? 0 : ClampToInt32(stock + units);
}

qint32 AdvanceStock(qint32 stock, qint32 income, qint32 capacity, qint64 seconds)
{
    if (income == 0 || seconds <= 0)
        return stock;
    return MoveStock(stock, ProducedUnits(income, seconds), capacity);
}

TResourceAmounts CatchUpStocks(const TResourceAmounts &stocks, const TResourceAmounts &incomes,
                               const TResourceAmounts &capacities, qint64 seconds)
{
    TResourceAmounts result{};
    for (std::size_t i = 0; i < result.size(); ++i)
        result[i] = AdvanceStock(stocks[i], incomes[i], capacities[i], seconds);
    return result;
}

qint64 GrownPartScaled(qint32 counter, qint32 income)
{
    if (income == 0 || counter < 0 || counter > SecondsPerHour)
        return 0;
    // The units handed out on ticks 1..counter are the multiples k × 3600 / n,
    // k >= 1, below counter + 1/2 (UnitsDueAt): those k with 7200 k below
    // n (2 counter + 1). With n <= 2^31 the products stay far inside 64 bits.
    const qint64 n = Magnitude(income);
    const qint64 bound = n * (2 * qint64(counter) + 1);
    const qint64 handedOut = (bound - 1) / (2 * SecondsPerHour);
    const qint64 part = n * counter - handedOut * SecondsPerHour;
    return std::clamp(part, qint64(0), SecondsPerHour - 1);
}

TScaledAmounts ExactScaledStocks(const TResourceAmounts &stocks, const TResourceAmounts &incomes,
                                 const TResourceAmounts &capacities, qint32 counter)
{
    TScaledAmounts exact{};
    for (std::size_t i = 0; i < exact.size(); ++i)
        exact[i] = ExactScaledStock(stocks[i], incomes[i], capacities[i], counter);
    return exact;
}

qint64 ExactScaledStock(qint32 stock, qint32 income, qint32 capacity, qint32 counter)
{
    const qint64 whole = qint64(stock) * SecondsPerHour;
    if (income > 0 && whole < ScaledTop(capacity))
        return whole + GrownPartScaled(counter, income);
    if (income < 0 && stock > 0)
        return whole - GrownPartScaled(counter, income);
    return whole;
}

std::optional<qint64> SecondsToFullScaled(qint64 scaledStock, qint32 income, qint32 capacity)
{
    if (!IsKnownCapacity(capacity) || income <= 0)
        return std::nullopt;
    const qint64 top = qint64(capacity) * SecondsPerHour;
    if (scaledStock >= top)
        return 0;
    // Scaled amounts lie within ±2^31 × 3600: the gap stays far inside 64 bits.
    const qint64 shortage = top - scaledStock;
    return (shortage + income - 1) / income;
}

std::optional<qint64> SecondsToEmptyScaled(qint64 scaledStock, qint32 income)
{
    if (income >= 0)
        return std::nullopt;
    if (scaledStock <= 0)
        return 0;
    const qint64 rate = Magnitude(income);
    return scaledStock / rate + (scaledStock % rate != 0 ? 1 : 0);
}

std::optional<qint64> SecondsToFull(qint32 stock, qint32 income, qint32 capacity)
{
    return SecondsToFullScaled(qint64(stock) * SecondsPerHour, income, capacity);
}

std::optional<qint64> SecondsToEmpty(qint32 stock, qint32 income)
{
    return SecondsToEmptyScaled(qint64(stock) * SecondsPerHour, income);
}

QString NeverReasonText(TNeverReason reason)
{
    switch (reason) {
    case TNeverReason::None:
        break;
    case TNeverReason::NoIncome:
        return QStringLiteral("не накопится");
    case TNeverReason::Capacity:
        return QStringLiteral("не хватит вместимости");
    }
    return {};
}

QDebug operator<<(QDebug debug, TNeverReason reason)
{
    QDebugStateSaver saver(debug);
    switch (reason) {
    case TNeverReason::None:
        return debug.nospace() << "None";
    case TNeverReason::NoIncome:
        return debug.nospace() << "NoIncome";
    case TNeverReason::Capacity:
        return debug.nospace() << "Capacity";
    }
    return debug;
}

QDebug operator<<(QDebug debug, const TAffordTime &time)
{
    QDebugStateSaver saver(debug);
    if (time.IsNever())
        debug.nospace() << "TAffordTime(never: " << time.Never << ')';
    else
        debug.nospace() << "TAffordTime(" << time.Seconds << " s)";
    return debug;
}

namespace {

// One kind on scaled amounts: 0 when the stock covers the cost; never for a
// cost above the top and for a shortage without a positive income; else the
// exact ceiling of the gap over the income. Scaled amounts lie within
// ±2^31 × 3600, so every difference stays far inside 64 bits.
TAffordTime KindWait(qint64 stock, qint64 income, qint64 top, qint64 cost)
{
    if (stock >= cost)
        return {};
    if (cost > top)
        return {TNeverReason::Capacity, 0};
    if (income <= 0)
        return {TNeverReason::NoIncome, 0};
    const qint64 gap = cost - stock;
    return {TNeverReason::None, gap / income + (gap % income != 0 ? 1 : 0)};
}

} // namespace

TScaledAmounts ScaledAmounts(const TResourceAmounts &amounts)
{
    TScaledAmounts scaled{};
    for (std::size_t i = 0; i < amounts.size(); ++i)
        scaled[i] = qint64(amounts[i]) * SecondsPerHour;
    return scaled;
}

TScaledAmounts ScaledTops(const TResourceAmounts &capacities)
{
    TScaledAmounts tops{};
    for (std::size_t i = 0; i < tops.size(); ++i)
        tops[i] = ScaledTop(capacities[i]);
    return tops;
}

qint64 ScaledTop(qint32 capacity)
{
    return qint64(IsKnownCapacity(capacity) ? capacity : std::numeric_limits<qint32>::max()) * SecondsPerHour;
}

TAffordTime TimeToAffordKind(qint32 stock, qint32 income, qint32 capacity, qint32 cost)
{
    return KindWait(qint64(stock) * SecondsPerHour, income, ScaledTop(capacity), qint64(cost) * SecondsPerHour);
}

TAffordTime TimeToAffordScaled(const TScaledAmounts &stocks, const TResourceAmounts &incomes,
                               const TScaledAmounts &tops, const TScaledAmounts &costs)
{
    qint64 longest = 0;
    bool noIncome = false;
    for (std::size_t i = 0; i < costs.size(); ++i) {
        const TAffordTime kind = KindWait(stocks[i], incomes[i], tops[i], costs[i]);
        if (kind.Never == TNeverReason::Capacity)
            return kind;
        if (kind.Never == TNeverReason::NoIncome)
            noIncome = true;
        else
            longest = std::max(longest, kind.Seconds);
    }
    if (noIncome)
        return {TNeverReason::NoIncome, 0};
    // A kind that covers its cost now but shrinks must still cover it when
    // the others do.
    for (std::size_t i = 0; i < costs.size(); ++i) {
        if (incomes[i] >= 0 || costs[i] <= 0)
            continue;
        if (longest > (stocks[i] - costs[i]) / Magnitude(incomes[i]))
            return {TNeverReason::NoIncome, 0};
    }
    return {TNeverReason::None, longest};
}

TAffordTime TimeToAffordCosts(const TResourceAmounts &stocks, const TResourceAmounts &incomes,
                              const TResourceAmounts &capacities, const TResourceAmounts &costs)
{
    return TimeToAffordScaled(ScaledAmounts(stocks), incomes, ScaledTops(capacities), ScaledAmounts(costs));
}

qint32 BuildSeconds(qint32 baseTime, qint32 percent)
{
    return ClampToInt32(qint64(baseTime) * percent) / 100;
}

qint32 AtServerSpeed(qint32 seconds, qint32 speed)
{
    return seconds / std::max(speed, 1);
}

qint32 BuildSecondsAt(const TdmListObj &catalog, qint32 baseTime, qint32 mainLevel, qint32 speed)
{
    return AtServerSpeed(std::max(BuildSeconds(baseTime, catalog.MainBuildingPercent(mainLevel)), 0), speed);
}
