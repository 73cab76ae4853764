// The notification and window settings: a written and a hand-edited file read
// back, the switches handed to a village's rules, and the program's own
// settings file kept away from the user's in test mode.

#include "notify/NotificationSettings.h"
#include "base/SettingsSeam.h"

#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

TNotificationSettings Make(std::array<bool, AllNotificationKinds.size()> kinds, bool sound, bool hideToTray)
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
    void roundTrip_data();
    void roundTrip();
    void writtenByHand_data();
    void writtenByHand();
    void applyTo();
    void programSettingsInTestMode();

private:
    QTemporaryDir m_Dir;
};

void TestNotificationSettings::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_Dir.isValid());
}

void TestNotificationSettings::roundTrip_data()
{
    QTest::addColumn<TNotificationSettings>("settings");
    QTest::newRow("all off") << Make({false, false, false, false}, false, false);
    QTest::newRow("affordable only, with sound") << Make({true, false, false, false}, true, false);
    QTest::newRow("storage full only, hidden to tray") << Make({false, false, false, true}, false, true);
    QTest::newRow("running out only") << Make({false, false, false, false, true}, false, false);
    QTest::newRow("next village only") << Make({false, false, false, false, false, true}, false, false);
    TNotificationSettings clipboardOff;
    clipboardOff.WatchClipboard = false;
    QTest::newRow("clipboard not watched") << clipboardOff;
}

void TestNotificationSettings::roundTrip()
{
    QFETCH(TNotificationSettings, settings);
    const QString path = m_Dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".ini"));
    {
        QSettings file(path, QSettings::IniFormat);
        // Values left by an earlier run are overwritten, not kept.
        Make({true, true, true, true, true}, true, true).Save(file);
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
    QTest::newRow("capital false") << QByteArray("False") << false << false;
    QTest::newRow("quoted with blanks") << QByteArray("\" false \"") << false << false;
    QTest::newRow("yes is not understood") << QByteArray("yes") << true << false;
    QTest::newRow("two is not understood") << QByteArray("2") << true << false;
    QTest::newRow("empty") << QByteArray("") << true << false;
    QTest::newRow("a list") << QByteArray("true, false") << true << false;
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
    const TNotificationSettings loaded = TNotificationSettings::Load(QSettings(path, QSettings::IniFormat));
    QCOMPARE(loaded.IsKindEnabled(TNotificationKind::Affordable), affordable);
    QCOMPARE(loaded.Sound, sound);
    // The keys not in the file keep their defaults.
    QVERIFY(loaded.IsKindEnabled(TNotificationKind::StorageFull));
    QVERIFY(loaded.IsKindEnabled(TNotificationKind::NextVillage));
    QVERIFY(!loaded.HideToTray);
}

void TestNotificationSettings::applyTo()
{
    const TNotificationSettings settings = Make({false, true, false, true}, false, false);
    TNotificationRules rules;
    rules.SetKindEnabled(TNotificationKind::ConstructionEnded, false);
    settings.ApplyTo(rules);
    QCOMPARE(rules.IsKindEnabled(TNotificationKind::Affordable), false);
    QCOMPARE(rules.IsKindEnabled(TNotificationKind::ConstructionEnded), true);
    QCOMPARE(rules.IsKindEnabled(TNotificationKind::StorageNearlyFull), false);
    QCOMPARE(rules.IsKindEnabled(TNotificationKind::StorageFull), true);
}

void TestNotificationSettings::programSettingsInTestMode()
{
    // The program's settings file is the one the other settings use; while
    // none is set, nothing is read or written (a user's own choices never
    // reach a test).
    const TNotificationSettings chosen = Make({false, true, false, true}, true, true);
    const QString previous = SetSettingsFile(QString());
    QVERIFY(chosen.Save());
    QCOMPARE(TNotificationSettings::Load(), TNotificationSettings());

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("JorLivaronMng.conf"));
    SetSettingsFile(path);
    QCOMPARE(TNotificationSettings::Load(), TNotificationSettings());
    QVERIFY(chosen.Save());
    QCOMPARE(TNotificationSettings::Load(), chosen);
    QVERIFY(QSettings(path, QSettings::IniFormat).contains(QStringLiteral("Window/HideToTray")));
    SetSettingsFile(previous);
}

QTEST_GUILESS_MAIN(TestNotificationSettings)
#include "tst_notificationsettings.moc"
