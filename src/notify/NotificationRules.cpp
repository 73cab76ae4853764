// The notification rules of one village; see NotificationRules.h.
#include "NotificationRules.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

namespace {

// Grain is kept in the granary, the other three in the warehouse.
QString StorageName(TResourceKind kind)
{
    return kind == TResourceKind::Grain ? QStringLiteral("амбар") : QStringLiteral("склад");
}

// "Дерево: склад", the storage of a kind named after the kind.
QString StorageOf(TResourceKind kind)
{
    return ResourceName(kind) + QStringLiteral(": ") + StorageName(kind);
}

// "через 2 мин 22 сек", "через 10 мин", "через 45 сек"; "сейчас" at 0: minutes
// and seconds, as the table's "00:02:22" reads.
QString WhenText(qint64 seconds)
{
    const qint64 left = std::max<qint64>(seconds, 0);
    const qint64 minutes = left / 60;
    const qint64 rest = left % 60;
    QStringList parts;
    if (minutes > 0)
        parts.append(QString::number(minutes) + QStringLiteral(" мин"));
    if (rest > 0)
        parts.append(QString::number(rest) + QStringLiteral(" сек"));
    return parts.isEmpty() ? QStringLiteral("сейчас") : QStringLiteral("через ") + parts.join(u' ');
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
    case TNotificationKind::ResourceRunningOut:
        return debug.nospace() << "ResourceRunningOut";
    case TNotificationKind::NextVillage:
        return debug.nospace() << "NextVillage";
    }
    return debug;
}

QDebug operator<<(QDebug debug, const TNotification &notification)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TNotification(" << notification.Kind << ", " << notification.Text << ')';
    return debug;
}

QString TNotificationRules::ConstructionEndedText(const QString &building)
{
    return QStringLiteral("Строительство завершено: ") + building;
}

QString TNotificationRules::StorageNearlyFullText(TResourceKind kind, qint64 seconds)
{
    return StorageOf(kind) + QStringLiteral(" заполнится ") + WhenText(seconds);
}

QString TNotificationRules::RunningOutText(TResourceKind kind, qint64 seconds)
{
    return ResourceName(kind) + QStringLiteral(" закончится ") + WhenText(seconds);
}

QString TNotificationRules::RanOutText(TResourceKind kind)
{
    // Глина is the one feminine name of the four.
    const QString ended = kind == TResourceKind::Clay ? QStringLiteral(" закончилась") : QStringLiteral(" закончилось");
    return ResourceName(kind) + ended;
}

QString TNotificationRules::StorageFullText(TResourceKind kind)
{
    return StorageOf(kind) + QStringLiteral(" полон");
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
    m_RunningOut = {};
    m_RanOut = {};
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
        Send(out, TNotificationKind::ConstructionEnded, ConstructionEndedText(*snapshot.EndedConstruction));

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
            Send(out, TNotificationKind::Affordable, building.Text);
        m_Affordable[i] = now;
    }

    for (TResourceKind kind : AllResourceKinds) {
        const std::size_t i = KindIndex(kind);
        const TStorageSnapshot &storage = snapshot.Storages[i];
        const bool full = storage.Full;
        const bool nearlyFull = full || (storage.SecondsToFull && *storage.SecondsToFull <= NearlyFullSeconds);
        if (!first) {
            if (full && !m_Full[i])
                Send(out, TNotificationKind::StorageFull, StorageFullText(kind));
            else if (nearlyFull && !full && !m_NearlyFull[i])
                Send(out, TNotificationKind::StorageNearlyFull,
                     StorageNearlyFullText(kind, *storage.SecondsToFull));
        }
        m_Full[i] = full;
        m_NearlyFull[i] = nearlyFull;
    }

    for (TResourceKind kind : AllResourceKinds) {
        const std::size_t i = KindIndex(kind);
        const TStorageSnapshot &storage = snapshot.Storages[i];
        const bool ranOut = storage.Empty;
        const bool runningOut =
            ranOut || (storage.SecondsToEmpty && *storage.SecondsToEmpty <= RunningOutSeconds);
        if (!first) {
            if (ranOut && !m_RanOut[i])
                Send(out, TNotificationKind::ResourceRunningOut, RanOutText(kind));
            else if (runningOut && !ranOut && !m_RunningOut[i])
                Send(out, TNotificationKind::ResourceRunningOut,
                     RunningOutText(kind, *storage.SecondsToEmpty));
        }
        m_RanOut[i] = ranOut;
        m_RunningOut[i] = runningOut;
    }
    return out;
}
