// The program on the desktop: the tray icon (made when the probe of the
// session bus has answered, so that the window never waits for it), the way
// notifications leave the program (the desktop's notification service, else
// the tray's message, else none; chosen on the first notification), the
// notifications of every open village (shown or not) and of the next
// village, and the player's notification settings applied to each watch. It
// follows the village list; the main window connects the tray's menu and
// shows a village when a notification's action asks for it.
#pragma once

#include "notify/NotificationRules.h"
#include "notify/NotificationSettings.h"

#include <QObject>
#include <QPointer>

#include <memory>

class QSystemTrayIcon;
class TDesktopNotifier;
class TTrayIcon;
class TTrayProbe;
enum class TTrayServiceState;
enum class TNotifierRoute;
class TVillageData;
class TVillageDocument;
class TVillageList;

// The service first, then the tray, then nothing.
TNotifierRoute ChooseNotifierRoute(bool serviceAvailable, bool trayAvailable);
// Whether the desktop's notification service runs on the session bus or can
// be started there: a short blocking call, made once.
bool IsNotificationServiceAvailable();
// The notifier for a route: null for None, and for Tray without a tray icon,
// which must outlive the notifier.
std::unique_ptr<TDesktopNotifier> MakeDesktopNotifier(TNotifierRoute route, QSystemTrayIcon *tray);
// The route this desktop offers.
std::unique_ptr<TDesktopNotifier> MakeDesktopNotifier(QSystemTrayIcon *tray);

class TDesktopPresence : public QObject
{
    Q_OBJECT

public:
    explicit TDesktopPresence(TVillageList &villages, QObject *parent = nullptr);
    ~TDesktopPresence() override;

    // Asks the session bus for the tray; the icon comes when it answers.
    void StartTrayProbe();
    // A tray given here wins over the one the probe would make.
    void SetTrayIcon(std::unique_ptr<TTrayIcon> tray);
    TTrayIcon *TrayIcon() const { return m_Tray.get(); }
    // Whether there is a tray to hide the window to.
    bool TrayPresent() const;

    // Tests record the notifications instead.
    void SetNotifier(std::unique_ptr<TDesktopNotifier> notifier);

    const TNotificationSettings &Settings() const { return m_Settings; }
    void ApplySettings(const TNotificationSettings &settings);

    // One notification of a village outside its rules (a page imported
    // from the clipboard).
    void NotifyText(TVillageDocument *document, const QString &text);

signals:
    void TrayIconChanged(TTrayIcon *tray);
    // The tray has gone: a window hidden to it needs showing.
    void TrayGone();
    // A notification's default action, while its village is open.
    void VillageActivated(const TVillageData *village);
    // The next village's notification's default action.
    void NextVillageActivated();

private:
    void TrayProbeFinished(TTrayServiceState state);
    void Watch(TVillageDocument *document);
    void Send(TVillageDocument *document, const QList<TNotification> &notifications);
    void ChooseNotifier();
    // The next village can be founded: told through the notifier.
    void NotifyNextVillage();

    TVillageList &m_Villages;
    TNotificationSettings m_Settings;
    // The tray goes after the notifier that may show its messages.
    std::unique_ptr<TTrayIcon> m_Tray;
    QPointer<TTrayProbe> m_TrayProbe;
    std::unique_ptr<TDesktopNotifier> m_Notifier;
    bool m_NotifierChosen = false;
};
