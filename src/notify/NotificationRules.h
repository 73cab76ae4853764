// The rules by which the program speaks up about one open village: fed once
// per tick with a snapshot of what matters (the buildings considered or
// queued and their time to afford, a construction that ended, the time until
// each storage is full), it returns the notifications to send now, each once:
//
// - a building becomes affordable: when its time to afford reaches 0, and
//   again only after that time rose above 0 (or became never);
// - a construction ended: on the tick it ends;
// - a storage will be full within 10 minutes: once, and again only after its
//   time to full rose above 10 minutes (or it has none any more);
// - a storage is full: once, and again only after it was not full;
// - a stock that shrinks (a negative income) runs out within 10 minutes:
//   once, and again only after its time rose above 10 minutes (or it stopped
//   shrinking); it has run out: once, and again only after it had not. In
//   the game an empty granary starves the troops.
//
// Nothing floods: the first snapshot after a village is opened (or after
// Reset) only notes what is already true, and so does the first snapshot in
// which a building appears; a notification goes out only for a change seen
// between two snapshots. A construction's end is an event, not a state, and is
// told whenever a snapshot brings one, the first included. A storage that
// turns full at once is told as full only, not as nearly full as well. A kind
// switched off sends nothing, but its state follows the snapshots, so that
// switching it on again does not bring back what happened meanwhile.
//
// One instance per village; the main window feeds it and passes the result to
// the notification seam.
#pragma once

#include "catalog/ResourceKind.h"
#include "rules/VillageSnapshot.h"

#include <QDebug>
#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// NextVillage is the account's, not one village's: the next village can be
// founded (NextVillageWatch.h decides it; the village rules never send it).
enum class TNotificationKind {
    Affordable,
    ConstructionEnded,
    StorageNearlyFull,
    StorageFull,
    ResourceRunningOut,
    NextVillage
};

// Every kind, in the order of the enumeration.
inline constexpr std::array<TNotificationKind, 6> AllNotificationKinds{
    TNotificationKind::Affordable,  TNotificationKind::ConstructionEnded,  TNotificationKind::StorageNearlyFull,
    TNotificationKind::StorageFull, TNotificationKind::ResourceRunningOut, TNotificationKind::NextVillage};

QDebug operator<<(QDebug debug, TNotificationKind kind);

struct TNotification
{
    TNotificationKind Kind = TNotificationKind::Affordable;
    // For a building become affordable, its display text ("Ферма ( 5)"),
    // which the village's notice lists with the others of its tick
    // (VillageNotice.h); for the other kinds, the line the notice shows.
    QString Text;

    friend bool operator==(const TNotification &, const TNotification &) = default;
};

QDebug operator<<(QDebug debug, const TNotification &notification);

class TNotificationRules
{
public:
    // A storage is nearly full when it will be full within this many seconds.
    static constexpr qint64 NearlyFullSeconds = 600;

    // A stock runs out soon when it is gone within this many seconds.
    static constexpr qint64 RunningOutSeconds = 600;

    // The notifications that this snapshot brings, in the order: constructions
    // ended, buildings affordable (in snapshot order), storages (wood, clay,
    // iron, grain), stocks running out (wood, clay, iron, grain).
    QList<TNotification> Feed(const TVillageSnapshot &snapshot);

    // Forgets every state: the next snapshot is taken as the first.
    void Reset();

    // All kinds are on at first.
    void SetKindEnabled(TNotificationKind kind, bool enabled);
    bool IsKindEnabled(TNotificationKind kind) const;

    // The lines of the kinds other than Affordable, without the village,
    // which the notice's title names: "Строительство завершено: Ферма ( 5)",
    // "Дерево: склад заполнится через 2 мин 22 сек", "Дерево: склад полон".
    static QString ConstructionEndedText(const QString &building);
    static QString StorageNearlyFullText(TResourceKind kind, qint64 seconds);
    static QString StorageFullText(TResourceKind kind);
    // "Зерно закончится через 10 мин", "Зерно закончилось": the notice's
    // title names the village.
    static QString RunningOutText(TResourceKind kind, qint64 seconds);
    static QString RanOutText(TResourceKind kind);

private:
    void Send(QList<TNotification> &out, TNotificationKind kind, QString text) const;

    bool m_Started = false;
    std::array<bool, AllNotificationKinds.size()> m_EnabledKinds{true, true, true, true, true, true};
    // The buildings of the last snapshot, in its order: their texts, whether
    // each is the first place of its text, and whether it was affordable.
    QList<QString> m_Texts;
    QList<bool> m_First;
    QList<bool> m_Affordable;
    std::array<bool, 4> m_NearlyFull{};
    std::array<bool, 4> m_Full{};
    std::array<bool, 4> m_RunningOut{};
    std::array<bool, 4> m_RanOut{};
};
