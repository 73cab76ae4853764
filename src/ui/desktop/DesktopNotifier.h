// How the program's notifications reach the desktop: an interface with one
// operation, Notify(title, text, activated), and the choice of the way that
// this desktop offers: the notification service on the session bus
// (org.freedesktop.Notifications) where it is there, else the tray icon's
// message where a tray exists, else none. Send passes the notifications of
// one village's tick on as one notification (TVillageNotice: the village in
// the title), with the optional sound (UiSeams::Beep); its default action
// ("Показать", or a click on the tray's message) runs `activated`.
//
// The main window holds one notifier and feeds it what the villages'
// notification rules return; tests inject a recording notifier instead.
#pragma once

#include "notify/NotificationRules.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QSystemTrayIcon;

enum class TNotifierRoute { DBus, Tray, None };

QDebug operator<<(QDebug debug, TNotifierRoute route);

class TDesktopNotifier
{
public:
    // What the notification's default action does.
    using TActivation = std::function<void()>;

    virtual ~TDesktopNotifier() = default;

    virtual void Notify(const QString &title, const QString &text, TActivation activated) = 0;

    // The notifications of one tick of one village as one notification
    // under the village's name; a sound with it when `sound` is on. Nothing
    // when there are none.
    void Send(const QString &village, const QList<TNotification> &notifications, bool sound,
              TActivation activated);

    // The caption of the default action.
    static QString ShowActionText();
    // The program's name, which the tray shows as its tooltip.
    static QString NotificationTitle();
};

// The service first, then the tray, then nothing.
TNotifierRoute ChooseNotifierRoute(bool serviceAvailable, bool trayAvailable);

// Whether the desktop's notification service runs on the session bus or can
// be started there. Asks the bus (a short blocking call): once at start-up.
bool IsNotificationServiceAvailable();

// The notifier for a route: null for None, and for Tray without a tray icon.
// The tray icon must outlive the notifier.
std::unique_ptr<TDesktopNotifier> MakeDesktopNotifier(TNotifierRoute route, QSystemTrayIcon *tray);

// The notifier this desktop offers, with the program's tray icon if it has
// one (null where there is no tray).
std::unique_ptr<TDesktopNotifier> MakeDesktopNotifier(QSystemTrayIcon *tray);
