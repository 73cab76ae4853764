// The notifier interface; see DesktopNotifier.h.
#include "ui/desktop/DesktopNotifier.h"

#include "ui/widgets/UiSeams.h"

#include "notify/VillageNotice.h"


QDebug operator<<(QDebug debug, TNotifierRoute route)
{
    QDebugStateSaver saver(debug);
    switch (route) {
    case TNotifierRoute::DBus:
        return debug.nospace() << "DBus";
    case TNotifierRoute::Tray:
        return debug.nospace() << "Tray";
    case TNotifierRoute::None:
        return debug.nospace() << "None";
    }
    return debug;
}

void TDesktopNotifier::Send(const QString &village, const QList<TNotification> &notifications, bool sound,
                            TActivation activated)
{
    const TVillageNotice notice = MakeVillageNotice(village, notifications);
    if (notice.IsEmpty())
        return;
    Notify(notice.Title, notice.Body, std::move(activated));
    if (sound)
        UiSeams::Beep();
}

QString TDesktopNotifier::NotificationTitle()
{
    return QStringLiteral("JorLivaronMng");
}

QString TDesktopNotifier::ShowActionText()
{
    return QStringLiteral("Показать");
}
