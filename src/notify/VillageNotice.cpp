// One notification per village and tick; see VillageNotice.h.
#include "VillageNotice.h"

QDebug operator<<(QDebug debug, const TVillageNotice &notice)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TVillageNotice(" << notice.Title << ", " << notice.Body << ')';
    return debug;
}

TVillageNotice MakeVillageNotice(const QString &village, const QList<TNotification> &notifications)
{
    QStringList ended;
    QStringList affordable;
    QStringList storages;
    for (const TNotification &notification : notifications) {
        switch (notification.Kind) {
        case TNotificationKind::ConstructionEnded:
            ended.append(notification.Text);
            break;
        case TNotificationKind::Affordable:
            affordable.append(notification.Text);
            break;
        case TNotificationKind::StorageNearlyFull:
        case TNotificationKind::StorageFull:
        case TNotificationKind::ResourceRunningOut:
        case TNotificationKind::NextVillage:
            storages.append(notification.Text);
            break;
        }
    }
    QStringList lines = ended;
    if (!affordable.isEmpty()) {
        QString line = QStringLiteral("Можно строить: ") + affordable.mid(0, MaxListedBuildings).join(QStringLiteral(", "));
        if (affordable.size() > MaxListedBuildings)
            line += QStringLiteral(" и ещё %1").arg(affordable.size() - MaxListedBuildings);
        lines.append(line);
    }
    lines.append(storages);
    if (lines.isEmpty())
        return {};
    return {village.isEmpty() ? QStringLiteral("Без названия") : village, lines.join(u'\n')};
}
