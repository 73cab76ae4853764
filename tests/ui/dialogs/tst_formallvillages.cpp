// The main window's notifications, tray, settings and window of all
// villages, as wiring: hidden villages still notify, the settings dialog
// applies at once, closing hides to the tray and quitting still asks, and
// "Все деревни" shows every tab, follows a double click and a closed tab.

#include "TestSupport.h"

#include "ui/desktop/DesktopNotifier.h"
#include "ui/desktop/TrayIcon.h"
#include "ui/widgets/UiSeams.h"
#include "ui/dialogs/f_AllVillages.h"
#include "ui/dialogs/f_Culture.h"
#include "app/AccountCulture.h"
#include "app/NextVillageWatch.h"
#include "rules/NextVillage.h"
#include "ui/main/f_Main.h"
#include "app/VillageDocument.h"
#include "ui/dialogs/f_Settings.h"
#include "ui/page/f_Village.h"
#include "ui/main/VillageTab.h"
#include "app/VillageList.h"
#include "record/VillageData.h"
#include "record/VillageFile.h"
#include "rules/Planner.h"
#include "base/SettingsSeam.h"
#include "models/SummaryModel.h"
#include "ui/UiTestSupport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QIcon>
#include <QPlainTextEdit>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>

namespace {

QString EndedText(const QString &village, const QString &building)
{
    return village + QStringLiteral(": ") + TNotificationRules::ConstructionEndedText(building);
}

} // namespace

class TestFormAllVillages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void hiddenVillagesNotify();
    void hiddenVillageLivesWithoutItsPage();
    void filesOpenedAsTheWindowShowsMakeOnePage();
    void settingsApplyAtOnce();
    void closeHidesToTrayQuitAsks();
    void trayGoneShowsTheHiddenWindow();
    void shortcutShowsEveryVillage();
    void doubleClickShowsTheVillage();
    void closedTabLeavesTheTable();
    void notificationActionShowsTheVillage();
    void notificationActionAfterTheTabClosed();
    void allVillagesCentredAndClosedByKeys_data();
    void allVillagesCentredAndClosedByKeys();
    void tabKeysSwitchTabs_data();
    void tabKeysSwitchTabs();
    void ctrlQEndsTheProgram();
    void cultureShownKeptAndTold();

private:
    // A window with villages of these names, none of them unsaved, and a
    // recording notifier.
    std::unique_ptr<TFormMain> MakeWindow(const QStringList &names);
    // Village files of these names, each with a comment, in the test's folder.
    QStringList WriteVillages(const QStringList &names) const;
    static QAction *Action(TFormMain &window, const char *name);
    static QStringList ColumnTexts(const QTableView &table, int column);

    TdmListObj m_Catalog;
    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<TRecordedMessages> m_Messages;
    QString m_PreviousSettings;
    TRecordedNotifications m_Notifications;
    QList<bool> m_AskAnswers;
    QStringList m_AskCalls;
    int m_Beeps = 0;
};

void TestFormAllVillages::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QVERIFY(LoadShippedCatalog(m_Catalog).Ok);
}

void TestFormAllVillages::init()
{
    m_Dir = std::make_unique<QTemporaryDir>();
    m_PreviousSettings = SetSettingsFile(m_Dir->filePath(QStringLiteral("JorLivaronMng.conf")));
    m_Messages = std::make_unique<TRecordedMessages>();
    m_Notifications = {};
    m_AskAnswers.clear();
    m_AskCalls.clear();
    m_Beeps = 0;
    UiSeams::SetSaveHandler([](QWidget *, const QString &, const QString &) { return QString(); });
    UiSeams::SetAskHandler([this](QWidget *, const QString &question, UiSeams::TAnswer) {
        m_AskCalls.append(question);
        return m_AskAnswers.isEmpty() ? true : m_AskAnswers.takeFirst();
    });
    UiSeams::SetBeepHandler([this] { ++m_Beeps; });
}

void TestFormAllVillages::cleanup()
{
    UiSeams::SetSaveHandler({});
    UiSeams::SetAskHandler({});
    UiSeams::SetBeepHandler({});
    m_Messages.reset();
    SetSettingsFile(m_PreviousSettings);
    m_Dir.reset();
}

std::unique_ptr<TFormMain> TestFormAllVillages::MakeWindow(const QStringList &names)
{
    auto window = std::make_unique<TFormMain>(m_Catalog);
    window->SetNotifier(std::make_unique<TRecordingNotifier>(m_Notifications));
    for (int i = 0; i < names.size(); ++i) {
        if (i > 0)
            Action(*window, "actNew")->trigger();
        TVillageData &village = window->Page(i)->Village();
        village.SetName(names.at(i));
        // Written, so that nothing is left unsaved.
        if (!window->Page(i)->Document().Write(m_Dir->filePath(QStringLiteral("%1.vlgdat").arg(i))).Ok)
            return nullptr;
    }
    return window;
}

QStringList TestFormAllVillages::WriteVillages(const QStringList &names) const
{
    TVillageList written(m_Catalog);
    QStringList files;
    for (const QString &name : names) {
        TVillageDocument *document = written.Add();
        document->Village().SetName(name);
        document->Village().SetComments(QStringLiteral("заметка ") + name);
        const QString file = m_Dir->filePath(name + QStringLiteral(".vlgdat"));
        if (document->Write(file).Ok)
            files.append(file);
    }
    return files;
}

QAction *TestFormAllVillages::Action(TFormMain &window, const char *name)
{
    return window.findChild<QAction *>(QLatin1String(name));
}

QStringList TestFormAllVillages::ColumnTexts(const QTableView &table, int column)
{
    QStringList texts;
    for (int row = 0; row < table.model()->rowCount(); ++row)
        texts.append(table.model()->index(row, column).data().toString());
    return texts;
}

void TestFormAllVillages::hiddenVillagesNotify()
{
    // Three villages, the window never shown: the first and the last end a
    // construction by their own timers; the middle one's building becomes
    // affordable when its wood has grown by two.
    auto window = MakeWindow({QStringLiteral("Первая"), QStringLiteral("Вторая"), QStringLiteral("Третья")});
    QVERIFY(!window->isVisible());
    window->Page(0)->Village().SetConstruction(QStringLiteral("Ферма ( 5)"), 1, 0);
    window->Page(2)->Village().SetConstruction(QStringLiteral("Склад ( 2)"), 2, 0);

    qint32 index = 0;
    while (index < m_Catalog.Count() && m_Catalog.Object(index).Wood < 3)
        ++index;
    QVERIFY(index < m_Catalog.Count());
    const TLivaronObject &object = m_Catalog.Object(index);
    TVillageData &second = window->Page(1)->Village();
    second.ReplaceAvBuildings({{object.DisplayText(), index}});
    for (TResourceKind kind : AllResourceKinds)
        second.SetResourceCollect(kind, QStringLiteral("1000000"));
    second.SetResourceCollect(TResourceKind::Wood, QString::number(object.Wood - 2));
    second.SetResourceAdd(TResourceKind::Wood, QStringLiteral("3600"));

    const QStringList expected{EndedText(QStringLiteral("Первая"), QStringLiteral("Ферма ( 5)")),
                               EndedText(QStringLiteral("Третья"), QStringLiteral("Склад ( 2)")),
                               QStringLiteral("Вторая: Можно строить: ") + object.DisplayText()};
    QTRY_COMPARE_WITH_TIMEOUT(m_Notifications.Sent.size(), 3, 6000);
    QCOMPARE(QSet<QString>(m_Notifications.Sent.cbegin(), m_Notifications.Sent.cend()), QSet<QString>(expected.cbegin(), expected.cend()));
    QCOMPARE(m_Notifications.Sent.constFirst(), expected.constFirst());
    // The sound is off by default.
    QCOMPARE(m_Beeps, 0);
}

void TestFormAllVillages::hiddenVillageLivesWithoutItsPage()
{
    // Two village files opened before the window shows: only the tab shown
    // makes its page; the other village ticks, notifies and saves all the
    // same.
    const QStringList files = WriteVillages({QStringLiteral("Первая"), QStringLiteral("Вторая")});
    QCOMPARE(files.size(), 2);
    auto window = MakeWindow({});
    window->OpenFiles(files);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("pcMain"));
    QVERIFY(tabs);
    QCOMPARE(tabs->currentIndex(), 1);
    auto *hidden = qobject_cast<TVillageTab *>(tabs->widget(0));
    QVERIFY(hidden);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Первая"));
    QCOMPARE(window->findChildren<TFormVillage *>().size(), 1);

    TVillageData &village = hidden->Document().Village();
    village.SetConstruction(QStringLiteral("Ферма ( 5)"), 1, 0);
    village.SetResourceCollect(TResourceKind::Wood, QStringLiteral("100"));
    village.SetResourceAdd(TResourceKind::Wood, QStringLiteral("3600"));
    // The next tick is the one of the automatic save.
    village.SetHourCounter(299);
    QTRY_COMPARE_WITH_TIMEOUT(m_Notifications.Sent, QStringList{EndedText(QStringLiteral("Первая"), QStringLiteral("Ферма ( 5)"))},
                              4000);
    // The automatic save wrote the stocks of the hidden village to its file.
    const auto savedWood = [&] {
        TVillageData saved;
        saved.SetFileName(files.constFirst());
        return ReadVillageFile(saved, m_Catalog).Ok ? saved.Stocks().at(0) : -1;
    };
    QTRY_VERIFY(savedWood() >= 100);
    QCOMPARE(hidden->findChild<TFormVillage *>(), nullptr);
    QCOMPARE(m_Messages->Texts(), QStringList{});

    // Shown at last, the page shows the village as it stands and changes
    // nothing of it.
    tabs->setCurrentIndex(0);
    TFormVillage *page = nullptr;
    QTRY_VERIFY((page = hidden->findChild<TFormVillage *>()) != nullptr);
    QCOMPARE(page->findChild<QLineEdit *>(QStringLiteral("edName"))->text(), QStringLiteral("Первая"));
    QCOMPARE(page->findChild<QPlainTextEdit *>(QStringLiteral("mComments"))->toPlainText(),
             QStringLiteral("заметка Первая"));
    QCOMPARE(village.CommentsText(), QStringLiteral("заметка Первая"));
    QCOMPARE(village.Name, QStringLiteral("Первая"));
}

void TestFormAllVillages::filesOpenedAsTheWindowShowsMakeOnePage()
{
    // As the program starts: the window shows, then the files of the
    // session or the command line open. Only the tab shown at the end makes
    // its page; the empty tab shown with the window took the first file
    // without one.
    const QStringList files =
        WriteVillages({QStringLiteral("Первая"), QStringLiteral("Вторая"), QStringLiteral("Третья")});
    QCOMPARE(files.size(), 3);
    auto window = MakeWindow({});
    window->show();
    window->OpenFiles(files);
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    auto *tabs = window->findChild<QTabWidget *>(QStringLiteral("pcMain"));
    QVERIFY(tabs);
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->currentIndex(), 2);
    QTRY_VERIFY(tabs->currentWidget()->findChild<TFormVillage *>() != nullptr);
    QCOMPARE(window->findChildren<TFormVillage *>().size(), 1);
    QCOMPARE(tabs->currentWidget()->findChild<QLineEdit *>(QStringLiteral("edName"))->text(),
             QStringLiteral("Третья"));
    QCOMPARE(window->windowTitle().left(6), QStringLiteral("Третья"));
}

void TestFormAllVillages::settingsApplyAtOnce()
{
    auto window = MakeWindow({QStringLiteral("Первая")});
    Action(*window, "actSettings")->trigger();
    auto *dialog = window->findChild<TFormSettings *>();
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());
    // Without a tray, hiding to it is not offered.
    QVERIFY(!dialog->chkHideToTray->isEnabled());
    dialog->chkConstructionEnded->setChecked(false);
    dialog->chkSound->setChecked(true);
    dialog->ButtonBox->button(QDialogButtonBox::Ok)->click();

    QVERIFY(!window->NotificationSettings().IsKindEnabled(TNotificationKind::ConstructionEnded));
    QVERIFY(window->NotificationSettings().Sound);
    QCOMPARE(TNotificationSettings::Load(), window->NotificationSettings());

    // The open village's rules follow at once; a new village starts with them.
    TPlanner &planner = window->Page(0)->Planner();
    window->Page(0)->Village().SetConstruction(QStringLiteral("Ферма ( 5)"), 1, 0);
    planner.Tick();
    QCOMPARE(m_Notifications.Sent, QStringList{});
    Action(*window, "actNew")->trigger();
    window->Page(1)->Village().SetConstruction(QStringLiteral("Склад ( 2)"), 1, 0);
    window->Page(1)->Planner().Tick();
    QCOMPARE(m_Notifications.Sent, QStringList{});

    // The sound goes with what is still sent.
    dialog = nullptr;
    Action(*window, "actSettings")->trigger();
    dialog = window->findChild<TFormSettings *>();
    QVERIFY(dialog);
    QVERIFY(!dialog->chkConstructionEnded->isChecked());
    dialog->chkConstructionEnded->setChecked(true);
    dialog->ButtonBox->button(QDialogButtonBox::Ok)->click();
    window->Page(1)->Village().SetConstruction(QStringLiteral("Склад ( 2)"), 1, 0);
    window->Page(1)->Planner().Tick();
    QCOMPARE(m_Notifications.Sent, QStringList{EndedText(QStringLiteral("Без названия"), QStringLiteral("Склад ( 2)"))});
    QCOMPARE(m_Beeps, 1);
    QCOMPARE(m_Messages->Texts(), QStringList{});
}

void TestFormAllVillages::closeHidesToTrayQuitAsks()
{
    auto window = MakeWindow({QStringLiteral("Первая")});
    window->SetTrayIcon(std::make_unique<TTrayIcon>(QIcon()));
    Action(*window, "actSettings")->trigger();
    auto *dialog = window->findChild<TFormSettings *>();
    QVERIFY(dialog);
    QVERIFY(dialog->chkHideToTray->isEnabled());
    dialog->chkHideToTray->setChecked(true);
    dialog->ButtonBox->button(QDialogButtonBox::Ok)->click();

    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    // A change to a village without a file (the save dialog is cancelled).
    window->Page(0)->Village().SetFileName(QString());
    window->Page(0)->Village().SetComments(QStringLiteral("правка"));
    // Closing hides: nothing asked, the village still open.
    QVERIFY(!window->close());
    QVERIFY(!window->isVisible());
    QCOMPARE(m_AskCalls, QStringList{});
    QCOMPARE(window->PageCount(), 1);

    // The tray's items: the window back, the window of all villages.
    window->TrayIcon()->pmiShowWindow->trigger();
    QVERIFY(window->isVisible());
    window->hide();
    window->TrayIcon()->pmiAllVillages->trigger();
    QVERIFY(window->AllVillages() && window->AllVillages()->isVisible());
    window->AllVillages()->hide();

    // Quitting from the tray asks as closing always did; "Нет" keeps it.
    m_AskAnswers = {false};
    window->TrayIcon()->pmiExit->trigger();
    QCOMPARE(m_AskCalls.size(), 1);
    QVERIFY(m_AskCalls.constFirst().contains(QStringLiteral("Первая")));
    QCOMPARE(window->PageCount(), 1);
    QVERIFY(!window->isVisible());
    // "Да" ends it, though the window is hidden; the menu's Выход does too.
    window->TrayIcon()->pmiExit->trigger();
    QCOMPARE(m_AskCalls.size(), 2);
    window->show();
    QVERIFY(window->close() == false);
    Action(*window, "mmiExit")->trigger();
    QCOMPARE(m_AskCalls.size(), 3);
    QVERIFY(!window->isVisible());
}

void TestFormAllVillages::trayGoneShowsTheHiddenWindow()
{
    auto window = MakeWindow({QStringLiteral("Первая")});
    window->SetTrayIcon(std::make_unique<TTrayIcon>(QIcon()));
    Action(*window, "actSettings")->trigger();
    auto *dialog = window->findChild<TFormSettings *>();
    QVERIFY(dialog);
    dialog->chkHideToTray->setChecked(true);
    dialog->ButtonBox->button(QDialogButtonBox::Ok)->click();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QVERIFY(!window->close());
    QVERIFY(window->isHidden());

    // The desktop's tray goes: the window comes back, since nothing else
    // could bring it back.
    window->TrayIcon()->SetPresent(false);
    QVERIFY(window->isVisible());
    // Without a tray, closing no longer hides: it ends the program.
    QVERIFY(window->close());
    QCOMPARE(m_AskCalls, QStringList{});

    // The tray back, hiding works again.
    window->show();
    window->TrayIcon()->SetPresent(true);
    QVERIFY(!window->close());
    QVERIFY(window->isHidden());
}

void TestFormAllVillages::shortcutShowsEveryVillage()
{
    auto window = MakeWindow({QStringLiteral("Первая"), QStringLiteral("Вторая"), QStringLiteral("Третья")});
    window->Page(2)->Village().SetConstruction(QStringLiteral("Ферма ( 5)"), 600, 0);
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A));
    auto *form = window->findChild<QWidget *>(QStringLiteral("FormAllVillages"));
    QVERIFY(form);
    QVERIFY(form->isVisible());
    auto *table = form->findChild<QTableView *>(QStringLiteral("sgAllVillages"));
    QVERIFY(table);
    // The village with an event first, then the others by name.
    QCOMPARE(ColumnTexts(*table, TSummaryModel::NameColumn),
             (QStringList{QStringLiteral("Третья"), QStringLiteral("Вторая"), QStringLiteral("Первая")}));
    QCOMPARE(ColumnTexts(*table, TSummaryModel::ConstructionColumn),
             (QStringList{QStringLiteral("Ферма ( 5)"), QString(), QString()}));

    // The table follows the villages each second, without a reset.
    QSignalSpy reset(table->model(), &QAbstractItemModel::modelReset);
    QSignalSpy changed(table->model(), &QAbstractItemModel::dataChanged);
    window->Page(1)->Village().SetName(QStringLiteral("Вторая-бис"));
    QTRY_COMPARE_WITH_TIMEOUT(table->model()->index(1, 0).data().toString(), QStringLiteral("Вторая-бис"), 3000);
    QVERIFY(changed.count() >= 1);
    QCOMPARE(reset.count(), 0);
}

void TestFormAllVillages::doubleClickShowsTheVillage()
{
    auto window = MakeWindow({QStringLiteral("Первая"), QStringLiteral("Вторая"), QStringLiteral("Третья")});
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    Action(*window, "actAllVillages")->trigger();
    auto *table = window->AllVillages()->findChild<QTableView *>(QStringLiteral("sgAllVillages"));
    QVERIFY(QTest::qWaitForWindowExposed(window->AllVillages()));
    const int row = int(ColumnTexts(*table, 0).indexOf(QStringLiteral("Вторая")));
    QVERIFY(row >= 0);
    QCOMPARE(window->ActivePage(), window->Page(2));
    const QRect cell = table->visualRect(table->model()->index(row, 0));
    // A double click as the system delivers it: a click, then the double.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    QCOMPARE(window->ActivePage(), window->Page(1));
}

void TestFormAllVillages::closedTabLeavesTheTable()
{
    auto window = MakeWindow({QStringLiteral("Первая"), QStringLiteral("Вторая")});
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    Action(*window, "actAllVillages")->trigger();
    auto *table = window->AllVillages()->findChild<QTableView *>(QStringLiteral("sgAllVillages"));
    QCOMPARE(table->model()->rowCount(), 2);
    Action(*window, "actClose")->trigger();
    QCOMPARE(window->PageCount(), 1);
    QCOMPARE(ColumnTexts(*table, 0), QStringList{QStringLiteral("Первая")});
    QCOMPARE(m_AskCalls, QStringList{});
}

void TestFormAllVillages::notificationActionShowsTheVillage()
{
    auto window = MakeWindow({QStringLiteral("Первая"), QStringLiteral("Вторая"), QStringLiteral("Третья")});
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(window->ActivePage(), window->Page(2));
    window->Page(1)->Village().SetConstruction(QStringLiteral("Ферма ( 5)"), 1, 0);
    window->Page(1)->Planner().Tick();
    QCOMPARE(m_Notifications.Sent, QStringList{EndedText(QStringLiteral("Вторая"), QStringLiteral("Ферма ( 5)"))});
    QCOMPARE(m_Notifications.Actions.size(), 1);
    // "Показать" while the window is hidden: it comes back with that tab.
    window->hide();
    m_Notifications.Actions.constFirst()();
    QVERIFY(window->isVisible());
    QCOMPARE(window->ActivePage(), window->Page(1));
}

void TestFormAllVillages::notificationActionAfterTheTabClosed()
{
    auto window = MakeWindow({QStringLiteral("Первая"), QStringLiteral("Вторая")});
    window->Page(1)->Village().SetConstruction(QStringLiteral("Ферма ( 5)"), 1, 0);
    window->Page(1)->Planner().Tick();
    QCOMPARE(m_Notifications.Actions.size(), 1);
    Action(*window, "actClose")->trigger();
    QCOMPARE(window->PageCount(), 1);
    // The village has gone: the action shows nothing.
    m_Notifications.Actions.constFirst()();
    QVERIFY(!window->isVisible());
    QCOMPARE(window->ActivePage(), window->Page(0));
}

void TestFormAllVillages::allVillagesCentredAndClosedByKeys_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::newRow("Esc") << QKeySequence(Qt::Key_Escape);
    QTest::newRow("Ctrl+W") << QKeySequence(Qt::CTRL | Qt::Key_W);
}

void TestFormAllVillages::allVillagesCentredAndClosedByKeys()
{
    QFETCH(QKeySequence, keys);
    auto window = MakeWindow({QStringLiteral("Первая"), QStringLiteral("Вторая")});
    window->move(20, 30);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    Action(*window, "actAllVillages")->trigger();
    TFormAllVillages *all = window->AllVillages();
    QVERIFY(QTest::qWaitForWindowExposed(all));
    // Centred over the main window as far as the screen lets it be.
    QVERIFY(std::abs(all->geometry().center().y() - window->geometry().center().y()) <= 2);
    const QRect available = window->screen()->availableGeometry();
    QVERIFY(available.contains(all->frameGeometry()));
    if (all->frameGeometry().width() < available.width())
        QVERIFY(std::abs(all->geometry().center().x() - window->geometry().center().x()) <= 2);
    QTest::keySequence(all, keys);
    QTRY_VERIFY(!all->isVisible());
    // The main window keeps its tabs: Ctrl+W closed no village.
    QCOMPARE(window->PageCount(), 2);
}

void TestFormAllVillages::tabKeysSwitchTabs_data()
{
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QList<int>>("visited");
    // Three tabs, the last one shown: forwards wraps to the first.
    QTest::newRow("Ctrl+PgDown") << QKeySequence(Qt::CTRL | Qt::Key_PageDown) << QList<int>{0, 1, 2};
    QTest::newRow("Ctrl+Tab") << QKeySequence(Qt::CTRL | Qt::Key_Tab) << QList<int>{0, 1, 2};
    QTest::newRow("Ctrl+PgUp") << QKeySequence(Qt::CTRL | Qt::Key_PageUp) << QList<int>{1, 0, 2};
}

void TestFormAllVillages::tabKeysSwitchTabs()
{
    QFETCH(QKeySequence, keys);
    QFETCH(QList<int>, visited);
    auto window = MakeWindow({QStringLiteral("Первая"), QStringLiteral("Вторая"), QStringLiteral("Третья")});
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QCOMPARE(window->ActivePage(), window->Page(2));
    // From the available table, where the focus usually is.
    auto *table = window->ActivePage()->findChild<QTableView *>(QStringLiteral("sgCalc"));
    table->setFocus();
    QList<int> seen;
    for (int i = 0; i < visited.size(); ++i) {
        QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget() : window.get(), keys);
        for (int page = 0; page < window->PageCount(); ++page)
            if (window->Page(page) == window->ActivePage())
                seen.append(page);
    }
    QCOMPARE(seen, visited);
}

void TestFormAllVillages::ctrlQEndsTheProgram()
{
    auto window = MakeWindow({QStringLiteral("Первая")});
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    QTest::keySequence(window.get(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    QTRY_VERIFY(!window->isVisible());
}

// Сервис → "Культура..." takes the account's values into the village list's
// watch and the settings; "Все деревни" shows the villages' culture and the
// moment; the moment is told once through the notifier.
void TestFormAllVillages::cultureShownKeptAndTold()
{
    TPinnedClock clock(QDateTime(QDate(2026, 12, 7), QTime(12, 0)));
    auto window = MakeWindow({QStringLiteral("Первая")});
    QVERIFY(window);
    window->Page(0)->Village().SetBuilt(BuiltList(m_Catalog, QStringLiteral("Главное здание 10")));
    auto *villages = window->findChild<TVillageList *>();
    QVERIFY(villages);
    villages->Tick();

    Action(*window, "actCulture")->trigger();
    auto *dialog = window->findChild<TFormCulture *>();
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());
    dialog->edCultureNeeded->setValue(6);
    // What the typed values give shows before they are taken.
    const QString moment = NextVillageText(86400, clock.Now);
    QCOMPARE(dialog->lblNextVillage->text(), moment);
    QCOMPARE(villages->NextVillage().Account(), TAccountCulture());
    dialog->ButtonBox->button(QDialogButtonBox::Ok)->click();
    QCOMPARE(villages->NextVillage().Account(), (TAccountCulture{0, clock.Now, 6}));
    QCOMPARE(TAccountCulture::Load(), villages->NextVillage().Account());

    Action(*window, "actAllVillages")->trigger();
    const auto *line = window->AllVillages()->findChild<QLabel *>(QStringLiteral("lblNextVillage"));
    QVERIFY(line);
    QCOMPARE(line->text(), CulturePerDayText(6) + QStringLiteral(" · ") + moment);

    clock.Now = clock.Now.addSecs(86400);
    villages->Tick();
    villages->Tick();
    const QString told = TNextVillageWatch::NotificationTitle() + QStringLiteral(": ")
        + TNextVillageWatch::NotificationText();
    QCOMPARE(m_Notifications.Sent.count(told), 1);
}

QTEST_MAIN(TestFormAllVillages)
#include "tst_formallvillages.moc"
