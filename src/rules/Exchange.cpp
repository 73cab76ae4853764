// The market's exchange 1:1; see Exchange.h.
#include "Exchange.h"

#include "base/TimeText.h"

#include <QStringList>

#include <algorithm>
#include <limits>

namespace {

constexpr qint64 Forever = std::numeric_limits<qint64>::max();
// How many single units of growth the search steps through in one stretch
// before it asks for a margin that whole units cannot miss.
constexpr int UnitSteps = 64;

qint64 FloorDiv(qint64 value, qint64 divisor)
{
    const qint64 quotient = value / divisor;
    return quotient * divisor > value ? quotient - 1 : quotient;
}

qint64 CeilDiv(qint64 value, qint64 divisor)
{
    return -FloorDiv(-value, divisor);
}

// One kind's stock in scaled units over time: it moves in a straight line
// until Stop, then stays at Top (growing) or 0 (falling).
struct TCourse
{
    qint64 Start = 0;
    qint64 Income = 0;
    qint64 End = 0;
    // The first second at which it stays; 0 for a stock that does not move.
    qint64 Stop = 0;

    TCourse() = default;
    TCourse(qint64 scaled, qint32 income, qint64 top) : Start(scaled), Income(income), End(Start)
    {
        if (income > 0 && Start < top) {
            End = top;
            Stop = CeilDiv(top - Start, Income);
        } else if (income < 0 && Start > 0) {
            End = 0;
            Stop = CeilDiv(Start, -Income);
        }
    }

    bool MovesAt(qint64 second) const { return second < Stop; }
    // Within 64 bits: Income × second stays below the distance to End plus
    // one Income while second < Stop.
    qint64 At(qint64 second) const { return MovesAt(second) ? Start + Income * second : End; }
    qint64 UnitsAt(qint64 second) const { return FloorDiv(At(second), SecondsPerHour); }
};

struct TCourses
{
    std::array<TCourse, 4> Kinds;

    qint64 ScaledAt(qint64 second) const
    {
        qint64 total = 0;
        for (const TCourse &kind : Kinds)
            total += kind.At(second);
        return total;
    }
    qint64 UnitsAt(qint64 second) const
    {
        qint64 total = 0;
        for (const TCourse &kind : Kinds)
            total += kind.UnitsAt(second);
        return total;
    }
    // The hourly change of the total from `second` on, until the next stop.
    qint64 SlopeAt(qint64 second) const
    {
        qint64 slope = 0;
        for (const TCourse &kind : Kinds)
            slope += kind.MovesAt(second) ? kind.Income : 0;
        return slope;
    }
    // The next second after `second` at which a growing kind gains a whole
    // unit; Forever when none grows.
    qint64 NextUnitAfter(qint64 second) const
    {
        qint64 next = Forever;
        for (const TCourse &kind : Kinds) {
            if (kind.Income <= 0 || !kind.MovesAt(second))
                continue;
            const qint64 unit = (kind.UnitsAt(second) + 1) * SecondsPerHour;
            next = std::min({next, kind.Stop, std::max(second + 1, CeilDiv(unit - kind.Start, kind.Income))});
        }
        return next;
    }
};

// The first second in [from, to) at which the total, moving in a straight
// line there, reaches `target` (scaled); Forever when it does not.
qint64 FirstReaching(const TCourses &courses, qint64 from, qint64 to, qint64 target)
{
    const qint64 total = courses.ScaledAt(from);
    if (total >= target)
        return from;
    const qint64 slope = courses.SlopeAt(from);
    if (slope <= 0)
        return Forever;
    const qint64 second = from + CeilDiv(target - total, slope);
    return second < to ? second : Forever;
}

// The first second in [from, to) at which the whole units reach `units`,
// the total moving in a straight line there.
qint64 FirstCovering(const TCourses &courses, qint64 from, qint64 to, qint64 units)
{
    qint64 second = FirstReaching(courses, from, to, units * SecondsPerHour);
    // The whole units lag behind the scaled total by less than one unit a
    // kind: they reach the costs at one of the next units gained ...
    for (int step = 0; step < UnitSteps && second < to; ++step) {
        if (courses.UnitsAt(second) >= units)
            return second;
        second = courses.NextUnitAfter(second);
    }
    // ... or, while a falling kind takes them away as fast, at the latest
    // when the total holds three units more.
    second = FirstReaching(courses, from, to, (units + 3) * SecondsPerHour);
    return second < to && courses.UnitsAt(second) >= units ? second : Forever;
}

} // namespace

QString GroupedAmountText(qint64 amount)
{
    QString digits = amount < 0 ? QString::number(amount).mid(1) : QString::number(amount);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, QLatin1Char(' '));
    return digits;
}

QDebug operator<<(QDebug debug, const TExchangePlan &plan)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TExchangePlan(" << plan.Afford << ", moves " << plan.Moves[0] << ' ' << plan.Moves[1] << ' '
                    << plan.Moves[2] << ' ' << plan.Moves[3] << ')';
    return debug;
}

TExchangePlan PlanExchange(const TResourceAmounts &stocks, const TResourceAmounts &incomes,
                           const TResourceAmounts &capacities, const TResourceAmounts &costs)
{
    return PlanExchangeScaled(ScaledAmounts(stocks), incomes, ScaledTops(capacities), costs);
}

TExchangePlan PlanExchangeScaled(const TScaledAmounts &stocks, const TResourceAmounts &incomes,
                                 const TScaledAmounts &tops, const TResourceAmounts &costs)
{
    TCourses courses;
    qint64 total = 0;
    TScaledAmounts scaledCosts{};
    for (std::size_t i = 0; i < stocks.size(); ++i) {
        courses.Kinds[i] = TCourse(stocks[i], incomes[i], tops[i]);
        const qint64 cost = std::max(costs[i], 0);
        total += cost;
        scaledCosts[i] = cost * SecondsPerHour;
        // No exchange fills a storage beyond its capacity.
        if (scaledCosts[i] > tops[i] && stocks[i] < scaledCosts[i])
            return {TAffordTime::NeverFor(TNeverReason::Capacity), {}};
    }

    // The total moves in a straight line between the seconds at which a
    // kind stops; after the last one it stays.
    std::array<qint64, 5> stops{};
    for (std::size_t i = 0; i < courses.Kinds.size(); ++i)
        stops[i + 1] = courses.Kinds[i].Stop;
    std::sort(stops.begin(), stops.end());
    const auto last = std::unique(stops.begin(), stops.end());
    qint64 second = Forever;
    for (auto stop = stops.begin(); stop != last && second == Forever; ++stop)
        second = FirstCovering(courses, *stop, stop + 1 != last ? *(stop + 1) : Forever, total);
    // Paying each cost from its own kind is an exchange of nothing: never
    // later than that (the margin above may overshoot it).
    const TAffordTime plain = TimeToAffordScaled(stocks, incomes, tops, scaledCosts);
    if (!plain.IsNever())
        second = std::min(second, plain.Seconds);
    if (second == Forever)
        return {TAffordTime::NeverFor(TNeverReason::NoIncome), {}};

    TExchangePlan plan;
    plan.Afford = TAffordTime(second);
    std::array<qint64, 4> surplus{};
    qint64 shortage = 0;
    for (std::size_t i = 0; i < stocks.size(); ++i) {
        const qint64 held = courses.Kinds[i].UnitsAt(second);
        const qint64 cost = std::max(costs[i], 0);
        // A cost above the capacity, held a while, may have been spent
        // by a falling income meanwhile.
        if (held < cost && scaledCosts[i] > tops[i])
            return {TAffordTime::NeverFor(TNeverReason::Capacity), {}};
        if (held < cost) {
            plan.Moves[i] = cost - held;
            shortage += cost - held;
        } else {
            surplus[i] = held - cost;
        }
    }
    while (shortage > 0) {
        const auto largest = std::max_element(surplus.begin(), surplus.end());
        if (*largest <= 0)
            break;
        const qint64 taken = std::min(*largest, shortage);
        plan.Moves[std::size_t(largest - surplus.begin())] = -taken;
        *largest = 0;
        shortage -= taken;
    }
    return plan;
}

QString ExchangeMovesText(const TExchangeMoves &moves)
{
    QStringList parts;
    for (TResourceKind kind : AllResourceKinds) {
        const qint64 amount = moves[KindIndex(kind)];
        if (amount == 0)
            continue;
        parts.append(ResourceName(kind).toLower() + QLatin1Char(' ') + (amount < 0 ? QChar(0x2212) : QChar(u'+'))
                     + GroupedAmountText(amount));
    }
    return parts.join(QStringLiteral(", "));
}

QString ExchangeAdviceText(const QString &building, const TExchangePlan &plan, const QDateTime &now)
{
    const QString prefix = building + QStringLiteral(": ");
    if (plan.Afford.IsNever())
        return prefix + QStringLiteral("и с обменом ") + plan.Afford.NeverText() + QLatin1Char('.');
    const bool due = plan.Afford.Seconds == 0;
    const QString when = DurationWithEndText(plan.Afford.Seconds, now);
    if (plan.Moves == TExchangeMoves{}) {
        if (due)
            return prefix + QStringLiteral("ресурсов хватает без обмена.");
        return prefix + QStringLiteral("обмен не ускорит постройку, ресурсы будут через ") + when + QLatin1Char('.');
    }
    const QString moment = due ? QStringLiteral("сейчас") : QString(QStringLiteral("через ") + when);
    return prefix + QStringLiteral("обменять ") + moment + QStringLiteral(": ") + ExchangeMovesText(plan.Moves)
        + QLatin1Char('.');
}
