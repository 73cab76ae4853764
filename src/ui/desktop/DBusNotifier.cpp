// Notifications on the session bus; see DBusNotifier.h.
#include "ui/desktop/DBusNotifier.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString ServiceName = QStringLiteral("org.freedesktop.Notifications");
const QString ObjectPath = QStringLiteral("/org/freedesktop/Notifications");

// The names under which the program is installed: its executable, its icon
// and its menu entry (packaging/).
const QString ApplicationName = QStringLiteral("JorLivaronMng");
const QString IconName = QStringLiteral("jorlivaronmng");
const QString DesktopEntry = QStringLiteral("org.jorlivaron.JorLivaronMng");

// The action a click on the notification itself invokes.
const QString DefaultAction = QStringLiteral("default");
// The desktop's standard notification categories know nothing like it: a
// category of our own.
const QString Category = QStringLiteral("x-jorlivaron.village");
// Low 0, normal 1, critical 2. Nothing the program tells is critical: no
// notification says that a stock runs out.
constexpr uchar NormalUrgency = 1;

// The service decides how long a notification stays.
constexpr qint32 ServiceTimeout = -1;

// A service forgets what it closed without telling in some cases: a bound
// on the actions kept, the oldest going first.
constexpr int MaxPendingActions = 200;

} // namespace

TDBusNotifier::TDBusNotifier(TSender sender)
    : m_Sender(std::move(sender))
{
    if (!m_Sender) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        m_Sender = [](const QDBusMessage &message) { return QDBusConnection::sessionBus().asyncCall(message); };
        bus.connect(ServiceName, ObjectPath, ServiceName, QStringLiteral("ActionInvoked"), this,
                    SLOT(ActionInvoked(uint, QString)));
        bus.connect(ServiceName, ObjectPath, ServiceName, QStringLiteral("NotificationClosed"), this,
                    SLOT(NotificationClosed(uint, uint)));
    }
}

void TDBusNotifier::Notify(const QString &title, const QString &text, TActivation activated)
{
    auto *watcher = new QDBusPendingCallWatcher(m_Sender(MakeNotifyMessage(title, text)), this);
    // An answer that came already (a test's) is handled at once.
    if (watcher->isFinished()) {
        NotifyAnswered(watcher, activated);
        return;
    }
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, activated](QDBusPendingCallWatcher *finished) { NotifyAnswered(finished, activated); });
}

void TDBusNotifier::NotifyAnswered(QDBusPendingCallWatcher *watcher, const TActivation &activated)
{
    // The answer is the notification's id (u).
    const QDBusMessage reply = watcher->reply();
    watcher->deleteLater();
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty() || !activated)
        return;
    if (m_Actions.size() >= MaxPendingActions)
        m_Actions.erase(m_Actions.begin());
    m_Actions.insert(reply.arguments().constFirst().toUInt(), activated);
}

void TDBusNotifier::ActionInvoked(uint id, const QString &actionKey)
{
    const auto action = m_Actions.constFind(id);
    if (action == m_Actions.constEnd() || actionKey != DefaultAction)
        return;
    // A copy: the action may take this notifier's state along.
    const TActivation activated = *action;
    activated();
}

void TDBusNotifier::NotificationClosed(uint id, uint /*reason*/)
{
    m_Actions.remove(id);
}

QString TDBusNotifier::Service()
{
    return ServiceName;
}

QDBusMessage TDBusNotifier::MakeNotifyMessage(const QString &title, const QString &text)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(ServiceName, ObjectPath, ServiceName, QStringLiteral("Notify"));
    const QStringList actions{DefaultAction, ShowActionText()};
    const QVariantMap hints{{QStringLiteral("desktop-entry"), DesktopEntry},
                            {QStringLiteral("category"), Category},
                            {QStringLiteral("urgency"), QVariant::fromValue(NormalUrgency)}};
    message << ApplicationName << quint32(0) << IconName << title << text.toHtmlEscaped() << actions << hints
            << ServiceTimeout;
    return message;
}
