// Notifications as tray messages; see TrayNotifier.h.
#include "TrayNotifier.h"

TTrayNotifier::TTrayNotifier(QSystemTrayIcon *tray)
    : m_Tray(tray)
{
}

void TTrayNotifier::Notify(const QString &title, const QString &text)
{
    // A message needs the icon shown; a tray icon that went sends nothing.
    if (m_Tray && m_Tray->isVisible())
        m_Tray->showMessage(title, text, m_Tray->icon(), MessageMilliseconds);
}
