// The program's icon in the desktop's tray while it runs, with its menu:
// show the window, "Все деревни", quit. A click on the icon shows the window
// too. The menu's actions only trigger; the main window connects them.
//
// Created by the main window through CreateIfAvailable, so that a desktop
// without a tray gets none and the program works as before.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>

#include <memory>

class QAction;
class QIcon;
class QMenu;

class TTrayIcon : public QObject
{
    Q_OBJECT

public:
    // Builds the icon and its menu, and shows it where a tray exists.
    explicit TTrayIcon(const QIcon &icon, QObject *parent = nullptr);
    ~TTrayIcon() override;

    // A shown tray icon, or null where the desktop has no tray.
    static std::unique_ptr<TTrayIcon> CreateIfAvailable(const QIcon &icon);

    QSystemTrayIcon *SystemTrayIcon() const { return m_Tray; }
    QMenu *Menu() const { return PopupTray.get(); }

    // Whether the desktop's tray is there. It is when the icon is made; the
    // icon follows the desktop's tray service on the session bus at once,
    // and any tray (an X11 system tray too) by a look each second, and the
    // main window hides to the tray only while it is there.
    bool IsPresent() const { return m_Present; }
    // Announces a change.
    void SetPresent(bool present);

    QAction *pmiShowWindow = nullptr;
    QAction *pmiAllVillages = nullptr;
    QAction *pmiExit = nullptr;

signals:
    void PresenceChanged(bool present);

private slots:
    void TrayActivated(QSystemTrayIcon::ActivationReason reason);

private:
    // The menu has no parent widget; the icon holds it and frees it.
    std::unique_ptr<QMenu> PopupTray;
    QSystemTrayIcon *m_Tray = nullptr;
    bool m_Present = true;
    // What the last look found.
    bool m_Available = false;
};
