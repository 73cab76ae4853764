// The settings dialog: a click on each box and OK return what was ticked, Cancel closes without a result, and without a
// tray the hide-to-tray box cannot be ticked and the stored choice stays.

#include "ui/dialogs/f_Settings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
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
    void clickAndOk_data();
    void clickAndOk();
    void cancel();
    void noTray();
};

void TestFormSettings::clickAndOk_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<TNotificationSettings>("settings");
    QTest::newRow("affordable off") << QStringLiteral("chkAffordable")
                                    << Make({false, true, true, true, true, true}, false, false);
    QTest::newRow("construction off") << QStringLiteral("chkConstructionEnded")
                                      << Make({true, false, true, true, true, true}, false, false);
    QTest::newRow("nearly full off") << QStringLiteral("chkStorageNearlyFull")
                                     << Make({true, true, false, true, true, true}, false, false);
    QTest::newRow("full off") << QStringLiteral("chkStorageFull") << Make({true, true, true, false, true, true}, false, false);
    QTest::newRow("running out off") << QStringLiteral("chkResourceRunningOut")
                                     << Make({true, true, true, true, false, true}, false, false);
    QTest::newRow("next village off") << QStringLiteral("chkNextVillage")
                                      << Make({true, true, true, true, true, false}, false, false);
    QTest::newRow("sound on") << QStringLiteral("chkSound") << Make({true, true, true, true, true, true}, true, false);
    QTest::newRow("hide to tray on") << QStringLiteral("chkHideToTray")
                                     << Make({true, true, true, true, true, true}, false, true);
    TNotificationSettings clipboardOff;
    clipboardOff.WatchClipboard = false;
    QTest::newRow("clipboard watch off") << QStringLiteral("chkWatchClipboard") << clipboardOff;
}

void TestFormSettings::clickAndOk()
{
    QFETCH(QString, box);
    QFETCH(TNotificationSettings, settings);
    TFormSettings form(true);
    QCOMPARE(form.objectName(), QStringLiteral("FormSettings"));
    form.SetSettings(TNotificationSettings());
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *check = form.findChild<QCheckBox *>(box);
    QVERIFY(check);
    QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(8, check->height() / 2));
    QTest::mouseClick(Button(form, QDialogButtonBox::Ok), Qt::LeftButton);
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
    QCOMPARE(cancel->text(), QStringLiteral("Отмена"));
    QTest::mouseClick(cancel, Qt::LeftButton);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QVERIFY(!form.isVisible());
}

void TestFormSettings::noTray()
{
    TFormSettings form(false);
    form.SetSettings(Make({true, true, true, true, true}, false, true));
    const auto *hide = form.findChild<QCheckBox *>(QStringLiteral("chkHideToTray"));
    QVERIFY(hide && !hide->isEnabled() && !hide->isChecked());
    // The choice made on a desktop with a tray stays stored.
    QVERIFY(form.Settings().HideToTray);
    // What it is given, it shows and gives back.
    const TNotificationSettings mixed = Make({false, true, false, true}, true, false);
    form.SetSettings(mixed);
    QVERIFY(!form.findChild<QCheckBox *>(QStringLiteral("chkAffordable"))->isChecked());
    QVERIFY(form.findChild<QCheckBox *>(QStringLiteral("chkStorageFull"))->isChecked());
    QCOMPARE(form.Settings(), mixed);
}

QTEST_MAIN(TestFormSettings)
#include "tst_formsettings.moc"
