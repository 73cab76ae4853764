// A finished construction changes its village; see FinishedConstruction.h.
#include "FinishedConstruction.h"

#include "catalog/dm_ListObjects.h"
#include "rules/BuildingEffects.h"

#include <QStringList>

namespace {

const QString Arrow = QStringLiteral(" → ");

QString ChangeText(qint32 before, qint32 after)
{
    return QString::number(before) + Arrow + QString::number(after);
}

} // namespace

QList<TBuiltBuilding> BuiltAfter(const QList<TBuiltBuilding> &built, const TdmListObj &catalog, qint32 index)
{
    if (built.isEmpty() || index < 0 || index >= catalog.Count())
        return built;
    const TLivaronObject &object = catalog.Object(index);
    const TBuiltBuilding raised{object.Name, QString::number(object.Level), index};
    const qint32 below = LevelBelow(catalog, index);
    QList<TBuiltBuilding> after = built;
    for (TBuiltBuilding &building : after) {
        if (below >= 0 && building.CatalogIndex == below) {
            building = raised;
            return after;
        }
    }
    after.append(raised);
    return after;
}

QString ApplyFinishedConstruction(TVillageData &village, const TdmListObj &catalog, const QString &displayText)
{
    if (displayText.isEmpty())
        return {};
    const QString title = QStringLiteral("Построено: ") + displayText;
    const qint32 index = catalog.FindByDisplayText(displayText);
    if (index < 0)
        return title;
    const TLivaronObject &object = catalog.Object(index);
    const TBuildingEffect effect = BuildingEffect(catalog, index, village.ServerSpeedValue());
    QStringList said;

    // Capacities: one figure when every kind of the storage moves alike.
    QStringList capacities;
    for (const TResourceKind kind : AllResourceKinds) {
        if (!effect.ChangesCapacity(kind))
            continue;
        const qint32 before = village.CapacityValue(kind);
        const qint32 after = CapacityAfter(before, effect);
        if (after == before)
            continue;
        village.EditCapacity(kind, QString::number(after));
        const QString change = ChangeText(before, after);
        if (!capacities.contains(change))
            capacities.append(change);
    }
    if (capacities.size() == 1)
        said.append(QStringLiteral("вместимость ") + capacities.constFirst());
    else if (!capacities.isEmpty())
        said.append(QStringLiteral("вместимость ") + capacities.join(QStringLiteral(", ")));

    QStringList incomes;
    for (const TResourceKind kind : AllResourceKinds) {
        const qint32 change = effect.IncomeChange[KindIndex(kind)];
        if (change == 0)
            continue;
        const qint32 before = village.ResourceAddValue(kind);
        const qint32 after = IncomeAfter(before, change);
        village.EditResourceAdd(kind, QString::number(after));
        incomes.append(ResourceName(kind) + u' ' + ChangeText(before, after));
    }
    if (!incomes.isEmpty())
        said.append(QStringLiteral("производство: ") + incomes.join(QStringLiteral(", ")));

    if (object.Name == MainBuildingName && object.Level != village.MainLevelValue()) {
        said.append(QStringLiteral("главное здание ") + ChangeText(village.MainLevelValue(), object.Level));
        village.SetMainLevel(QString::number(object.Level));
    }

    const QList<TBuiltBuilding> built = BuiltAfter(village.Built, catalog, index);
    if (built != village.Built) {
        village.SetBuilt(built);
        village.SetModified(true);
    }
    return said.isEmpty() ? title : title + QStringLiteral(" — ") + said.join(QStringLiteral("; "));
}
