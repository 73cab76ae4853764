// Production over time: what an hourly income yields over a span of seconds,
// stocks advanced over a span (the catch-up after the program was closed),
// the time until a storage is full and the time until a cost is covered when
// storages have a capacity. Exact integer arithmetic on plain numbers, free
// of overflow for any 32-bit stock, income, capacity and any span.
//
// Used by the village page (time to full, time to afford with capacities),
// the file reader (the catch-up on Open), the queue projection and the
// notifications.
#pragma once

#include "catalog/ResourceKind.h"

#include <QDebug>
#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>

struct TLivaronObject;

// One 32-bit value per resource kind, indexed by KindIndex: stocks, hourly
// incomes, capacities or costs.
using TResourceAmounts = std::array<qint32, 4>;

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

// Seconds until the stock reaches its capacity at the income, rounded up;
// 0 when it is already there or above; none when the capacity is unknown or
// the income is 0 or negative.
std::optional<qint64> SecondsToFull(qint32 stock, qint32 income, qint32 capacity);

// Why a cost can never be covered.
enum class TNeverReason {
    None,     // it can be covered (now or after a time)
    NoIncome, // a shortage of a kind whose income is 0 or negative
    Capacity, // a cost above the known capacity of its kind
};

// "не накопится", "не хватит вместимости"; empty for None.
QString NeverReasonText(TNeverReason reason);

QDebug operator<<(QDebug debug, TNeverReason reason);

// The time until a cost is covered: Seconds when Never is None.
struct TAffordTime
{
    TNeverReason Never = TNeverReason::None;
    qint64 Seconds = 0;

    bool IsNever() const { return Never != TNeverReason::None; }

    friend bool operator==(const TAffordTime &, const TAffordTime &) = default;
};

QDebug operator<<(QDebug debug, const TAffordTime &time);

// One kind: 0 when the stock covers the cost; never for a cost above a known
// capacity (unless the stock already covers it) and for a shortage without a
// positive income; otherwise the exact ceiling of the shortage × 3600 /
// income.
TAffordTime TimeToAffordKind(qint32 stock, qint32 income, qint32 capacity, qint32 cost);

// All four kinds together: the longest of their times, provided that a kind
// with a negative income which covers its cost now still covers it then
// (otherwise never, for want of income). When kinds can never be covered, a
// capacity that is too small is named before a missing income (it is the
// reason no income can mend).
TAffordTime TimeToAffordCosts(const TResourceAmounts &stocks, const TResourceAmounts &incomes,
                              const TResourceAmounts &capacities, const TResourceAmounts &costs);
