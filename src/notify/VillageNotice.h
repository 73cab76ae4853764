// One desktop notification per village and tick: what the village's
// notification rules returned on one tick (TNotificationRules::Feed), put
// together under the village's name. The body has one line per ended
// construction, one line that lists every building that became affordable
// ("Можно строить: Ферма ( 5), Склад ( 3)", at most MaxListedBuildings names
// and then how many more), and one line per storage.
//
// The main window makes one for each village whose tick brought anything and
// hands it to the desktop notifier.
#pragma once

#include "notify/NotificationRules.h"

#include <QDebug>
#include <QList>
#include <QString>

struct TVillageNotice
{
    // The village's name ("Без названия" for a village without one).
    QString Title;
    // The lines, joined by line breaks.
    QString Body;

    bool IsEmpty() const { return Body.isEmpty(); }

    friend bool operator==(const TVillageNotice &, const TVillageNotice &) = default;
};

QDebug operator<<(QDebug debug, const TVillageNotice &notice);

// The most buildings named in the line of affordable ones.
constexpr int MaxListedBuildings = 5;

// The notice of one tick of one village; empty when nothing happened.
TVillageNotice MakeVillageNotice(const QString &village, const QList<TNotification> &notifications);
