// The program on the desktop; see DesktopPresence.h.
#include "ui/desktop/DesktopPresence.h"

#include "ui/desktop/DBusNotifier.h"
#include "ui/desktop/DesktopNotifier.h"
#include "ui/desktop/TrayIcon.h"
#include "ui/desktop/TrayNotifier.h"
#include "ui/desktop/TrayProbe.h"
#include "ui/widgets/ProgramIcon.h"
#include "ui/widgets/UiSeams.h"

#include "app/VillageDocument.h"
#include "app/VillageList.h"
#include "app/NextVillageWatch.h"
#include "notify/VillageWatch.h"
#include "record/VillageData.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QSystemTrayIcon>

TNotifierRoute ChooseNotifierRoute(bool serviceAvailable, bool trayAvailable)
{
    if (serviceAvailable)
        return TNotifierRoute::DBus;
    return trayAvailable ? TNotifierRoute::Tray : TNotifierRoute::None;
}

bool IsNotificationServiceAvailable()
{
    // Both questions go to the bus itself; each waits a short time at most,
    // so that a bus that does not answer holds nothing up for long.
    constexpr int TimeoutMs = 1000;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const auto askBus = [&bus](const QString &method, const QVariantList &arguments) {
        QDBusMessage message = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
            QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"), method);
        message.setArguments(arguments);
        return bus.call(message, QDBus::Block, TimeoutMs);
    };
    const QString service = TDBusNotifier::Service();
    const QDBusReply<bool> running = askBus(QStringLiteral("NameHasOwner"), {service});
    if (running.isValid() && running.value())
        return true;
    // Most notification services start on their first call, so one that is
    // not running yet counts when the bus knows how to start it.
    const QDBusReply<QStringList> activatable = askBus(QStringLiteral("ListActivatableNames"), {});
    return activatable.isValid() && activatable.value().contains(service);
}

std::unique_ptr<TDesktopNotifier> MakeDesktopNotifier(TNotifierRoute route, QSystemTrayIcon *tray)
{
    switch (route) {
    case TNotifierRoute::DBus:
        return std::make_unique<TDBusNotifier>();
    case TNotifierRoute::Tray:
        if (tray)
            return std::make_unique<TTrayNotifier>(tray);
        return nullptr;
    case TNotifierRoute::None:
        return nullptr;
    }
    return nullptr;
}

std::unique_ptr<TDesktopNotifier> MakeDesktopNotifier(QSystemTrayIcon *tray)
{
    const bool trayAvailable = tray && QSystemTrayIcon::isSystemTrayAvailable();
    return MakeDesktopNotifier(ChooseNotifierRoute(IsNotificationServiceAvailable(), trayAvailable), tray);
}

TDesktopPresence::TDesktopPresence(TVillageList &villages, QObject *parent)
    : QObject(parent), m_Villages(villages), m_Settings(TNotificationSettings::Load())
{
    for (int i = 0; i < villages.Count(); ++i)
        Watch(villages.At(i));
    connect(&villages, &TVillageList::rowsInserted, this, [this](const QModelIndex &, int first, int last) {
        for (int row = first; row <= last; ++row)
            Watch(m_Villages.At(row));
    });
    TNextVillageWatch &nextVillage = villages.NextVillage();
    nextVillage.SetEnabled(m_Settings.IsKindEnabled(TNotificationKind::NextVillage));
    connect(&nextVillage, &TNextVillageWatch::NextVillageReady, this, &TDesktopPresence::NotifyNextVillage);
}

TDesktopPresence::~TDesktopPresence() = default;

void TDesktopPresence::StartTrayProbe()
{
    auto *probe = new TTrayProbe(QDBusConnection::sessionBus(), TTrayProbe::DefaultTimeoutMs, this);
    m_TrayProbe = probe;
    connect(probe, &TTrayProbe::Finished, this, &TDesktopPresence::TrayProbeFinished);
    probe->Start();
}

void TDesktopPresence::TrayProbeFinished(TTrayServiceState state)
{
    delete m_TrayProbe;
    // A tray service that does not answer counts as no tray; otherwise the
    // toolkit tells, and the icon is made only where there is a tray.
    if (state != TTrayServiceState::Silent && QSystemTrayIcon::isSystemTrayAvailable())
        SetTrayIcon(TTrayIcon::CreateIfAvailable(ProgramIcon()));
}

bool TDesktopPresence::TrayPresent() const
{
    return m_Tray && m_Tray->IsPresent();
}

void TDesktopPresence::SetTrayIcon(std::unique_ptr<TTrayIcon> tray)
{
    delete m_TrayProbe;
    m_Tray = std::move(tray);
    if (m_Tray) {
        connect(m_Tray.get(), &TTrayIcon::PresenceChanged, this, [this](bool present) {
            if (!present)
                emit TrayGone();
        });
    }
    emit TrayIconChanged(m_Tray.get());
}

void TDesktopPresence::SetNotifier(std::unique_ptr<TDesktopNotifier> notifier)
{
    m_Notifier = std::move(notifier);
    m_NotifierChosen = true;
}

void TDesktopPresence::ApplySettings(const TNotificationSettings &settings)
{
    m_Settings = settings;
    for (int i = 0; i < m_Villages.Count(); ++i)
        settings.ApplyTo(m_Villages.At(i)->Watch().Rules());
    m_Villages.NextVillage().SetEnabled(settings.IsKindEnabled(TNotificationKind::NextVillage));
}

void TDesktopPresence::Watch(TVillageDocument *document)
{
    TVillageWatch &watch = document->Watch();
    m_Settings.ApplyTo(watch.Rules());
    const QPointer<TVillageDocument> watched = document;
    connect(&watch, &TVillageWatch::NotificationsReady, this,
            [this, watched](const QList<TNotification> &notifications) {
                if (watched)
                    Send(watched, notifications);
            });
}

void TDesktopPresence::ChooseNotifier()
{
    if (!m_NotifierChosen) {
        // Asking the session bus takes a moment: once, when first needed.
        m_NotifierChosen = true;
        m_Notifier = MakeDesktopNotifier(m_Tray ? m_Tray->SystemTrayIcon() : nullptr);
    }
}

void TDesktopPresence::Send(TVillageDocument *document, const QList<TNotification> &notifications)
{
    ChooseNotifier();
    if (!m_Notifier)
        return;
    // The default action shows this village while it is still open.
    const QPointer<TVillageDocument> shown = document;
    m_Notifier->Send(document->Village().Name, notifications, m_Settings.Sound, [this, shown] {
        if (shown)
            emit VillageActivated(&shown->Village());
    });
}

void TDesktopPresence::NotifyText(TVillageDocument *document, const QString &text)
{
    ChooseNotifier();
    if (!m_Notifier)
        return;
    const QPointer<TVillageDocument> shown = document;
    m_Notifier->Notify(document->Village().Name, text, [this, shown] {
        if (shown)
            emit VillageActivated(&shown->Village());
    });
    if (m_Settings.Sound)
        UiSeams::Beep();
}

void TDesktopPresence::NotifyNextVillage()
{
    ChooseNotifier();
    if (!m_Notifier)
        return;
    // The account's, not a village's: its action shows the program's window.
    m_Notifier->Notify(TNextVillageWatch::NotificationTitle(), TNextVillageWatch::NotificationText(),
                       [this] { emit NextVillageActivated(); });
    if (m_Settings.Sound)
        UiSeams::Beep();
}
