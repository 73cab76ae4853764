// The village's production rules, each stated once: what an hourly income
// yields over a span of seconds, stocks advanced over a span (the tick's
// growth and the catch-up after the program was closed), the time until a
// storage is full, the time until costs are covered (the one affordability
// rule: capacities, missing incomes and shrinking stocks included) and a
// building's time at a main-building level. Exact integer arithmetic on
// plain numbers, free of overflow for any 32-bit stock, income, capacity
// and any span.
//
// Used by the evaluation of a village (the table of available buildings,
// the times to full, the snapshot), the queue projection, the planner's
// tick and build command, and the catch-up on Open.
#pragma once

#include "catalog/ResourceKind.h"

#include <QDebug>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

struct TLivaronObject;
class TdmListObj;

// Amounts in units × 3600 ("scaled"): a whole number of seconds at an hourly
// income adds a whole number to them, so that no fraction of a unit is lost.
using TScaledAmounts = std::array<qint64, 4>;
inline constexpr qint64 SecondsPerHour = 3600;

// A capacity below 0 is unknown: that storage has no limit the program knows.
inline constexpr qint32 UnknownCapacity = -1;
inline constexpr TResourceAmounts UnknownCapacities{UnknownCapacity, UnknownCapacity,
                                                    UnknownCapacity, UnknownCapacity};

constexpr bool IsKnownCapacity(qint32 capacity)
{
    return capacity >= 0;
}

// The four costs of a catalog entry; a cost the catalog does not give (-1)
// and any other negative cost count as 0.
TResourceAmounts CostsOf(const TLivaronObject &object);

// The whole units an hourly income yields in `seconds`: floor(income ×
// seconds / 3600) for a positive income, the same amount negated for a
// negative one; 0 for a span of 0 or less. Wide, because a year of a large
// income exceeds 32 bits; saturates only beyond 2^32 hours.
qint64 ProducedUnits(qint32 income, qint64 seconds);

// One stock moved by `units` (above 0 gained, below 0 taken away): a gain
// stops at a known capacity, else at the 32-bit limit (a stock already there
// or above stays as it is); a loss stops at 0 (a stock already at 0 or below
// stays as it is).
qint32 MoveStock(qint32 stock, qint64 units, qint32 capacity);

// One stock advanced by `seconds` of its hourly income: a positive income
// stops at a known capacity (a stock already above it stays as it is), a
// negative income takes units away down to 0 but not below (a negative stock
// stays as it is); the result is clamped to 32 bits. A span of 0 or less (a
// clock set back) changes nothing.
qint32 AdvanceStock(qint32 stock, qint32 income, qint32 capacity, qint64 seconds);

// AdvanceStock for the four kinds.
TResourceAmounts CatchUpStocks(const TResourceAmounts &stocks, const TResourceAmounts &incomes,
                               const TResourceAmounts &capacities, qint64 seconds);

// The part of the next unit that an hourly income has already grown (above
// 0) or taken away (below 0) on the tick at which the hour counter stands at
// `counter`, scaled: the hour's amount so far (income × counter) less the
// whole units the tick hands out since the hour began (UnitsDueAt), kept
// within 0..3599 (a unit handed out half a second early counts as just
// grown). 0 for an income of 0 and a counter outside 0..3600.
qint64 GrownPartScaled(qint32 counter, qint32 income);

// The exact stocks, scaled: the whole units plus the part of the next unit
// already grown since the last one, or less the part already taken away. A
// growing stock at or above its known capacity and a shrinking stock at 0
// or below have no part. Every time to afford, to full and to empty counts
// from them, so that the moment they name stands still as the seconds pass.
TScaledAmounts ExactScaledStocks(const TResourceAmounts &stocks, const TResourceAmounts &incomes,
                                 const TResourceAmounts &capacities, qint32 counter);
// The same for one kind.
qint64 ExactScaledStock(qint32 stock, qint32 income, qint32 capacity, qint32 counter);

// Seconds until an exact (scaled) stock reaches its capacity at the income,
// rounded up; the same rules as SecondsToFull.
std::optional<qint64> SecondsToFullScaled(qint64 scaledStock, qint32 income, qint32 capacity);
// Seconds until an exact (scaled) stock runs out; the same rules as
// SecondsToEmpty.
std::optional<qint64> SecondsToEmptyScaled(qint64 scaledStock, qint32 income);

// Seconds until the stock reaches its capacity at the income, rounded up;
// 0 when it is already there or above; none when the capacity is unknown or
// the income is 0 or negative.
std::optional<qint64> SecondsToFull(qint32 stock, qint32 income, qint32 capacity);

// Seconds until a shrinking stock reaches 0 at its (negative) income,
// rounded up; 0 when it is at 0 or below already; none when the income is 0
// or positive.
std::optional<qint64> SecondsToEmpty(qint32 stock, qint32 income);

// Why a cost can never be covered.
enum class TNeverReason {
    None,     // it can be covered (now or after a time)
    NoIncome, // a shortage of a kind whose income is 0 or negative
    Capacity, // a cost above the known capacity of its kind
};

// "не накопится", "не хватит вместимости"; empty for None.
QString NeverReasonText(TNeverReason reason);

QDebug operator<<(QDebug debug, TNeverReason reason);

// The time until costs are covered, or never and why: the one form in which
// every part of the program holds it. Seconds counts when Never is None.
struct TAffordTime
{
    TNeverReason Never = TNeverReason::None;
    qint64 Seconds = 0;

    constexpr TAffordTime() = default;
    // Affordable after so many seconds.
    constexpr TAffordTime(qint64 seconds) : Seconds(seconds) {}
    constexpr TAffordTime(TNeverReason never, qint64 seconds) : Never(never), Seconds(seconds) {}
    static constexpr TAffordTime NeverFor(TNeverReason reason) { return {reason, 0}; }

    bool IsNever() const { return Never != TNeverReason::None; }
    // "не накопится", "не хватит вместимости"; empty when affordable.
    QString NeverText() const { return NeverReasonText(Never); }

    friend bool operator==(const TAffordTime &, const TAffordTime &) = default;
};

QDebug operator<<(QDebug debug, const TAffordTime &time);

// One kind: 0 when the stock covers the cost; never for a cost above a known
// capacity (unless the stock already covers it) and for a shortage without a
// positive income; otherwise the exact ceiling of the shortage × 3600 /
// income.
TAffordTime TimeToAffordKind(qint32 stock, qint32 income, qint32 capacity, qint32 cost);

// The affordability rule, on scaled amounts. Kind k covers its cost at
// second s from now when stock + income × s reaches the cost (growth stops
// at the top: the known capacity, or the 32-bit limit of a stock). The
// costs are covered at the first whole second at which every kind covers:
// the longest of the short kinds' waits, provided that each kind that
// covers now but shrinks (a negative income) still covers then, that is
// while s ≤ floor((stock − cost) / |income|); a falling stock stops at 0,
// so it still covers a cost of 0. Otherwise never: for a cost above its
// top (the capacity, named first, as no income can mend it) or for want of
// income.
TAffordTime TimeToAffordScaled(const TScaledAmounts &stocks, const TResourceAmounts &incomes,
                               const TScaledAmounts &tops, const TScaledAmounts &costs);

// Whole units scaled; the tops of capacities (below 0: unknown) scaled.
TScaledAmounts ScaledAmounts(const TResourceAmounts &amounts);
TScaledAmounts ScaledTops(const TResourceAmounts &capacities);

// The same rule on whole units and capacities (below 0: unknown).
TAffordTime TimeToAffordCosts(const TResourceAmounts &stocks, const TResourceAmounts &incomes,
                              const TResourceAmounts &capacities, const TResourceAmounts &costs);

// The top a growing stock reaches, scaled: the known capacity, else the
// 32-bit limit of a stock.
qint64 ScaledTop(qint32 capacity);

// The build time of a catalog time at a build-time percentage: the 32-bit
// product Time × percent (clamped to the signed 32-bit range), divided by
// 100 truncating toward zero.
qint32 BuildSeconds(qint32 baseTime, qint32 percent);

// A build time on a server of this speed: divided by it, truncating toward
// zero (a speed below 1 counts as 1).
qint32 AtServerSpeed(qint32 seconds, qint32 speed);

// A building's time at a main-building level: BuildSeconds with the
// catalog's percentage for that level (outside 1..20 the nearest end), then
// AtServerSpeed; a negative result (a catalog with a negative time or
// percentage) counts as 0. What the table, the queue and the build command
// show and start.
qint32 BuildSecondsAt(const TdmListObj &catalog, qint32 baseTime, qint32 mainLevel, qint32 speed = 1);
