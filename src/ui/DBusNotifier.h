// Notifications through the desktop's notification service on the session
// bus: the method Notify of org.freedesktop.Notifications, sent without
// waiting for its answer. The message is built apart (MakeNotifyMessage) and
// handed to a sender, the session bus unless one is given, so that tests see
// what would be sent without a bus.
//
// Chosen by MakeDesktopNotifier (DesktopNotifier.h) where the service exists.
#pragma once

#include "DesktopNotifier.h"

#include <QDBusMessage>

#include <functional>

class TDBusNotifier : public TDesktopNotifier
{
public:
    using TSender = std::function<void(const QDBusMessage &message)>;

    // An empty sender sends on the session bus.
    explicit TDBusNotifier(TSender sender = {});

    void Notify(const QString &title, const QString &text) override;

    static QString Service();

    // The call Notify(app_name, replaces_id, app_icon, summary, body,
    // actions, hints, expire_timeout), with the program's name and icon, no
    // actions, the menu entry as hint and the service's own timeout. The
    // text is escaped, since services read the body as simple markup.
    static QDBusMessage MakeNotifyMessage(const QString &title, const QString &text);

private:
    TSender m_Sender;
};
