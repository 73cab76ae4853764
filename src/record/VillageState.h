// What an undo step of a village puts back: a value copy of the fields the
// player edits (name, race, main level, server speed, coordinates, traders,
// stocks, incomes, capacities, the considered list, comments, the queue, the
// construction, the built list), the operation
// that writes such a copy back through the record's setters, and the name a
// step between two copies goes by ("импорт", "название", ...).
//
// The village history (src/app/VillageHistory) takes the copies; the undo
// commands of the windows apply them.
#pragma once

#include "record/VillageData.h"

#include <QDebug>
#include <QList>
#include <QString>

#include <array>

struct TVillageState
{
    QString Name;
    quint8 Race = 0;
    QString MainLevel;
    QString ServerSpeed;
    QString Coordinates;
    QString Traders;
    std::array<QString, 4> ResourceCollect;
    std::array<QString, 4> ResourceAdd;
    std::array<QString, 4> Capacity;
    QList<TAvBuildingEntry> AvBuildings;
    QString Comments;
    QList<TAvBuildingEntry> Queue;
    QList<TBuiltBuilding> Built;
    QList<TDelivery> Deliveries;
    QString BuildName;
    qint32 BuildTotal = 0;
    qint32 BuildElapsed = 0;

    friend bool operator==(const TVillageState &, const TVillageState &) = default;
};

QDebug operator<<(QDebug debug, const TVillageState &state);

// The player-editable fields of the village as they stand.
TVillageState TakeVillageState(const TVillageData &village);

// Writes the state back, field by field through the record's setters (each
// announces its change), and marks the village changed: an undo is an edit
// like any other.
void ApplyVillageState(TVillageData &village, const TVillageState &state);

// The name of the step that led from `before` to `after`, as the menu shows
// it after "Отменить "/"Повторить ": the construction started ("постройку"),
// else the one kind of field that changed ("название", "расу",
// "уровень главного здания", "скорость сервера", "координаты", "торговцев",
// "запасы", "производство", "вместимость", "список строений", "комментарии",
// "очередь", "постройки", "поставки"), "изменения" when several kinds
// changed; empty when nothing did.
QString StepName(const TVillageState &before, const TVillageState &after);
