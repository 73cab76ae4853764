// Watches one open village for the notifications: after each tick of its
// planner (the stocks grown, the construction advanced) it feeds the
// village's notification rules with the snapshot of the planner's
// evaluation, with the construction that ended on that tick, and hands on
// what they return.
// It works whether the village's page is shown or not.
//
// Each village document makes one; the main window sets its rules' switches
// from the settings and passes NotificationsReady on to the desktop notifier.
#pragma once

#include "notify/NotificationRules.h"

#include <QObject>

#include <optional>

class TPlanner;

class TVillageWatch : public QObject
{
    Q_OBJECT

public:
    // Parented to the planner, so it goes with it.
    TVillageWatch(TPlanner &planner);

    TNotificationRules &Rules() { return m_Rules; }

    // Feeds the rules now; what the ticks call.
    void Check();
    // Feeds the rules the village as it stands and sends nothing: after an
    // undo or redo, which brings back a state the player had made.
    void TakeIn();

signals:
    // Only when there is something to say.
    void NotificationsReady(const QList<TNotification> &notifications);

private:
    void PlannerConstructionEnded(const QString &name);

    TPlanner &m_Planner;
    TNotificationRules m_Rules;
    std::optional<QString> m_Ended;
};
