// Deliveries counted in a village's course; see Deliveries.h.
#include "Deliveries.h"

#include "record/VillageData.h"

#include "base/WholeNumber.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr qint64 Forever = std::numeric_limits<qint64>::max();

qint64 AddSeconds(qint64 a, qint64 b)
{
    return a > Forever - b ? Forever : a + b;
}

// The stocks and the moment while the arrivals are played through.
struct TCourseWithArrivals
{
    TScaledAmounts Stocks{};
    const TResourceAmounts &Incomes;
    const TScaledAmounts &Tops;
    const TArrivals &Arrivals;
    qint64 Now = 0;
    qsizetype Next = 0;

    // Takes in the arrivals due at Now.
    void ReceiveDue()
    {
        for (; Next < Arrivals.size() && Arrivals.at(Next).Seconds <= Now; ++Next) {
            for (std::size_t i = 0; i < Stocks.size(); ++i)
                Stocks[i] = ReceivedScaled(Stocks[i], Arrivals.at(Next).Amounts[i], Tops[i]);
        }
    }
    qint64 NextArrival() const { return Next < Arrivals.size() ? Arrivals.at(Next).Seconds : Forever; }
    // On to the next arrival, and takes it in.
    void AdvanceToNextArrival()
    {
        const qint64 until = NextArrival();
        for (std::size_t i = 0; i < Stocks.size(); ++i)
            Stocks[i] = AdvanceScaled(Stocks[i], Incomes[i], Tops[i], until - Now);
        Now = until;
        ReceiveDue();
    }
};

// Plays `rule` (a time from the stocks as they are) from one arrival to the
// next: the first time that falls before the next arrival, or the one after
// the last arrival. A capacity the stocks cannot reach stays so.
template<typename TResult, typename TRule, typename TSecondsOf>
TResult PlayThroughArrivals(TCourseWithArrivals &course, TRule rule, TSecondsOf secondsOf)
{
    course.ReceiveDue();
    for (;;) {
        TResult result = rule(course.Stocks);
        const qint64 next = course.NextArrival();
        const std::optional<qint64> seconds = secondsOf(result);
        if (next == Forever || (seconds && AddSeconds(course.Now, *seconds) < next)
            || (!seconds && result.Afford.Never == TNeverReason::Capacity)) {
            if (seconds)
                result.Afford.Seconds = AddSeconds(course.Now, *seconds);
            return result;
        }
        course.AdvanceToNextArrival();
    }
}

struct TAffordResult
{
    TAffordTime Afford;
};

} // namespace

QDebug operator<<(QDebug debug, const TArrival &arrival)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TArrival(" << arrival.Seconds << " s: " << arrival.Amounts[0] << ' ' << arrival.Amounts[1]
                    << ' ' << arrival.Amounts[2] << ' ' << arrival.Amounts[3] << ')';
    return debug;
}

TArrivals ArrivalsOf(const TVillageData &village, const QDateTime &now)
{
    TArrivals arrivals;
    arrivals.reserve(village.Deliveries.size());
    for (const TDelivery &delivery : village.Deliveries)
        arrivals.append({std::max<qint64>(now.secsTo(delivery.Arrives), 0), delivery.Amounts});
    // The record keeps them in order; a clock changed meanwhile cannot
    // reorder them, but the rules rely on it.
    std::stable_sort(arrivals.begin(), arrivals.end(),
                     [](const TArrival &a, const TArrival &b) { return a.Seconds < b.Seconds; });
    return arrivals;
}

qint64 ReceivedScaled(qint64 scaled, qint32 amount, qint64 top)
{
    if (amount <= 0 || scaled >= top)
        return scaled;
    return std::min(top, scaled + qint64(amount) * SecondsPerHour);
}

qint64 AdvanceScaled(qint64 scaled, qint32 income, qint64 top, qint64 seconds)
{
    if (seconds <= 0 || income == 0)
        return scaled;
    if (income > 0) {
        if (scaled >= top)
            return scaled;
        // seconds × income ≥ top − scaled, asked without the product
        const qint64 gap = top - scaled;
        return seconds >= gap / income + (gap % income != 0 ? 1 : 0) ? top : scaled + seconds * income;
    }
    if (scaled <= 0)
        return scaled;
    const qint64 rate = -qint64(income);
    return seconds >= scaled / rate + (scaled % rate != 0 ? 1 : 0) ? 0 : scaled - seconds * rate;
}

TAffordTime TimeToAffordWithArrivals(const TScaledAmounts &stocks, const TResourceAmounts &incomes,
                                     const TScaledAmounts &tops, const TScaledAmounts &costs,
                                     const TArrivals &arrivals)
{
    if (arrivals.isEmpty())
        return TimeToAffordScaled(stocks, incomes, tops, costs);
    TCourseWithArrivals course{stocks, incomes, tops, arrivals};
    return PlayThroughArrivals<TAffordResult>(
               course,
               [&](const TScaledAmounts &now) { return TAffordResult{TimeToAffordScaled(now, incomes, tops, costs)}; },
               [](const TAffordResult &result) {
                   return result.Afford.IsNever() ? std::nullopt : std::optional<qint64>(result.Afford.Seconds);
               })
        .Afford;
}

TExchangePlan PlanExchangeWithArrivals(const TResourceAmounts &stocks, const TResourceAmounts &incomes,
                                       const TResourceAmounts &capacities, const TResourceAmounts &costs,
                                       const TArrivals &arrivals)
{
    if (arrivals.isEmpty())
        return PlanExchange(stocks, incomes, capacities, costs);
    const TScaledAmounts tops = ScaledTops(capacities);
    TCourseWithArrivals course{ScaledAmounts(stocks), incomes, tops, arrivals};
    return PlayThroughArrivals<TExchangePlan>(
        course, [&](const TScaledAmounts &now) { return PlanExchangeScaled(now, incomes, tops, costs); },
        [](const TExchangePlan &plan) {
            return plan.Afford.IsNever() ? std::nullopt : std::optional<qint64>(plan.Afford.Seconds);
        });
}

std::optional<qint64> SecondsToFullWithArrivals(qint32 stock, qint32 income, qint32 capacity, TResourceKind kind,
                                                const TArrivals &arrivals)
{
    return SecondsToFullWithArrivalsScaled(qint64(stock) * SecondsPerHour, income, capacity, kind, arrivals);
}

std::optional<qint64> SecondsToFullWithArrivalsScaled(qint64 scaledStock, qint32 income, qint32 capacity,
                                                      TResourceKind kind, const TArrivals &arrivals)
{
    if (arrivals.isEmpty() || !IsKnownCapacity(capacity) || scaledStock >= ScaledTop(capacity))
        return SecondsToFullScaled(scaledStock, income, capacity);
    const qint64 top = ScaledTop(capacity);
    const qint64 rate = income;
    qint64 scaled = scaledStock;
    qint64 now = 0;
    for (const TArrival &arrival : arrivals) {
        if (scaled >= top)
            return now;
        if (rate > 0 && AddSeconds(now, (top - scaled + rate - 1) / rate) <= arrival.Seconds)
            return now + (top - scaled + rate - 1) / rate;
        scaled = ReceivedScaled(AdvanceScaled(scaled, income, top, arrival.Seconds - now), arrival.Amounts[KindIndex(kind)],
                                top);
        now = std::max(now, arrival.Seconds);
    }
    if (scaled >= top)
        return now;
    if (rate <= 0)
        return std::nullopt;
    return AddSeconds(now, (top - scaled + rate - 1) / rate);
}

bool ReceiveArrivedDeliveries(TVillageData &village, const QDateTime &now, QList<TDelivery> *received)
{
    const QList<TDelivery> arrived = village.TakeArrivedDeliveries(now);
    if (arrived.isEmpty())
        return false;
    std::array<std::optional<qint32>, 4> stocks{};
    for (TResourceKind kind : AllResourceKinds) {
        const std::size_t i = KindIndex(kind);
        qint32 stock = village.Stocks()[i];
        for (const TDelivery &delivery : arrived)
            stock = MoveStock(stock, std::max(delivery.Amounts[i], 0), village.Capacities()[i]);
        if (stock != village.Stocks()[i])
            stocks[i] = stock;
    }
    village.SetStocks(stocks);
    village.SetModified(true);
    if (received)
        *received = arrived;
    return true;
}

QString ArrivedDeliveriesText(const QList<TDelivery> &received)
{
    TExchangeMoves total{};
    for (const TDelivery &delivery : received) {
        for (std::size_t i = 0; i < total.size(); ++i)
            total[i] += std::max(delivery.Amounts[i], 0);
    }
    QStringList parts;
    for (TResourceKind kind : AllResourceKinds) {
        if (total[KindIndex(kind)] > 0)
            parts.append(ResourceName(kind).toLower() + QLatin1Char(' ') + GroupedAmountText(total[KindIndex(kind)]));
    }
    const QString head = received.size() == 1 ? QStringLiteral("Прибыла поставка") : QStringLiteral("Прибыли поставки");
    if (parts.isEmpty())
        return head + QLatin1Char('.');
    return head + QStringLiteral(": ") + parts.join(QStringLiteral(", ")) + QLatin1Char('.');
}
