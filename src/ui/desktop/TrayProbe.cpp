// The tray service asked without waiting; see TrayProbe.h.
#include "ui/desktop/TrayProbe.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QMetaObject>

QDebug operator<<(QDebug debug, TTrayServiceState state)
{
    QDebugStateSaver saver(debug);
    switch (state) {
    case TTrayServiceState::NoService:
        return debug.nospace() << "NoService";
    case TTrayServiceState::Answers:
        return debug.nospace() << "Answers";
    case TTrayServiceState::Silent:
        return debug.nospace() << "Silent";
    }
    return debug;
}

TTrayProbe::TTrayProbe(const QDBusConnection &bus, int timeoutMs, QObject *parent)
    : QObject(parent), m_Bus(bus), m_TimeoutMs(timeoutMs)
{
}

QString TTrayProbe::ServiceName()
{
    return QStringLiteral("org.kde.StatusNotifierWatcher");
}

void TTrayProbe::Start()
{
    if (!m_Bus.isConnected()) {
        QMetaObject::invokeMethod(
            this, [this] { emit Finished(TTrayServiceState::NoService); }, Qt::QueuedConnection);
        return;
    }
    // The property the toolkit reads first.
    QDBusMessage get = QDBusMessage::createMethodCall(ServiceName(), QStringLiteral("/StatusNotifierWatcher"),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << ServiceName() << QStringLiteral("IsStatusNotifierHostRegistered");
    auto *watcher = new QDBusPendingCallWatcher(m_Bus.asyncCall(get, m_TimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const QDBusError error = call->error();
        TTrayServiceState state = TTrayServiceState::Answers;
        if (error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout
            || error.type() == QDBusError::TimedOut)
            state = TTrayServiceState::Silent;
        else if (error.type() == QDBusError::ServiceUnknown
                 || error.type() == QDBusError::Disconnected)
            state = TTrayServiceState::NoService;
        emit Finished(state);
    });
}
