// What built buildings give; see BuiltFigures.h.
#include "BuiltFigures.h"

#include "base/WholeNumber.h"
#include "catalog/dm_ListObjects.h"
#include "record/VillageData.h"
#include "rules/BuildingEffects.h"

#include <QStringList>

#include <algorithm>

TBuiltFigures BuiltFiguresOf(const TdmListObj &catalog, qint32 index, qint32 speed)
{
    TBuiltFigures figures;
    if (index < 0 || index >= catalog.Count())
        return figures;
    const TLivaronObject &object = catalog.Object(index);
    const qint64 rate = std::max(speed, 1);
    figures.Kind = FieldKind(object.Name);
    if (figures.Kind)
        figures.Production = ClampToInt32(qint64(object.Prod) * rate);
    if (StorageKinds(object.Name) != 0)
        figures.Capacity = StorageCapacity(object);
    figures.Culture = object.EK;
    // Each level from this one down adds its own upkeep; a level the catalog
    // lacks ends the walk.
    qint64 upkeep = 0;
    for (qint32 level = index; level >= 0; level = LevelBelow(catalog, level))
        upkeep += catalog.Object(level).UseGrain;
    figures.Upkeep = ClampToInt32(upkeep * rate);
    return figures;
}

TBuiltTotals BuiltTotalsOf(const TdmListObj &catalog, const QList<TBuiltBuilding> &built, qint32 speed)
{
    TBuiltTotals totals;
    qint64 upkeep = 0;
    qint64 culture = 0;
    std::array<qint64, 4> production{};
    for (const TBuiltBuilding &building : built) {
        const TBuiltFigures figures = BuiltFiguresOf(catalog, building.CatalogIndex, speed);
        if (figures.Kind)
            production[KindIndex(*figures.Kind)] += figures.Production;
        upkeep += figures.Upkeep;
        culture += figures.Culture;
    }
    for (std::size_t i = 0; i < production.size(); ++i)
        totals.Production[i] = ClampToInt32(production[i]);
    totals.Upkeep = ClampToInt32(upkeep);
    totals.Culture = ClampToInt32(culture);
    return totals;
}

TResourceAmounts BuiltIncomes(const TBuiltTotals &totals)
{
    TResourceAmounts incomes = totals.Production;
    const std::size_t grain = KindIndex(TResourceKind::Grain);
    incomes[grain] = ClampToInt32(qint64(incomes[grain]) - totals.Upkeep);
    return incomes;
}

bool DiffersBeyondRounding(qint32 worked, qint32 typed)
{
    const qint64 difference = qint64(worked) - typed;
    return difference > 1 || difference < -1;
}

QString BuiltSummaryText(const TdmListObj &catalog, const QList<TBuiltBuilding> &built, qint32 speed,
                         const TResourceAmounts &typedIncomes)
{
    if (built.isEmpty())
        return {};
    const TBuiltTotals totals = BuiltTotalsOf(catalog, built, speed);
    const TResourceAmounts incomes = BuiltIncomes(totals);
    QStringList parts;
    for (const TResourceKind kind : AllResourceKinds) {
        const std::size_t i = KindIndex(kind);
        QString part = ResourceName(kind) + u' ' + QString::number(incomes[i]);
        if (DiffersBeyondRounding(incomes[i], typedIncomes[i]))
            part += QStringLiteral(" ≠ ") + QString::number(typedIncomes[i]);
        parts.append(part);
    }
    return QStringLiteral("По постройкам: %1 в час; содержание %2; культура %3 в день")
        .arg(parts.join(QStringLiteral(", ")))
        .arg(totals.Upkeep)
        .arg(totals.Culture);
}
