// Notifications as the tray icon's message, for a desktop with a tray but no
// notification service on the session bus.
//
// Chosen by MakeDesktopNotifier (DesktopNotifier.h).
#pragma once

#include "DesktopNotifier.h"

#include <QPointer>
#include <QSystemTrayIcon>

class TTrayNotifier : public TDesktopNotifier
{
public:
    // The tray icon stays the caller's.
    explicit TTrayNotifier(QSystemTrayIcon *tray);

    // Shown for this long unless the desktop decides otherwise.
    static constexpr int MessageMilliseconds = 10000;

    void Notify(const QString &title, const QString &text) override;

private:
    QPointer<QSystemTrayIcon> m_Tray;
};
