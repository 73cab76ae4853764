// The market's exchange 1:1: when a village could pay for a building if it
// traded its resources among themselves, and what to trade at that moment.
// Each kind's stock moves as everywhere else (grows at its hourly income up
// to its known capacity, falls down to 0); the four stocks together must
// cover the four costs together, counted in whole units as the game's
// market counts them. A cost above its kind's capacity can never be met
// ("не хватит вместимости"), nor can a total that never grows far enough
// ("не накопится").
//
// Part of the evaluation of a village (the column "С обменом" of the table
// of available buildings) and of the command "Обменять..." of the page.
#pragma once

#include "rules/Production.h"

#include <QDateTime>
#include <QDebug>
#include <QString>

#include <array>

// Whole units moved per kind: below 0 given away, above 0 received; they
// add up to 0.
using TExchangeMoves = std::array<qint64, 4>;

struct TExchangePlan
{
    // When the exchange makes the costs affordable, or never and why.
    TAffordTime Afford;
    // What to move at that moment so that every kind covers its cost and
    // none goes above its capacity: the short kinds receive exactly their
    // shortage, taken from the kinds with the largest surplus first. All 0
    // when nothing needs to move or the costs can never be met.
    TExchangeMoves Moves{};

    friend bool operator==(const TExchangePlan &, const TExchangePlan &) = default;
};

QDebug operator<<(QDebug debug, const TExchangePlan &plan);

// The first whole second from now at which the stocks, each moving as
// AdvanceStock says, hold together at least the costs together in whole
// units, and the moves at that second. Capacities below 0 are unknown; a
// cost above a known capacity is never met unless the kind's stock holds it
// at that second already.
TExchangePlan PlanExchange(const TResourceAmounts &stocks, const TResourceAmounts &incomes,
                           const TResourceAmounts &capacities, const TResourceAmounts &costs);

// The same on scaled stocks (fractions of a unit kept) and scaled tops.
TExchangePlan PlanExchangeScaled(const TScaledAmounts &stocks, const TResourceAmounts &incomes,
                                 const TScaledAmounts &tops, const TResourceAmounts &costs);

// The magnitude of an amount with its digits grouped by thousands: "1 200".
QString GroupedAmountText(qint64 amount);

// "дерево −300, железо +300": the kinds that move, in the order of the
// resource table, amounts grouped by thousands; empty when nothing moves.
QString ExchangeMovesText(const TExchangeMoves &moves);

// What "Обменять..." says of a building ("Склад ( 7)"), counted from `now`:
// "Склад ( 7): обменять через 00:20:00 (14:32): дерево −300, железо +300."
// ("сейчас" when due now), that no exchange is needed (and when the
// resources are there without it), or why it can never be built.
QString ExchangeAdviceText(const QString &building, const TExchangePlan &plan, const QDateTime &now);
