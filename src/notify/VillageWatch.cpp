// The per-tick watch of one village; see VillageWatch.h.
#include "VillageWatch.h"

#include "rules/Planner.h"

TVillageWatch::TVillageWatch(TPlanner &planner)
    : QObject(&planner)
    , m_Planner(planner)
{
    setObjectName(QStringLiteral("VillageWatch"));
    connect(&planner, &TPlanner::ConstructionEnded, this, &TVillageWatch::PlannerConstructionEnded);
    connect(&planner, &TPlanner::Ticked, this, &TVillageWatch::Check);
}

void TVillageWatch::PlannerConstructionEnded(const QString &name)
{
    m_Ended = name;
}

void TVillageWatch::TakeIn()
{
    TVillageSnapshot snapshot = m_Planner.Evaluation().Snapshot;
    snapshot.EndedConstruction.reset();
    static_cast<void>(m_Rules.Feed(snapshot));
}

void TVillageWatch::Check()
{
    TVillageSnapshot snapshot = m_Planner.Evaluation().Snapshot;
    snapshot.EndedConstruction = std::exchange(m_Ended, std::nullopt);
    const QList<TNotification> notifications = m_Rules.Feed(snapshot);
    if (!notifications.isEmpty())
        emit NotificationsReady(notifications);
}
