// The tray icon and its menu; see TrayIcon.h.
#include "ui/desktop/TrayIcon.h"

#include "ui/desktop/DesktopNotifier.h"
#include "ui/desktop/TrayProbe.h"

#include <QAction>
#include <QDBusServiceWatcher>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

QAction *NewAction(QMenu *menu, const QString &name, const QString &text)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(name);
    return action;
}

} // namespace

TTrayIcon::TTrayIcon(const QIcon &icon, QObject *parent)
    : QObject(parent)
    , PopupTray(std::make_unique<QMenu>())
{
    setObjectName(QStringLiteral("TrayIcon"));
    PopupTray->setObjectName(QStringLiteral("PopupTray"));
    pmiShowWindow = NewAction(PopupTray.get(), QStringLiteral("pmiShowWindow"), QStringLiteral("Показать окно"));
    pmiAllVillages = NewAction(PopupTray.get(), QStringLiteral("pmiAllVillages"), QStringLiteral("Все деревни"));
    PopupTray->addSeparator();
    pmiExit = NewAction(PopupTray.get(), QStringLiteral("pmiExit"), QStringLiteral("Выход"));
    PopupTray->setDefaultAction(pmiShowWindow);

    m_Tray = new QSystemTrayIcon(icon, this);
    m_Tray->setObjectName(QStringLiteral("SystemTrayIcon"));
    m_Tray->setToolTip(TDesktopNotifier::NotificationTitle());
    m_Tray->setContextMenu(PopupTray.get());
    connect(m_Tray, &QSystemTrayIcon::activated, this, &TTrayIcon::TrayActivated);
    // Without a tray there is nothing to show it in.
    if (QSystemTrayIcon::isSystemTrayAvailable())
        m_Tray->show();

    // The desktop's tray service leaving the bus takes the tray with it (a
    // panel that crashed or was removed); it may come back.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        auto *watcher = new QDBusServiceWatcher(TTrayProbe::ServiceName(), bus,
            QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
        connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] { SetPresent(false); });
        connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] { SetPresent(true); });
    }
    // A tray of another kind leaving (an X11 tray program killed) says
    // nothing: a look each second finds it gone within the second.
    m_Available = QSystemTrayIcon::isSystemTrayAvailable();
    auto *look = new QTimer(this);
    look->setInterval(1000);
    connect(look, &QTimer::timeout, this, [this] {
        const bool available = QSystemTrayIcon::isSystemTrayAvailable();
        if (available == m_Available)
            return;
        m_Available = available;
        SetPresent(available);
    });
    look->start();
}

void TTrayIcon::SetPresent(bool present)
{
    if (present == m_Present)
        return;
    m_Present = present;
    emit PresenceChanged(present);
}

TTrayIcon::~TTrayIcon()
{
    // The icon goes before the menu it refers to.
    delete m_Tray;
    m_Tray = nullptr;
}

std::unique_ptr<TTrayIcon> TTrayIcon::CreateIfAvailable(const QIcon &icon)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return nullptr;
    return std::make_unique<TTrayIcon>(icon);
}

void TTrayIcon::TrayActivated(QSystemTrayIcon::ActivationReason reason)
{
    // A click or a double click shows the window; the context menu opens by
    // itself, and a middle click does nothing.
    if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
        pmiShowWindow->trigger();
}
