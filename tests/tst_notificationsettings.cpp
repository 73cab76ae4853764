// The notification and window settings: what an empty, a written and a
// damaged settings file give, the switches handed to a village's rules, and
// the program's own settings file kept away from the user's in test mode.

#include "village/NotificationSettings.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

TNotificationSettings Make(std::array<bool, 4> kinds, bool sound, bool hideToTray)
{
    TNotificationSettings settings;
    settings.Kinds = kinds;
    settings.Sound = sound;
    settings.HideToTray = hideToTray;
    return settings;
}

} // namespace

class TestNotificationSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void emptyFileGivesDefaults();
    void roundTrip_data();
    void roundTrip();
    void writtenByHand_data();
    void writtenByHand();
    void applyTo_data();
    void applyTo();
    void hidesOnClose_data();
    void hidesOnClose();
    void programSettingsInTestMode();

private:
    QTemporaryDir m_Dir;
};

void TestNotificationSettings::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_Dir.isValid());
}

void TestNotificationSettings::emptyFileGivesDefaults()
{
    const QSettings settings(m_Dir.filePath(QStringLiteral("empty.ini")), QSettings::IniFormat);
    const TNotificationSettings loaded = TNotificationSettings::Load(settings);
    QCOMPARE(loaded, Make({true, true, true, true}, false, false));
}

void TestNotificationSettings::roundTrip_data()
{
    QTest::addColumn<TNotificationSettings>("settings");
    QTest::newRow("all off") << Make({false, false, false, false}, false, false);
    QTest::newRow("all on") << Make({true, true, true, true}, true, true);
    QTest::newRow("affordable only, with sound") << Make({true, false, false, false}, true, false);
    QTest::newRow("storage full only, hidden to tray") << Make({false, false, false, true}, false, true);
    QTest::newRow("construction and nearly full") << Make({false, true, true, false}, true, false);
}

void TestNotificationSettings::roundTrip()
{
    QFETCH(TNotificationSettings, settings);
    const QString path = m_Dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".ini"));
    {
        QSettings file(path, QSettings::IniFormat);
        // Values left by an earlier run are overwritten, not kept.
        Make({true, true, true, true}, true, true).Save(file);
        settings.Save(file);
    }
    const QSettings file(path, QSettings::IniFormat);
    QCOMPARE(TNotificationSettings::Load(file), settings);
}

void TestNotificationSettings::writtenByHand_data()
{
    // A value as it stands in the file, for a kind that is on by default
    // (Affordable) and for the sound, off by default.
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("affordable");
    QTest::addColumn<bool>("sound");
    QTest::newRow("true") << QByteArray("true") << true << true;
    QTest::newRow("false") << QByteArray("false") << false << false;
    QTest::newRow("one") << QByteArray("1") << true << true;
    QTest::newRow("zero") << QByteArray("0") << false << false;
    QTest::newRow("capitals") << QByteArray("TRUE") << true << true;
    QTest::newRow("capital false") << QByteArray("False") << false << false;
    QTest::newRow("quoted with blanks") << QByteArray("\" false \"") << false << false;
    QTest::newRow("yes is not understood") << QByteArray("yes") << true << false;
    QTest::newRow("two is not understood") << QByteArray("2") << true << false;
    QTest::newRow("empty") << QByteArray("") << true << false;
    QTest::newRow("a list") << QByteArray("true, false") << true << false;
    QTest::newRow("binary") << QByteArray("@ByteArray(\\0)") << true << false;
}

void TestNotificationSettings::writtenByHand()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, affordable);
    QFETCH(bool, sound);
    // A file per row: QSettings keeps files it has read by name, size and time.
    const QString path = m_Dir.filePath(QStringLiteral("hand ") + QString::fromLatin1(QTest::currentDataTag())
                                        + QStringLiteral(".ini"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[Notifications]\nAffordable=" + value + "\nSound=" + value + "\n");
    file.close();
    const QSettings settings(path, QSettings::IniFormat);
    const TNotificationSettings loaded = TNotificationSettings::Load(settings);
    QCOMPARE(loaded.IsKindEnabled(TNotificationKind::Affordable), affordable);
    QCOMPARE(loaded.Sound, sound);
    // The keys not in the file keep their defaults.
    QVERIFY(loaded.IsKindEnabled(TNotificationKind::StorageFull));
    QVERIFY(!loaded.HideToTray);
}

void TestNotificationSettings::applyTo_data()
{
    QTest::addColumn<TNotificationSettings>("settings");
    QTest::newRow("all on") << Make({true, true, true, true}, false, false);
    QTest::newRow("all off") << Make({false, false, false, false}, true, true);
    QTest::newRow("first and last") << Make({true, false, false, true}, false, false);
    QTest::newRow("middle two") << Make({false, true, true, false}, false, false);
}

void TestNotificationSettings::applyTo()
{
    QFETCH(TNotificationSettings, settings);
    for (const bool before : {false, true}) {
        TNotificationRules rules;
        for (const TNotificationKind kind : {TNotificationKind::Affordable, TNotificationKind::ConstructionEnded,
                                             TNotificationKind::StorageNearlyFull, TNotificationKind::StorageFull})
            rules.SetKindEnabled(kind, before);
        settings.ApplyTo(rules);
        for (const TNotificationKind kind : {TNotificationKind::Affordable, TNotificationKind::ConstructionEnded,
                                             TNotificationKind::StorageNearlyFull, TNotificationKind::StorageFull})
            QCOMPARE(rules.IsKindEnabled(kind), settings.IsKindEnabled(kind));
    }
}

void TestNotificationSettings::hidesOnClose_data()
{
    QTest::addColumn<bool>("hideToTray");
    QTest::addColumn<bool>("trayAvailable");
    QTest::addColumn<bool>("hides");
    QTest::newRow("chosen, tray") << true << true << true;
    QTest::newRow("chosen, no tray: the program ends") << true << false << false;
    QTest::newRow("not chosen, tray") << false << true << false;
    QTest::newRow("not chosen, no tray") << false << false << false;
}

void TestNotificationSettings::hidesOnClose()
{
    QFETCH(bool, hideToTray);
    QFETCH(bool, trayAvailable);
    QFETCH(bool, hides);
    TNotificationSettings settings;
    settings.HideToTray = hideToTray;
    QCOMPARE(settings.HidesOnClose(trayAvailable), hides);
}

void TestNotificationSettings::programSettingsInTestMode()
{
    const QSettings probe(QStringLiteral("jorlivaron"), QStringLiteral("JorLivaronMng"));
    const QString path = probe.fileName();
    QVERIFY2(path.startsWith(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)),
             qPrintable(path));
    QVERIFY2(path.contains(QStringLiteral(".qttest")), qPrintable(path));
    QFile::remove(path);

    QCOMPARE(TNotificationSettings::Load(), TNotificationSettings());
    const TNotificationSettings chosen = Make({false, true, false, true}, true, true);
    QVERIFY(chosen.Save());
    QCOMPARE(TNotificationSettings::Load(), chosen);
    QVERIFY(QFile::remove(path));
}

QTEST_GUILESS_MAIN(TestNotificationSettings)
#include "tst_notificationsettings.moc"
