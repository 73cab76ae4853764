// What a village's built buildings give, worked out from the catalog: per
// building at its level its hourly production (a field's PROD × speed), its
// capacity (a storage's), its grain upkeep (the USEGRAIN of each of its
// levels up to it, added up, × speed, as the queue's projection counts a
// level's upkeep when it ends) and its culture points per day (the EK of
// its level, the building's whole output at that level); and the sums over
// the village's built list. Buildings the catalog does not know count for
// nothing.
//
// The built table of the page shows the figures of each building; the page
// shows the sums beside the typed figures.
#pragma once

#include "catalog/ResourceKind.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>

class TdmListObj;
struct TBuiltBuilding;

struct TBuiltFigures
{
    // The kind a field produces and its hourly production; none for others.
    std::optional<TResourceKind> Kind;
    qint32 Production = 0;
    // A storage's capacity at its level; -1 for any other building.
    qint32 Capacity = -1;
    qint32 Upkeep = 0;
    qint32 Culture = 0;

    friend bool operator==(const TBuiltFigures &, const TBuiltFigures &) = default;
};

// The figures of the catalog entry at index on a server of this speed;
// all zero for an index outside the catalog.
TBuiltFigures BuiltFiguresOf(const TdmListObj &catalog, qint32 index, qint32 speed);

struct TBuiltTotals
{
    // Hourly production of the fields by kind (before upkeep).
    TResourceAmounts Production{};
    qint32 Upkeep = 0;
    qint32 Culture = 0;

    friend bool operator==(const TBuiltTotals &, const TBuiltTotals &) = default;
};

TBuiltTotals BuiltTotalsOf(const TdmListObj &catalog, const QList<TBuiltBuilding> &built, qint32 speed);

// The hourly incomes the buildings give: each kind's production, grain less
// the upkeep (as the game shows the grain income).
TResourceAmounts BuiltIncomes(const TBuiltTotals &totals);

// Whether a worked-out income and a typed one differ by more than the page's
// rounding (one unit an hour): a bonus, an oasis or a typo.
bool DiffersBeyondRounding(qint32 worked, qint32 typed);

// The page's line beside the typed figures: "По постройкам: Дерево 40,
// Глина 30, Железо 30, Зерно 12 ≠ 20 в час; содержание 8; культура 5 в
// день", each income that differs from the typed one followed by "≠" and
// the typed figure. Empty for a village without a built list.
QString BuiltSummaryText(const TdmListObj &catalog, const QList<TBuiltBuilding> &built, qint32 speed,
                         const TResourceAmounts &typedIncomes);
