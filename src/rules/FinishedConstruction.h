// What a construction that has ended does to its village's record: the
// same changes the queue projection assumes at its end (BuildingEffects.h),
// made in the record, and the built list raised by one level. The village
// document calls it when the tick ends a construction (for a hidden page
// too) and when Open finds the file's construction ended; the page shows
// the line it gives.
#pragma once

#include "record/VillageData.h"

#include <QList>
#include <QString>

class TdmListObj;

// The built list after the entry at index has been built: the first
// building of its name at the level below goes up to its level; without
// one it is added at its level (level 1 for a building the village did not
// have). An empty list (a village whose buildings are unknown) stays empty,
// and so does the list for an index outside the catalog.
QList<TBuiltBuilding> BuiltAfter(const QList<TBuiltBuilding> &built, const TdmListObj &catalog, qint32 index);

// Applies the end of the construction of this display text to the village:
// a field raises its kind's income by its gain × speed, every building
// takes its grain upkeep × speed off the grain income, Склад and Амбар
// raise the capacities of their kinds (an unknown capacity stays unknown),
// Главное здание sets the main level, and the built list follows
// BuiltAfter. Each changed figure is a typed one, as if the player had
// typed it. Returns the page's line: "Построено: Склад ( 1) — вместимость
// 800 → 1200"; for a text the catalog does not know nothing changes and
// the line is "Построено: <text>"; empty for an empty text.
QString ApplyFinishedConstruction(TVillageData &village, const TdmListObj &catalog, const QString &displayText);
