// How the program's notifications reach the desktop: an interface with one
// operation, Notify(title, text, activated), implemented by the desktop's
// notification service (DBusNotifier) and the tray's message (TrayNotifier);
// DesktopPresence chooses the one this desktop offers. Send passes the
// notifications of one village's tick on as one notification
// (TVillageNotice: the village in the title), with the optional sound
// (UiSeams::Beep); its default action ("Показать", or a click on the tray's
// message) runs `activated`. Tests inject a recording notifier.
#pragma once

#include "notify/NotificationRules.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

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
