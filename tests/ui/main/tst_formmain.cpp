// The main window: village tabs, the file commands' keys and menu items
// reaching the village files (whose rules tst_villagefiles tests), the view
// toggles, the closing of tabs and of the window, and the About box.
#include "TestSupport.h"

#include "ui/widgets/UiSeams.h"
#include "ui/dialogs/f_About.h"
#include "ui/main/f_Main.h"
#include "app/VillageDocument.h"
#include "ui/page/f_Village.h"
#include "rules/Planner.h"
#include "record/VillageData.h"
#include "record/VillageFileAccess.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>


Q_DECLARE_METATYPE(UiSeams::TAnswer)

namespace {

struct TSaveCall
{
    QString Title;
    QString Preset;
};

} // namespace

class TestFormMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithOneEmptyTab();
    void widensToShowTheWholeTable();
    void actions_data();
    void actions();
    void fileMenuItems();

    void openShowsEachVillageInATab();
    void saveActionsReachTheirCommands_data();
    void saveActionsReachTheirCommands();

    void saveFollowsTheActiveTab();


    void viewTogglesPerTab();
    void tabReorderByTheTabBarsMove();
    void tabReorderByDragging();

    void middleClickClosesThatTab();
    void middleClickOnAnotherTabKeepsTheShownOne_data();
    void middleClickOnAnotherTabKeepsTheShownOne();
    void tabShowsTheNameAsItStands_data();
    void tabShowsTheNameAsItStands();
    void closeTabKeys_data();
    void closeTabKeys();
    void closingTheWindowAsksTheEndQuestion_data();
    void closingTheWindowAsksTheEndQuestion();
    void questionBoxDefaultsToNo_data();
    void questionBoxDefaultsToNo();
    void f10OpensTheFirstMenu();

    void aboutBoxOnF1();
    void importRunsOnTheActivePage();

private:
    QString WriteVillage(const QString &fileName, const QString &name);
    static void Type(QWidget *widget, const QString &text);
    static void TypeName(TFormVillage *page, const QString &name);
    static QAction *Action(TFormMain &window, const char *name);
    static QTabWidget *Tabs(TFormMain &window);
    static QStringList TabTexts(TFormMain &window);

    TdmListObj m_Catalog;
    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<TRecordedMessages> m_Messages;
    QList<QStringList> m_OpenAnswers;
    int m_OpenCalls = 0;
    QStringList m_SaveAnswers;
    QList<TSaveCall> m_SaveCalls;
    QList<bool> m_AskAnswers;
    QList<UiSeams::TAnswer> m_AskDefaults;
};

void TestFormMain::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QVERIFY(LoadShippedCatalog(m_Catalog).Ok);
}

void TestFormMain::init()
{
    m_Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Dir->isValid());
    m_Messages = std::make_unique<TRecordedMessages>();
    m_OpenAnswers.clear();
    m_OpenCalls = 0;
    m_SaveAnswers.clear();
    m_SaveCalls.clear();
    m_AskAnswers.clear();
    m_AskDefaults.clear();

    UiSeams::SetOpenHandler([this](QWidget *) {
        ++m_OpenCalls;
        return m_OpenAnswers.isEmpty() ? QStringList() : m_OpenAnswers.takeFirst();
    });
    UiSeams::SetSaveHandler([this](QWidget *, const QString &title, const QString &preset) {
        m_SaveCalls.append({title, preset});
        return m_SaveAnswers.isEmpty() ? QString() : m_SaveAnswers.takeFirst();
    });
    UiSeams::SetAskHandler([this](QWidget *, const QString &, UiSeams::TAnswer defaultAnswer) {
        m_AskDefaults.append(defaultAnswer);
        return m_AskAnswers.isEmpty() ? true : m_AskAnswers.takeFirst();
    });
}

void TestFormMain::cleanup()
{
    UiSeams::SetOpenHandler({});
    UiSeams::SetSaveHandler({});
    UiSeams::SetAskHandler({});
    m_Messages.reset();
    m_Dir.reset();
}


QString TestFormMain::WriteVillage(const QString &fileName, const QString &name)
{
    const QString path = m_Dir->filePath(fileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                              "<JorVillageData><Date>01.02.2026 10:00:00</Date>"
                              "<Village Name=\"%1\" Race=\"Галлы\" MainLevel=\"3\"/>"
                              "<ResourceCollect Wood=\"100\" Clay=\"200\" Iron=\"300\" Grain=\"400\"/>"
                              "<ResourceAdd Wood=\"10\" Clay=\"20\" Iron=\"30\" Grain=\"40\"/>"
                              "</JorVillageData>")
                   .arg(name)
                   .toUtf8());
    return path;
}

// Each character as a key press with that text, whatever the layout.
void TestFormMain::Type(QWidget *widget, const QString &text)
{
    for (const QChar character : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QCoreApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(character));
        QCoreApplication::sendEvent(widget, &release);
    }
}

void TestFormMain::TypeName(TFormVillage *page, const QString &name)
{
    auto *edName = page->findChild<QLineEdit *>(QStringLiteral("edName"));
    QVERIFY(edName);
    Type(edName, name);
    QCOMPARE(page->Village().Name, name);
}

QAction *TestFormMain::Action(TFormMain &window, const char *name)
{
    return window.findChild<QAction *>(QString::fromLatin1(name));
}

QTabWidget *TestFormMain::Tabs(TFormMain &window)
{
    return window.findChild<QTabWidget *>(QStringLiteral("pcMain"));
}

QStringList TestFormMain::TabTexts(TFormMain &window)
{
    QStringList texts;
    QTabWidget *tabs = Tabs(window);
    for (int i = 0; i < tabs->count(); ++i)
        texts.append(tabs->tabText(i));
    return texts;
}

void TestFormMain::startsWithOneEmptyTab()
{
    TFormMain window(m_Catalog);
    QCOMPARE(window.windowTitle(), QStringLiteral("Менеджер для игры Ливарон[*]"));
    QCOMPARE(window.minimumSize(), QSize(700, 570));
    QTabWidget *tabs = Tabs(window);
    QVERIFY(tabs);
    QVERIFY(tabs->isMovable());
    QCOMPARE(window.centralWidget(), tabs);
    QCOMPARE(window.PageCount(), 1);
    QCOMPARE(TabTexts(window), QStringList{QString()});
    TFormVillage *page = window.ActivePage();
    QVERIFY(page);
    // The page sits in the tab that shows it.
    QCOMPARE(page->parentWidget(), tabs->currentWidget());
    QVERIFY(page->Village().Name.isEmpty());
    QVERIFY(page->Village().FileName.isEmpty());
    QVERIFY(!page->Village().Modified);

    QStringList menus;
    for (QAction *menu : window.menuBar()->actions())
        menus.append(menu->text());
    QCOMPARE(menus, (QStringList{QStringLiteral("&Файл"), QStringLiteral("&Правка"), QStringLiteral("&Вид"),
                        QStringLiteral("&Сервис"),
                        QStringLiteral("&Справка")}));
}

void TestFormMain::widensToShowTheWholeTable()
{
    // A village whose longest name does not fit the name column at the
    // window's design width.
    const QString path = m_Dir->filePath(QStringLiteral("long.vlgdat"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<JorVillageData>"
                              "<Village Name=\"Застава\" Race=\"Галлы\" MainLevel=\"5\"/>"
                              "<AvBuildings><Building>Деревообрабатывающий завод ( 1)</Building></AvBuildings>"
                              "</JorVillageData>").toUtf8());
    file.close();
    TFormMain window(m_Catalog);
    window.OpenFiles({path});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QTableView *table = window.ActivePage()->findChild<QTableView *>(QStringLiteral("sgCalc"));
    QVERIFY(table);
    QCOMPARE(table->model()->rowCount(), 1);
    const QAbstractItemView *view = table;
    const int screenWidth = window.screen()->availableGeometry().width();
    // The whole name shows, unless the screen is too narrow for it.
    QTRY_VERIFY2(table->horizontalHeader()->sectionSize(0) >= view->sizeHintForColumn(0)
                     || window.frameGeometry().width() >= screenWidth,
                 qPrintable(QStringLiteral("column %1 of %2, window %3, screen %4")
                                .arg(table->horizontalHeader()->sectionSize(0))
                                .arg(view->sizeHintForColumn(0))
                                .arg(window.width())
                                .arg(screenWidth)));
    QVERIFY(window.width() > 712);
}

void TestFormMain::actions_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("menu");

    // The captions carry their Alt letters; the category is the menu's name.
    const QString file = QStringLiteral("Файл");
    const QString view = QStringLiteral("Вид");
    const QString fileMenu = QStringLiteral("&Файл");
    const QString viewMenu = QStringLiteral("&Вид");
    QTest::newRow("new") << "actNew" << "&Новая деревня" << QKeySequence(QStringLiteral("Ctrl+N")) << file
                         << fileMenu;
    QTest::newRow("open") << "actOpen" << "&Открыть..." << QKeySequence(QStringLiteral("Ctrl+O")) << file
                          << fileMenu;
    QTest::newRow("save") << "actSave" << "Сохранить..." << QKeySequence(QStringLiteral("Ctrl+S")) << file
                          << QString();
    QTest::newRow("save menu item") << "mmiSave" << "&Сохранить" << QKeySequence(QStringLiteral("Ctrl+S"))
                                    << QString() << fileMenu;
    QTest::newRow("save as") << "actSaveAs" << "Сохранить &как..." << QKeySequence() << file << fileMenu;
    QTest::newRow("save all") << "actSaveAll" << "Сохранить &все" << QKeySequence(QStringLiteral("Shift+Ctrl+S"))
                              << file << fileMenu;
    QTest::newRow("exit") << "mmiExit" << "В&ыход" << QKeySequence(QStringLiteral("Alt+F4")) << QString()
                          << fileMenu;
    QTest::newRow("comments") << "actViewComments" << "&Комментарии" << QKeySequence() << view << viewMenu;
    QTest::newRow("progress") << "actViewProgress" << "&Строительство" << QKeySequence() << view << viewMenu;
    QTest::newRow("import") << "actImport" << "&Импорт..." << QKeySequence(QStringLiteral("Ctrl+I")) << QString()
                            << "&Сервис";
    QTest::newRow("about") << "actAbout" << "&О программе..." << QKeySequence(QStringLiteral("F1")) << QString()
                           << "&Справка";
    QTest::newRow("close") << "actClose" << "Закрыть" << QKeySequence(QStringLiteral("Ctrl+W")) << QString()
                           << QString();
}

void TestFormMain::actions()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    QFETCH(QString, category);
    QFETCH(QString, menu);

    TFormMain window(m_Catalog);
    auto *action = window.findChild<QAction *>(name);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    QCOMPARE(action->property("category").toString(), category);

    QString inMenu;
    for (QMenu *candidate : window.menuBar()->findChildren<QMenu *>()) {
        if (candidate->actions().contains(action))
            inMenu = candidate->title();
    }
    QCOMPARE(inMenu, menu);
    if (name == QLatin1String("actImport"))
        QCOMPARE(action->toolTip(), QStringLiteral("Импорт данных из игры"));
}

void TestFormMain::fileMenuItems()
{
    TFormMain window(m_Catalog);
    auto *miFile = window.findChild<QMenu *>(QStringLiteral("miFile"));
    QVERIFY(miFile);
    QStringList items;
    for (QAction *item : miFile->actions())
        items.append(item->isSeparator() ? QStringLiteral("-") : item->text());
    QCOMPARE(items, (QStringList{QStringLiteral("&Новая деревня"), QStringLiteral("&Открыть..."),
                        QStringLiteral("&Сохранить"), QStringLiteral("Сохранить &как..."),
                        QStringLiteral("Сохранить &все"), QStringLiteral("&Экспорт в CSV..."), QStringLiteral("-"),
                        QStringLiteral("&Последние файлы"),
                        QStringLiteral("-"), QStringLiteral("В&ыход")}));
    // Each item of the menu has an Alt letter of its own.
    QStringList letters;
    for (QAction *item : miFile->actions()) {
        if (!item->isSeparator())
            letters.append(QKeySequence::mnemonic(item->text()).toString());
    }
    letters.removeDuplicates();
    QCOMPARE(letters.size(), 8);
}

void TestFormMain::openShowsEachVillageInATab()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    TFormMain window(m_Catalog);
    TFormVillage *first = window.ActivePage();
    m_OpenAnswers = {{alpha}, {beta}};
    Action(window, "actOpen")->trigger();
    // The page of the untouched village shows the file.
    QCOMPARE(window.ActivePage(), first);
    QCOMPARE(TabTexts(window), QStringList{QStringLiteral("Альфа")});

    Action(window, "actOpen")->trigger();
    QCOMPARE(m_OpenCalls, 2);
    QCOMPARE(TabTexts(window), (QStringList{QStringLiteral("Альфа"), QStringLiteral("Бета")}));
    QCOMPARE(Tabs(window)->currentIndex(), 1);
}

void TestFormMain::saveActionsReachTheirCommands_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("dialogs"); // the save dialogs' titles
    QTest::addColumn<bool>("written");

    QTest::newRow("Сохранить") << "actSave" << QStringList() << true;
    QTest::newRow("Файл → Сохранить") << "mmiSave" << QStringList() << true;
    QTest::newRow("Сохранить как, cancelled") << "actSaveAs" << QStringList{"Сохранить как"} << false;
    QTest::newRow("Сохранить все") << "actSaveAll" << QStringList() << true;
}

void TestFormMain::saveActionsReachTheirCommands()
{
    QFETCH(QString, action);
    QFETCH(QStringList, dialogs);
    QFETCH(bool, written);

    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    TFormMain window(m_Catalog);
    window.OpenFiles({alpha});
    window.ActivePage()->Village().SetComments(QStringLiteral("правка"));
    QVERIFY(QFile::remove(alpha));
    Action(window, qPrintable(action))->trigger();
    QStringList titles;
    for (const TSaveCall &call : std::as_const(m_SaveCalls))
        titles.append(call.Title);
    QCOMPARE(titles, dialogs);
    QCOMPARE(QFileInfo::exists(alpha), written);
}















void TestFormMain::saveFollowsTheActiveTab()
{
    TFormMain window(m_Catalog);
    QAction *save = Action(window, "actSave");
    TypeName(window.ActivePage(), QStringLiteral("Моя"));
    QVERIFY(save->isEnabled());

    Action(window, "actNew")->trigger();
    QCOMPARE(window.PageCount(), 2);
    QVERIFY(!save->isEnabled());
    window.ActivePage()->Village().SetRace(0);
    QVERIFY(save->isEnabled());

    Action(window, "actNew")->trigger();
    QVERIFY(!save->isEnabled());
    Tabs(window)->setCurrentIndex(0);
    QVERIFY(save->isEnabled());
    Tabs(window)->setCurrentIndex(2);
    QVERIFY(!save->isEnabled());
    QVERIFY(!Action(window, "mmiSave")->isEnabled());
    QVERIFY(Action(window, "actSaveAs")->isEnabled());
    QVERIFY(Action(window, "actSaveAll")->isEnabled());
}

void TestFormMain::closingTheWindowAsksTheEndQuestion_data()
{
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<bool>("answer");
    QTest::newRow("nothing changed: closes, nothing asked") << false << false;
    QTest::newRow("unsaved, no: stays") << true << false;
    QTest::newRow("unsaved, yes: closes") << true << true;
}

void TestFormMain::closingTheWindowAsksTheEndQuestion()
{
    QFETCH(bool, unsaved);
    QFETCH(bool, answer);
    TFormMain window(m_Catalog);
    window.show();
    if (unsaved)
        window.ActivePage()->Village().SetRace(2);
    m_AskAnswers = {answer};

    QCOMPARE(window.close(), answer || !unsaved);
    QCOMPARE(window.isVisible(), unsaved && !answer);
    QCOMPARE(m_AskDefaults, unsaved ? QList<UiSeams::TAnswer>{UiSeams::TAnswer::No} : QList<UiSeams::TAnswer>());
}















void TestFormMain::viewTogglesPerTab()
{
    TFormMain window(m_Catalog);
    window.show();
    Action(window, "actNew")->trigger();
    TFormVillage *first = window.Page(0);
    TFormVillage *second = window.Page(1);
    auto *miView = window.findChild<QMenu *>(QStringLiteral("miView"));
    QVERIFY(miView);
    QAction *comments = Action(window, "actViewComments");
    QAction *progress = Action(window, "actViewProgress");
    QVERIFY(comments->isCheckable());
    QVERIFY(!first->CommentsVisible());
    QVERIFY(!first->ProgressVisible());

    Tabs(window)->setCurrentIndex(0);
    comments->trigger();
    QVERIFY(first->CommentsVisible());
    QVERIFY(first->findChild<QGroupBox *>(QStringLiteral("gbComments"))->isVisible());
    QVERIFY(!second->CommentsVisible());
    QVERIFY(!first->ProgressVisible());

    Tabs(window)->setCurrentIndex(1);
    progress->trigger();
    QVERIFY(second->ProgressVisible());
    QVERIFY(!first->ProgressVisible());

    // Opening "Вид" shows the active tab's state.
    emit miView->aboutToShow();
    QVERIFY(!comments->isChecked());
    QVERIFY(progress->isChecked());
    Tabs(window)->setCurrentIndex(0);
    emit miView->aboutToShow();
    QVERIFY(comments->isChecked());
    QVERIFY(!progress->isChecked());

    comments->trigger();
    QVERIFY(!first->CommentsVisible());
    QVERIFY(!comments->isChecked());
}

void TestFormMain::tabReorderByTheTabBarsMove()
{
    TFormMain window(m_Catalog);
    TypeName(window.Page(0), QStringLiteral("A"));
    Action(window, "actNew")->trigger();
    TypeName(window.Page(1), QStringLiteral("B"));
    Action(window, "actNew")->trigger();
    TypeName(window.Page(2), QStringLiteral("C"));
    TFormVillage *a = window.Page(0);
    Tabs(window)->setCurrentIndex(0);

    Tabs(window)->tabBar()->moveTab(0, 2);
    QCOMPARE(TabTexts(window), (QStringList{QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("A")}));
    QCOMPARE(window.Page(2), a);
    QCOMPARE(window.ActivePage(), a);

    // Save all follows the new order: the dialogs come B, C, A.
    Action(window, "actSaveAll")->trigger();
    QCOMPARE(m_SaveCalls.size(), 3);
    QCOMPARE(m_SaveCalls.at(0).Preset, QStringLiteral("B"));
    QCOMPARE(m_SaveCalls.at(2).Preset, QStringLiteral("A"));

    // A caption change after the move reaches the right tab.
    Type(a->findChild<QLineEdit *>(QStringLiteral("edName")), QStringLiteral("Z"));
    QCOMPARE(TabTexts(window), (QStringList{QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("AZ")}));
}

void TestFormMain::tabReorderByDragging()
{
    TFormMain window(m_Catalog);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TypeName(window.Page(0), QStringLiteral("Первая"));
    Action(window, "actNew")->trigger();
    TypeName(window.Page(1), QStringLiteral("Вторая"));
    Action(window, "actNew")->trigger();
    TypeName(window.Page(2), QStringLiteral("Третья"));
    QTabBar *bar = Tabs(window)->tabBar();
    TFormVillage *first = window.Page(0);
    Tabs(window)->setCurrentIndex(0);

    const QPoint start = bar->tabRect(0).center();
    const QPoint target = bar->tabRect(2).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, start);
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(bar, start + (target - start) * step / 10);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, target);

    QTRY_COMPARE(window.Page(2), first);
    QCOMPARE(TabTexts(window),
        (QStringList{QStringLiteral("Вторая"), QStringLiteral("Третья"), QStringLiteral("Первая")}));
    QCOMPARE(window.ActivePage(), first);

    // Dragged beyond the last tab and dropped where there is no tab.
    Tabs(window)->setCurrentIndex(0);
    TFormVillage *second = window.Page(0);
    const QPoint from = bar->tabRect(0).center();
    const QPoint beyond(bar->tabRect(2).right() + 40, from.y());
    QVERIFY(bar->tabAt(beyond) < 0);
    QSignalSpy moved(bar, &QTabBar::tabMoved);
    QTest::mousePress(bar, Qt::LeftButton, {}, from);
    for (int step = 1; step <= 10; ++step)
        QTest::mouseMove(bar, from + (beyond - from) * step / 10);
    // On its way the tab passed the others.
    QCOMPARE(moved.size(), 2);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, beyond);
    QTRY_COMPARE(moved.size(), 3);
    QCOMPARE(TabTexts(window),
        (QStringList{QStringLiteral("Вторая"), QStringLiteral("Третья"), QStringLiteral("Первая")}));
    QCOMPARE(window.Page(0), second);
    QCOMPARE(window.ActivePage(), second);
}

void TestFormMain::middleClickClosesThatTab()
{
    TFormMain window(m_Catalog);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Action(window, "actNew")->trigger();
    TFormVillage *fresh = window.Page(1);
    QCOMPARE(window.ActivePage(), fresh);

    QTabBar *bar = Tabs(window)->tabBar();
    QTest::mouseClick(bar, Qt::MiddleButton, {}, bar->tabRect(0).center());
    QCOMPARE(window.PageCount(), 1);
    QCOMPARE(window.ActivePage(), fresh);

    // A middle click beside the tabs closes nothing.
    QTest::mouseClick(bar, Qt::MiddleButton, {}, QPoint(bar->width() - 2, bar->height() / 2));
    QCOMPARE(window.PageCount(), 1);
}


void TestFormMain::middleClickOnAnotherTabKeepsTheShownOne_data()
{
    QTest::addColumn<bool>("hasFile");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("saved village goes") << true << true << true;
    QTest::newRow("unsaved village, yes") << false << true << true;
    QTest::newRow("unsaved village, no: its tab stays shown") << false << false << false;
}

void TestFormMain::middleClickOnAnotherTabKeepsTheShownOne()
{
    QFETCH(bool, hasFile);
    QFETCH(bool, answer);
    QFETCH(bool, closed);

    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    TFormMain window(m_Catalog);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TypeName(window.ActivePage(), QStringLiteral("Первая"));
    if (hasFile) {
        m_OpenAnswers = {{alpha}};
        Action(window, "actOpen")->trigger();
    } else {
        Action(window, "actNew")->trigger();
        window.ActivePage()->Village().SetRace(1);
    }
    TFormVillage *target = window.Page(1);
    Action(window, "actNew")->trigger();
    TFormVillage *third = window.Page(2);
    Tabs(window)->setCurrentIndex(0);
    TFormVillage *shown = window.Page(0);
    m_AskAnswers = {answer};

    QTabBar *bar = Tabs(window)->tabBar();
    QTest::mouseClick(bar, Qt::MiddleButton, {}, bar->tabRect(1).center());
    QCOMPARE(window.PageCount(), closed ? 2 : 3);
    QCOMPARE(window.ActivePage(), closed ? shown : target);
    QCOMPARE(window.Page(0), shown);
    QCOMPARE(window.Page(window.PageCount() - 1), third);
}

void TestFormMain::tabShowsTheNameAsItStands_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("ampersand between words") << QStringLiteral("Рога & Копыта");
    QTest::newRow("ampersand before a letter") << QStringLiteral("Дом&Сад");
    QTest::newRow("two ampersands") << QStringLiteral("A&&B");
    QTest::newRow("no ampersand") << QStringLiteral("Застава");
}

void TestFormMain::tabShowsTheNameAsItStands()
{
    QFETCH(QString, name);
    TFormMain window(m_Catalog);
    TypeName(window.ActivePage(), name);

    // What the tab bar draws: "&&" as "&", a single "&" marks the next
    // letter as an Alt shortcut and is not drawn.
    auto shown = [&window](int index) {
        const QString tabText = Tabs(window)->tabText(index);
        QString text;
        for (qsizetype i = 0; i < tabText.size(); ++i) {
            if (tabText.at(i) == QLatin1Char('&') && i + 1 < tabText.size())
                ++i;
            text.append(tabText.at(i));
        }
        return text;
    };
    QCOMPARE(shown(0), name);
    QVERIFY(QKeySequence::mnemonic(Tabs(window)->tabText(0)).isEmpty());

    // A tab moved to the front and renamed shows its own name the same way.
    Action(window, "actNew")->trigger();
    Tabs(window)->tabBar()->moveTab(1, 0);
    TypeName(window.Page(0), name + QStringLiteral("&"));
    QCOMPARE(shown(0), name + QStringLiteral("&"));
    QCOMPARE(shown(1), name);
    QVERIFY(QKeySequence::mnemonic(Tabs(window)->tabText(0)).isEmpty());
}




void TestFormMain::closeTabKeys_data()
{
    QTest::addColumn<QKeySequence>("keys"); // none: the action triggered
    QTest::newRow("Закрыть") << QKeySequence();
    QTest::newRow("Ctrl+W") << QKeySequence(Qt::CTRL | Qt::Key_W);
    QTest::newRow("Ctrl+F4") << QKeySequence(Qt::CTRL | Qt::Key_F4);
}


void TestFormMain::closeTabKeys()
{
    QFETCH(QKeySequence, keys);
    TFormMain window(m_Catalog);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    TypeName(window.ActivePage(), QStringLiteral("Первая"));
    Action(window, "actNew")->trigger();
    TypeName(window.ActivePage(), QStringLiteral("Вторая"));
    m_AskAnswers = {true};

    if (keys.isEmpty())
        Action(window, "actClose")->trigger();
    else
        QTest::keySequence(&window, keys);
    // The question about the unsaved village, "Нет" by default.
    QCOMPARE(m_AskDefaults, QList<UiSeams::TAnswer>{UiSeams::TAnswer::No});
    QCOMPARE(window.PageCount(), 1);
    QCOMPARE(TabTexts(window), QStringList{QStringLiteral("Первая")});
}

void TestFormMain::questionBoxDefaultsToNo_data()
{
    QTest::addColumn<UiSeams::TAnswer>("defaultAnswer");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("defaultButton");
    QTest::addColumn<bool>("answer");
    QTest::newRow("default no, Enter") << UiSeams::TAnswer::No << int(Qt::Key_Return) << "Нет" << false;
    QTest::newRow("default yes, Enter") << UiSeams::TAnswer::Yes << int(Qt::Key_Return) << "Да" << true;
    QTest::newRow("default yes, Esc answers no") << UiSeams::TAnswer::Yes << int(Qt::Key_Escape) << "Да" << false;
}

void TestFormMain::questionBoxDefaultsToNo()
{
    QFETCH(UiSeams::TAnswer, defaultAnswer);
    QFETCH(int, key);
    QFETCH(QString, defaultButton);
    QFETCH(bool, answer);

    // The toolkit's box behind the seam.
    UiSeams::SetAskHandler({});
    QWidget parent;
    parent.setWindowTitle(QStringLiteral("Северная[*] — JorLivaronMng"));
    parent.setWindowModified(true);
    QString shownDefault;
    QString shownTitle;
    QTimer::singleShot(0, &parent, [&shownDefault, &shownTitle, key] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        if (box->defaultButton() != nullptr)
            shownDefault = box->defaultButton()->text();
        shownTitle = box->windowHandle() ? box->windowHandle()->title() : QString();
        QTest::keyClick(box, Qt::Key(key));
    });
    QCOMPARE(UiSeams::Ask(&parent, QStringLiteral("Закрыть?"), defaultAnswer), answer);
    QCOMPARE(shownDefault, defaultButton);
    // The box carries the window's title as shown, its "*" included.
    QCOMPARE(shownTitle, QStringLiteral("Северная* — JorLivaronMng"));
}

void TestFormMain::f10OpensTheFirstMenu()
{
    TFormMain window(m_Catalog);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    auto *miFile = window.findChild<QMenu *>(QStringLiteral("miFile"));
    QVERIFY(miFile);
    QVERIFY(!miFile->isVisible());

    QTest::keyClick(&window, Qt::Key_F10);
    QCOMPARE(window.menuBar()->activeAction(), miFile->menuAction());
    QTRY_VERIFY(miFile->isVisible());
    miFile->close();
}

void TestFormMain::aboutBoxOnF1()
{
    TFormMain window(m_Catalog);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QString shown;
    auto closeBox = [&shown] {
        if (auto *box = qobject_cast<TAboutBox *>(QApplication::activeModalWidget())) {
            shown = box->findChild<QLabel *>(QStringLiteral("lbProductName"))->text();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    };
    QTimer::singleShot(0, &window, closeBox);
    QTest::keyClick(&window, Qt::Key_F1);
    QCOMPARE(shown, QStringLiteral("Менеджер для игры Ливарон"));
    QCOMPARE(window.findChildren<TAboutBox *>().size(), 1);
    TAboutBox *box = window.findChild<TAboutBox *>();
    QVERIFY(!box->isVisible());

    // The second showing reuses the box.
    shown.clear();
    QTimer::singleShot(0, &window, closeBox);
    Action(window, "actAbout")->trigger();
    QCOMPARE(shown, QStringLiteral("Менеджер для игры Ливарон"));
    QCOMPARE(window.findChildren<TAboutBox *>(), QList<TAboutBox *>{box});
}

void TestFormMain::importRunsOnTheActivePage()
{
    const QString overview = OverviewExampleText();
    QVERIFY(!overview.isEmpty());

    TFormMain window(m_Catalog);
    window.show();
    Action(window, "actNew")->trigger();
    Tabs(window)->setCurrentIndex(0);
    Action(window, "actNew")->trigger();
    TFormVillage *target = window.Page(2);
    QCOMPARE(window.ActivePage(), target);
    QVERIFY(!Action(window, "actSave")->isEnabled());

    QString dialogName;
    QTimer::singleShot(0, &window, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (dialog == nullptr)
            return;
        dialogName = dialog->objectName();
        if (auto *memo = dialog->findChild<QPlainTextEdit *>(QStringLiteral("Memo1")))
            memo->setPlainText(overview);
    });
    Action(window, "actImport")->trigger();

    // The dialog closed by itself on the pasted page; the active village got it.
    QCOMPARE(dialogName, QStringLiteral("FormImportRes"));
    QCOMPARE(target->Village().Name, QStringLiteral("Северная застава"));
    QCOMPARE(target->Village().ResourceCollect[0], QStringLiteral("750"));
    QCOMPARE(TabTexts(window).at(2), QStringLiteral("Северная застава"));
    QVERIFY(window.Page(0)->Village().Name.isEmpty());
    QVERIFY(window.Page(1)->Village().ResourceCollect[0].isEmpty());
    QVERIFY(Action(window, "actSave")->isEnabled());
}

QTEST_MAIN(TestFormMain)
#include "tst_formmain.moc"
