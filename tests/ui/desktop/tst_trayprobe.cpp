// The tray check never waits on the bus: a tray service that is there but
// never answers is taken as no tray within the probe's short time, one that
// answers and a bus without one let the toolkit be asked. Runs against a
// private session bus of its own.
#include "ui/desktop/TrayProbe.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

namespace {

// The tray service's object: answers the property, or takes every call and
// never answers.
class TFakeWatcher : public QDBusVirtualObject
{
public:
    explicit TFakeWatcher(bool answers) : m_Answers(answers) {}

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (m_Answers)
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(true))));
        return true;
    }
    QString introspect(const QString &) const override { return {}; }

private:
    bool m_Answers;
};

} // namespace

class TestTrayProbe : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void probe_data();
    void probe();

private:
    QProcess m_Bus;
    QString m_Address;
};

void TestTrayProbe::initTestCase()
{
    m_Bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                 QStringLiteral("--print-address=1")});
    QVERIFY2(m_Bus.waitForStarted(), "dbus-daemon is needed (package dbus-daemon)");
    QTRY_VERIFY(m_Bus.canReadLine());
    m_Address = QString::fromUtf8(m_Bus.readLine()).trimmed();
    QVERIFY(!m_Address.isEmpty());
}

void TestTrayProbe::cleanupTestCase()
{
    m_Bus.kill();
    m_Bus.waitForFinished();
}

void TestTrayProbe::probe_data()
{
    QTest::addColumn<QString>("service"); // "", "answers", "silent"
    QTest::addColumn<TTrayServiceState>("state");

    QTest::newRow("no tray service") << QString() << TTrayServiceState::NoService;
    QTest::newRow("tray service answers") << QStringLiteral("answers") << TTrayServiceState::Answers;
    QTest::newRow("tray service never answers") << QStringLiteral("silent") << TTrayServiceState::Silent;
}

void TestTrayProbe::probe()
{
    QFETCH(QString, service);
    QFETCH(TTrayServiceState, state);

    const QString serviceConnection = QStringLiteral("service-") + QString::fromLatin1(QTest::currentDataTag());
    QDBusConnection serviceBus = QDBusConnection::connectToBus(m_Address, serviceConnection);
    QVERIFY(serviceBus.isConnected());
    TFakeWatcher watcher(service == QLatin1String("answers"));
    if (!service.isEmpty()) {
        QVERIFY(serviceBus.registerService(TTrayProbe::ServiceName()));
        QVERIFY(serviceBus.registerVirtualObject(QStringLiteral("/StatusNotifierWatcher"), &watcher));
    }

    const QString clientConnection = QStringLiteral("client-") + QString::fromLatin1(QTest::currentDataTag());
    QDBusConnection clientBus = QDBusConnection::connectToBus(m_Address, clientConnection);
    QVERIFY(clientBus.isConnected());
    TTrayProbe probe(clientBus, 300);
    QSignalSpy finished(&probe, &TTrayProbe::Finished);
    QElapsedTimer timer;
    timer.start();
    probe.Start();
    QVERIFY(finished.wait(5000));
    // Far below the bus's own 25 seconds.
    QVERIFY(timer.elapsed() < 3000);
    QCOMPARE(finished.constFirst().constFirst().value<TTrayServiceState>(), state);

    if (!service.isEmpty()) {
        serviceBus.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
        serviceBus.unregisterService(TTrayProbe::ServiceName());
    }
    QDBusConnection::disconnectFromBus(clientConnection);
    QDBusConnection::disconnectFromBus(serviceConnection);
}

QTEST_MAIN(TestTrayProbe)
#include "tst_trayprobe.moc"
