// The settings dialog: its boxes show the settings it is given, OK returns
// what was ticked, Cancel closes without a result, and without a tray the
// hide-to-tray box is off and cannot be ticked, keeping the stored choice.

#include "ui/f_Settings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
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

const QStringList BoxNames{QStringLiteral("chkAffordable"), QStringLiteral("chkConstructionEnded"),
                           QStringLiteral("chkStorageNearlyFull"), QStringLiteral("chkStorageFull"),
                           QStringLiteral("chkSound"), QStringLiteral("chkHideToTray")};

QList<bool> Ticks(const TFormSettings &form)
{
    QList<bool> ticks;
    for (const QString &name : BoxNames) {
        const auto *box = form.findChild<QCheckBox *>(name);
        ticks.append(box && box->isChecked());
    }
    return ticks;
}

QPushButton *Button(const TFormSettings &form, QDialogButtonBox::StandardButton which)
{
    const auto *buttons = form.findChild<QDialogButtonBox *>(QStringLiteral("ButtonBox"));
    return buttons ? buttons->button(which) : nullptr;
}

} // namespace

class TestFormSettings : public QObject
{
    Q_OBJECT

private slots:
    void showsSettings_data();
    void showsSettings();
    void okReturnsTicks_data();
    void okReturnsTicks();
    void cancel();
    void noTray();
};

void TestFormSettings::showsSettings_data()
{
    QTest::addColumn<TNotificationSettings>("settings");
    QTest::addColumn<QList<bool>>("ticks");
    QTest::newRow("defaults") << TNotificationSettings() << QList<bool>{true, true, true, true, false, false};
    QTest::newRow("all off") << Make({false, false, false, false}, false, false)
                             << QList<bool>{false, false, false, false, false, false};
    QTest::newRow("mixed") << Make({false, true, false, true}, true, true)
                           << QList<bool>{false, true, false, true, true, true};
}

void TestFormSettings::showsSettings()
{
    QFETCH(TNotificationSettings, settings);
    QFETCH(QList<bool>, ticks);
    TFormSettings form(true);
    QCOMPARE(form.objectName(), QStringLiteral("FormSettings"));
    form.SetSettings(settings);
    QCOMPARE(Ticks(form), ticks);
    QCOMPARE(form.Settings(), settings);
}

void TestFormSettings::okReturnsTicks_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<TNotificationSettings>("settings");
    QTest::newRow("affordable off") << QStringLiteral("chkAffordable")
                                    << Make({false, true, true, true}, false, false);
    QTest::newRow("construction off") << QStringLiteral("chkConstructionEnded")
                                      << Make({true, false, true, true}, false, false);
    QTest::newRow("nearly full off") << QStringLiteral("chkStorageNearlyFull")
                                     << Make({true, true, false, true}, false, false);
    QTest::newRow("full off") << QStringLiteral("chkStorageFull") << Make({true, true, true, false}, false, false);
    QTest::newRow("sound on") << QStringLiteral("chkSound") << Make({true, true, true, true}, true, false);
    QTest::newRow("hide to tray on") << QStringLiteral("chkHideToTray")
                                     << Make({true, true, true, true}, false, true);
}

void TestFormSettings::okReturnsTicks()
{
    QFETCH(QString, box);
    QFETCH(TNotificationSettings, settings);
    TFormSettings form(true);
    form.SetSettings(TNotificationSettings());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *check = form.findChild<QCheckBox *>(box);
    QVERIFY(check);
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
    QPushButton *ok = Button(form, QDialogButtonBox::Ok);
    QVERIFY(ok);
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QVERIFY(!form.isVisible());
    QCOMPARE(form.Settings(), settings);
}

void TestFormSettings::cancel()
{
    TFormSettings form(true);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QPushButton *cancel = Button(form, QDialogButtonBox::Cancel);
    QVERIFY(cancel);
    QCOMPARE(cancel->text(), QStringLiteral("Отмена"));
    QTest::mouseClick(cancel, Qt::LeftButton);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(!form.isVisible());
}

void TestFormSettings::noTray()
{
    TFormSettings form(false);
    form.SetSettings(Make({true, true, true, true}, false, true));
    auto *hide = form.findChild<QCheckBox *>(QStringLiteral("chkHideToTray"));
    QVERIFY(hide);
    QVERIFY(!hide->isEnabled());
    QVERIFY(!hide->isChecked());
    // The choice made on a desktop with a tray stays stored.
    QVERIFY(form.Settings().HideToTray);
    form.SetSettings(Make({true, true, true, true}, false, false));
    QVERIFY(!form.Settings().HideToTray);
}

QTEST_MAIN(TestFormSettings)
#include "tst_formsettings.moc"
