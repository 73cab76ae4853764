// The village page: its state when created, the controls bound to the record
// and the planner, the selection and import flows, the shortage colours of
// the available table, the build command and the one-second timer.
#include "TestSupport.h"

#include "app/VillageDocument.h"

#include "ui/widgets/UiSeams.h"
#include "ui/dialogs/f_ImportRes.h"
#include "ui/dialogs/f_SelectItems.h"
#include "ui/widgets/ReadableColours.h"
#include "ui/page/f_Village.h"
#include "models/AvailableModel.h"
#include "models/ConsideredModel.h"
#include "rules/Planner.h"
#include "rules/Traders.h"
#include "models/ResourceModel.h"
#include "record/VillageData.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <memory>

namespace {

// Catalog indexes: 0, 1 Главное здание 1-2; 2, 3, 4 Склад 1-3; 5, 6, 7 Ферма
// 1-3; 8 амбар 1 (lower case, to show that sorting ignores letter case).
const QByteArray TestObjects =
    "<Object Name=\"Главное здание\">"
    "<Level ID=\"1\" WOOD=\"70\" CLAY=\"40\" IRON=\"60\" GRAIN=\"20\" USEGRAIN=\"2\" EK=\"1\" "
    "TIME=\"00:33:20\" PROD=\"100\"/>"
    "<Level ID=\"2\" WOOD=\"90\" CLAY=\"50\" IRON=\"75\" GRAIN=\"25\" USEGRAIN=\"2\" EK=\"2\" "
    "TIME=\"00:40:00\" PROD=\"50\"/>"
    "</Object>"
    "<Object Name=\"Склад\">"
    "<Level ID=\"1\" WOOD=\"130\" CLAY=\"160\" IRON=\"90\" GRAIN=\"40\" USEGRAIN=\"1\" EK=\"1\" "
    "TIME=\"00:33:20\" PROD=\"1200\"/>"
    "<Level ID=\"2\" WOOD=\"165\" CLAY=\"205\" IRON=\"115\" GRAIN=\"50\" USEGRAIN=\"1\" EK=\"2\" "
    "TIME=\"00:40:00\" PROD=\"1700\"/>"
    "<Level ID=\"3\" WOOD=\"210\" CLAY=\"260\" IRON=\"145\" GRAIN=\"65\" USEGRAIN=\"2\" EK=\"2\" "
    "TIME=\"00:50:00\" PROD=\"2300\"/>"
    "</Object>"
    "<Object Name=\"Ферма\">"
    "<Level ID=\"1\" WOOD=\"70\" CLAY=\"90\" IRON=\"70\" GRAIN=\"20\" USEGRAIN=\"0\" EK=\"1\" "
    "TIME=\"00:02:30\" PROD=\"5\"/>"
    "<Level ID=\"2\" WOOD=\"115\" CLAY=\"150\" IRON=\"115\" GRAIN=\"35\" USEGRAIN=\"0\" EK=\"2\" "
    "TIME=\"00:04:00\" PROD=\"9\"/>"
    "<Level ID=\"3\" WOOD=\"195\" CLAY=\"250\" IRON=\"195\" GRAIN=\"55\" USEGRAIN=\"0\" EK=\"2\" "
    "TIME=\"00:06:00\" PROD=\"15\"/>"
    "</Object>"
    "<Object Name=\"амбар\">"
    "<Level ID=\"1\" WOOD=\"80\" CLAY=\"100\" IRON=\"70\" GRAIN=\"20\" USEGRAIN=\"1\" EK=\"1\" "
    "TIME=\"00:26:40\" PROD=\"1200\"/>"
    "</Object>";

const QString Sklad1 = QStringLiteral("Склад ( 1)");
const QString Sklad2 = QStringLiteral("Склад ( 2)");
const QString Ferma1 = QStringLiteral("Ферма ( 1)");
const QString Ambar1 = QStringLiteral("амбар ( 1)");
const QString Main1 = QStringLiteral("Главное здание ( 1)");

// Acts on the next modal dialog of type T as soon as the event loop shows it.
template <typename T>
class TModalAnswer
{
public:
    explicit TModalAnswer(std::function<void(T *)> action)
        : m_Action(std::move(action))
    {
        m_Timer.setInterval(5);
        QObject::connect(&m_Timer, &QTimer::timeout, [this] { Poll(); });
        m_Timer.start();
    }

    bool Answered = false;

private:
    void Poll()
    {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        m_Timer.stop();
        Answered = true;
        m_Action(dialog);
    }

    std::function<void(T *)> m_Action;
    QTimer m_Timer;
};

// An overview page as the game shows it: line 5 the game's name, line 12 the
// village name, line 13 the buildings, then production and stocks.
QString OverviewText()
{
    return QStringList{
        QStringLiteral("Обзор деревни"),
        QStringLiteral("Меню"),
        QStringLiteral("Деревня"),
        QStringLiteral("Карта"),
        QStringLiteral("Ливарон"),
        QStringLiteral("Статистика"),
        QStringLiteral("Отчеты"),
        QStringLiteral("Сообщения"),
        QStringLiteral("Альянс"),
        QStringLiteral("Настройки"),
        QStringLiteral("Выход"),
        QStringLiteral("Северный хутор"),
        QStringLiteral("Стройплощадка Склад Уровень 1 Ферма Уровень 0 Стена Уровень 3"),
        QStringLiteral("Производство:"),
        QStringLiteral("Древесина: 3600 в час"),
        QStringLiteral("Глина: 1 200 в час"),
        QStringLiteral("Железо: 30 в час"),
        QStringLiteral("Зерно: 40 в час"),
        QStringLiteral("Древесина 750/800 Глина 600/800 Железо 420/800 Зерно 300/900"),
    }.join(QLatin1Char('\n'));
}

// What a view shows: the display text of a cell, the rows and columns of
// its model, the texts of its first column.
QString CellText(const QAbstractItemView *view, int row, int column)
{
    return view->model()->index(row, column).data().toString();
}

int RowCount(const QAbstractItemView *view)
{
    return view->model()->rowCount();
}

int ColumnCount(const QAbstractItemView *view)
{
    return view->model()->columnCount();
}

QStringList ListTexts(const QAbstractItemView *list)
{
    QStringList texts;
    for (int row = 0; row < RowCount(list); ++row)
        texts.append(CellText(list, row, 0));
    return texts;
}

// Makes a cell current (and selected), as a click does.
void SetCurrentCell(QAbstractItemView *view, int row, int column)
{
    view->setCurrentIndex(view->model()->index(row, column));
}

void SelectRow(QAbstractItemView *view, int row)
{
    SetCurrentCell(view, row, 0);
}


// Types text into widget character by character (also letters beyond Latin-1).
void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// Types text into a cell of table as a user does: the first key opens the
// cell's editor, the rest go to it, Enter closes it.
void TypeIntoCell(QTableView *table, int row, int column, const QString &text)
{
    SetCurrentCell(table, row, column);
    QTest::sendKeyEvent(QTest::Click, table, Qt::Key_unknown, text.left(1), Qt::NoModifier);
    QWidget *editor = QApplication::focusWidget();
    TypeText(editor, text.mid(1));
    QTest::keyClick(editor, Qt::Key_Return);
}

} // namespace

class TestFormVillage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newPageState();
    void notUnderstoodPartsAreMarked_data();
    void notUnderstoodPartsAreMarked();
    void tableTitlesAndSizes();
    void everyColumnShowsAtTheSmallestSize();
    void horizonMenuRetitlesAndRecalculates();
    void nameEditSetsCaption();
    void raceChoiceSetsRaceWithoutRecalculation();
    void serverSpeedChoiceDividesBuildTimes();
    void coordinatesTypedAndShown();
    void tradersTypedOrByTheMarket();
    void paybackColumnRanksFields();
    void exchangeColumnAndCommand();
    void deliveryTypedOnThePage();
    void levelFieldRefusesLettersAndCommitsOne();
    void levelFieldTakesTwoDigitsAtMost();

    void changeListWithoutRaceShowsMessageAndNoDialog();
    void insertStartsChangeListFromAnywhere();
    void doubleClickOnListOrGroupStartsChangeList();
    void changeListCancelKeepsListButRecalculates();
    void changeListOkReplacesListInSortedOrder();
    void changeListOkWithEmptyCatalogEmptiesList();
    void nextLevel_data();
    void nextLevel();
    void deleteWithSelectionRemovesAndRecalculates();
    void deleteWithoutSelectionDoesNothing();
    void deleteActsOnlyWhileListHasFocus();

    void letterTypedIntoStockCellIsRefused();
    void incomeCellTakesMinus();
    void typedNumbersMarkChangedAndRecalculate();
    void typedCapacityReachesRecordAndTimes();
    void slowTypingWhileTheClockTicks();
    void shortCostsShowRedAndBold();
    void selectedShortCellKeepsSelectionLook_data();
    void selectedShortCellKeepsSelectionLook();
    void clickOnTitleSortsAndBuildTakesClickedRow();
    void tabWalksThePageInReadingOrder();
    void altLettersReachTheFields_data();
    void altLettersReachTheFields();
    void unknownBuildingsShowGreyedAfterKnownOnes();

    void f9BuildsSelectedRow();
    void f9ActsOnlyWhileTableHasFocus();
    void buildingWhatIsShortAsksFirst_data();
    void buildingWhatIsShortAsksFirst();
    void ticksAdvanceStocksAndProgress();
    void timerRunsOnHiddenPage();
    void autoSaveWritesFile();
    void autoSaveFailureIsReported();
    void autoSaveAddsNoReportWhileOneIsOpen();
    void loadFromFileShowsRecord();
    void partlyReadFileShowsWhatWasApplied();
    void openAfterAnHourCatchesUpAndSaysSo();

    void pasteOfCompletePageClosesDialogAndImports();
    void importButtonRunsImport();
    void cancelledImportChangesNothing();
    void rejectedTextIsNotRecalculated_data();
    void rejectedTextIsNotRecalculated();
    void secondImportShowsEmptyField();

    void viewToggles();

private:
    // A page shown and active, for the keyboard.
    void ShowActive(TFormVillage &page);
    // A village with a race, stocks, incomes and considered buildings.
    void Prepare(TFormVillage &page, const QStringList &stocks, const QStringList &incomes,
                 const QList<TAvBuildingEntry> &considered);
    template <typename T>
    T *Find(const TFormVillage &page, const QString &name)
    {
        T *child = page.findChild<T *>(name);
        if (!child)
            qWarning("no control %s", qPrintable(name));
        return child;
    }

    std::unique_ptr<TTestCatalog> m_Catalog;
    std::unique_ptr<TRecordedMessages> m_Messages;
    std::unique_ptr<TPinnedClock> m_Clock;
    // The questions asked, and the answer each gets.
    QStringList m_Questions;
    bool m_Answer = false;
};

void TestFormVillage::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    m_Catalog = std::make_unique<TTestCatalog>(CatalogXml(TestObjects));
    QVERIFY(m_Catalog->Loaded);
    QCOMPARE(m_Catalog->Catalog.Count(), 9);
}

void TestFormVillage::init()
{
    m_Messages = std::make_unique<TRecordedMessages>();
    m_Clock = std::make_unique<TPinnedClock>(QDateTime(QDate(2024, 3, 1), QTime(14, 5, 0)));
    m_Questions.clear();
    m_Answer = false;
    UiSeams::SetAskHandler([this](QWidget *, const QString &question, UiSeams::TAnswer defaultAnswer) {
        m_Questions.append(question);
        // A question about spending must default to "Нет".
        return defaultAnswer == UiSeams::TAnswer::No ? m_Answer : true;
    });
}

void TestFormVillage::cleanup()
{
    m_Clock.reset();
    m_Messages.reset();
    UiSeams::SetAskHandler({});
    QApplication::clipboard()->clear();
}

void TestFormVillage::ShowActive(TFormVillage &page)
{
    page.show();
    QApplication::setActiveWindow(&page);
    QVERIFY(QTest::qWaitForWindowActive(&page));
}

void TestFormVillage::Prepare(TFormVillage &page, const QStringList &stocks,
                              const QStringList &incomes,
                              const QList<TAvBuildingEntry> &considered)
{
    page.Village().SetRace(1);
    for (const TResourceKind kind : AllResourceKinds) {
        page.Village().SetResourceCollect(kind, stocks.at(int(KindIndex(kind))));
        page.Village().SetResourceAdd(kind, incomes.at(int(KindIndex(kind))));
    }
    page.Village().ReplaceAvBuildings(considered);
    page.Planner().RecalculateAvailable();
}

void TestFormVillage::newPageState()
{
    TFormVillage page(m_Catalog->Catalog);
    const auto *gbAvBuild = Find<QGroupBox>(page, QStringLiteral("gbAvBuild"));
    const auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    const auto *pmiTime1 = Find<QAction>(page, QStringLiteral("pmiTime1"));
    const auto *pmiTime2 = Find<QAction>(page, QStringLiteral("pmiTime2"));
    const auto *edMainLevel = Find<QLineEdit>(page, QStringLiteral("edMainLevel"));
    const auto *edName = Find<QLineEdit>(page, QStringLiteral("edName"));
    const auto *cbRace = Find<QComboBox>(page, QStringLiteral("cbRace"));
    QVERIFY(gbAvBuild && sgCalc && pmiTime1 && pmiTime2 && edMainLevel && edName && cbRace);

    QCOMPARE(gbAvBuild->title(), QStringLiteral("Доступны для строительства в течение часа"));
    QCOMPARE(RowCount(sgCalc), 1);
    for (int column = 0; column < 7; ++column)
        QVERIFY(CellText(sgCalc, 0, column).isEmpty());
    QVERIFY(pmiTime1->isChecked());
    QVERIFY(!pmiTime2->isChecked());
    QCOMPARE(edMainLevel->text(), QStringLiteral("1"));
    QVERIFY(edName->text().isEmpty());
    QCOMPARE(cbRace->currentIndex(), -1);
    QVERIFY(cbRace->currentText().isEmpty());
    QCOMPARE(cbRace->count(), 3);
    QCOMPARE(cbRace->itemText(2), QStringLiteral("Германцы"));
    QVERIFY(!page.CommentsVisible());
    QVERIFY(!page.ProgressVisible());
    QVERIFY(Find<QGroupBox>(page, QStringLiteral("gbComments"))->isHidden());
    QVERIFY(Find<QGroupBox>(page, QStringLiteral("gbProgress"))->isHidden());
    QCOMPARE(RowCount(Find<QListView>(page, QStringLiteral("LstBoxItems"))), 0);
    QVERIFY(!page.Village().Modified);
    QCOMPARE(page.Village().Horizon, 3600);
    QCOMPARE(Find<QProgressBar>(page, QStringLiteral("ProgressBar1"))->value(), 0);

    auto *timer = Find<QTimer>(page, QStringLiteral("Timer1"));
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);

    // The name field has the focus once the page is shown.
    ShowActive(page);
    QTRY_VERIFY(edName->hasFocus());
}

void TestFormVillage::notUnderstoodPartsAreMarked_data()
{
    QTest::addColumn<QByteArray>("content"); // in the root, after Village
    QTest::addColumn<bool>("line");
    QTest::addColumn<bool>("construction");
    QTest::addColumn<bool>("queue");

    QTest::newRow("everything understood, unknown element kept silently")
        << QByteArray("<Future/>") << false << false << false;
    QTest::newRow("construction with a negative total")
        << QByteArray(R"(<Construction Name="X" Total="-5" Ends="2026-12-07T10:00:00Z"/>)") << true << true << false;
    QTest::newRow("queue item with markup") << QByteArray("<Queue><Item>a<b/></Item></Queue>") << true << false << true;
}

void TestFormVillage::notUnderstoodPartsAreMarked()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, line);
    QFETCH(bool, construction);
    QFETCH(bool, queue);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("village.vlgdat"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<JorVillageData><Village Name=\"Застава\" Race=\"Галлы\" "
               "MainLevel=\"1\"/>" + content + "</JorVillageData>");
    file.close();

    TFormVillage page(m_Catalog->Catalog);
    page.SetProgressVisible(true);
    page.Village().SetFileName(path);
    QVERIFY(page.LoadFromFile().Ok);

    auto *lbNotUnderstood = Find<QLabel>(page, QStringLiteral("lbNotUnderstood"));
    QVERIFY(lbNotUnderstood);
    QCOMPARE(!lbNotUnderstood->isHidden(), line);
    QCOMPARE(lbNotUnderstood->text(), QStringLiteral("Часть файла не распознана; она сохранится без изменений."));
    QCOMPARE(Find<QLabel>(page, QStringLiteral("lbBuildingName"))->text(),
             construction ? QStringLiteral("не распознано") : QString());
    auto *lbQueue = Find<QLabel>(page, QStringLiteral("lbQueueNotUnderstood"));
    QVERIFY(lbQueue);
    QCOMPARE(!lbQueue->isHidden(), queue);
    QCOMPARE(lbQueue->text(), QStringLiteral("не распознано"));
}

void TestFormVillage::tableTitlesAndSizes()
{
    TFormVillage page(m_Catalog->Catalog);
    const auto *sgRes = Find<QTableView>(page, QStringLiteral("sgRes"));
    const auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    QVERIFY(sgRes && sgCalc);

    // The views show the page's models.
    QCOMPARE(sgRes->model(), &page.ResourceModel());
    QCOMPARE(RowCount(sgRes), 4);
    QCOMPARE(ColumnCount(sgRes), 4);
    QCOMPARE(sgRes->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Зерно"));
    QCOMPARE(sgRes->model()->headerData(1, Qt::Vertical).toString(), QStringLiteral("Поступление, в час"));
    QCOMPARE(ColumnCount(sgCalc), 9);
    QCOMPARE(sgCalc->model()->headerData(5, Qt::Horizontal).toString(), QStringLiteral("Время"));
    QCOMPARE(sgCalc->editTriggers(), QAbstractItemView::NoEditTriggers);
    QVERIFY(!sgCalc->tabKeyNavigation());
    QVERIFY(!sgRes->tabKeyNavigation());

    const auto *btnImport = Find<QToolButton>(page, QStringLiteral("btnImport"));
    QVERIFY(btnImport);
    QVERIFY(btnImport->text().isEmpty() || btnImport->toolButtonStyle() == Qt::ToolButtonIconOnly);
    QCOMPARE(btnImport->toolTip(), QStringLiteral("Импортировать данные"));
    QCOMPARE(Find<QPushButton>(page, QStringLiteral("btnChangeList"))->text(),
             QStringLiteral("Добавить/Изменить"));
    QCOMPARE(Find<QGroupBox>(page, QStringLiteral("gbProfil"))->title(), QStringLiteral("Деревня"));
    QCOMPARE(Find<QGroupBox>(page, QStringLiteral("gbResource"))->title(), QStringLiteral("Ресурсы"));
    QCOMPARE(Find<QGroupBox>(page, QStringLiteral("gbBuildings"))->title(),
             QStringLiteral("Учитываемые строения"));
    QCOMPARE(Find<QLabel>(page, QStringLiteral("lbMainLevel"))->toolTip(),
             QStringLiteral("Необходим для правильного расчета времени строительства"));

    const auto *popup1 = Find<QMenu>(page, QStringLiteral("PopupMenu1"));
    QVERIFY(popup1);
    const QList<QAction *> items = popup1->actions();
    // The list's three commands, then "В очередь" after a separator.
    QCOMPARE(items.size(), 5);
    QCOMPARE(items.at(4), Find<QAction>(page, QStringLiteral("actEnqueue")));
    QCOMPARE(items.at(0)->text(), QStringLiteral("Добавить/Изменить"));
    QCOMPARE(items.at(0)->shortcut(), QKeySequence(Qt::Key_Insert));
    QCOMPARE(popup1->defaultAction(), items.at(0));
    QVERIFY(items.at(0)->font().bold());
    QCOMPARE(items.at(1)->text(), QStringLiteral("Следующий уровень"));
    QCOMPARE(items.at(1)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    QCOMPARE(items.at(2)->text(), QStringLiteral("Исключить"));
    QCOMPARE(items.at(2)->shortcut(), QKeySequence(Qt::Key_Delete));
    const auto *pmiBuild = Find<QAction>(page, QStringLiteral("pmiBuild"));
    QCOMPARE(pmiBuild->text(), QStringLiteral("Построить"));
    QCOMPARE(pmiBuild->shortcut(), QKeySequence(Qt::Key_F9));
    QCOMPARE(Find<QAction>(page, QStringLiteral("pmiTime1"))->text(),
             QStringLiteral("Расчет на 1 час"));
    QCOMPARE(Find<QAction>(page, QStringLiteral("pmiTime2"))->text(),
             QStringLiteral("Расчет на 2 часа"));
}

void TestFormVillage::everyColumnShowsAtTheSmallestSize()
{
    // A long name at 40 levels: more rows than the table shows at once, so
    // that its vertical scroll bar appears.
    const QString longName = QStringLiteral("Деревообрабатывающий завод");
    QByteArray levels;
    for (int level = 1; level <= 40; ++level)
        levels += "<Level ID=\"" + QByteArray::number(level) + "\" WOOD=\""
            + (level == 10 ? "1234567" : "10")
            + "\" CLAY=\"10\" IRON=\"10\" GRAIN=\"10\" USEGRAIN=\"1\" EK=\"1\" "
              "TIME=\"00:10:00\" PROD=\"0\"/>";
    TTestCatalog catalog(CatalogXml("<Object Name=\"" + longName.toUtf8() + "\">" + levels + "</Object>"));
    QVERIFY(catalog.Loaded);
    QList<TAvBuildingEntry> all;
    for (qint32 index = 0; index < catalog.Catalog.Count(); ++index)
        all.append({catalog.Catalog.Object(index).DisplayText(), index});

    // The page's room in the main window at its least size, 700 x 570.
    TFormVillage page(catalog.Catalog);
    QFont font = page.font();
    font.setPointSize(8);
    page.setFont(font);
    page.resize(696, 520);
    Prepare(page, {"0", "0", "0", "0"}, {"0", "0", "0", "0"}, all);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    QTRY_VERIFY(sgCalc->verticalScrollBar()->isVisible());
    QHeaderView *header = sgCalc->horizontalHeader();
    // Nothing is cut: the name column holds the longest name, and where the
    // columns need more room than the view has, the view scrolls sideways to
    // every one of them, "Строить" too.
    const QAbstractItemView *names = sgCalc;
    QVERIFY(header->sectionSize(0) >= names->sizeHintForColumn(0));
    QCOMPARE(sgCalc->horizontalScrollBar()->isVisible(), header->length() > sgCalc->viewport()->width());
    if (sgCalc->horizontalScrollBar()->isVisible())
        QVERIFY(sgCalc->horizontalScrollBar()->maximum() > 0);
    // The columns other than the name are as wide as their texts and title.
    const QAbstractItemView *view = sgCalc;
    for (int column = 1; column < 7; ++column) {
        const QString title = sgCalc->model()->headerData(column, Qt::Horizontal).toString();
        QVERIFY2(header->sectionSize(column) >= view->sizeHintForColumn(column)
                     && header->sectionSize(column) > header->fontMetrics().horizontalAdvance(title),
                 qPrintable(title));
    }
}

void TestFormVillage::horizonMenuRetitlesAndRecalculates()
{
    TFormVillage page(m_Catalog->Catalog);
    // Wood 100 at 50 an hour: Склад 1 (130) in 2160 s, Склад 2 (165) in 4680 s.
    Prepare(page, {"100", "1000", "1000", "1000"}, {"50", "0", "0", "0"},
            {{Sklad1, 2}, {Sklad2, 3}});
    auto *gbAvBuild = Find<QGroupBox>(page, QStringLiteral("gbAvBuild"));
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    auto *pmiTime1 = Find<QAction>(page, QStringLiteral("pmiTime1"));
    auto *pmiTime2 = Find<QAction>(page, QStringLiteral("pmiTime2"));
    QCOMPARE(RowCount(sgCalc), 1);
    QCOMPARE(CellText(sgCalc, 0, 0), Sklad1);

    Settle();

    QSignalSpy recalculated(&page.Planner(), &TPlanner::Evaluated);
    pmiTime2->trigger();
    QCOMPARE(gbAvBuild->title(), QStringLiteral("Доступны для строительства в течение двух часов"));
    QVERIFY(pmiTime2->isChecked());
    QVERIFY(!pmiTime1->isChecked());
    QCOMPARE(page.Village().Horizon, 7200);
    QVERIFY(recalculated.count() >= 1);
    QCOMPARE(RowCount(sgCalc), 2);
    QCOMPARE(CellText(sgCalc, 1, 0), Sklad2);
    QVERIFY(CellText(sgCalc, 1, 5).startsWith(QStringLiteral("01:18:00")));

    pmiTime1->trigger();
    QCOMPARE(gbAvBuild->title(), QStringLiteral("Доступны для строительства в течение часа"));
    QVERIFY(pmiTime1->isChecked());
    QVERIFY(!pmiTime2->isChecked());
    QCOMPARE(RowCount(sgCalc), 1);
}

void TestFormVillage::nameEditSetsCaption()
{
    TFormVillage page(m_Catalog->Catalog);
    QSignalSpy captions(&page, &TFormVillage::CaptionChanged);
    auto *edName = Find<QLineEdit>(page, QStringLiteral("edName"));
    TypeText(edName, QStringLiteral("Хутор"));
    QCOMPARE(page.Village().Name, QStringLiteral("Хутор"));
    QVERIFY(page.Village().Modified);
    QVERIFY(captions.count() >= 1);
    QCOMPARE(captions.last().at(0).toString(), QStringLiteral("Хутор"));
    QCOMPARE(page.windowTitle(), QStringLiteral("Хутор"));

    // A name set by the record shows in the field and the caption.
    page.Village().SetName(QStringLiteral("Озеро"));
    QCOMPARE(edName->text(), QStringLiteral("Озеро"));
    QCOMPARE(captions.last().at(0).toString(), QStringLiteral("Озеро"));
}

void TestFormVillage::raceChoiceSetsRaceWithoutRecalculation()
{
    TFormVillage page(m_Catalog->Catalog);
    Settle();
    QSignalSpy recalculated(&page.Planner(), &TPlanner::Evaluated);
    auto *cbRace = Find<QComboBox>(page, QStringLiteral("cbRace"));
    cbRace->setCurrentIndex(1);
    QCOMPARE(page.Village().Race, quint8(2));
    QVERIFY(page.Village().Modified);
    Settle();
    QCOMPARE(recalculated.count(), 0);

    page.Village().SetRace(2);
    QCOMPARE(cbRace->currentText(), QStringLiteral("Германцы"));
}

void TestFormVillage::serverSpeedChoiceDividesBuildTimes()
{
    TFormVillage page(m_Catalog->Catalog);
    page.Village().ReplaceAvBuildings({{Sklad1, 2}});
    Settle();
    auto *cbServerSpeed = Find<QComboBox>(page, QStringLiteral("cbServerSpeed"));
    const auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    QCOMPARE(cbServerSpeed->currentText(), QStringLiteral("1"));
    QCOMPARE(CellText(sgCalc, 0, 6), QStringLiteral("00:33:20"));

    cbServerSpeed->setCurrentIndex(cbServerSpeed->findText(QStringLiteral("3")));
    QCOMPARE(page.Village().ServerSpeedValue(), 3);
    QVERIFY(page.Village().Modified);
    Settle();
    // 2000 s at speed 3.
    QCOMPARE(CellText(sgCalc, 0, 6), QStringLiteral("00:11:06"));

    // A speed the file brings shows in the box.
    page.Village().SetServerSpeed(QStringLiteral("10"));
    QCOMPARE(cbServerSpeed->currentText(), QStringLiteral("10"));
}

void TestFormVillage::coordinatesTypedAndShown()
{
    TFormVillage page(m_Catalog->Catalog);
    ShowActive(page);
    auto *edCoordinates = Find<QLineEdit>(page, QStringLiteral("edCoordinates"));
    edCoordinates->setFocus();
    // Letters are refused; the game's form goes in.
    QTest::keyClicks(edCoordinates, QStringLiteral("(-1a2|34)"));
    QCOMPARE(page.Village().Coordinates, QStringLiteral("(-12|34)"));
    QVERIFY(page.Village().Modified);
    // A place the file brings shows; one that is no place says so.
    page.Village().SetCoordinates(QStringLiteral("где-то"));
    QCOMPARE(edCoordinates->text(), QStringLiteral("где-то"));
    QVERIFY(edCoordinates->toolTip().contains(QStringLiteral("не распознаны")));
}

void TestFormVillage::tradersTypedOrByTheMarket()
{
    // The shipped catalog has the market.
    TdmListObj shipped;
    QVERIFY(shipped.LoadCatalog(QStringLiteral(JOR_SHIPPED_CATALOG)));
    TFormVillage page(shipped);
    ShowActive(page);
    auto *edTraders = Find<QLineEdit>(page, QStringLiteral("edTraders"));
    page.Village().SetBuilt(BuiltList(shipped, QStringLiteral("Рынок 3")));
    QCOMPARE(edTraders->placeholderText(), QStringLiteral("3"));
    edTraders->setFocus();
    QTest::keyClicks(edTraders, QStringLiteral("1x2"));
    QCOMPARE(page.Village().Traders, QStringLiteral("12"));
    QCOMPARE(VillageTraders(shipped, page.Village()), (TVillageTraders{12, true}));
}

void TestFormVillage::paybackColumnRanksFields()
{
    TFormVillage page(m_Catalog->Catalog);
    // Ферма 1: 250 at 5 an hour; Ферма 2: 415 at 4; Ферма 3: 695 at 6.
    // The table lists them after Склад, in the order of their names.
    page.Village().ReplaceAvBuildings({{Sklad1, 2}, {Ferma1, 5}, {QStringLiteral("Ферма ( 2)"), 6},
                                       {QStringLiteral("Ферма ( 3)"), 7}});
    Settle();
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    QCOMPARE(sgCalc->model()->headerData(7, Qt::Horizontal).toString(), QStringLiteral("Окупится"));
    sgCalc->horizontalHeader()->setSortIndicatorShown(true);
    sgCalc->sortByColumn(7, Qt::DescendingOrder);
    QStringList order;
    QStringList payback;
    for (int row = 0; row < RowCount(sgCalc); ++row) {
        order.append(CellText(sgCalc, row, 0));
        payback.append(CellText(sgCalc, row, 7));
    }
    // The longest first; a building that pays nothing back stays last.
    QCOMPARE(order, (QStringList{QStringLiteral("Ферма ( 3)"), QStringLiteral("Ферма ( 2)"), Ferma1, Sklad1}));
    QCOMPARE(payback, (QStringList{QStringLiteral("4 д 19:50:00"), QStringLiteral("4 д 07:45:00"),
                                   QStringLiteral("2 д 02:00:00"), QString()}));
}

void TestFormVillage::exchangeColumnAndCommand()
{
    // Склад ( 1) costs 130/160/90/40: no clay nor iron, but wood to spare.
    TFormVillage page(m_Catalog->Catalog);
    Prepare(page, {"500", "0", "0", "100"}, {"0", "0", "0", "0"}, {{Sklad1, 2}});
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    QCOMPARE(CellText(sgCalc, 0, 5), QStringLiteral("не накопится"));
    QCOMPARE(CellText(sgCalc, 0, 8), QStringLiteral("00:00:00 (14:05)"));
    QVERIFY(!sgCalc->isColumnHidden(8));

    QString asked;
    const UiSeams::TChooseHandler previous = UiSeams::SetChooseHandler(
        [&asked](QWidget *, const QString &question, const QStringList &answers, int) {
            asked = question;
            return int(answers.indexOf(QStringLiteral("Записать обмен")));
        });
    const auto restore = qScopeGuard([&previous] { UiSeams::SetChooseHandler(previous); });
    SetCurrentCell(sgCalc, 0, 0);
    Find<QAction>(page, QStringLiteral("actExchange"))->trigger();
    QCOMPARE(asked, QStringLiteral("Склад ( 1): обменять сейчас: дерево −250, глина +160, железо +90."));
    QCOMPARE(page.Village().Stocks(), (TResourceAmounts{250, 160, 90, 100}));
}

void TestFormVillage::deliveryTypedOnThePage()
{
    TFormVillage page(m_Catalog->Catalog);
    Find<QLineEdit>(page, QStringLiteral("edDeliveryWood"))->setText(QStringLiteral("300"));
    Find<QLineEdit>(page, QStringLiteral("edDeliveryIn"))->setText(QStringLiteral("0:30:00"));
    Find<QPushButton>(page, QStringLiteral("btnAddDelivery"))->click();
    QCOMPARE(page.Village().Deliveries.size(), 1);
    auto *list = Find<QListView>(page, QStringLiteral("lstDeliveries"));
    QCOMPARE(ListTexts(list), QStringList{QStringLiteral("14:35 — дерево 300")});
    QVERIFY(Find<QLineEdit>(page, QStringLiteral("edDeliveryWood"))->text().isEmpty());

    // Nothing carried: refused with a message.
    Find<QLineEdit>(page, QStringLiteral("edDeliveryIn"))->setText(QStringLiteral("0:30:00"));
    Find<QPushButton>(page, QStringLiteral("btnAddDelivery"))->click();
    QCOMPARE(page.Village().Deliveries.size(), 1);
    QCOMPARE(m_Messages->Texts().size(), 1);

    SelectRow(list, 0);
    Find<QAction>(page, QStringLiteral("actDelDelivery"))->trigger();
    QVERIFY(page.Village().Deliveries.isEmpty());
}

void TestFormVillage::levelFieldRefusesLettersAndCommitsOne()
{
    TFormVillage page(m_Catalog->Catalog);
    ShowActive(page);
    auto *edMainLevel = Find<QLineEdit>(page, QStringLiteral("edMainLevel"));
    edMainLevel->setFocus();
    QTRY_VERIFY(edMainLevel->hasFocus());

    QTest::keyClick(edMainLevel, Qt::Key_End);
    QTest::keyClick(edMainLevel, Qt::Key_A);
    QCOMPARE(edMainLevel->text(), QStringLiteral("1"));
    QVERIFY(!page.Village().Modified);

    // Typing 7 in place of 1 recalculates with level 7.
    Settle();
    QSignalSpy recalculated(&page.Planner(), &TPlanner::Evaluated);
    QTest::keyClick(edMainLevel, Qt::Key_Backspace);
    QCOMPARE(page.Village().MainLevel, QString());
    Settle();
    QCOMPARE(recalculated.count(), 0);
    QTest::keyClick(edMainLevel, Qt::Key_7);
    QCOMPARE(page.Village().MainLevel, QStringLiteral("7"));
    Settle();
    QCOMPARE(recalculated.count(), 1);
    QVERIFY(page.Village().Modified);

    // Emptied and left: "1" again, recalculated.
    QTest::keyClick(edMainLevel, Qt::Key_Backspace);
    auto *edName = Find<QLineEdit>(page, QStringLiteral("edName"));
    edName->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(edName->hasFocus());
    QCOMPARE(edMainLevel->text(), QStringLiteral("1"));
    QCOMPARE(page.Village().MainLevel, QStringLiteral("1"));
    Settle();
    QCOMPARE(recalculated.count(), 2);
}

void TestFormVillage::levelFieldTakesTwoDigitsAtMost()
{
    TFormVillage page(m_Catalog->Catalog);
    auto *edMainLevel = Find<QLineEdit>(page, QStringLiteral("edMainLevel"));
    QTest::keyClick(edMainLevel, Qt::Key_End);
    QTest::keyClicks(edMainLevel, QStringLiteral("234"));
    QCOMPARE(edMainLevel->text(), QStringLiteral("12"));
    // A longer text from a file is shown as it is.
    page.Village().SetMainLevel(QStringLiteral("123"));
    QCOMPARE(edMainLevel->text(), QStringLiteral("123"));
}

void TestFormVillage::changeListWithoutRaceShowsMessageAndNoDialog()
{
    TFormVillage page(m_Catalog->Catalog);
    page.Village().ReplaceAvBuildings({{Sklad1, 2}});
    bool dialogShown = false;
    TModalAnswer<QDialog> guard([&dialogShown](QDialog *dialog) {
        dialogShown = true;
        dialog->reject();
    });
    Find<QAction>(page, QStringLiteral("actChangeList"))->trigger();
    QCOMPARE(m_Messages->Texts(), QStringList{QStringLiteral("Не выбрана раса!")});
    QCOMPARE(m_Messages->Messages.first().first, TMessageKind::Error);
    QVERIFY(!dialogShown);
    QCOMPARE(EntryTexts(page.Village().AvBuildings), QStringList{Sklad1});
    // The shared dialog exists from then on all the same.
    QVERIFY(FormSelectItems);
}

void TestFormVillage::insertStartsChangeListFromAnywhere()
{
    TFormVillage page(m_Catalog->Catalog);
    ShowActive(page);
    auto *edName = Find<QLineEdit>(page, QStringLiteral("edName"));
    edName->setFocus();
    QTRY_VERIFY(edName->hasFocus());
    QTest::keyClick(edName, Qt::Key_Insert);
    QCOMPARE(m_Messages->Texts(), QStringList{QStringLiteral("Не выбрана раса!")});

    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    sgCalc->setFocus();
    QTRY_VERIFY(sgCalc->hasFocus());
    QTest::keyClick(sgCalc, Qt::Key_Insert);
    QCOMPARE(m_Messages->Messages.size(), 2);
}

void TestFormVillage::doubleClickOnListOrGroupStartsChangeList()
{
    TFormVillage page(m_Catalog->Catalog);
    ShowActive(page);
    QTest::mouseDClick(Find<QListView>(page, QStringLiteral("LstBoxItems"))->viewport(),
                       Qt::LeftButton);
    QCOMPARE(m_Messages->Texts(), QStringList{QStringLiteral("Не выбрана раса!")});
    QTest::mouseDClick(Find<QGroupBox>(page, QStringLiteral("gbBuildings")), Qt::LeftButton,
                       Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(m_Messages->Messages.size(), 2);
}

void TestFormVillage::changeListCancelKeepsListButRecalculates()
{
    TFormVillage page(m_Catalog->Catalog);
    Prepare(page, {"1000", "1000", "1000", "1000"}, {"0", "0", "0", "0"},
            {{Sklad1, 2}, {Ferma1, 5}});
    Settle();
    QSignalSpy recalculated(&page.Planner(), &TPlanner::Evaluated);
    QStringList checkedWhenShown;
    TModalAnswer<TFormSelectItems> answer([&checkedWhenShown](TFormSelectItems *dialog) {
        for (int position = 0; position < dialog->Count(); ++position)
            if (dialog->ItemChecked(position))
                checkedWhenShown.append(dialog->ItemText(position));
        dialog->SetChecks(TCheckMode::cmInvert);
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("BtnCancel")),
                          Qt::LeftButton);
    });
    Find<QPushButton>(page, QStringLiteral("btnChangeList"))->click();
    QVERIFY(answer.Answered);
    QCOMPARE(checkedWhenShown, (QStringList{Sklad1, Ferma1}));
    QCOMPARE(EntryTexts(page.Village().AvBuildings), (QStringList{Sklad1, Ferma1}));
    Settle();
    QCOMPARE(recalculated.count(), 1);
}

void TestFormVillage::changeListOkReplacesListInSortedOrder()
{
    TFormVillage page(m_Catalog->Catalog);
    Prepare(page, {"1000", "1000", "1000", "1000"}, {"0", "0", "0", "0"}, {{Sklad1, 2}});
    page.Village().SetModified(false);
    const bool modified = page.Village().Modified;
    Settle();
    QSignalSpy recalculated(&page.Planner(), &TPlanner::Evaluated);
    TModalAnswer<TFormSelectItems> answer([](TFormSelectItems *dialog) {
        // The user unchecks Склад 1 and checks Ферма 1 and амбар 1.
        auto *list = dialog->findChild<QListView *>(QStringLiteral("CheckListBox1"));
        QAbstractItemModel *items = list->model();
        for (int row = 0; row < RowCount(list); ++row) {
            const QString text = CellText(list, row, 0);
            if (text == Sklad1)
                items->setData(items->index(row, 0), Qt::Unchecked, Qt::CheckStateRole);
            if (text == Ferma1 || text == Ambar1)
                items->setData(items->index(row, 0), Qt::Checked, Qt::CheckStateRole);
        }
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("BtnOk")),
                          Qt::LeftButton);
    });
    Find<QAction>(page, QStringLiteral("actChangeList"))->trigger();
    QVERIFY(answer.Answered);
    const QList<TAvBuildingEntry> expected{{Ambar1, 8}, {Ferma1, 5}};
    QCOMPARE(page.Village().AvBuildings, expected);
    QCOMPARE(ListTexts(Find<QListView>(page, QStringLiteral("LstBoxItems"))),
             (QStringList{Ambar1, Ferma1}));
    Settle();
    QCOMPARE(recalculated.count(), 1);
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    QCOMPARE(RowCount(sgCalc), 2);
    QCOMPARE(CellText(sgCalc, 0, 0), Ambar1);
    // A changed choice is a change of the village.
    QVERIFY(!modified);
    QVERIFY(page.Village().Modified);
}

void TestFormVillage::changeListOkWithEmptyCatalogEmptiesList()
{
    // Entries from a file that an empty catalog no longer holds.
    const TdmListObj emptyCatalog;
    TFormVillage page(emptyCatalog);
    Prepare(page, {"1000", "1000", "1000", "1000"}, {"0", "0", "0", "0"},
            {{Sklad1, -1}, {Ferma1, -1}});
    QCOMPARE(RowCount(Find<QListView>(page, QStringLiteral("LstBoxItems"))), 2);
    int items = -1;
    TModalAnswer<TFormSelectItems> answer([&items](TFormSelectItems *dialog) {
        items = RowCount(dialog->findChild<QListView *>(QStringLiteral("CheckListBox1")));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("BtnOk")),
                          Qt::LeftButton);
    });
    Find<QAction>(page, QStringLiteral("actChangeList"))->trigger();
    QVERIFY(answer.Answered);
    QCOMPARE(items, 0);
    QVERIFY(page.Village().AvBuildings.isEmpty());
    QCOMPARE(RowCount(Find<QListView>(page, QStringLiteral("LstBoxItems"))), 0);
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    QCOMPARE(RowCount(sgCalc), 1);
    QVERIFY(CellText(sgCalc, 0, 0).isEmpty());
}

void TestFormVillage::nextLevel_data()
{
    QTest::addColumn<QList<TAvBuildingEntry>>("considered");
    QTest::addColumn<int>("selectedRow");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("recalculations");

    QTest::newRow("building replaced in place")
        << QList<TAvBuildingEntry>{{Main1, 0}, {Sklad1, 2}} << 1
        << QStringList{Main1, Sklad2} << 1;
    QTest::newRow("resource field keeps its level")
        << QList<TAvBuildingEntry>{{Sklad1, 2}, {Ferma1, 5}} << 1
        << QStringList{Sklad1, Ferma1, QStringLiteral("Ферма ( 2)")} << 1;
    QTest::newRow("next level listed already")
        << QList<TAvBuildingEntry>{{Sklad1, 2}, {Sklad2, 3}} << 0
        << QStringList{Sklad1, Sklad2} << 0;
    QTest::newRow("last level in the catalog")
        << QList<TAvBuildingEntry>{{Ambar1, 8}} << 0 << QStringList{Ambar1} << 0;
    QTest::newRow("no selection")
        << QList<TAvBuildingEntry>{{Sklad1, 2}} << -1 << QStringList{Sklad1} << 0;
}

void TestFormVillage::nextLevel()
{
    QFETCH(QList<TAvBuildingEntry>, considered);
    QFETCH(int, selectedRow);
    QFETCH(QStringList, expected);
    QFETCH(int, recalculations);

    TFormVillage page(m_Catalog->Catalog);
    Prepare(page, {"0", "0", "0", "0"}, {"0", "0", "0", "0"}, considered);
    ShowActive(page);
    auto *list = Find<QListView>(page, QStringLiteral("LstBoxItems"));
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    if (selectedRow >= 0)
        SelectRow(list, selectedRow);
    else
        list->clearSelection();

    Settle();

    QSignalSpy recalculated(&page.Planner(), &TPlanner::Evaluated);
    QTest::keyClick(list, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(EntryTexts(page.Village().AvBuildings), expected);
    QCOMPARE(ListTexts(list), expected);
    Settle();
    QCOMPARE(recalculated.count(), recalculations);
}

void TestFormVillage::deleteWithSelectionRemovesAndRecalculates()
{
    TFormVillage page(m_Catalog->Catalog);
    Prepare(page, {"1000", "1000", "1000", "1000"}, {"0", "0", "0", "0"},
            {{Sklad1, 2}, {Ferma1, 5}});
    ShowActive(page);
    auto *list = Find<QListView>(page, QStringLiteral("LstBoxItems"));
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    SelectRow(list, 0);
    Settle();
    QSignalSpy recalculated(&page.Planner(), &TPlanner::Evaluated);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(EntryTexts(page.Village().AvBuildings), QStringList{Ferma1});
    QCOMPARE(ListTexts(list), QStringList{Ferma1});
    Settle();
    QCOMPARE(recalculated.count(), 1);
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    QCOMPARE(RowCount(sgCalc), 1);
    QCOMPARE(CellText(sgCalc, 0, 0), Ferma1);
}

void TestFormVillage::deleteWithoutSelectionDoesNothing()
{
    TFormVillage page(m_Catalog->Catalog);
    Prepare(page, {"0", "0", "0", "0"}, {"0", "0", "0", "0"}, {{Sklad1, 2}});
    auto *list = Find<QListView>(page, QStringLiteral("LstBoxItems"));
    list->clearSelection();
    Settle();
    QSignalSpy recalculated(&page.Planner(), &TPlanner::Evaluated);
    Find<QAction>(page, QStringLiteral("actDel"))->trigger();
    QCOMPARE(EntryTexts(page.Village().AvBuildings), QStringList{Sklad1});
    Settle();
    QCOMPARE(recalculated.count(), 0);
}

void TestFormVillage::deleteActsOnlyWhileListHasFocus()
{
    TFormVillage page(m_Catalog->Catalog);
    Prepare(page, {"0", "0", "0", "0"}, {"0", "0", "0", "0"}, {{Sklad1, 2}});
    ShowActive(page);
    auto *list = Find<QListView>(page, QStringLiteral("LstBoxItems"));
    SelectRow(list, 0);
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    sgCalc->setFocus();
    QTRY_VERIFY(sgCalc->hasFocus());
    QTest::keyClick(sgCalc, Qt::Key_Delete);
    QTest::keyClick(sgCalc, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(EntryTexts(page.Village().AvBuildings), QStringList{Sklad1});
}

void TestFormVillage::letterTypedIntoStockCellIsRefused()
{
    TFormVillage page(m_Catalog->Catalog);
    page.Village().SetResourceCollect(TResourceKind::Wood, QStringLiteral("100"));
    ShowActive(page);
    auto *sgRes = Find<QTableView>(page, QStringLiteral("sgRes"));
    sgRes->setFocus();
    QTRY_VERIFY(sgRes->hasFocus());
    SetCurrentCell(sgRes, 0, 0);
    int beeps = 0;
    const UiSeams::TBeepHandler previous = UiSeams::SetBeepHandler([&beeps] { ++beeps; });
    const auto restore = qScopeGuard([&previous] { UiSeams::SetBeepHandler(previous); });

    // The key opens the editor, which refuses it with the warning sound.
    QTest::keyClick(sgRes, Qt::Key_A);
    auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
    QVERIFY(editor);
    QCOMPARE(beeps, 1);
    QTest::keyClick(editor, Qt::Key_Minus);
    QTest::keyClick(editor, Qt::Key_Period);
    QCOMPARE(beeps, 3);
    QCOMPARE(editor->text(), QStringLiteral("100"));
    // A pasted text with letters is refused like typing it.
    editor->selectAll();
    QApplication::clipboard()->setText(QStringLiteral("12abc"));
    if (QApplication::clipboard()->text() == QStringLiteral("12abc")) {
        editor->paste();
        QCOMPARE(beeps, 4);
        QCOMPARE(editor->text(), QStringLiteral("100"));
    }
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_5);
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(CellText(sgRes, 0, 0), QStringLiteral("5"));
    QCOMPARE(page.Village().ResourceCollect[0], QStringLiteral("5"));
}

void TestFormVillage::incomeCellTakesMinus()
{
    TFormVillage page(m_Catalog->Catalog);
    ShowActive(page);
    auto *sgRes = Find<QTableView>(page, QStringLiteral("sgRes"));
    sgRes->setFocus();
    QTRY_VERIFY(sgRes->hasFocus());
    TypeIntoCell(sgRes, 1, 2, QStringLiteral("-40"));
    QTRY_COMPARE(page.Village().ResourceAdd[2], QStringLiteral("-40"));
}

void TestFormVillage::typedNumbersMarkChangedAndRecalculate()
{
    TFormVillage page(m_Catalog->Catalog);
    // Stock 100 against a wood cost of 130 at 50 an hour: 2160 s.
    Prepare(page, {"100", "1000", "1000", "1000"}, {"50", "0", "0", "0"}, {{Sklad1, 2}});
    page.Village().SetModified(false);
    ShowActive(page);
    auto *sgRes = Find<QTableView>(page, QStringLiteral("sgRes"));
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    QVERIFY(CellText(sgCalc, 0, 5).startsWith(QStringLiteral("00:36:00")));
    sgRes->setFocus();
    QTRY_VERIFY(sgRes->hasFocus());
    Settle();
    QSignalSpy recalculated(&page.Planner(), &TPlanner::Evaluated);

    TypeIntoCell(sgRes, 1, 0, QStringLiteral("100"));
    QTRY_COMPARE(page.Village().ResourceAdd[0], QStringLiteral("100"));
    QVERIFY(page.Village().Modified);
    Settle();
    QCOMPARE(recalculated.count(), 1);
    QVERIFY(CellText(sgCalc, 0, 5).startsWith(QStringLiteral("00:18:00")));
}

void TestFormVillage::slowTypingWhileTheClockTicks()
{
    TFormVillage page(m_Catalog->Catalog);
    Prepare(page, {"261", "0", "0", "0"}, {"3600", "0", "0", "0"}, {});
    page.Village().SetCapacity(TResourceKind::Wood, QStringLiteral("1000"));
    ShowActive(page);
    auto *sgRes = Find<QTableView>(page, QStringLiteral("sgRes"));
    QVERIFY(sgRes);
    // Types into an open editor a key at a time, the clock ticking between
    // the keys (and growing the stock of wood under the editor).
    const auto typeSlowly = [&](int row, const QString &text) {
        // The first key opens the cell's editor, as a player types over a cell.
        sgRes->setFocus();
        SetCurrentCell(sgRes, row, 0);
        QTest::sendKeyEvent(QTest::Click, sgRes, Qt::Key_unknown, text.left(1), Qt::NoModifier);
        auto *editor = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(editor);
        for (int typed = 1; typed <= text.size(); ++typed) {
            page.Document().Tick();
            Settle();
            QCOMPARE(editor->text(), text.left(typed));
            if (typed < text.size())
                QTest::sendKeyEvent(QTest::Click, editor, Qt::Key_unknown, text.mid(typed, 1), Qt::NoModifier);
        }
        QTest::keyClick(editor, Qt::Key_Return);
    };
    typeSlowly(TResourceModel::CapacityRow, QStringLiteral("1200"));
    QTRY_COMPARE(page.Village().Capacity[0], QStringLiteral("1200"));
    typeSlowly(TResourceModel::StockRow, QStringLiteral("500"));
    QTRY_COMPARE(page.Village().ResourceCollect[0], QStringLiteral("500"));

    // An editor cleared stays clear while the clock ticks.
    const QModelIndex stock = sgRes->model()->index(TResourceModel::StockRow, 0);
    sgRes->setCurrentIndex(stock);
    sgRes->edit(stock);
    auto *editor = sgRes->findChild<QLineEdit *>(QStringLiteral("sgResEditor"));
    QVERIFY(editor);
    editor->clear();
    for (int tick = 0; tick < 3; ++tick) {
        page.Document().Tick();
        Settle();
    }
    QCOMPARE(editor->text(), QString());
}

void TestFormVillage::typedCapacityReachesRecordAndTimes()
{
    TFormVillage page(m_Catalog->Catalog);
    Prepare(page, {QStringLiteral("750"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")},
            {QStringLiteral("3600"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")}, {{Sklad1, 2}});
    ShowActive(page);
    auto *sgRes = Find<QTableView>(page, QStringLiteral("sgRes"));
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    QCOMPARE(sgRes->model()->headerData(2, Qt::Vertical).toString(), QStringLiteral("Вместимость"));
    QCOMPARE(sgRes->model()->headerData(3, Qt::Vertical).toString(), QStringLiteral("Заполнится"));
    // The table shows all four rows.
    QVERIFY(sgRes->rowViewportPosition(3) + sgRes->rowHeight(3) <= sgRes->viewport()->height());
    page.Village().SetModified(false);
    sgRes->setFocus();
    QTRY_VERIFY(sgRes->hasFocus());
    QSignalSpy modified(&page.Village(), &TVillageData::ModifiedChanged);

    TypeIntoCell(sgRes, 2, 0, QStringLiteral("800"));
    QTRY_COMPARE(page.Village().Capacity[KindIndex(TResourceKind::Wood)], QStringLiteral("800"));
    QVERIFY(page.Village().Modified);
    QCOMPARE(modified.count(), 1);
    QCOMPARE(CellText(sgRes, 3, 0), QStringLiteral("00:00:50 (14:05)"));

    // A letter is refused in a capacity cell too.
    TypeIntoCell(sgRes, 2, 1, QStringLiteral("9x"));
    QTRY_COMPARE(page.Village().Capacity[KindIndex(TResourceKind::Clay)], QStringLiteral("9"));

    // A warehouse too small for the building: the table says so at once.
    TypeIntoCell(sgRes, 2, 1, QStringLiteral("100"));
    QTRY_COMPARE(page.Village().Capacity[KindIndex(TResourceKind::Clay)], QStringLiteral("100"));
    QTRY_COMPARE(CellText(sgCalc, 0, 0), Sklad1);
    // The table follows at the next evaluation.
    QTRY_COMPARE(CellText(sgCalc, 0, 5), QStringLiteral("не хватит вместимости"));
}

void TestFormVillage::shortCostsShowRedAndBold()
{
    TFormVillage page(m_Catalog->Catalog);
    // Stock 100 against a wood cost of 130, no income: listed, never affordable.
    Prepare(page, {"100", "1000", "1000", "1000"}, {"0", "0", "0", "0"}, {{Sklad1, 2}});
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    const QAbstractItemModel *shown = sgCalc->model();
    QCOMPARE(CellText(sgCalc, 0, 1), QStringLiteral("130"));
    QCOMPARE(CellText(sgCalc, 0, 5), QStringLiteral("не накопится"));
    // Red, as readable on the table's base as the toolkit's text.
    const QColor red = shown->index(0, 1).data(Qt::ForegroundRole).value<QColor>();
    QCOMPARE(red, ReadableColours::LookOf(ReadableColours::TColourRole::Shortage, sgCalc->palette()).Text);
    QVERIFY(ReadableColours::ContrastRatio(red, sgCalc->palette().color(QPalette::Base)) >= 4.5);
    QVERIFY(shown->index(0, 1).data(Qt::FontRole).value<QFont>().bold());
    QVERIFY(!shown->index(0, 2).data(Qt::ForegroundRole).isValid());
    QVERIFY(!shown->index(0, 0).data(Qt::FontRole).isValid());

    // Typed stock 130: the table follows at the next pass of the event loop.
    page.Village().EditResourceCollect(TResourceKind::Wood, QStringLiteral("130"));
    QTRY_VERIFY(!shown->index(0, 1).data(Qt::ForegroundRole).isValid());
    QCOMPARE(CellText(sgCalc, 0, 5), QStringLiteral("00:00:00 (14:05)"));
}

void TestFormVillage::selectedShortCellKeepsSelectionLook_data()
{
    QTest::addColumn<bool>("asCurrent");
    QTest::newRow("the current cell") << true;
    QTest::newRow("a selected cell that is not current") << false;
}

void TestFormVillage::selectedShortCellKeepsSelectionLook()
{
    QFETCH(bool, asCurrent);
    TFormVillage page(m_Catalog->Catalog);
    // Stock 100 against a wood cost of 130: the wood cell is short.
    Prepare(page, {"100", "1000", "1000", "1000"}, {"0", "0", "0", "0"}, {{Sklad1, 2}});
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    const QAbstractItemModel *shown = sgCalc->model();
    const QModelIndex wood = shown->index(0, 1);
    QVERIFY(wood.data(Qt::FontRole).value<QFont>().bold());

    if (asCurrent)
        sgCalc->setCurrentIndex(wood);
    else
        sgCalc->selectionModel()->select(wood, QItemSelectionModel::ClearAndSelect);
    QVERIFY(!wood.data(Qt::ForegroundRole).isValid());
    QVERIFY(!wood.data(Qt::FontRole).isValid());

    // Another cell taken: the wood cell is short again.
    sgCalc->setCurrentIndex(shown->index(0, 2));
    QCOMPARE(wood.data(Qt::ForegroundRole).value<QColor>(),
             ReadableColours::LookOf(ReadableColours::TColourRole::Shortage, sgCalc->palette()).Text);
    QVERIFY(wood.data(Qt::FontRole).value<QFont>().bold());
}

void TestFormVillage::clickOnTitleSortsAndBuildTakesClickedRow()
{
    TFormVillage page(m_Catalog->Catalog);
    Prepare(page, {"1000", "1000", "1000", "1000"}, {"0", "0", "0", "0"},
            {{Ambar1, 8}, {Ferma1, 5}, {Sklad1, 2}});
    ShowActive(page);
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    QHeaderView *header = sgCalc->horizontalHeader();
    QCOMPARE(ListTexts(sgCalc), (QStringList{Ambar1, Sklad1, Ferma1}));
    // "Глина": 100, 160, 90.
    const QPoint clay(header->sectionViewportPosition(2) + header->sectionSize(2) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, clay);
    QCOMPARE(ListTexts(sgCalc), (QStringList{Ferma1, Ambar1, Sklad1}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, clay);
    QCOMPARE(ListTexts(sgCalc), (QStringList{Sklad1, Ambar1, Ferma1}));

    // The first row shown is Склад 1: F9 builds it.
    sgCalc->setFocus();
    QTRY_VERIFY(sgCalc->hasFocus());
    SetCurrentCell(sgCalc, 0, 0);
    QTest::keyClick(sgCalc, Qt::Key_F9);
    QCOMPARE(page.Village().BuildName, Sklad1);
    QCOMPARE(page.Village().ResourceCollect[1], QStringLiteral("840"));
    // The order holds through the recalculation.
    QCOMPARE(ListTexts(sgCalc), (QStringList{Sklad2, Ambar1, Ferma1}));
}

void TestFormVillage::tabWalksThePageInReadingOrder()
{
    TFormVillage page(m_Catalog->Catalog);
    page.SetCommentsVisible(true);
    ShowActive(page);
    const QStringList expected{QStringLiteral("edName"),      QStringLiteral("cbRace"),
                               QStringLiteral("edMainLevel"), QStringLiteral("cbServerSpeed"), QStringLiteral("edCoordinates"), QStringLiteral("edTraders"), QStringLiteral("sgRes"),
                               QStringLiteral("btnImport"),   QStringLiteral("LstBoxItems"),
                               QStringLiteral("btnChangeList"), QStringLiteral("lstDeliveries"),
                               QStringLiteral("edDeliveryWood"), QStringLiteral("edDeliveryClay"),
                               QStringLiteral("edDeliveryIron"), QStringLiteral("edDeliveryGrain"),
                               QStringLiteral("edDeliveryIn"), QStringLiteral("btnAddDelivery"),
                               QStringLiteral("sgCalc"),
                               QStringLiteral("sgQueue"),     QStringLiteral("tvBuilt"),
                               QStringLiteral("cbBuiltName"), QStringLiteral("btnBuiltAdd"), QStringLiteral("mComments"),
                               QStringLiteral("edName")};
    auto *edName = Find<QLineEdit>(page, QStringLiteral("edName"));
    edName->setFocus();
    QTRY_VERIFY(edName->hasFocus());
    QStringList walked{QApplication::focusWidget()->objectName()};
    for (int step = 1; step < expected.size(); ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked.append(QApplication::focusWidget()->objectName());
    }
    QCOMPARE(walked, expected);
}

void TestFormVillage::altLettersReachTheFields_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("field");
    QTest::newRow("name") << QStringLiteral("&Название") << QStringLiteral("edName");
    QTest::newRow("race") << QStringLiteral("&Раса") << QStringLiteral("cbRace");
    QTest::newRow("main level") << QStringLiteral("&Уровень главного здания") << QStringLiteral("edMainLevel");
}

void TestFormVillage::altLettersReachTheFields()
{
    QFETCH(QString, caption);
    QFETCH(QString, field);
    TFormVillage page(m_Catalog->Catalog);
    ShowActive(page);
    Find<QTableView>(page, QStringLiteral("sgRes"))->setFocus();
    // Each field's caption names it for screen readers and gives it an Alt letter.
    QLabel *label = nullptr;
    for (QLabel *candidate : page.findChildren<QLabel *>()) {
        if (candidate->text() == caption)
            label = candidate;
    }
    QVERIFY(label);
    QCOMPARE(label->buddy()->objectName(), field);
    // QTest types Latin keys only; a Cyrillic Alt letter goes through the
    // shortcut map as QTest's own key clicks do.
    const QKeyCombination letter = QKeySequence::mnemonic(caption)[0];
    qt_sendShortcutOverrideEvent(QApplication::focusWidget(), 0, letter.key(), letter.keyboardModifiers(),
                                 QString(QChar(letter.key()).toLower()));
    QTRY_VERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->objectName(), field);
}

void TestFormVillage::unknownBuildingsShowGreyedAfterKnownOnes()
{
    TFormVillage page(m_Catalog->Catalog);
    page.Village().UnknownBuildings = {QStringLiteral("Чудо света ( 1)")};
    Prepare(page, {"0", "0", "0", "0"}, {"0", "0", "0", "0"}, {{Sklad1, 2}});
    page.ConsideredModel().Refresh();
    auto *list = Find<QListView>(page, QStringLiteral("LstBoxItems"));
    QCOMPARE(ListTexts(list), (QStringList{Sklad1, QStringLiteral("Чудо света ( 1)")}));
    const QModelIndex unknown = list->model()->index(1, 0);
    QCOMPARE(unknown.data(Qt::ToolTipRole).toString(), QStringLiteral("Нет в каталоге"));
    QVERIFY(!(unknown.flags() & Qt::ItemIsEnabled));
    // Not planned, and no command acts on it.
    QCOMPARE(ListTexts(Find<QTableView>(page, QStringLiteral("sgCalc"))), QStringList{Sklad1});
    SelectRow(list, 1);
    Find<QAction>(page, QStringLiteral("actDel"))->trigger();
    QCOMPARE(RowCount(list), 2);
}

void TestFormVillage::f9BuildsSelectedRow()
{
    TFormVillage page(m_Catalog->Catalog);
    Prepare(page, {"1000", "1000", "1000", "1000"}, {"0", "0", "0", "0"},
            {{Ferma1, 5}, {Sklad1, 2}});
    page.SetProgressVisible(true);
    ShowActive(page);
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    auto *sgRes = Find<QTableView>(page, QStringLiteral("sgRes"));
    QCOMPARE(RowCount(sgCalc), 2);
    QCOMPARE(CellText(sgCalc, 0, 0), Sklad1);
    QCOMPARE(CellText(sgCalc, 1, 0), Ferma1);
    sgCalc->setFocus();
    QTRY_VERIFY(sgCalc->hasFocus());
    SetCurrentCell(sgCalc, 0, 3);

    QTest::keyClick(sgCalc, Qt::Key_F9);

    // Склад 1 costs 130, 160, 90, 40.
    QCOMPARE(CellText(sgRes, 0, 0), QStringLiteral("870"));
    QCOMPARE(CellText(sgRes, 0, 1), QStringLiteral("840"));
    QCOMPARE(CellText(sgRes, 0, 2), QStringLiteral("910"));
    QCOMPARE(CellText(sgRes, 0, 3), QStringLiteral("960"));
    QCOMPARE(Find<QLabel>(page, QStringLiteral("lbBuildingName"))->text(), Sklad1);
    auto *bar = Find<QProgressBar>(page, QStringLiteral("ProgressBar1"));
    QCOMPARE(bar->maximum(), 2000);
    QCOMPARE(bar->value(), 0);
    QCOMPARE(page.Village().BuildTotal, 2000);
    QCOMPARE(ListTexts(Find<QListView>(page, QStringLiteral("LstBoxItems"))),
             (QStringList{Sklad2, Ferma1}));
    QCOMPARE(CellText(sgCalc, 0, 0), Sklad2);
    QCOMPARE(CellText(sgCalc, 1, 0), Ferma1);
}

void TestFormVillage::f9ActsOnlyWhileTableHasFocus()
{
    TFormVillage page(m_Catalog->Catalog);
    Prepare(page, {"1000", "1000", "1000", "1000"}, {"0", "0", "0", "0"}, {{Sklad1, 2}});
    ShowActive(page);
    auto *list = Find<QListView>(page, QStringLiteral("LstBoxItems"));
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    QTest::keyClick(list, Qt::Key_F9);
    QCOMPARE(page.Village().ResourceCollect[0], QStringLiteral("1000"));
    QCOMPARE(page.Village().BuildTotal, 0);
}

void TestFormVillage::buildingWhatIsShortAsksFirst_data()
{
    QTest::addColumn<QStringList>("stocks");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("question"); // none: nothing asked
    QTest::addColumn<QString>("woodAfter");

    const QString shortOfTwo = QStringLiteral("Не хватает ресурсов: дерево 30, глина 60. "
                                              "Отметить строительство всё равно?");
    QTest::newRow("short, answered Нет: nothing spent") << QStringList{"100", "100", "1000", "1000"} << false
                                                        << shortOfTwo << QStringLiteral("100");
    QTest::newRow("short, answered Да: spent as built in the game") << QStringList{"100", "100", "1000", "1000"}
                                                                    << true << shortOfTwo << QStringLiteral("-30");
    QTest::newRow("affordable: built without a word") << QStringList{"1000", "1000", "1000", "1000"} << false
                                                      << QString() << QStringLiteral("870");
}

void TestFormVillage::buildingWhatIsShortAsksFirst()
{
    QFETCH(QStringList, stocks);
    QFETCH(bool, answer);
    QFETCH(QString, question);
    QFETCH(QString, woodAfter);

    TFormVillage page(m_Catalog->Catalog);
    // Склад 1 costs 130, 160, 90, 40; without income a shortage never ends,
    // so the row stands in the table.
    Prepare(page, stocks, {"0", "0", "0", "0"}, {{Sklad1, 2}});
    ShowActive(page);
    m_Answer = answer;
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    sgCalc->setFocus();
    QTRY_VERIFY(sgCalc->hasFocus());
    SetCurrentCell(sgCalc, 0, 0);
    QCOMPARE(CellText(sgCalc, 0, 0), Sklad1);

    QTest::keyClick(sgCalc, Qt::Key_F9);
    QCOMPARE(m_Questions, question.isEmpty() ? QStringList() : QStringList{question});
    QCOMPARE(page.Village().ResourceCollect[0], woodAfter);
    QCOMPARE(page.Village().BuildName.isEmpty(), woodAfter == stocks[0]);
}

void TestFormVillage::ticksAdvanceStocksAndProgress()
{
    TFormVillage page(m_Catalog->Catalog);
    // Income 3600 wood: one unit each tick.
    Prepare(page, {"1000", "1000", "1000", "1000"}, {"3600", "0", "0", "0"}, {{Sklad1, 2}});
    page.SetProgressVisible(true);
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    SetCurrentCell(sgCalc, 0, 0);
    Find<QAction>(page, QStringLiteral("pmiBuild"))->trigger();
    auto *sgRes = Find<QTableView>(page, QStringLiteral("sgRes"));
    QCOMPARE(CellText(sgRes, 0, 0), QStringLiteral("870"));
    auto *bar = Find<QProgressBar>(page, QStringLiteral("ProgressBar1"));
    auto *lbBuildTime = Find<QLabel>(page, QStringLiteral("lbBuildTime"));
    QVERIFY(lbBuildTime->text().isEmpty());

    QTRY_VERIFY_WITH_TIMEOUT(bar->value() >= 1, 5000);
    QVERIFY(CellText(sgRes, 0, 0).toInt() > 870);
    QCOMPARE(page.Village().ResourceCollect[0], CellText(sgRes, 0, 0));
    QVERIFY(page.Village().Modified);
    const int remaining = 2000 - bar->value();
    QVERIFY(lbBuildTime->text().startsWith(TdmListObj::SecondsToText(remaining, false)));
    QVERIFY(lbBuildTime->text().endsWith(QLatin1Char(')')));
}

void TestFormVillage::timerRunsOnHiddenPage()
{
    TFormVillage page(m_Catalog->Catalog);
    QVERIFY(!page.isVisible());
    page.Village().SetResourceAdd(TResourceKind::Clay, QStringLiteral("3600"));
    page.Village().SetResourceCollect(TResourceKind::Clay, QStringLiteral("5"));
    QTRY_VERIFY_WITH_TIMEOUT(page.Village().ResourceCollectValue(TResourceKind::Clay) > 5, 5000);
    QCOMPARE(CellText(Find<QTableView>(page, QStringLiteral("sgRes")), 0, 1),
             page.Village().ResourceCollect[1]);
}

void TestFormVillage::autoSaveWritesFile()
{
    QTemporaryDir dir;
    TFormVillage page(m_Catalog->Catalog);
    page.Village().SetName(QStringLiteral("Хутор"));
    page.Village().SetFileName(dir.filePath(QStringLiteral("hutor.vlgdat")));
    page.Village().HourCounter = 299;
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(page.Village().FileName), 5000);
    QVERIFY(m_Messages->Messages.isEmpty());
    QFile file(page.Village().FileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(QString::fromUtf8(file.readAll()).contains(QStringLiteral("Хутор")));
}

void TestFormVillage::autoSaveFailureIsReported()
{
    QTemporaryDir dir;
    TFormVillage page(m_Catalog->Catalog);
    page.Village().SetFileName(dir.filePath(QStringLiteral("missing/folder/v.vlgdat")));
    // Only a village with unwritten edits is saved automatically.
    page.Village().SetName(QStringLiteral("Хутор"));
    page.Village().HourCounter = 299;
    QTRY_VERIFY_WITH_TIMEOUT(!m_Messages->Messages.isEmpty(), 5000);
    QCOMPARE(m_Messages->Messages.first().first, TMessageKind::Error);
    QVERIFY(!m_Messages->Messages.first().second.isEmpty());

    // The save command reports the same way and says so.
    m_Messages->Messages.clear();
    QVERIFY(!page.WriteToFile());
    QCOMPARE(m_Messages->Messages.size(), 1);
}

void TestFormVillage::autoSaveAddsNoReportWhileOneIsOpen()
{
    QTemporaryDir dir;
    TFormVillage page(m_Catalog->Catalog);
    page.Village().SetFileName(dir.filePath(QStringLiteral("missing/folder/v.vlgdat")));
    page.Village().SetName(QStringLiteral("Хутор"));
    Find<QTimer>(page, QStringLiteral("Timer1"))->stop();
    // The message box runs an event loop in which the timer keeps ticking:
    // here five more minutes of ticks arrive while the first report is open.
    int reports = 0;
    int depth = 0;
    const TMessageHandler previous =
        SetMessageHandler([&page, &reports, &depth](TMessageKind, const QString &) {
            ++reports;
            ++depth;
            if (depth == 1)
                for (int tick = 0; tick < 300; ++tick)
                    page.Planner().Tick();
            --depth;
        });
    const auto restore = qScopeGuard([&previous] { SetMessageHandler(previous); });
    page.Village().HourCounter = 299;
    page.Planner().Tick();
    QCOMPARE(reports, 1);
    // Once the box is closed, the next failure is reported again.
    for (int tick = 0; tick < 300; ++tick)
        page.Planner().Tick();
    QCOMPARE(reports, 2);
}

void TestFormVillage::loadFromFileShowsRecord()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("v.vlgdat"));
    {
        TFormVillage writer(m_Catalog->Catalog);
        writer.Village().SetName(QStringLiteral("Речка"));
        writer.Village().SetRace(1);
        writer.Village().SetMainLevel(QStringLiteral("2"));
        writer.Village().SetResourceCollect(TResourceKind::Iron, QStringLiteral("77"));
        writer.Village().ReplaceAvBuildings({{Sklad1, 2}});
        writer.Village().SetComments(QStringLiteral("первая\nвторая"));
        writer.Village().SetFileName(path);
        QVERIFY(writer.WriteToFile());
    }
    TFormVillage page(m_Catalog->Catalog);
    QSignalSpy captions(&page, &TFormVillage::CaptionChanged);
    page.Village().SetFileName(path);
    page.LoadFromFile();
    QCOMPARE(Find<QLineEdit>(page, QStringLiteral("edName"))->text(), QStringLiteral("Речка"));
    QCOMPARE(captions.last().at(0).toString(), QStringLiteral("Речка"));
    QCOMPARE(Find<QComboBox>(page, QStringLiteral("cbRace"))->currentText(),
             QStringLiteral("Галлы"));
    QCOMPARE(Find<QLineEdit>(page, QStringLiteral("edMainLevel"))->text(), QStringLiteral("2"));
    QCOMPARE(CellText(Find<QTableView>(page, QStringLiteral("sgRes")), 0, 2),
             QStringLiteral("77"));
    QCOMPARE(ListTexts(Find<QListView>(page, QStringLiteral("LstBoxItems"))),
             QStringList{Sklad1});
    auto *mComments = Find<QPlainTextEdit>(page, QStringLiteral("mComments"));
    QCOMPARE(mComments->toPlainText(), QStringLiteral("первая\nвторая"));
    QCOMPARE(CellText(Find<QTableView>(page, QStringLiteral("sgCalc")), 0, 0), Sklad1);

    // Typed comments go to the record with CR LF between lines, and mark
    // the village changed.
    page.Village().SetModified(false);
    mComments->setPlainText(QStringLiteral("a\nb"));
    QCOMPARE(page.Village().Comments, QStringLiteral("a\r\nb"));
    QVERIFY(page.Village().Modified);
}

void TestFormVillage::openAfterAnHourCatchesUpAndSaysSo()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("v.vlgdat"));
    {
        TFormVillage writer(m_Catalog->Catalog);
        Prepare(writer, {QStringLiteral("100"), QStringLiteral("10"), QStringLiteral("0"), QStringLiteral("0")},
                {QStringLiteral("3600"), QStringLiteral("60"), QStringLiteral("0"), QStringLiteral("0")}, {});
        writer.Village().SetCapacity(TResourceKind::Wood, QStringLiteral("800"));
        writer.Village().SetConstruction(Sklad1, 7200, 0);
        writer.Village().SetFileName(path);
        QVERIFY(writer.WriteToFile());
    }
    m_Clock->Now = m_Clock->Now.addSecs(3600 + 120);

    TFormVillage page(m_Catalog->Catalog);
    auto *lbInfo = Find<QLabel>(page, QStringLiteral("lbInfo"));
    QVERIFY(lbInfo && lbInfo->isHidden());
    page.SetProgressVisible(true);
    page.Village().SetFileName(path);
    QVERIFY(page.LoadFromFile().Ok);

    QVERIFY(!lbInfo->isHidden());
    QCOMPARE(lbInfo->text(), QStringLiteral("Запасы пересчитаны за 1 ч 2 мин с момента сохранения."));
    // Wood stops at its capacity; clay grows by 62 minutes of 60 an hour.
    auto *sgRes = Find<QTableView>(page, QStringLiteral("sgRes"));
    QCOMPARE(CellText(sgRes, 0, 0), QStringLiteral("800"));
    QCOMPARE(CellText(sgRes, 0, 1), QStringLiteral("72"));
    QCOMPARE(CellText(sgRes, 3, 0), QStringLiteral("полон"));
    // The construction runs on with what is left of it.
    QCOMPARE(Find<QLabel>(page, QStringLiteral("lbBuildingName"))->text(), Sklad1);
    auto *bar = Find<QProgressBar>(page, QStringLiteral("ProgressBar1"));
    QCOMPARE(bar->maximum(), 7200);
    QCOMPARE(bar->value(), 3720);

    // A file without its moment of writing leaves no line behind.
    QFile plain(path);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<JorVillageData><Village Name=\"Застава\" "
                "Race=\"Галлы\" MainLevel=\"1\"/></JorVillageData>");
    plain.close();
    page.LoadFromFile();
    QVERIFY(lbInfo->isHidden());
}

void TestFormVillage::partlyReadFileShowsWhatWasApplied()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("v.vlgdat"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<JorVillageData><Village Name=\"Застава\" "
               "Race=\"Галлы\" MainLevel=\"1\"/><ResourceCollect Wood=\"1000\" Clay=\"1000\" Iron=\"1000\" "
               "Grain=\"1000\"/><AvBuildings><Building>Склад ( 1)</Building><Building/></AvBuildings>"
               "</JorVillageData>");
    file.close();

    TFormVillage page(m_Catalog->Catalog);
    page.Village().SetFileName(path);
    const TFileResult result = page.LoadFromFile();
    QVERIFY(!result.Ok);
    QCOMPARE(EntryTexts(page.Village().AvBuildings), QStringList{Sklad1});
    QCOMPARE(CellText(Find<QTableView>(page, QStringLiteral("sgCalc")), 0, 0), Sklad1);
}

void TestFormVillage::pasteOfCompletePageClosesDialogAndImports()
{
    TFormVillage page(m_Catalog->Catalog);
    Settle();
    QSignalSpy recalculated(&page.Planner(), &TPlanner::Evaluated);
    QPointer<TFormImportRes> shown;
    TModalAnswer<TFormImportRes> answer([&shown](TFormImportRes *dialog) {
        shown = dialog;
        auto *memo = dialog->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
        QApplication::clipboard()->setText(OverviewText());
        if (QApplication::clipboard()->text() == OverviewText())
            memo->paste();
        else
            memo->insertPlainText(OverviewText());
    });
    page.ImportFromOverview();
    QVERIFY(answer.Answered);
    // Closed by itself and freed.
    QVERIFY(shown.isNull());
    QVERIFY(page.window()->findChildren<TFormImportRes *>().isEmpty());

    QCOMPARE(page.Village().Name, QStringLiteral("Северный хутор"));
    // No race: the considered buildings are left alone.
    QCOMPARE(RowCount(Find<QListView>(page, QStringLiteral("LstBoxItems"))), 0);
    QCOMPARE(Find<QLineEdit>(page, QStringLiteral("edName"))->text(),
             QStringLiteral("Северный хутор"));
    auto *sgRes = Find<QTableView>(page, QStringLiteral("sgRes"));
    QCOMPARE(CellText(sgRes, 0, 0), QStringLiteral("750"));
    QCOMPARE(CellText(sgRes, 0, 3), QStringLiteral("300"));
    QCOMPARE(CellText(sgRes, 1, 0), QStringLiteral("3600"));
    QCOMPARE(CellText(sgRes, 1, 1), QStringLiteral("1200"));
    QCOMPARE(CellText(sgRes, 2, 3), QStringLiteral("900"));
    Settle();
    QCOMPARE(recalculated.count(), 1);
    // The page says what the import took.
    QCOMPARE(Find<QLabel>(page, QStringLiteral("lbInfo"))->text(),
             QStringLiteral("Импортировано: запасы, производство, вместимость. "
                            "Строения не импортированы: не выбрана раса."));
}

void TestFormVillage::importButtonRunsImport()
{
    TFormVillage page(m_Catalog->Catalog);
    page.Village().SetRace(0);
    page.Village().ReplaceAvBuildings({{Ambar1, 8}});
    page.Planner().RecalculateAvailable();
    TModalAnswer<TFormImportRes> answer([](TFormImportRes *dialog) {
        dialog->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))
            ->setPlainText(OverviewText());
    });
    Find<QToolButton>(page, QStringLiteral("btnImport"))->click();
    QVERIFY(answer.Answered);
    // With a race, the next levels of the listed buildings are considered.
    QCOMPARE(ListTexts(Find<QListView>(page, QStringLiteral("LstBoxItems"))),
             (QStringList{Ambar1, Sklad2, Ferma1}));
    QCOMPARE(page.Village().ResourceCollect[2], QStringLiteral("420"));
}

void TestFormVillage::cancelledImportChangesNothing()
{
    TFormVillage page(m_Catalog->Catalog);
    Settle();
    QSignalSpy recalculated(&page.Planner(), &TPlanner::Evaluated);
    TModalAnswer<TFormImportRes> answer([](TFormImportRes *dialog) {
        // Fourteen lines of a page: not yet recognised.
        dialog->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))
            ->setPlainText(OverviewText().split(QLatin1Char('\n')).mid(0, 14).join(
                QLatin1Char('\n')));
        QVERIFY(dialog->isVisible());
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("BitBtn2")),
                          Qt::LeftButton);
    });
    page.ImportFromOverview();
    QVERIFY(answer.Answered);
    QVERIFY(page.Village().Name.isEmpty());
    QVERIFY(page.Village().ResourceAdd[0].isEmpty());
    Settle();
    QCOMPARE(recalculated.count(), 0);
}

void TestFormVillage::rejectedTextIsNotRecalculated_data()
{
    QTest::addColumn<QString>("text");

    QStringList lines = OverviewText().split(QLatin1Char('\n'));
    QTest::newRow("one line") << QStringLiteral("просто текст");
    QTest::newRow("empty field") << QString();
    QTest::newRow("fourteen lines") << QStringList(lines.mid(0, 14)).join(QLatin1Char('\n'));
    lines[4] = QStringLiteral("ЛИВАРОН");
    QTest::newRow("whole page, line 5 in other letter case") << lines.join(QLatin1Char('\n'));
}

void TestFormVillage::rejectedTextIsNotRecalculated()
{
    QFETCH(QString, text);

    TFormVillage page(m_Catalog->Catalog);
    page.Village().SetResourceCollect(TResourceKind::Wood, QStringLiteral("5"));
    Settle();
    QSignalSpy recalculated(&page.Planner(), &TPlanner::Evaluated);
    QPointer<TFormImportRes> shown;
    TModalAnswer<TFormImportRes> answer([&shown, text](TFormImportRes *dialog) {
        shown = dialog;
        dialog->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))->setPlainText(text);
        QVERIFY(dialog->isVisible());
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("BitBtn1")),
                          Qt::LeftButton);
        // OK keeps the dialog open and says why; Cancel closes it.
        QVERIFY(dialog->isVisible());
        QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("lbError"))->text().startsWith(
            QStringLiteral("Текст не распознан: ")));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("BitBtn2")),
                          Qt::LeftButton);
    });
    page.ImportFromOverview();
    QVERIFY(answer.Answered);
    // The dialog is gone, and the text changed nothing.
    QVERIFY(shown.isNull());
    QVERIFY(page.Village().Name.isEmpty());
    QVERIFY(page.Village().ResourceAdd[0].isEmpty());
    QCOMPARE(page.Village().ResourceCollect[0], QStringLiteral("5"));
    QVERIFY(page.Village().AvBuildings.isEmpty());
    QVERIFY(!page.Village().Modified);
    Settle();
    QCOMPARE(recalculated.count(), 0);
}

void TestFormVillage::secondImportShowsEmptyField()
{
    TFormVillage page(m_Catalog->Catalog);
    QStringList seen;
    const auto typeAndCancel = [&seen](TFormImportRes *dialog) {
        auto *memo = dialog->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
        seen.append(memo->toPlainText());
        TypeText(memo, QStringLiteral("Обзор"));
        QTest::keyClick(memo, Qt::Key_Escape);
    };
    {
        TModalAnswer<TFormImportRes> first(typeAndCancel);
        page.ImportFromOverview();
        QVERIFY(first.Answered);
    }
    {
        TModalAnswer<TFormImportRes> second(typeAndCancel);
        page.ImportFromOverview();
        QVERIFY(second.Answered);
    }
    QCOMPARE(seen, (QStringList{QString(), QString()}));
}

void TestFormVillage::viewToggles()
{
    TFormVillage page(m_Catalog->Catalog);
    page.SetCommentsVisible(true);
    QVERIFY(page.CommentsVisible());
    QVERIFY(!page.ProgressVisible());
    page.SetProgressVisible(true);
    page.SetCommentsVisible(false);
    QVERIFY(!page.CommentsVisible());
    QVERIFY(page.ProgressVisible());
    QCOMPARE(Find<QGroupBox>(page, QStringLiteral("gbProgress"))->title(),
             QStringLiteral("Строительство"));
    QCOMPARE(Find<QGroupBox>(page, QStringLiteral("gbComments"))->title(),
             QStringLiteral("Комментарий"));
}

QTEST_MAIN(TestFormVillage)
#include "tst_formvillage.moc"
