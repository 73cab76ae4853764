// Notifications as tray messages; see TrayNotifier.h.
#include "ui/desktop/TrayNotifier.h"

TTrayNotifier::TTrayNotifier(QSystemTrayIcon *tray)
    : m_Tray(tray)
{
    if (m_Tray)
        m_Clicked = QObject::connect(m_Tray, &QSystemTrayIcon::messageClicked, m_Tray,
                                     [this] { TrayMessageClicked(); });
}

TTrayNotifier::~TTrayNotifier()
{
    QObject::disconnect(m_Clicked);
}

void TTrayNotifier::Notify(const QString &title, const QString &text, TActivation activated)
{
    // A message needs the icon shown; a tray icon that went sends nothing.
    if (m_Tray && m_Tray->isVisible()) {
        m_Activated = std::move(activated);
        m_Tray->showMessage(title, text, m_Tray->icon(), MessageMilliseconds);
    }
}

void TTrayNotifier::TrayMessageClicked()
{
    if (m_Activated)
        m_Activated();
}
