// Desktop notifications: the way chosen for a desktop, the D-Bus call that
// would reach the notification service (checked without a bus), what Send
// hands a notifier with and without sound, and the tray icon's menu and
// click.

#include "ui/desktop/DBusNotifier.h"
#include "ui/desktop/DesktopNotifier.h"
#include "ui/desktop/DesktopPresence.h"
#include "ui/desktop/TrayIcon.h"
#include "ui/desktop/TrayNotifier.h"
#include "ui/widgets/UiSeams.h"
#include "ui/UiTestSupport.h"

#include <QAction>
#include <QDBusMessage>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

namespace {

QIcon SomeIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::darkGreen);
    return QIcon(pixmap);
}

} // namespace

class TestDesktopNotifier : public QObject
{
    Q_OBJECT

private slots:
    void route_data();
    void route();
    void dbusCall();
    void dbusDefaultAction_data();
    void dbusDefaultAction();
    void send_data();
    void send();
    void trayMenu();
    void trayClick_data();
    void trayClick();
};

void TestDesktopNotifier::route_data()
{
    QTest::addColumn<bool>("service");
    QTest::addColumn<bool>("tray");
    QTest::addColumn<QString>("made");
    QTest::newRow("service and tray: the service") << true << true << QStringLiteral("dbus");
    QTest::newRow("service, no tray") << true << false << QStringLiteral("dbus");
    QTest::newRow("tray only") << false << true << QStringLiteral("tray");
    QTest::newRow("neither: none") << false << false << QStringLiteral("none");
}

void TestDesktopNotifier::route()
{
    QFETCH(bool, service);
    QFETCH(bool, tray);
    QFETCH(QString, made);
    QSystemTrayIcon icon(SomeIcon());
    const std::unique_ptr<TDesktopNotifier> notifier =
        MakeDesktopNotifier(ChooseNotifierRoute(service, tray), tray ? &icon : nullptr);
    QCOMPARE(dynamic_cast<TDBusNotifier *>(notifier.get()) ? QStringLiteral("dbus")
             : dynamic_cast<TTrayNotifier *>(notifier.get()) ? QStringLiteral("tray")
             : notifier ? QStringLiteral("other") : QStringLiteral("none"), made);
    // A tray route without an icon to show the message gives none.
    QVERIFY(!MakeDesktopNotifier(TNotifierRoute::Tray, nullptr));
}

void TestDesktopNotifier::dbusCall()
{
    QList<QDBusMessage> sent;
    TDBusNotifier notifier([&sent](const QDBusMessage &message) {
        sent.append(message);
        return QDBusPendingCall::fromCompletedCall(message.createReply(QVariant::fromValue(quint32(7))));
    });
    notifier.Notify(QStringLiteral("A & B"), QStringLiteral("<b>Лес</b> & Поле: можно строить Ферма ( 5)"), {});
    QCOMPARE(sent.size(), 1);
    const QDBusMessage &message = sent.constFirst();
    QCOMPARE(message.type(), QDBusMessage::MethodCallMessage);
    QCOMPARE(message.service() + message.path() + u' ' + message.interface() + u'.' + message.member(),
             QStringLiteral("org.freedesktop.Notifications/org/freedesktop/Notifications "
                            "org.freedesktop.Notifications.Notify"));
    // Notify(s app_name, u replaces_id, s app_icon, s summary, s body,
    // as actions, a{sv} hints, i expire_timeout): a wrong type and the
    // service refuses the call.
    const QList<QVariant> arguments = message.arguments();
    const QList<int> types{QMetaType::QString, QMetaType::UInt,        QMetaType::QString,     QMetaType::QString,
                           QMetaType::QString, QMetaType::QStringList, QMetaType::QVariantMap, QMetaType::Int};
    QCOMPARE(arguments.size(), types.size());
    for (qsizetype index = 0; index < arguments.size(); ++index)
        QCOMPARE(arguments[index].typeId(), types[index]);
    const QStringList texts{arguments[0].toString(), arguments[2].toString(), arguments[3].toString(),
                            arguments[4].toString()};
    // The service reads the body as simple markup, the summary as plain text.
    QCOMPARE(texts, QStringList({QStringLiteral("JorLivaronMng"), QStringLiteral("jorlivaronmng"),
                                 QStringLiteral("A & B"),
                                 QStringLiteral("&lt;b&gt;Лес&lt;/b&gt; &amp; Поле: можно строить Ферма ( 5)")}));
    QCOMPARE(arguments[1].toUInt(), 0u);
    // The default action, named for the user.
    QCOMPARE(arguments[5].toStringList(), QStringList({QStringLiteral("default"), QStringLiteral("Показать")}));
    const QVariantMap hints = arguments[6].toMap();
    QCOMPARE(hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("org.jorlivaron.JorLivaronMng"));
    QVERIFY(hints.value(QStringLiteral("category")).toString().startsWith(QStringLiteral("x-jorlivaron.")));
    // The urgency is a byte on the bus: normal.
    QCOMPARE(hints.value(QStringLiteral("urgency")).typeId(), int(QMetaType::UChar));
    QCOMPARE(hints.value(QStringLiteral("urgency")).toInt(), 1);
    QCOMPARE(arguments[7].toInt(), -1);
    // Without an action nothing waits for one.
    QCOMPARE(notifier.PendingActions(), 0);
}

void TestDesktopNotifier::dbusDefaultAction_data()
{
    QTest::addColumn<uint>("id");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("closedBefore");
    QTest::addColumn<int>("runs");
    QTest::newRow("its default action runs it") << 7u << QStringLiteral("default") << false << 1;
    QTest::newRow("another notification's id") << 8u << QStringLiteral("default") << false << 0;
    QTest::newRow("another action") << 7u << QStringLiteral("other") << false << 0;
    QTest::newRow("closed before") << 7u << QStringLiteral("default") << true << 0;
}

void TestDesktopNotifier::dbusDefaultAction()
{
    QFETCH(uint, id);
    QFETCH(QString, action);
    QFETCH(bool, closedBefore);
    QFETCH(int, runs);
    TDBusNotifier notifier([](const QDBusMessage &message) {
        return QDBusPendingCall::fromCompletedCall(message.createReply(QVariant::fromValue(quint32(7))));
    });
    int ran = 0;
    notifier.Notify(QStringLiteral("Северная"), QStringLiteral("Дерево: склад полон"), [&ran] { ++ran; });
    QCOMPARE(notifier.PendingActions(), 1);
    if (closedBefore)
        notifier.NotificationClosed(7, 2);
    notifier.ActionInvoked(id, action);
    QCOMPARE(ran, runs);
}

void TestDesktopNotifier::send_data()
{
    QTest::addColumn<QStringList>("buildings");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<int>("beeps");
    const QStringList two{QStringLiteral("Ферма ( 5)"), QStringLiteral("Склад ( 3)")};
    const QStringList one{QStringLiteral("Северная: Можно строить: Ферма ( 5), Склад ( 3)")};
    QTest::newRow("two, with sound: one notification, one beep") << two << true << one << 1;
    QTest::newRow("two, no sound") << two << false << one << 0;
    QTest::newRow("none, with sound: silence") << QStringList() << true << QStringList() << 0;
}

void TestDesktopNotifier::send()
{
    QFETCH(QStringList, buildings);
    QFETCH(bool, sound);
    QFETCH(QStringList, sent);
    QFETCH(int, beeps);
    int beeped = 0;
    const UiSeams::TBeepHandler previous = UiSeams::SetBeepHandler([&beeped] { ++beeped; });
    QList<TNotification> notifications;
    for (const QString &building : buildings)
        notifications.append({TNotificationKind::Affordable, building});
    TRecordedNotifications recorded;
    TRecordingNotifier notifier(recorded, true);
    int shown = 0;
    notifier.Send(QStringLiteral("Северная"), notifications, sound, [&shown] { ++shown; });
    UiSeams::SetBeepHandler(previous);
    QCOMPARE(recorded.Sent, sent);
    QCOMPARE(beeped, beeps);
    // The action given goes with the notification.
    QCOMPARE(shown, int(sent.size()));
}

void TestDesktopNotifier::trayMenu()
{
    TTrayIcon tray(SomeIcon());
    QCOMPARE(tray.SystemTrayIcon()->contextMenu(), tray.Menu());
    QList<QAction *> items = tray.Menu()->actions();
    items.removeIf([](const QAction *action) { return action->isSeparator(); });
    QCOMPARE(items, QList<QAction *>({tray.pmiShowWindow, tray.pmiAllVillages, tray.pmiExit}));
    QCOMPARE(tray.pmiAllVillages->text(), QStringLiteral("Все деревни"));
}

void TestDesktopNotifier::trayClick_data()
{
    QTest::addColumn<QSystemTrayIcon::ActivationReason>("reason");
    QTest::addColumn<int>("shown");
    QTest::newRow("click") << QSystemTrayIcon::Trigger << 1;
    QTest::newRow("double click") << QSystemTrayIcon::DoubleClick << 1;
    QTest::newRow("middle click") << QSystemTrayIcon::MiddleClick << 0;
    QTest::newRow("context menu") << QSystemTrayIcon::Context << 0;
}

void TestDesktopNotifier::trayClick()
{
    QFETCH(QSystemTrayIcon::ActivationReason, reason);
    QFETCH(int, shown);
    TTrayIcon tray(SomeIcon());
    QSignalSpy showSpy(tray.pmiShowWindow, &QAction::triggered);
    QSignalSpy otherSpy(tray.pmiExit, &QAction::triggered);
    emit tray.SystemTrayIcon()->activated(reason);
    QCOMPARE(showSpy.size(), shown);
    QCOMPARE(otherSpy.size(), 0);
}

QTEST_MAIN(TestDesktopNotifier)
#include "tst_desktopnotifier.moc"
