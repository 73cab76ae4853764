// Deliveries on their way, counted in a village's course: each raises the
// stocks at its arrival, every stock capped at its capacity (a stock already
// above it stays as it is). Between two arrivals the stocks move as
// Production.h says, so each rule with deliveries plays the rule without
// them from one arrival to the next: the time to afford, the exchange 1:1
// and the time until a storage is full.
//
// Used by the evaluation of a village (table, snapshot, storages) and the
// queue projection; the planner applies the deliveries that have arrived.
#pragma once

#include "rules/Exchange.h"
#include "rules/Production.h"
#include "record/VillageData.h"

#include <QDateTime>
#include <QDebug>
#include <QList>

#include <optional>

// A delivery as the rules count it: seconds from now (0 for one due
// already) and its amounts.
struct TArrival
{
    qint64 Seconds = 0;
    TResourceAmounts Amounts{};

    friend bool operator==(const TArrival &, const TArrival &) = default;
};

QDebug operator<<(QDebug debug, const TArrival &arrival);

using TArrivals = QList<TArrival>;

// The village's deliveries counted from `now`, in order of arrival.
TArrivals ArrivalsOf(const TVillageData &village, const QDateTime &now);

// A scaled stock raised by a delivered amount, stopped at the top; a stock
// at or above the top stays as it is.
qint64 ReceivedScaled(qint64 scaled, qint32 amount, qint64 top);

// A scaled stock moved by `seconds` of its hourly income, a growth stopped
// at the top, a fall at 0 (a stock beyond either stays as it is).
qint64 AdvanceScaled(qint64 scaled, qint32 income, qint64 top, qint64 seconds);

// TimeToAffordScaled with the arrivals counted.
TAffordTime TimeToAffordWithArrivals(const TScaledAmounts &stocks, const TResourceAmounts &incomes,
                                     const TScaledAmounts &tops, const TScaledAmounts &costs,
                                     const TArrivals &arrivals);

// PlanExchange with the arrivals counted: the moves are those at the
// moment found, with what has arrived by then.
TExchangePlan PlanExchangeWithArrivals(const TResourceAmounts &stocks, const TResourceAmounts &incomes,
                                       const TResourceAmounts &capacities, const TResourceAmounts &costs,
                                       const TArrivals &arrivals);

// SecondsToFull of one kind with the arrivals counted: a delivery that
// fills the storage fills it at its arrival.
std::optional<qint64> SecondsToFullWithArrivals(qint32 stock, qint32 income, qint32 capacity, TResourceKind kind,
                                                const TArrivals &arrivals);
// The same from an exact (scaled) stock (ExactScaledStock).
std::optional<qint64> SecondsToFullWithArrivalsScaled(qint64 scaledStock, qint32 income, qint32 capacity,
                                                      TResourceKind kind, const TArrivals &arrivals);

// Adds the deliveries that have arrived by `now` to the stocks, each capped
// at the capacity, and takes them off the list; false when none has.
// Sets Modified when one has.
bool ReceiveArrivedDeliveries(TVillageData &village, const QDateTime &now, QList<TDelivery> *received = nullptr);

// "Прибыла поставка: дерево 300, глина 200." for what arrived together.
QString ArrivedDeliveriesText(const QList<TDelivery> &received);
