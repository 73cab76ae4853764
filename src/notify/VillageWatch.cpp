// The per-tick watch of one village; see VillageWatch.h.
#include "VillageWatch.h"

#include "rules/Planner.h"
#include "rules/VillageSnapshot.h"

TVillageWatch::TVillageWatch(TPlanner &planner, const TdmListObj &catalog)
    : QObject(&planner)
    , m_Planner(planner)
    , m_Catalog(catalog)
{
    setObjectName(QStringLiteral("VillageWatch"));
    connect(&planner, &TPlanner::ConstructionEnded, this, &TVillageWatch::PlannerConstructionEnded);
    connect(&planner, &TPlanner::Ticked, this, &TVillageWatch::Check);
}

void TVillageWatch::PlannerConstructionEnded(const QString &name)
{
    m_Ended = name;
}

void TVillageWatch::Check()
{
    const QList<TNotification> notifications =
        m_Rules.Feed(MakeVillageSnapshot(m_Planner.Village(), m_Catalog, m_Ended));
    m_Ended.reset();
    if (!notifications.isEmpty())
        emit NotificationsReady(notifications);
}
