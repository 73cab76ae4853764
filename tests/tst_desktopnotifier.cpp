// Desktop notifications: the route chosen for a desktop, the D-Bus call that
// would reach the notification service (checked without a bus), what Send
// hands a notifier with and without sound, and the tray icon's menu and
// click.

#include "ui/DBusNotifier.h"
#include "ui/DesktopNotifier.h"
#include "ui/TrayIcon.h"
#include "ui/TrayNotifier.h"
#include "ui/UiSeams.h"

#include <QAction>
#include <QDBusMessage>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

namespace {

// Records what would reach the desktop.
class TRecordingNotifier : public TDesktopNotifier
{
public:
    QList<QPair<QString, QString>> Sent;

    void Notify(const QString &title, const QString &text) override { Sent.append({title, text}); }
};

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
    void chooseRoute_data();
    void chooseRoute();
    void makeNotifier_data();
    void makeNotifier();
    void dbusCall();
    void dbusBody_data();
    void dbusBody();
    void send_data();
    void send();
    void trayMenu();
    void trayClick_data();
    void trayClick();
    void trayOnlyWhereAvailable();
};

void TestDesktopNotifier::chooseRoute_data()
{
    QTest::addColumn<bool>("service");
    QTest::addColumn<bool>("tray");
    QTest::addColumn<TNotifierRoute>("route");
    QTest::newRow("service and tray: the service") << true << true << TNotifierRoute::DBus;
    QTest::newRow("service only") << true << false << TNotifierRoute::DBus;
    QTest::newRow("tray only") << false << true << TNotifierRoute::Tray;
    QTest::newRow("neither") << false << false << TNotifierRoute::None;
}

void TestDesktopNotifier::chooseRoute()
{
    QFETCH(bool, service);
    QFETCH(bool, tray);
    QFETCH(TNotifierRoute, route);
    QCOMPARE(ChooseNotifierRoute(service, tray), route);
}

void TestDesktopNotifier::makeNotifier_data()
{
    QTest::addColumn<TNotifierRoute>("route");
    QTest::addColumn<bool>("withTray");
    QTest::addColumn<QString>("kind");
    QTest::newRow("service") << TNotifierRoute::DBus << false << QStringLiteral("dbus");
    QTest::newRow("service, tray too") << TNotifierRoute::DBus << true << QStringLiteral("dbus");
    QTest::newRow("tray") << TNotifierRoute::Tray << true << QStringLiteral("tray");
    QTest::newRow("tray route without an icon") << TNotifierRoute::Tray << false << QStringLiteral("none");
    QTest::newRow("none") << TNotifierRoute::None << true << QStringLiteral("none");
}

void TestDesktopNotifier::makeNotifier()
{
    QFETCH(TNotifierRoute, route);
    QFETCH(bool, withTray);
    QFETCH(QString, kind);
    QSystemTrayIcon tray(SomeIcon());
    const std::unique_ptr<TDesktopNotifier> notifier = MakeDesktopNotifier(route, withTray ? &tray : nullptr);
    const QString made = dynamic_cast<TDBusNotifier *>(notifier.get())   ? QStringLiteral("dbus")
                         : dynamic_cast<TTrayNotifier *>(notifier.get()) ? QStringLiteral("tray")
                         : notifier                                      ? QStringLiteral("other")
                                                                         : QStringLiteral("none");
    QCOMPARE(made, kind);
}

void TestDesktopNotifier::dbusCall()
{
    QList<QDBusMessage> sent;
    TDBusNotifier notifier([&sent](const QDBusMessage &message) { sent.append(message); });
    notifier.Notify(QStringLiteral("JorLivaronMng"), QStringLiteral("Северная: можно строить Ферма ( 5)"));
    QCOMPARE(sent.size(), 1);
    const QDBusMessage &message = sent.constFirst();
    QCOMPARE(message.type(), QDBusMessage::MethodCallMessage);
    QCOMPARE(message.service(), QStringLiteral("org.freedesktop.Notifications"));
    QCOMPARE(message.path(), QStringLiteral("/org/freedesktop/Notifications"));
    QCOMPARE(message.interface(), QStringLiteral("org.freedesktop.Notifications"));
    QCOMPARE(message.member(), QStringLiteral("Notify"));

    // Notify(s app_name, u replaces_id, s app_icon, s summary, s body,
    // as actions, a{sv} hints, i expire_timeout): the types decide whether
    // the service accepts the call at all.
    const QList<QVariant> arguments = message.arguments();
    QCOMPARE(arguments.size(), 8);
    const QList<int> types{QMetaType::QString,     QMetaType::UInt,        QMetaType::QString,
                           QMetaType::QString,     QMetaType::QString,     QMetaType::QStringList,
                           QMetaType::QVariantMap, QMetaType::Int};
    for (qsizetype index = 0; index < arguments.size(); ++index)
        QCOMPARE(arguments[index].typeId(), types[index]);
    QCOMPARE(arguments[0].toString(), QStringLiteral("JorLivaronMng"));
    QCOMPARE(arguments[1].toUInt(), 0u);
    QCOMPARE(arguments[2].toString(), QStringLiteral("jorlivaronmng"));
    QCOMPARE(arguments[3].toString(), QStringLiteral("JorLivaronMng"));
    QCOMPARE(arguments[4].toString(), QStringLiteral("Северная: можно строить Ферма ( 5)"));
    QVERIFY(arguments[5].toStringList().isEmpty());
    QCOMPARE(arguments[6].toMap().value(QStringLiteral("desktop-entry")).toString(),
             QStringLiteral("org.jorlivaron.JorLivaronMng"));
    QCOMPARE(arguments[7].toInt(), -1);
}

void TestDesktopNotifier::dbusBody_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("body");
    QTest::newRow("plain") << QStringLiteral("Южная: амбар полон — Зерно")
                           << QStringLiteral("Южная: амбар полон — Зерно");
    QTest::newRow("ampersand") << QStringLiteral("Лес & Поле: склад полон — Дерево")
                               << QStringLiteral("Лес &amp; Поле: склад полон — Дерево");
    QTest::newRow("angle brackets as a tag") << QStringLiteral("<b>Север</b>: можно строить Ферма ( 5)")
                                             << QStringLiteral("&lt;b&gt;Север&lt;/b&gt;: можно строить Ферма ( 5)");
    QTest::newRow("quote") << QStringLiteral("\"Ю\": можно строить Ферма ( 5)")
                           << QStringLiteral("&quot;Ю&quot;: можно строить Ферма ( 5)");
}

void TestDesktopNotifier::dbusBody()
{
    QFETCH(QString, text);
    QFETCH(QString, body);
    const QDBusMessage message = TDBusNotifier::MakeNotifyMessage(QStringLiteral("JorLivaronMng"), text);
    QCOMPARE(message.arguments().value(4).toString(), body);
    // The summary is shown as it is.
    QCOMPARE(message.arguments().value(3).toString(), QStringLiteral("JorLivaronMng"));
}

void TestDesktopNotifier::send_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<int>("beeps");
    const QStringList two{QStringLiteral("Северная: строительство завершено — Ферма ( 5)"),
                          QStringLiteral("Южная: можно строить Склад ( 3)")};
    QTest::newRow("two, with sound: one beep") << two << true << 1;
    QTest::newRow("two, no sound") << two << false << 0;
    QTest::newRow("one, with sound") << two.mid(0, 1) << true << 1;
    QTest::newRow("none, with sound: silence") << QStringList() << true << 0;
}

void TestDesktopNotifier::send()
{
    QFETCH(QStringList, texts);
    QFETCH(bool, sound);
    QFETCH(int, beeps);
    int beeped = 0;
    const UiSeams::TBeepHandler previous = UiSeams::SetBeepHandler([&beeped] { ++beeped; });
    QList<TNotification> notifications;
    for (const QString &text : texts)
        notifications.append({TNotificationKind::Affordable, text});
    TRecordingNotifier notifier;
    notifier.Send(notifications, sound);
    UiSeams::SetBeepHandler(previous);

    QStringList sentTexts;
    for (const auto &[title, text] : notifier.Sent) {
        QCOMPARE(title, TDesktopNotifier::NotificationTitle());
        sentTexts.append(text);
    }
    QCOMPARE(sentTexts, texts);
    QCOMPARE(beeped, beeps);
}

void TestDesktopNotifier::trayMenu()
{
    TTrayIcon tray(SomeIcon());
    QVERIFY(tray.SystemTrayIcon());
    QCOMPARE(tray.SystemTrayIcon()->contextMenu(), tray.Menu());
    QStringList shown;
    for (const QAction *action : tray.Menu()->actions())
        if (!action->isSeparator())
            shown.append(action->objectName() + u'=' + action->text());
    QCOMPARE(shown, QStringList({QStringLiteral("pmiShowWindow=Показать окно"),
                                 QStringLiteral("pmiAllVillages=Все деревни"), QStringLiteral("pmiExit=Выход")}));
    QCOMPARE(tray.Menu()->defaultAction(), tray.pmiShowWindow);
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
    QSignalSpy allSpy(tray.pmiAllVillages, &QAction::triggered);
    QSignalSpy exitSpy(tray.pmiExit, &QAction::triggered);
    emit tray.SystemTrayIcon()->activated(reason);
    QCOMPARE(showSpy.size(), shown);
    QCOMPARE(allSpy.size(), 0);
    QCOMPARE(exitSpy.size(), 0);
}

void TestDesktopNotifier::trayOnlyWhereAvailable()
{
    // The offscreen platform has no tray; a desktop with one gets the icon.
    const std::unique_ptr<TTrayIcon> tray = TTrayIcon::CreateIfAvailable(SomeIcon());
    QCOMPARE(bool(tray), QSystemTrayIcon::isSystemTrayAvailable());
    if (tray)
        QVERIFY(tray->SystemTrayIcon()->isVisible());
}

QTEST_MAIN(TestDesktopNotifier)
#include "tst_desktopnotifier.moc"
