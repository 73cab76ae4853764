// What buildings do to their village; see BuildingEffects.h.
#include "BuildingEffects.h"

#include "rules/Production.h"

#include "base/WholeNumber.h"
#include "catalog/dm_ListObjects.h"

#include <algorithm>
#include <limits>

std::optional<TResourceKind> FieldKind(const QString &name)
{
    if (name == QStringLiteral("Лесопильный завод"))
        return TResourceKind::Wood;
    if (name == QStringLiteral("Глиняный карьер"))
        return TResourceKind::Clay;
    if (name == QStringLiteral("Железный рудник"))
        return TResourceKind::Iron;
    if (name == QStringLiteral("Ферма"))
        return TResourceKind::Grain;
    return std::nullopt;
}

bool IsResourceField(const QString &name)
{
    return FieldKind(name).has_value();
}

quint8 StorageKinds(const QString &name)
{
    if (name == WarehouseName) {
        return quint8((1u << KindIndex(TResourceKind::Wood)) | (1u << KindIndex(TResourceKind::Clay))
                      | (1u << KindIndex(TResourceKind::Iron)));
    }
    if (name == GranaryName)
        return quint8(1u << KindIndex(TResourceKind::Grain));
    return 0;
}

qint32 StorageCapacity(const TLivaronObject &object)
{
    return object.Capacity >= 0 ? object.Capacity : qint32(object.Prod);
}

qint32 LevelBelow(const TdmListObj &catalog, qint32 index)
{
    if (index < 0 || index >= catalog.Count())
        return -1;
    const TLivaronObject &object = catalog.Object(index);
    const qint32 wanted = qint32(object.Level) - 1;
    const auto matches = [&](qint32 candidate) {
        const TLivaronObject &other = catalog.Object(candidate);
        return other.Level == wanted && other.Name == object.Name;
    };
    // A catalog lists the levels of a building one after the other: the
    // entry before is the level below, found without a search.
    if (index > 0 && matches(index - 1))
        return index - 1;
    for (qint32 candidate = 0; candidate < catalog.Count(); ++candidate) {
        if (matches(candidate))
            return candidate;
    }
    return -1;
}

qint32 ProductionGain(const TdmListObj &catalog, qint32 index)
{
    if (index < 0 || index >= catalog.Count())
        return 0;
    const TLivaronObject &object = catalog.Object(index);
    if (!IsResourceField(object.Name))
        return 0;
    if (object.Level == 1)
        return object.Prod;
    const qint32 below = LevelBelow(catalog, index);
    if (below < 0)
        return 0;
    return qint32(object.Prod) - catalog.Object(below).Prod;
}

bool TBuildingEffect::ChangesIncome() const
{
    return std::any_of(IncomeChange.begin(), IncomeChange.end(), [](qint32 change) { return change != 0; });
}

QDebug operator<<(QDebug debug, const TBuildingEffect &effect)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TBuildingEffect(income " << effect.IncomeChange[0] << '/' << effect.IncomeChange[1] << '/'
                    << effect.IncomeChange[2] << '/' << effect.IncomeChange[3] << ", storage "
                    << effect.StorageKinds << " +" << effect.CapacityRaise << " >=" << effect.CapacityFloor << ')';
    return debug;
}

TBuildingEffect BuildingEffect(const TdmListObj &catalog, qint32 index, qint32 speed)
{
    TBuildingEffect effect;
    if (index < 0 || index >= catalog.Count())
        return effect;
    const TLivaronObject &object = catalog.Object(index);
    const qint64 rate = std::max(speed, 1);
    if (const std::optional<TResourceKind> kind = FieldKind(object.Name))
        effect.IncomeChange[KindIndex(*kind)] = ClampToInt32(qint64(ProductionGain(catalog, index)) * rate);
    const std::size_t grain = KindIndex(TResourceKind::Grain);
    effect.IncomeChange[grain] = ClampToInt32(qint64(effect.IncomeChange[grain]) - qint64(object.UseGrain) * rate);

    effect.StorageKinds = StorageKinds(object.Name);
    if (effect.StorageKinds != 0) {
        const qint32 below = object.Level >= 2 ? LevelBelow(catalog, index) : -1;
        if (below >= 0)
            effect.CapacityRaise = ClampToInt32(qint64(StorageCapacity(object)) - StorageCapacity(catalog.Object(below)));
        else
            effect.CapacityFloor = StorageCapacity(object);
    }
    return effect;
}

qint32 CapacityAfter(qint32 capacity, const TBuildingEffect &effect)
{
    if (!IsKnownCapacity(capacity))
        return capacity;
    const qint64 raised = std::max(qint64(capacity) + effect.CapacityRaise, qint64(effect.CapacityFloor));
    return qint32(std::clamp<qint64>(raised, 0, std::numeric_limits<qint32>::max()));
}

qint32 IncomeAfter(qint32 income, qint32 change)
{
    return ClampToInt32(qint64(income) + change);
}

std::optional<qint64> PaybackSeconds(const TdmListObj &catalog, qint32 index, qint32 speed)
{
    const qint64 gain = qint64(ProductionGain(catalog, index)) * std::max(speed, 1);
    if (gain <= 0)
        return std::nullopt;
    qint64 costs = 0;
    for (qint32 cost : CostsOf(catalog.Object(index)))
        costs += cost;
    // At most 2^33 × 3600: far inside 64 bits.
    const qint64 scaled = costs * SecondsPerHour;
    return scaled / gain + (scaled % gain != 0 ? 1 : 0);
}
