// Whether the toolkit may be asked if the desktop has a tray, found out
// without waiting on the session bus. The toolkit's own check asks the
// desktop's tray service (org.kde.StatusNotifierWatcher) and waits for the
// bus's full timeout when that service is there but never answers; the probe
// asks the service first, asynchronously and for a short time only. The main
// window starts it when it is made and makes the tray icon when it answers,
// so the window shows at once whatever the bus does.
#pragma once

#include <QDBusConnection>
#include <QDebug>
#include <QObject>

enum class TTrayServiceState {
    NoService, // no session bus, or no tray service on it: the toolkit answers at once
    Answers,   // the tray service answered: the toolkit may ask it
    Silent     // the tray service did not answer in time: take it as no tray
};

QDebug operator<<(QDebug debug, TTrayServiceState state);

class TTrayProbe : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultTimeoutMs = 1000;

    explicit TTrayProbe(const QDBusConnection &bus = QDBusConnection::sessionBus(),
                        int timeoutMs = DefaultTimeoutMs, QObject *parent = nullptr);

    // Asks; Finished follows once, never from inside this call.
    void Start();

    static QString ServiceName();

signals:
    void Finished(TTrayServiceState state);

private:
    QDBusConnection m_Bus;
    int m_TimeoutMs;
};
