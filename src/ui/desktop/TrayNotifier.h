// Notifications as the tray icon's message, for a desktop with a tray but no
// notification service on the session bus.
//
// Chosen by MakeDesktopNotifier (DesktopNotifier.h).
#pragma once

#include "ui/desktop/DesktopNotifier.h"

#include <QPointer>
#include <QSystemTrayIcon>

class TTrayNotifier : public TDesktopNotifier
{
public:
    // The tray icon stays the caller's.
    explicit TTrayNotifier(QSystemTrayIcon *tray);
    ~TTrayNotifier() override;

    // Shown for this long unless the desktop decides otherwise.
    static constexpr int MessageMilliseconds = 10000;

    // A click on the message runs `activated`.
    void Notify(const QString &title, const QString &text, TActivation activated) override;

private:
    void TrayMessageClicked();

    QPointer<QSystemTrayIcon> m_Tray;
    // The action of the message shown last: the tray shows one at a time.
    TActivation m_Activated;
    QMetaObject::Connection m_Clicked;
};
