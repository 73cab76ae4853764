// Notifications through the desktop's notification service on the session
// bus: the method Notify of org.freedesktop.Notifications, with the default
// action "Показать" and the hints category, urgency and desktop-entry. The
// service answers with the notification's id; when the user chooses the
// default action, the service's signal ActionInvoked(id, "default") runs the
// action given with that notification, which the main window uses to show
// the village. The message is built apart (MakeNotifyMessage) and handed to a
// sender, the session bus unless one is given, so that tests see what would
// be sent and answer it without a bus.
//
// Chosen by MakeDesktopNotifier (DesktopNotifier.h) where the service exists.
#pragma once

#include "ui/desktop/DesktopNotifier.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QHash>
#include <QObject>

#include <functional>

class TDBusNotifier : public QObject, public TDesktopNotifier
{
    Q_OBJECT

public:
    using TSender = std::function<QDBusPendingCall(const QDBusMessage &message)>;

    // An empty sender sends on the session bus and listens there for the
    // service's signals.
    explicit TDBusNotifier(TSender sender = {});

    void Notify(const QString &title, const QString &text, TActivation activated) override;

    static QString Service();

    // The call Notify(app_name, replaces_id, app_icon, summary, body,
    // actions, hints, expire_timeout), with the program's name and icon, the
    // default action "Показать", the hints category, urgency (normal) and
    // desktop-entry, and the service's own timeout. The text is escaped,
    // since services read the body as simple markup.
    static QDBusMessage MakeNotifyMessage(const QString &title, const QString &text);

    // How many notifications still wait for their action.
    int PendingActions() const { return int(m_Actions.size()); }

public slots:
    // The service's signals (connected by name: Qt D-Bus offers no other way).
    void ActionInvoked(uint id, const QString &actionKey);
    void NotificationClosed(uint id, uint reason);

private:
    void NotifyAnswered(QDBusPendingCallWatcher *watcher, const TActivation &activated);

    TSender m_Sender;
    QHash<uint, TActivation> m_Actions;
};
