// The notification rules of one village; see NotificationRules.h.
#include "NotificationRules.h"

#include <QSet>

namespace {

// Grain is kept in the granary, the other three in the warehouse.
QString StorageName(TResourceKind kind)
{
    return kind == TResourceKind::Grain ? QStringLiteral("амбар") : QStringLiteral("склад");
}

QString VillagePrefix(const QString &village)
{
    return (village.isEmpty() ? QStringLiteral("Без названия") : village) + QStringLiteral(": ");
}

} // namespace

QDebug operator<<(QDebug debug, TNotificationKind kind)
{
    QDebugStateSaver saver(debug);
    switch (kind) {
    case TNotificationKind::Affordable:
        return debug.nospace() << "Affordable";
    case TNotificationKind::ConstructionEnded:
        return debug.nospace() << "ConstructionEnded";
    case TNotificationKind::StorageNearlyFull:
        return debug.nospace() << "StorageNearlyFull";
    case TNotificationKind::StorageFull:
        return debug.nospace() << "StorageFull";
    }
    return debug;
}

QDebug operator<<(QDebug debug, const TNotification &notification)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TNotification(" << notification.Kind << ", " << notification.Text << ')';
    return debug;
}

QString TNotificationRules::AffordableText(const QString &village, const QString &building)
{
    return VillagePrefix(village) + QStringLiteral("можно строить ") + building;
}

QString TNotificationRules::ConstructionEndedText(const QString &village, const QString &building)
{
    return VillagePrefix(village) + QStringLiteral("строительство завершено — ") + building;
}

QString TNotificationRules::StorageNearlyFullText(const QString &village, TResourceKind kind,
                                                  qint64 seconds)
{
    // Whole minutes, rounded up: "через 1 мин" for the last minute too.
    const qint64 minutes = seconds <= 60 ? 1 : seconds / 60 + (seconds % 60 != 0 ? 1 : 0);
    return VillagePrefix(village) + StorageName(kind) + QStringLiteral(" заполнится через ")
        + QString::number(minutes) + QStringLiteral(" мин — ") + ResourceName(kind);
}

QString TNotificationRules::StorageFullText(const QString &village, TResourceKind kind)
{
    return VillagePrefix(village) + StorageName(kind) + QStringLiteral(" полон — ") + ResourceName(kind);
}

void TNotificationRules::SetKindEnabled(TNotificationKind kind, bool enabled)
{
    m_EnabledKinds[static_cast<std::size_t>(kind)] = enabled;
}

bool TNotificationRules::IsKindEnabled(TNotificationKind kind) const
{
    return m_EnabledKinds[static_cast<std::size_t>(kind)];
}

void TNotificationRules::Reset()
{
    m_Started = false;
    m_Texts.clear();
    m_First.clear();
    m_Affordable.clear();
    m_NearlyFull = {};
    m_Full = {};
}

void TNotificationRules::Send(QList<TNotification> &out, TNotificationKind kind, QString text) const
{
    if (IsKindEnabled(kind))
        out.append({kind, std::move(text)});
}

QList<TNotification> TNotificationRules::Feed(const TVillageSnapshot &snapshot)
{
    QList<TNotification> out;
    const bool first = !m_Started;
    m_Started = true;

    if (snapshot.EndedConstruction)
        Send(out, TNotificationKind::ConstructionEnded,
             ConstructionEndedText(snapshot.VillageName, *snapshot.EndedConstruction));

    // Buildings: a change from not affordable to affordable, per text; texts
    // no longer listed are forgotten. While the buildings stay the same (most
    // ticks), their states are compared place by place.
    const QList<TBuildingSnapshot> &buildings = snapshot.Buildings;
    bool sameBuildings = buildings.size() == m_Texts.size();
    for (qsizetype i = 0; sameBuildings && i < buildings.size(); ++i) {
        // The texts come from the same record each tick: mostly the very
        // same string, which needs no comparison of its letters.
        const QString &text = buildings.at(i).Text;
        const QString &last = m_Texts.at(i);
        sameBuildings = (text.constData() == last.constData() && text.size() == last.size()) || text == last;
    }
    if (!sameBuildings) {
        // The states by text, of the first place of each, as they were.
        QHash<QString, bool> before;
        for (qsizetype i = 0; i < m_Texts.size(); ++i) {
            if (m_First.at(i))
                before.insert(m_Texts.at(i), m_Affordable.at(i));
        }
        QSet<QString> seen;
        m_Texts.resize(buildings.size());
        m_First.resize(buildings.size());
        m_Affordable.resize(buildings.size());
        for (qsizetype i = 0; i < buildings.size(); ++i) {
            const QString &text = buildings.at(i).Text;
            m_Texts[i] = text;
            // Listed twice (considered and queued): one notification.
            m_First[i] = !seen.contains(text);
            seen.insert(text);
            const auto known = before.constFind(text);
            // A building not listed before has no state to change from.
            m_Affordable[i] = known == before.constEnd() ? true : *known;
        }
    }
    for (qsizetype i = 0; i < buildings.size(); ++i) {
        if (!m_First.at(i))
            continue;
        const TBuildingSnapshot &building = buildings.at(i);
        const bool now = !building.Afford.IsNever() && building.Afford.Seconds <= 0;
        if (now && !first && !m_Affordable.at(i))
            Send(out, TNotificationKind::Affordable, AffordableText(snapshot.VillageName, building.Text));
        m_Affordable[i] = now;
    }

    for (TResourceKind kind : AllResourceKinds) {
        const std::size_t i = KindIndex(kind);
        const TStorageSnapshot &storage = snapshot.Storages[i];
        const bool full = storage.Full;
        const bool nearlyFull = full || (storage.SecondsToFull && *storage.SecondsToFull <= NearlyFullSeconds);
        if (!first) {
            if (full && !m_Full[i])
                Send(out, TNotificationKind::StorageFull, StorageFullText(snapshot.VillageName, kind));
            else if (nearlyFull && !full && !m_NearlyFull[i])
                Send(out, TNotificationKind::StorageNearlyFull,
                     StorageNearlyFullText(snapshot.VillageName, kind, *storage.SecondsToFull));
        }
        m_Full[i] = full;
        m_NearlyFull[i] = nearlyFull;
    }
    return out;
}
