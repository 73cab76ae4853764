// What a building does to its village when it is built, from the catalog's
// figures: a resource field raises the hourly income of its kind by the
// production its level adds, a warehouse or granary raises the capacity of
// its kinds, and every building takes the grain upkeep its level adds off
// the grain income. Also the time in which a field's added production pays
// back its costs. Production and upkeep are multiplied by the village's
// server speed.
//
// Used by the queue projection (a queued building changes the village at
// its end), the evaluation (the payback of the available table), the
// planner (several fields of one kind) and the overview import.
#pragma once

#include "catalog/ResourceKind.h"

#include <QDebug>
#include <QString>
#include <QtGlobal>

#include <optional>

class TdmListObj;
struct TLivaronObject;

// The names of the buildings whose effects the program knows.
inline const QString WarehouseName = QStringLiteral("Склад");
inline const QString GranaryName = QStringLiteral("Амбар");

// The kind a resource field produces (Лесопильный завод wood, Глиняный
// карьер clay, Железный рудник iron, Ферма grain); none for any other name.
std::optional<TResourceKind> FieldKind(const QString &name);
// One of the four kinds of resource field, of which a village has several.
bool IsResourceField(const QString &name);

// The kinds a storage holds, as bits by KindIndex: Склад wood, clay and iron,
// Амбар grain; 0 for any other building.
quint8 StorageKinds(const QString &name);

// A storage level's capacity: the catalog's 32-bit capacity where it gives
// one, else its production figure.
qint32 StorageCapacity(const TLivaronObject &object);

// The catalog index of the same building one level lower; -1 when the
// catalog has none (or index is outside it).
qint32 LevelBelow(const TdmListObj &catalog, qint32 index);

// The hourly production a field's level adds at speed 1: production(L) −
// production(L − 1), production(0) being 0; 0 for other buildings and for a
// level whose level below the catalog lacks.
qint32 ProductionGain(const TdmListObj &catalog, qint32 index);

// What building one catalog entry does to the village when it ends.
struct TBuildingEffect
{
    // Added to the hourly incomes: the field's gain × speed, less the grain
    // upkeep × speed.
    TResourceAmounts IncomeChange{};
    // The kinds whose capacity changes (bits by KindIndex); none: 0.
    quint8 StorageKinds = 0;
    // A level 2 or higher: the capacity grows by capacity(L) − capacity(L − 1).
    qint32 CapacityRaise = 0;
    // A level 1 (or a level whose level below the catalog lacks): the
    // capacity becomes at least capacity(L).
    qint32 CapacityFloor = 0;

    bool ChangesIncome() const;
    bool ChangesCapacity(TResourceKind kind) const { return StorageKinds & (1u << KindIndex(kind)); }

    friend bool operator==(const TBuildingEffect &, const TBuildingEffect &) = default;
};

QDebug operator<<(QDebug debug, const TBuildingEffect &effect);

// The effect of the catalog entry at index on a server of this speed; no
// effect for an index outside the catalog.
TBuildingEffect BuildingEffect(const TdmListObj &catalog, qint32 index, qint32 speed);

// A capacity after the effect, for one kind it changes: an unknown capacity
// (below 0) stays unknown; otherwise the larger of capacity + raise and the
// floor, within 0 and the 32-bit limit.
qint32 CapacityAfter(qint32 capacity, const TBuildingEffect &effect);

// An income after a change, within 32 bits.
qint32 IncomeAfter(qint32 income, qint32 change);

// Seconds until a field's added production pays back its four costs:
// (wood + clay + iron + grain) / (gain × speed) hours, rounded up to a whole
// second; none for other buildings and for a gain of 0 or less.
std::optional<qint64> PaybackSeconds(const TdmListObj &catalog, qint32 index, qint32 speed);
