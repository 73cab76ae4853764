// The main window: village tabs, the file commands, the view toggles, the
// closing of tabs and of the window, and the About box.
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
#include <QElapsedTimer>
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

#include <sys/stat.h>

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

    void openOneFileReusesTheEmptyTab();
    void openSecondFileAddsAndActivatesATab();
    void openAfterEditingAddsATab();
    void openThreeWithTheSecondAlreadyOpen();
    void openThreeReusesTheEmptyTabForTheFirst();
    void sameFileInOtherLetterCaseIsNotDetected();
    void openCancelledChangesNothing();
    void openUnreadableFileKeepsTheTab();
    void openPartlyReadFileShowsWhatWasApplied();
    void symbolicLinkToAnOpenFileIsRefused();
    void alreadyOpenNamesTheFileAndShowsItsTab();
    void notAVillageFileIsRefusedAtOnce_data();
    void notAVillageFileIsRefusedAtOnce();

    void freshPageSaveDisabledAndSaveAsDoesNothing();
    void saveFollowsTheActiveTab();
    void twoSavesWriteTwiceWithoutDialog();
    void saveWithoutNameWarns();
    void saveDialogCancelledWritesNothing();
    void saveAsAsksForANewName();
    void saveAsCancelledWritesNothing();
    void saveAllSavesEveryChangedTab();
    void failedFirstSaveLeavesNoFileName();
    void failedSaveAsKeepsTheOldName();
    void failedAutomaticSaveCountsAsUnsaved();
    void saveAsOntoAnotherTabsFileIsRefused();

    void closeWithTwoChangedVillages();
    void closeWithUnsavedVillageAsks_data();
    void closeWithUnsavedVillageAsks();
    void closeWithNothingChangedDoesNotAsk();

    void viewTogglesPerTab();
    void tabReorderByTheTabBarsMove();
    void tabReorderByDragging();

    void middleClickClosesThatTab();
    void middleClickOnAnotherTabKeepsTheShownOne_data();
    void middleClickOnAnotherTabKeepsTheShownOne();
    void tabShowsTheNameAsItStands_data();
    void tabShowsTheNameAsItStands();
    void closingTheLastTabOpensAnEmptyOne();
    void closingAnUnsavedTabAsks_data();
    void closingAnUnsavedTabAsks();
    void closeTabKeys_data();
    void closeTabKeys();
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
    QStringList m_AskCalls;
    QList<UiSeams::TAnswer> m_AskDefaults;
};

void TestFormMain::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    const QString shipped = QStringLiteral(JOR_SHIPPED_CATALOG);
    QVERIFY(m_Catalog.LoadCatalog(shipped.left(shipped.size() - int(qstrlen(".xml")))));
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
    m_AskCalls.clear();
    m_AskDefaults.clear();

    UiSeams::SetOpenHandler([this](QWidget *) {
        ++m_OpenCalls;
        return m_OpenAnswers.isEmpty() ? QStringList() : m_OpenAnswers.takeFirst();
    });
    UiSeams::SetSaveHandler([this](QWidget *, const QString &title, const QString &preset) {
        m_SaveCalls.append({title, preset});
        return m_SaveAnswers.isEmpty() ? QString() : m_SaveAnswers.takeFirst();
    });
    UiSeams::SetAskHandler([this](QWidget *, const QString &question, UiSeams::TAnswer defaultAnswer) {
        m_AskCalls.append(question);
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

// A text of the table of available buildings, as the view shows it.
static QString CalcText(TFormVillage *page, int row, int column)
{
    const auto *table = page->findChild<QTableView *>(QStringLiteral("sgCalc"));
    if (table == nullptr || table->model() == nullptr)
        return QStringLiteral("<no table>");
    return table->model()->index(row, column).data().toString();
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

void TestFormMain::openOneFileReusesTheEmptyTab()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    TFormMain window(m_Catalog);
    TFormVillage *first = window.ActivePage();
    m_OpenAnswers = {{alpha}};
    Action(window, "actOpen")->trigger();

    QCOMPARE(m_OpenCalls, 1);
    QCOMPARE(window.PageCount(), 1);
    QCOMPARE(window.ActivePage(), first);
    QCOMPARE(first->Village().FileName, alpha);
    QCOMPARE(first->Village().Name, QStringLiteral("Альфа"));
    QCOMPARE(TabTexts(window), QStringList{QStringLiteral("Альфа")});
    QVERIFY(m_Messages->Messages.isEmpty());
    // Nothing is changed by reading: "Сохранить" waits for an edit.
    QVERIFY(!Action(window, "actSave")->isEnabled());
    QVERIFY(!Action(window, "mmiSave")->isEnabled());
    QVERIFY(!first->Document().HasUnwrittenEdits());
    first->Village().SetComments(QStringLiteral("правка"));
    QVERIFY(Action(window, "actSave")->isEnabled());
    QVERIFY(Action(window, "mmiSave")->isEnabled());
}

void TestFormMain::openSecondFileAddsAndActivatesATab()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    TFormMain window(m_Catalog);
    m_OpenAnswers = {{alpha}, {beta}};
    Action(window, "actOpen")->trigger();
    Action(window, "actOpen")->trigger();

    QCOMPARE(window.PageCount(), 2);
    QCOMPARE(Tabs(window)->currentIndex(), 1);
    QCOMPARE(window.ActivePage()->Village().FileName, beta);
    QCOMPARE(TabTexts(window), (QStringList{QStringLiteral("Альфа"), QStringLiteral("Бета")}));
}

void TestFormMain::openAfterEditingAddsATab()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    TFormMain window(m_Catalog);
    TFormVillage *first = window.ActivePage();
    TypeName(first, QStringLiteral("Моя"));
    QCOMPARE(TabTexts(window), QStringList{QStringLiteral("Моя")});

    m_OpenAnswers = {{alpha}};
    Action(window, "actOpen")->trigger();
    QCOMPARE(window.PageCount(), 2);
    QCOMPARE(Tabs(window)->currentIndex(), 1);
    QCOMPARE(window.Page(0), first);
    QCOMPARE(first->Village().Name, QStringLiteral("Моя"));
    QVERIFY(first->Village().FileName.isEmpty());
    QCOMPARE(window.Page(1)->Village().FileName, alpha);
}

void TestFormMain::openThreeWithTheSecondAlreadyOpen()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    const QString gamma = WriteVillage(QStringLiteral("gamma.vlgdat"), QStringLiteral("Гамма"));
    TFormMain window(m_Catalog);
    m_OpenAnswers = {{beta}, {alpha, beta, gamma}};
    Action(window, "actOpen")->trigger();
    QCOMPARE(window.PageCount(), 1);

    Action(window, "actOpen")->trigger();
    QCOMPARE(m_Messages->Texts(), QStringList{AlreadyOpenMessage(beta)});
    QCOMPARE(m_Messages->Messages.first().first, TMessageKind::Error);
    QCOMPARE(window.PageCount(), 3);
    QCOMPARE(window.Page(0)->Village().FileName, beta);
    QCOMPARE(window.Page(1)->Village().FileName, alpha);
    QCOMPARE(window.Page(2)->Village().FileName, gamma);
    QCOMPARE(Tabs(window)->currentIndex(), 2);
    QCOMPARE(TabTexts(window),
        (QStringList{QStringLiteral("Бета"), QStringLiteral("Альфа"), QStringLiteral("Гамма")}));
}

void TestFormMain::openThreeReusesTheEmptyTabForTheFirst()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    const QString gamma = WriteVillage(QStringLiteral("gamma.vlgdat"), QStringLiteral("Гамма"));
    TFormMain window(m_Catalog);
    m_OpenAnswers = {{beta}, {alpha, beta, gamma}};
    Action(window, "actOpen")->trigger();
    Action(window, "actNew")->trigger();
    TFormVillage *empty = window.ActivePage();
    QCOMPARE(window.PageCount(), 2);

    Action(window, "actOpen")->trigger();
    QCOMPARE(m_Messages->Texts(), QStringList{AlreadyOpenMessage(beta)});
    QCOMPARE(window.PageCount(), 3);
    QCOMPARE(window.Page(1), empty);
    QCOMPARE(window.Page(1)->Village().FileName, alpha);
    QCOMPARE(window.Page(2)->Village().FileName, gamma);
    QCOMPARE(TabTexts(window),
        (QStringList{QStringLiteral("Бета"), QStringLiteral("Альфа"), QStringLiteral("Гамма")}));
}

void TestFormMain::sameFileInOtherLetterCaseIsNotDetected()
{
    const QString lower = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString upper = WriteVillage(QStringLiteral("ALPHA.vlgdat"), QStringLiteral("Альфа"));
    TFormMain window(m_Catalog);
    m_OpenAnswers = {{lower}, {upper}};
    Action(window, "actOpen")->trigger();
    Action(window, "actOpen")->trigger();

    QVERIFY(m_Messages->Messages.isEmpty());
    QCOMPARE(window.PageCount(), 2);
    QCOMPARE(window.Page(1)->Village().FileName, upper);
}

void TestFormMain::openCancelledChangesNothing()
{
    TFormMain window(m_Catalog);
    Action(window, "actOpen")->trigger();
    QCOMPARE(m_OpenCalls, 1);
    QCOMPARE(window.PageCount(), 1);
    QVERIFY(window.ActivePage()->Village().FileName.isEmpty());
    QVERIFY(m_Messages->Messages.isEmpty());
}

void TestFormMain::openUnreadableFileKeepsTheTab()
{
    const QString missing = m_Dir->filePath(QStringLiteral("missing.vlgdat"));
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    TFormMain window(m_Catalog);
    m_OpenAnswers = {{missing, alpha}};
    Action(window, "actOpen")->trigger();

    // Which file, and why.
    QCOMPARE(m_Messages->Texts(), QStringList{QStringLiteral("Ошибка открытия файла!\r\n%1\r\nФайл не найден!")
                                                  .arg(QDir::toNativeSeparators(missing))});
    // The failed file took the empty tab; the next file still opens.
    QCOMPARE(window.PageCount(), 2);
    QCOMPARE(window.Page(1)->Village().FileName, alpha);
    QCOMPARE(window.Page(1)->Village().Name, QStringLiteral("Альфа"));
}

void TestFormMain::openPartlyReadFileShowsWhatWasApplied()
{
    // The file breaks off at an empty Building: the stocks and the first
    // building were applied and the table shows them.
    const QString first = m_Catalog.Object(0).DisplayText();
    const QString path = m_Dir->filePath(QStringLiteral("partly.vlgdat"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?><JorVillageData>"
                              "<Village Name=\"Обрыв\" Race=\"Галлы\"/>"
                              "<ResourceCollect Wood=\"999999\" Clay=\"999999\" Iron=\"999999\" Grain=\"999999\"/>"
                              "<AvBuildings><Building>%1</Building><Building/></AvBuildings></JorVillageData>")
                   .arg(first)
                   .toUtf8());
    file.close();

    TFormMain window(m_Catalog);
    m_OpenAnswers = {{path}};
    Action(window, "actOpen")->trigger();
    QCOMPARE(m_Messages->Messages.size(), 1);
    QVERIFY(m_Messages->Texts().first().startsWith(QStringLiteral("Ошибка открытия файла!\r\n")));
    TFormVillage *page = window.ActivePage();
    QCOMPARE(page->Village().AvBuildings.size(), 1);
    QCOMPARE(CalcText(page, 0, 0), first);
    // The partly read village has no file, so closing asks about it.
    QVERIFY(page->Village().FileName.isEmpty());
    QVERIFY(page->Village().IsUnsaved());
}

void TestFormMain::symbolicLinkToAnOpenFileIsRefused()
{
    // The comparison itself is tested with the village file.
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString link = m_Dir->filePath(QStringLiteral("link.vlgdat"));
    QVERIFY(QFile::link(alpha, link));
    TFormMain window(m_Catalog);
    m_OpenAnswers = {{alpha}, {link}};
    Action(window, "actOpen")->trigger();
    Action(window, "actOpen")->trigger();

    QCOMPARE(m_Messages->Texts(), QStringList{AlreadyOpenMessage(link)});
    QCOMPARE(window.PageCount(), 1);
}

void TestFormMain::alreadyOpenNamesTheFileAndShowsItsTab()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    TFormMain window(m_Catalog);
    m_OpenAnswers = {{alpha, beta}, {alpha}};
    Action(window, "actOpen")->trigger();
    QCOMPARE(window.ActivePage()->Village().Name, QStringLiteral("Бета"));

    Action(window, "actOpen")->trigger();
    QCOMPARE(m_Messages->Texts(), QStringList{QStringLiteral("Файл уже открыт!\r\n") + QDir::toNativeSeparators(alpha)});
    QCOMPARE(window.ActivePage()->Village().Name, QStringLiteral("Альфа"));
    QCOMPARE(window.PageCount(), 2);
}

void TestFormMain::notAVillageFileIsRefusedAtOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");

    QTest::newRow("pipe") << QStringLiteral("fifo")
                          << QStringLiteral("Это не обычный файл (канал, устройство или сокет).");
    QTest::newRow("link to /dev/zero") << QStringLiteral("zero")
                                       << QStringLiteral("Это не обычный файл (канал, устройство или сокет).");
    QTest::newRow("folder") << QStringLiteral("folder") << QStringLiteral("Это папка, а не файл деревни.");
    QTest::newRow("200 MB") << QStringLiteral("huge")
                            << QStringLiteral("Файл слишком большой (200,0 МиБ); файл деревни не бывает больше 16 МиБ.");
}

void TestFormMain::notAVillageFileIsRefusedAtOnce()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);

    const QString path = m_Dir->filePath(QStringLiteral("Северная.vlgdat"));
    if (kind == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == QLatin1String("zero")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else {
        // Sparse: it takes no room on the disk.
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(200LL * 1024 * 1024));
    }

    TFormMain window(m_Catalog);
    m_OpenAnswers = {{path}};
    QElapsedTimer timer;
    timer.start();
    Action(window, "actOpen")->trigger();
    QVERIFY(timer.elapsed() < 2000);

    QCOMPARE(m_Messages->Texts(), QStringList{QStringLiteral("Ошибка открытия файла!\r\n") + path
                                              + QStringLiteral("\r\n") + reason});
    QCOMPARE(window.PageCount(), 1);
    QVERIFY(window.ActivePage()->Village().FileName.isEmpty());
}

void TestFormMain::freshPageSaveDisabledAndSaveAsDoesNothing()
{
    TFormMain window(m_Catalog);
    QVERIFY(!Action(window, "actSave")->isEnabled());
    QVERIFY(!Action(window, "mmiSave")->isEnabled());
    QVERIFY(Action(window, "actSaveAs")->isEnabled());
    QVERIFY(Action(window, "actSaveAll")->isEnabled());

    Action(window, "actSaveAs")->trigger();
    Action(window, "actSaveAll")->trigger();
    QVERIFY(m_SaveCalls.isEmpty());
    QVERIFY(m_Messages->Messages.isEmpty());
    QVERIFY(QDir(m_Dir->path()).entryList(QDir::Files).isEmpty());
    QVERIFY(window.ActivePage()->Village().FileName.isEmpty());
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
}

void TestFormMain::twoSavesWriteTwiceWithoutDialog()
{
    TFormMain window(m_Catalog);
    TFormVillage *page = window.ActivePage();
    TypeName(page, QStringLiteral("Бета"));
    const QString path = m_Dir->filePath(QStringLiteral("Бета.vlgdat"));
    m_SaveAnswers = {path};

    Action(window, "actSave")->trigger();
    QCOMPARE(m_SaveCalls.size(), 1);
    QCOMPARE(m_SaveCalls.first().Title, QStringLiteral("Сохранить"));
    QCOMPARE(m_SaveCalls.first().Preset, QStringLiteral("Бета"));
    QCOMPARE(page->Village().FileName, path);
    QVERIFY(QFileInfo::exists(path));
    // Written: nothing is left to save until the next edit.
    QVERIFY(!Action(window, "actSave")->isEnabled());

    QVERIFY(QFile::remove(path));
    page->Village().SetComments(QStringLiteral("правка"));
    QVERIFY(Action(window, "actSave")->isEnabled());
    Action(window, "actSave")->trigger();
    QCOMPARE(m_SaveCalls.size(), 1);
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(m_Messages->Messages.isEmpty());
}

void TestFormMain::saveWithoutNameWarns()
{
    TFormMain window(m_Catalog);
    TFormVillage *page = window.ActivePage();
    page->Village().SetRace(1);
    QVERIFY(Action(window, "actSave")->isEnabled());

    Action(window, "actSave")->trigger();
    QCOMPARE(m_Messages->Texts(), QStringList{QStringLiteral("Заполните название деревни!")});
    QCOMPARE(m_Messages->Messages.first().first, TMessageKind::Warning);
    QVERIFY(m_SaveCalls.isEmpty());
    QVERIFY(page->Village().FileName.isEmpty());
    QVERIFY(page->Village().Modified);
}

void TestFormMain::saveDialogCancelledWritesNothing()
{
    TFormMain window(m_Catalog);
    TFormVillage *page = window.ActivePage();
    TypeName(page, QStringLiteral("Дельта"));
    Action(window, "actSave")->trigger();
    QCOMPARE(m_SaveCalls.size(), 1);
    QVERIFY(page->Village().FileName.isEmpty());
    QVERIFY(page->Village().Modified);
    QVERIFY(QDir(m_Dir->path()).entryList(QDir::Files).isEmpty());
}

void TestFormMain::saveAsAsksForANewName()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString copy = m_Dir->filePath(QStringLiteral("copy.vlgdat"));
    TFormMain window(m_Catalog);
    m_OpenAnswers = {{alpha}};
    Action(window, "actOpen")->trigger();
    m_SaveAnswers = {copy};

    Action(window, "actSaveAs")->trigger();
    QCOMPARE(m_SaveCalls.size(), 1);
    QCOMPARE(m_SaveCalls.first().Title, QStringLiteral("Сохранить как"));
    QCOMPARE(m_SaveCalls.first().Preset, alpha);
    QCOMPARE(window.ActivePage()->Village().FileName, copy);
    QVERIFY(QFileInfo::exists(copy));
    QCOMPARE(TabTexts(window), QStringList{QStringLiteral("Альфа")});
}

void TestFormMain::saveAsCancelledWritesNothing()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    TFormMain window(m_Catalog);
    m_OpenAnswers = {{alpha}};
    Action(window, "actOpen")->trigger();
    QVERIFY(QFile::remove(alpha));

    Action(window, "actSaveAs")->trigger();
    QCOMPARE(m_SaveCalls.size(), 1);
    QCOMPARE(window.ActivePage()->Village().FileName, alpha);
    QVERIFY(!QFileInfo::exists(alpha));
}

void TestFormMain::saveAllSavesEveryChangedTab()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    TFormMain window(m_Catalog);
    m_OpenAnswers = {{alpha, beta}};
    Action(window, "actOpen")->trigger();
    Action(window, "actNew")->trigger();
    QCOMPARE(window.PageCount(), 3);
    QVERIFY(QFile::remove(alpha));
    QVERIFY(QFile::remove(beta));
    window.Page(0)->Village().SetComments(QStringLiteral("правка"));

    Action(window, "actSaveAll")->trigger();
    QVERIFY(QFileInfo::exists(alpha));
    // Beta was not changed: its file is not written again.
    QVERIFY(!QFileInfo::exists(beta));
    // The fresh third tab is unchanged: no dialog, no warning.
    QVERIFY(m_SaveCalls.isEmpty());
    QVERIFY(m_Messages->Messages.isEmpty());
}

void TestFormMain::failedFirstSaveLeavesNoFileName()
{
    // A name with a slash leads the save dialog's preset into a folder that
    // does not exist.
    TFormMain window(m_Catalog);
    window.show();
    TFormVillage *page = window.ActivePage();
    TypeName(page, QStringLiteral("Север/Юг"));
    const QString dead = m_Dir->filePath(QStringLiteral("Север/Юг.vlgdat"));
    m_SaveAnswers = {dead};

    Action(window, "actSave")->trigger();
    QCOMPARE(m_Messages->Messages.size(), 1);
    QVERIFY(m_Messages->Texts().first().contains(QDir::toNativeSeparators(dead)));
    QVERIFY(page->Village().FileName.isEmpty());
    QVERIFY(page->Village().IsUnsaved());

    // The next save asks for a file again instead of going to the dead path.
    const QString good = m_Dir->filePath(QStringLiteral("Север-Юг.vlgdat"));
    m_SaveAnswers = {good};
    Action(window, "actSave")->trigger();
    QCOMPARE(m_SaveCalls.size(), 2);
    QCOMPARE(page->Village().FileName, good);
    QVERIFY(QFileInfo::exists(good));
    QVERIFY(!page->Village().IsUnsaved());
    QVERIFY(window.close());
    QVERIFY(m_AskCalls.isEmpty());
}

void TestFormMain::failedSaveAsKeepsTheOldName()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    TFormMain window(m_Catalog);
    window.show();
    m_OpenAnswers = {{alpha}};
    Action(window, "actOpen")->trigger();
    TFormVillage *page = window.ActivePage();
    page->Village().SetComments(QStringLiteral("правка"));
    m_SaveAnswers = {m_Dir->filePath(QStringLiteral("no such folder/copy.vlgdat"))};

    Action(window, "actSaveAs")->trigger();
    QCOMPARE(m_Messages->Messages.size(), 1);
    QCOMPARE(page->Village().FileName, alpha);
    QVERIFY(page->Village().LastWriteFailed);

    // Closing saves to the old, good file first; that write succeeds, so
    // nothing is asked.
    QVERIFY(QFile::remove(alpha));
    QVERIFY(window.close());
    QVERIFY(QFileInfo::exists(alpha));
    QVERIFY(m_AskCalls.isEmpty());
}

void TestFormMain::failedAutomaticSaveCountsAsUnsaved()
{
    // The file's folder went away after opening: the automatic save fails,
    // and so does the save on closing; the window asks, naming the village.
    const QString folder = m_Dir->filePath(QStringLiteral("gone"));
    QVERIFY(QDir(m_Dir->path()).mkdir(QStringLiteral("gone")));
    const QString alpha = WriteVillage(QStringLiteral("gone/alpha.vlgdat"), QStringLiteral("Южная"));
    TFormMain window(m_Catalog);
    window.show();
    m_OpenAnswers = {{alpha}};
    Action(window, "actOpen")->trigger();
    TFormVillage *page = window.ActivePage();
    QVERIFY(QDir(folder).removeRecursively());
    page->Village().SetComments(QStringLiteral("правка"));

    page->Village().HourCounter = 299;
    page->Planner().Tick();
    QCOMPARE(m_Messages->Messages.size(), 1);
    QVERIFY(page->Village().LastWriteFailed);
    QCOMPARE(page->Village().FileName, alpha);

    m_AskAnswers = {false};
    QVERIFY(!window.close());
    QCOMPARE(m_AskCalls,
             QStringList{QStringLiteral("Не сохранены деревни: «Южная». Закрыть программу без сохранения?")});
    QVERIFY(window.isVisible());
}

void TestFormMain::saveAsOntoAnotherTabsFileIsRefused()
{
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    TFormMain window(m_Catalog);
    m_OpenAnswers = {{alpha, beta}};
    Action(window, "actOpen")->trigger();
    QCOMPARE(window.ActivePage()->Village().FileName, beta);
    const QByteArray alphaBytes = [&alpha] {
        QFile file(alpha);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    m_SaveAnswers = {alpha};

    Action(window, "actSaveAs")->trigger();
    QCOMPARE(m_Messages->Texts(), QStringList{AlreadyOpenMessage(alpha)});
    QCOMPARE(window.ActivePage()->Village().FileName, beta);
    QFile file(alpha);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), alphaBytes);
}

void TestFormMain::closeWithTwoChangedVillages()
{
    const QString beta = WriteVillage(QStringLiteral("beta.vlgdat"), QStringLiteral("Бета"));
    const QString gamma = m_Dir->filePath(QStringLiteral("Гамма.vlgdat"));
    TFormMain window(m_Catalog);
    window.show();
    TypeName(window.ActivePage(), QStringLiteral("Гамма"));
    m_OpenAnswers = {{beta}};
    Action(window, "actOpen")->trigger();
    QCOMPARE(window.PageCount(), 2);
    QVERIFY(QFile::remove(beta));
    window.ActivePage()->Village().SetComments(QStringLiteral("правка"));
    m_SaveAnswers = {gamma};

    QVERIFY(window.close());
    QCOMPARE(m_SaveCalls.size(), 1);
    QCOMPARE(m_SaveCalls.first().Title, QStringLiteral("Сохранить"));
    QCOMPARE(m_SaveCalls.first().Preset, QStringLiteral("Гамма"));
    QVERIFY(QFileInfo::exists(gamma));
    QVERIFY(QFileInfo::exists(beta));
    QVERIFY(m_AskCalls.isEmpty());
    QVERIFY(m_Messages->Messages.isEmpty());
    QVERIFY(!window.isVisible());
}

void TestFormMain::closeWithUnsavedVillageAsks_data()
{
    QTest::addColumn<bool>("named");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("question");
    const QStringList warning{QStringLiteral("Заполните название деревни!")};
    const QString unnamed =
        QStringLiteral("Не сохранены деревни: без названия. Закрыть программу без сохранения?");
    const QString named = QStringLiteral("Не сохранены деревни: «Без файла». Закрыть программу без сохранения?");
    QTest::newRow("no name, answer no") << false << false << warning << unnamed;
    QTest::newRow("no name, answer yes") << false << true << warning << unnamed;
    QTest::newRow("save dialog cancelled, answer no") << true << false << QStringList() << named;
    QTest::newRow("save dialog cancelled, answer yes") << true << true << QStringList() << named;
}

void TestFormMain::closeWithUnsavedVillageAsks()
{
    QFETCH(bool, named);
    QFETCH(bool, answer);
    QFETCH(QStringList, messages);
    QFETCH(QString, question);

    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    TFormMain window(m_Catalog);
    window.show();
    TFormVillage *page = window.ActivePage();
    if (named)
        TypeName(page, QStringLiteral("Без файла"));
    else
        page->Village().SetRace(2);
    m_OpenAnswers = {{alpha}};
    Action(window, "actOpen")->trigger();
    window.ActivePage()->Village().SetComments(QStringLiteral("правка"));
    QVERIFY(QFile::remove(alpha));
    m_AskAnswers = {answer};

    QCOMPARE(window.close(), answer);
    QCOMPARE(m_AskCalls, QStringList{question});
    QCOMPARE(m_AskDefaults, QList<UiSeams::TAnswer>{UiSeams::TAnswer::No});
    QCOMPARE(m_Messages->Texts(), messages);
    QCOMPARE(window.isVisible(), !answer);
    // The village that has a file was written before the question.
    QVERIFY(QFileInfo::exists(alpha));
    QCOMPARE(window.PageCount(), 2);
}

void TestFormMain::closeWithNothingChangedDoesNotAsk()
{
    TFormMain window(m_Catalog);
    window.show();
    Action(window, "actNew")->trigger();
    QVERIFY(window.close());
    QVERIFY(m_AskCalls.isEmpty());
    QVERIFY(m_SaveCalls.isEmpty());
    QVERIFY(m_Messages->Messages.isEmpty());
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
    const QString alpha = WriteVillage(QStringLiteral("alpha.vlgdat"), QStringLiteral("Альфа"));
    TFormMain window(m_Catalog);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    m_OpenAnswers = {{alpha}};
    Action(window, "actOpen")->trigger();
    window.ActivePage()->Village().SetComments(QStringLiteral("правка"));
    Action(window, "actNew")->trigger();
    TFormVillage *fresh = window.Page(1);
    QCOMPARE(window.ActivePage(), fresh);
    QVERIFY(QFile::remove(alpha));

    QTabBar *bar = Tabs(window)->tabBar();
    QTest::mouseClick(bar, Qt::MiddleButton, {}, bar->tabRect(0).center());
    // The village was saved before its tab went.
    QVERIFY(QFileInfo::exists(alpha));
    QCOMPARE(window.PageCount(), 1);
    QCOMPARE(window.ActivePage(), fresh);
    QVERIFY(m_AskCalls.isEmpty());

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
    QCOMPARE(m_AskCalls.size(), hasFile ? 0 : 1);
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

void TestFormMain::closingTheLastTabOpensAnEmptyOne()
{
    TFormMain window(m_Catalog);
    TFormVillage *only = window.ActivePage();
    QSignalSpy destroyed(only, &QObject::destroyed);
    Action(window, "actClose")->trigger();
    QCOMPARE(destroyed.size(), 1);
    QCOMPARE(window.PageCount(), 1);
    QVERIFY(window.ActivePage());
    QVERIFY(!window.ActivePage()->Village().Modified);
    QVERIFY(m_AskCalls.isEmpty());
    QVERIFY(!Action(window, "actSave")->isEnabled());
}

void TestFormMain::closingAnUnsavedTabAsks_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("no keeps the tab") << false;
    QTest::newRow("yes closes it") << true;
}

void TestFormMain::closingAnUnsavedTabAsks()
{
    QFETCH(bool, answer);
    TFormMain window(m_Catalog);
    TypeName(window.ActivePage(), QStringLiteral("Первая"));
    Action(window, "actNew")->trigger();
    TFormVillage *unsaved = window.ActivePage();
    TypeName(unsaved, QStringLiteral("Вторая"));
    m_AskAnswers = {answer};

    Action(window, "actClose")->trigger();
    QCOMPARE(m_SaveCalls.size(), 1);
    QCOMPARE(m_SaveCalls.first().Preset, QStringLiteral("Вторая"));
    QCOMPARE(m_AskCalls,
             QStringList{QStringLiteral("Деревня «Вторая» не сохранена. Закрыть вкладку без сохранения?")});
    QCOMPARE(m_AskDefaults, QList<UiSeams::TAnswer>{UiSeams::TAnswer::No});
    QCOMPARE(window.PageCount(), answer ? 1 : 2);
    QCOMPARE(TabTexts(window).constFirst(), QStringLiteral("Первая"));
    if (!answer)
        QCOMPARE(window.ActivePage(), unsaved);
}

void TestFormMain::closeTabKeys_data()
{
    QTest::addColumn<QKeySequence>("keys");
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

    QTest::keySequence(&window, keys);
    QCOMPARE(m_AskCalls,
             QStringList{QStringLiteral("Деревня «Вторая» не сохранена. Закрыть вкладку без сохранения?")});
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
    QString shownDefault;
    QTimer::singleShot(0, &parent, [&shownDefault, key] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        if (box->defaultButton() != nullptr)
            shownDefault = box->defaultButton()->text();
        QTest::keyClick(box, Qt::Key(key));
    });
    QCOMPARE(UiSeams::Ask(&parent, QStringLiteral("Закрыть?"), defaultAnswer), answer);
    QCOMPARE(shownDefault, defaultButton);
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
    QFile example(QFINDTESTDATA("../../data/overview_example.txt"));
    QVERIFY(example.open(QIODevice::ReadOnly));
    const QString overview = QString::fromUtf8(example.readAll());

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
