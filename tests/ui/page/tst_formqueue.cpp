// The wiring of the build queue on the village page and of its chart: "В
// очередь" in the considered list's and the available table's menus,
// Ctrl+Up/Ctrl+Down and Del on the queue's table, "Строить" on the first
// item, a saved queue coming back with its file, and the main window's
// "График" showing the active page's chart, made only then, with the series
// of its projection.
#include "TestSupport.h"

#include "ui/chart/QueueChart.h"
#include "ui/chart/QueueChartLoader.h"
#include "ui/main/f_Main.h"
#include "ui/page/f_Village.h"
#include "ui/widgets/UiSeams.h"
#include "rules/Planner.h"
#include "rules/ProjectionSeries.h"
#include "models/QueueModel.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScatterSeries>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

namespace {

const QString Saw1 = QStringLiteral("Лесопильный завод ( 1)");
const QString Saw2 = QStringLiteral("Лесопильный завод ( 2)");
const QString Main2 = QStringLiteral("Главное здание ( 2)");

QStringList ColumnTexts(const QAbstractItemView *view, int column = 0)
{
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        texts.append(view->model()->index(row, column).data().toString());
    return texts;
}

} // namespace

class TestFormQueue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void enqueueFromEachMenu_data();
    void enqueueFromEachMenu();
    void buildingAQueuedEntrySpendsItOnce();
    void keysMoveAndRemove();
    void buildFirstBuildsAndDequeues();
    void buildFirstWhenShortAsksFirst();
    void savedQueueComesBack();
    void chartToggleShowsProjection();

private:
    // A village with a race, 1000 of each stock, no income and the
    // considered sawmill and main building.
    void Prepare(TFormVillage &page) const;
    void Enqueue(TFormVillage &page, const QStringList &texts) const;

    template <typename T>
    T *Find(const QObject &parent, const QString &name) const
    {
        T *child = parent.findChild<T *>(name);
        if (!child)
            qWarning("no control %s", qPrintable(name));
        return child;
    }

    TdmListObj m_Catalog;
    std::unique_ptr<TRecordedMessages> m_Messages;
    std::unique_ptr<TPinnedClock> m_Clock;
};

void TestFormQueue::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    // The chart linked in, rather than the plug-in beside the program.
    SetQueueChartFactory(&TQueueChart::Factory());
    QVERIFY(LoadShippedCatalog(m_Catalog).Ok);
}

void TestFormQueue::init()
{
    m_Messages = std::make_unique<TRecordedMessages>();
    m_Clock.reset();
    m_Clock = std::make_unique<TPinnedClock>(QDateTime(QDate(2026, 12, 7), QTime(10, 0)));
}

void TestFormQueue::cleanup()
{
    m_Clock.reset();
    m_Messages.reset();
}

void TestFormQueue::buildingAQueuedEntrySpendsItOnce()
{
    TFormVillage page(m_Catalog);
    Prepare(page);
    Enqueue(page, {Saw1});
    auto *sgCalc = Find<QTableView>(page, QStringLiteral("sgCalc"));
    QVERIFY(sgCalc);
    sgCalc->setCurrentIndex(sgCalc->model()->index(0, 0));
    QCOMPARE(sgCalc->currentIndex().data().toString(), Saw1);

    Find<QAction>(page, QStringLiteral("pmiBuild"))->trigger();
    // Its costs are spent by the build command: the queue no longer holds it.
    QCOMPARE(page.Village().BuildName, Saw1);
    QVERIFY(page.Village().Queue.isEmpty());
    QTRY_COMPARE(page.QueueModel().rowCount(), 0);
}

void TestFormQueue::Prepare(TFormVillage &page) const
{
    page.Village().SetRace(1);
    for (const TResourceKind kind : AllResourceKinds) {
        page.Village().SetResourceCollect(kind, QStringLiteral("1000"));
        page.Village().SetResourceAdd(kind, QStringLiteral("0"));
    }
    page.Village().ReplaceAvBuildings({{Saw1, m_Catalog.FindByDisplayText(Saw1)}});
    page.Planner().RecalculateAvailable();
}

void TestFormQueue::Enqueue(TFormVillage &page, const QStringList &texts) const
{
    for (const QString &text : texts)
        QVERIFY(page.Planner().Enqueue(m_Catalog.FindByDisplayText(text)));
}

void TestFormQueue::enqueueFromEachMenu_data()
{
    QTest::addColumn<QString>("viewName");
    QTest::addColumn<QString>("menuName");
    QTest::newRow("considered list") << QStringLiteral("LstBoxItems") << QStringLiteral("PopupMenu1");
    QTest::newRow("available table") << QStringLiteral("sgCalc") << QStringLiteral("PopupMenu2");
}

void TestFormQueue::enqueueFromEachMenu()
{
    QFETCH(QString, viewName);
    QFETCH(QString, menuName);

    TFormVillage page(m_Catalog);
    Prepare(page);
    auto *view = Find<QAbstractItemView>(page, viewName);
    auto *menu = Find<QMenu>(page, menuName);
    auto *actEnqueue = Find<QAction>(page, QStringLiteral("actEnqueue"));
    auto *sgQueue = Find<QTableView>(page, QStringLiteral("sgQueue"));
    QVERIFY(view && menu && actEnqueue && sgQueue);
    QVERIFY(menu->actions().contains(actEnqueue));
    view->setCurrentIndex(view->model()->index(0, 0));

    // Twice: the second time the next level goes after the first.
    for (int i = 0; i < 2; ++i) {
        emit view->customContextMenuRequested(QPoint(2, 2));
        QVERIFY(menu->isVisible());
        actEnqueue->trigger();
        menu->close();
    }
    QCOMPARE(EntryTexts(page.Village().Queue), (QStringList{Saw1, Saw2}));
    QCOMPARE(ColumnTexts(sgQueue), (QStringList{Saw1, Saw2}));
}

void TestFormQueue::keysMoveAndRemove()
{
    TFormVillage page(m_Catalog);
    Prepare(page);
    Enqueue(page, {Main2, Saw1, Saw2});
    page.show();
    QApplication::setActiveWindow(&page);
    QVERIFY(QTest::qWaitForWindowActive(&page));
    auto *sgQueue = Find<QTableView>(page, QStringLiteral("sgQueue"));
    QVERIFY(sgQueue);
    sgQueue->setFocus();
    sgQueue->setCurrentIndex(sgQueue->model()->index(2, 0));

    QTest::keyClick(sgQueue, Qt::Key_Up, Qt::ControlModifier);
    QCOMPARE(EntryTexts(page.Village().Queue), (QStringList{Main2, Saw2, Saw1}));
    QCOMPARE(sgQueue->currentIndex().row(), 1);
    QTest::keyClick(sgQueue, Qt::Key_Down, Qt::ControlModifier);
    QCOMPARE(EntryTexts(page.Village().Queue), (QStringList{Main2, Saw1, Saw2}));
    QCOMPARE(sgQueue->currentIndex().row(), 2);
    QTest::keyClick(sgQueue, Qt::Key_Delete);
    QCOMPARE(ColumnTexts(sgQueue), (QStringList{Main2, Saw1}));
}

void TestFormQueue::buildFirstBuildsAndDequeues()
{
    TFormVillage page(m_Catalog);
    Prepare(page);
    Enqueue(page, {Saw1, Saw2});
    auto *sgQueue = Find<QTableView>(page, QStringLiteral("sgQueue"));
    auto *actQueueBuild = Find<QAction>(page, QStringLiteral("actQueueBuild"));
    QVERIFY(sgQueue && actQueueBuild);

    sgQueue->setCurrentIndex(sgQueue->model()->index(1, 0));
    QVERIFY(!actQueueBuild->isEnabled());
    sgQueue->setCurrentIndex(sgQueue->model()->index(0, 0));
    QVERIFY(actQueueBuild->isEnabled());
    actQueueBuild->trigger();

    QCOMPARE(page.Village().BuildName, Saw1);
    QCOMPARE(ColumnTexts(sgQueue), QStringList{Saw2});
}

void TestFormQueue::buildFirstWhenShortAsksFirst()
{
    TFormVillage page(m_Catalog);
    Prepare(page);
    page.Village().SetResourceCollect(TResourceKind::Wood, QStringLiteral("0"));
    Enqueue(page, {Saw1});
    auto *sgQueue = Find<QTableView>(page, QStringLiteral("sgQueue"));
    QVERIFY(sgQueue);
    sgQueue->setCurrentIndex(sgQueue->model()->index(0, 0));
    QStringList questions;
    const auto previous = UiSeams::SetAskHandler([&questions](QWidget *, const QString &question, UiSeams::TAnswer) {
        questions.append(question);
        return false;
    });
    Find<QAction>(page, QStringLiteral("actQueueBuild"))->trigger();
    UiSeams::SetAskHandler(previous);

    QCOMPARE(questions.size(), 1);
    QVERIFY2(questions.first().startsWith(QStringLiteral("Не хватает ресурсов: дерево ")), qPrintable(questions.first()));
    // "Нет": nothing built, nothing spent, the item still queued.
    QVERIFY(page.Village().BuildName.isEmpty());
    QCOMPARE(page.Village().ResourceCollect[0], QStringLiteral("0"));
    QCOMPARE(ColumnTexts(sgQueue), QStringList{Saw1});
}

void TestFormQueue::savedQueueComesBack()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("village.vlgdat"));
    {
        TFormVillage page(m_Catalog);
        Prepare(page);
        page.Village().SetName(QStringLiteral("Хутор"));
        Enqueue(page, {Saw1, Saw2, Main2});
        QVERIFY(page.WriteToFile(path));
    }
    TFormVillage opened(m_Catalog);
    opened.Village().SetFileName(path);
    QVERIFY(opened.LoadFromFile().Ok);
    auto *sgQueue = Find<QTableView>(opened, QStringLiteral("sgQueue"));
    QVERIFY(sgQueue);
    QCOMPARE(ColumnTexts(sgQueue), (QStringList{Saw1, Saw2, Main2}));
    // Projected as well as listed.
    QCOMPARE(ColumnTexts(sgQueue, 4).constLast(), QStringLiteral("10:58"));
}

void TestFormQueue::chartToggleShowsProjection()
{
    TFormMain window(m_Catalog);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    TFormVillage *page = window.ActivePage();
    QVERIFY(page);
    Prepare(*page);
    Enqueue(*page, {Saw1, Saw2});
    auto *actViewChart = Find<QAction>(window, QStringLiteral("actViewChart"));
    QVERIFY(actViewChart && actViewChart->isCheckable());
    // Made on first show only.
    QVERIFY(!page->findChild<TQueueChart *>());

    actViewChart->trigger();
    auto *chart = page->findChild<TQueueChart *>();
    QVERIFY(chart);
    QVERIFY(chart->isVisible());
    QVERIFY(actViewChart->isChecked());
    const TQueueModel &model = page->QueueModel();
    QCOMPARE(chart->Series(), MakeProjectionSeries(model.Projection(), model.ProjectedAt()));
    auto *starts = qobject_cast<QScatterSeries *>(chart->chart()->series().constLast());
    QVERIFY(starts);
    QCOMPARE(starts->count(), 2);

    // A third item: the same series, one marker more.
    const int seriesCount = int(chart->chart()->series().size());
    Enqueue(*page, {Main2});
    QTRY_COMPARE(starts->count(), 3);
    QCOMPARE(chart->chart()->series().size(), seriesCount);
    QCOMPARE(chart->Series(), MakeProjectionSeries(model.Projection(), model.ProjectedAt()));

    // Per page: a new page starts without its chart.
    window.findChild<QAction *>(QStringLiteral("actNew"))->trigger();
    QVERIFY(window.ActivePage() != page);
    QVERIFY(!window.ActivePage()->findChild<TQueueChart *>());
    QVERIFY(!window.ActivePage()->ChartVisible());
    page->Village().SetModified(false);
    window.ActivePage()->Village().SetModified(false);
}

QTEST_MAIN(TestFormQueue)
#include "tst_formqueue.moc"
