// Notifications on the session bus; see DBusNotifier.h.
#include "DBusNotifier.h"

#include <QDBusConnection>
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

// The service decides how long a notification stays.
constexpr qint32 ServiceTimeout = -1;

} // namespace

TDBusNotifier::TDBusNotifier(TSender sender)
    : m_Sender(std::move(sender))
{
    if (!m_Sender)
        m_Sender = [](const QDBusMessage &message) { QDBusConnection::sessionBus().send(message); };
}

void TDBusNotifier::Notify(const QString &title, const QString &text)
{
    m_Sender(MakeNotifyMessage(title, text));
}

QString TDBusNotifier::Service()
{
    return ServiceName;
}

QDBusMessage TDBusNotifier::MakeNotifyMessage(const QString &title, const QString &text)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(ServiceName, ObjectPath, ServiceName, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), DesktopEntry}};
    message << ApplicationName << quint32(0) << IconName << title << text.toHtmlEscaped() << QStringList()
            << hints << ServiceTimeout;
    return message;
}
