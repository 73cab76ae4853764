// The notifier interface and the choice of its route; see DesktopNotifier.h.
#include "ui/desktop/DesktopNotifier.h"

#include "ui/desktop/DBusNotifier.h"
#include "ui/desktop/TrayNotifier.h"
#include "ui/widgets/UiSeams.h"

#include "notify/VillageNotice.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QSystemTrayIcon>

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

TNotifierRoute ChooseNotifierRoute(bool serviceAvailable, bool trayAvailable)
{
    if (serviceAvailable)
        return TNotifierRoute::DBus;
    return trayAvailable ? TNotifierRoute::Tray : TNotifierRoute::None;
}

bool IsNotificationServiceAvailable()
{
    // Both questions go to the bus itself; each waits a short time at most,
    // so that a bus that does not answer holds nothing up for long.
    constexpr int TimeoutMs = 1000;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const auto askBus = [&bus](const QString &method, const QVariantList &arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
            QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), method);
        message.setArguments(arguments);
        return bus.call(message, QDBus::Block, TimeoutMs);
    };
    const QString service = TDBusNotifier::Service();
    const QDBusReply<bool> running = askBus(QStringLiteral("NameHasOwner"), {service});
    if (running.isValid() && running.value())
        return true;
    // Most notification services start on their first call, so one that is
    // not running yet counts when the bus knows how to start it.
    const QDBusReply<QStringList> activatable = askBus(QStringLiteral("ListActivatableNames"), {});
    return activatable.isValid() && activatable.value().contains(service);
}

std::unique_ptr<TDesktopNotifier> MakeDesktopNotifier(TNotifierRoute route, QSystemTrayIcon *tray)
{
    switch (route) {
    case TNotifierRoute::DBus:
        return std::make_unique<TDBusNotifier>();
    case TNotifierRoute::Tray:
        if (tray)
            return std::make_unique<TTrayNotifier>(tray);
        return nullptr;
    case TNotifierRoute::None:
        return nullptr;
    }
    return nullptr;
}

std::unique_ptr<TDesktopNotifier> MakeDesktopNotifier(QSystemTrayIcon *tray)
{
    const bool trayAvailable = tray && QSystemTrayIcon::isSystemTrayAvailable();
    return MakeDesktopNotifier(ChooseNotifierRoute(IsNotificationServiceAvailable(), trayAvailable), tray);
}
