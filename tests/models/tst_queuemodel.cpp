// The build queue's table: the texts of its rows (clocks, waits, build times,
// reasons an item never starts and the items waiting behind it), what "В
// очередь" adds, moving and removing rows, "Строить" on the first item, and
// one projection per pass of the event loop however many changes come in it.
// Figures come from the shipped catalog.
#include "TestSupport.h"

#include "rules/Planner.h"
#include "models/QueueModel.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

namespace {

// 2026-12-07 10:00:00 local time.
const QDateTime Morning(QDate(2026, 12, 7), QTime(10, 0));

struct TQueueSetup
{
    QList<qint32> Stocks{1000, 1000, 1000, 1000};
    QList<qint32> Incomes{0, 0, 0, 0};
    QString Capacity; // the same for the four kinds; empty: unknown
    QString MainLevel = QStringLiteral("1");
    qint32 Running = 0; // seconds left of a construction in progress
    QStringList Queue;
};

// A page's record, planner and queue model.
struct TQueuePage
{
    TVillageData Village;
    TPlanner Planner;
    TQueueModel Model;
    QAbstractItemModelTester Tester;

    TQueuePage(const TdmListObj &catalog, const TQueueSetup &setup)
        : Planner(Village, catalog)
        , Model(Planner)
        , Tester(&Model, QAbstractItemModelTester::FailureReportingMode::QtTest)
    {
        for (TResourceKind kind : AllResourceKinds) {
            const int i = int(KindIndex(kind));
            Village.SetResourceCollect(kind, QString::number(setup.Stocks.at(i)));
            Village.SetResourceAdd(kind, QString::number(setup.Incomes.at(i)));
            Village.SetCapacity(kind, setup.Capacity);
        }
        Village.SetMainLevel(setup.MainLevel);
        if (setup.Running > 0)
            Village.SetConstruction(QStringLiteral("Стена ( 1)"), setup.Running, 0);
        for (const QString &text : setup.Queue)
            Village.AppendToQueue({text, catalog.FindByDisplayText(text)});
        Planner.RecalculateAvailable();
    }

    // Each row's five texts joined by " | ".
    QStringList Rows() const
    {
        QStringList rows;
        for (int row = 0; row < Model.rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < Model.columnCount(); ++column)
                cells.append(Model.index(row, column).data().toString());
            rows.append(cells.join(QStringLiteral(" | ")));
        }
        return rows;
    }
};

const QString Saw1 = QStringLiteral("Лесопильный завод ( 1)");
const QString Saw2 = QStringLiteral("Лесопильный завод ( 2)");
const QString Saw3 = QStringLiteral("Лесопильный завод ( 3)");
const QString Main2 = QStringLiteral("Главное здание ( 2)");

} // namespace

Q_DECLARE_METATYPE(TQueueSetup)

class TestQueueModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void rowTexts_data();
    void rowTexts();
    void entryToEnqueue_data();
    void entryToEnqueue();
    void moveRows_data();
    void moveRows();
    void removeRows();
    void buildFirst();
    void oneProjectionPerPass();

private:
    TdmListObj m_Catalog;
    std::unique_ptr<TPinnedClock> m_Clock;
};

void TestQueueModel::initTestCase()
{
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_SHIPPED_CATALOG)).Ok);
    QLocale::setDefault(QLocale::c());
    QCOMPARE(m_Catalog.MainBuildingPercent(1), 100);
    QCOMPARE(m_Catalog.MainBuildingPercent(2), 96);
}

void TestQueueModel::cleanupTestCase()
{
    m_Clock.reset();
}

void TestQueueModel::init()
{
    // The clock of the test before goes first: it unpins when it goes.
    m_Clock.reset();
    m_Clock = std::make_unique<TPinnedClock>(Morning);
}

void TestQueueModel::rowTexts_data()
{
    QTest::addColumn<TQueueSetup>("setup");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QStringList>("expected");

    TQueueSetup setup;
    setup.Queue = {Saw1, Saw2};
    QTest::newRow("covered now, one after the other")
        << setup << Morning
        << QStringList{Saw1 + " | 10:00 | 00:00:00 | 00:04:20 | 10:04", Saw2 + " | 10:04 | 00:00:00 | 00:10:20 | 10:14"};

    setup = {};
    setup.Stocks = {0, 0, 0, 0};
    setup.Incomes = {3600, 3600, 3600, 3600};
    setup.Queue = {Saw1};
    QTest::newRow("waits for the slowest kind")
        << setup << Morning << QStringList{Saw1 + " | 10:01 | 00:01:40 | 00:04:20 | 10:06"};

    setup = {};
    setup.Stocks = {0, 0, 0, 0};
    setup.Queue = {Saw1, Saw2};
    QTest::newRow("no income: never, and the next one waits")
        << setup << Morning << QStringList{Saw1 + " | не накопится |  |  | ", Saw2 + " | ждёт |  |  | "};

    setup = {};
    setup.Stocks = {0, 0, 0, 0};
    setup.Incomes = {3600, 3600, 3600, 3600};
    setup.Capacity = QStringLiteral("50");
    setup.Queue = {Saw1, Saw2};
    QTest::newRow("storage too small")
        << setup << Morning << QStringList{Saw1 + " | не хватит вместимости |  |  | ", Saw2 + " | ждёт |  |  | "};

    setup = {};
    setup.Running = 500;
    setup.Queue = {Saw1};
    QTest::newRow("after the construction in progress")
        << setup << Morning << QStringList{Saw1 + " | 10:08 | 00:00:00 | 00:04:20 | 10:12"};

    setup = {};
    setup.Queue = {Main2, Saw1};
    QTest::newRow("a queued main building shortens the next")
        << setup << Morning
        << QStringList{Main2 + " | 10:00 | 00:00:00 | 00:43:40 | 10:43", Saw1 + " | 10:43 | 00:00:00 | 00:04:09 | 10:47"};

    setup = {};
    setup.MainLevel = QStringLiteral("2");
    setup.Queue = {Saw1};
    QTest::newRow("the main level in the record")
        << setup << Morning << QStringList{Saw1 + " | 10:00 | 00:00:00 | 00:04:09 | 10:04"};

    setup = {};
    setup.Queue = {Saw2};
    QTest::newRow("ends on the next day")
        << setup << QDateTime(QDate(2026, 12, 7), QTime(23, 50))
        << QStringList{Saw2 + " | 23:50 | 00:00:00 | 00:10:20 | 08.12 00:00"};

    setup = {};
    setup.Queue = {Saw2};
    QTest::newRow("ends in the next year")
        << setup << QDateTime(QDate(2026, 12, 31), QTime(23, 55))
        << QStringList{Saw2 + " | 23:55 | 00:00:00 | 00:10:20 | 01.01.2027 00:05"};

    setup = {};
    setup.Queue = {QStringLiteral("Пирамида ( 1)"), Saw1};
    QTest::newRow("an unknown text is passed over")
        << setup << Morning << QStringList{"Пирамида ( 1) |  |  |  | ", Saw1 + " | 10:00 | 00:00:00 | 00:04:20 | 10:04"};
}

void TestQueueModel::rowTexts()
{
    QFETCH(TQueueSetup, setup);
    QFETCH(QDateTime, now);
    QFETCH(QStringList, expected);

    m_Clock->Now = now;
    TQueuePage page(m_Catalog, setup);
    QCOMPARE(page.Rows(), expected);
}

void TestQueueModel::entryToEnqueue_data()
{
    QTest::addColumn<QStringList>("queue");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("expected"); // empty: nothing is added

    QTest::newRow("not queued yet: itself") << QStringList{} << Saw1 << Saw1;
    QTest::newRow("queued: its next level") << QStringList{Saw1} << Saw1 << Saw2;
    QTest::newRow("lower than queued: after the highest") << QStringList{Saw2, Main2, Saw1} << Saw1 << Saw3;
    QTest::newRow("higher than queued: itself") << QStringList{Saw1} << Saw3 << Saw3;
    QTest::newRow("another building: itself") << QStringList{Main2} << Saw1 << Saw1;
    QTest::newRow("the last level queued: nothing")
        << QStringList{QStringLiteral("Лесопильный завод (20)")} << QStringLiteral("Лесопильный завод (20)")
        << QString();
    QTest::newRow("not in the catalog: nothing") << QStringList{} << QStringLiteral("Пирамида ( 1)") << QString();
}

void TestQueueModel::entryToEnqueue()
{
    QFETCH(QStringList, queue);
    QFETCH(QString, chosen);
    QFETCH(QString, expected);

    QList<TAvBuildingEntry> entries;
    for (const QString &text : queue)
        entries.append({text, m_Catalog.FindByDisplayText(text)});
    const auto entry = TPlanner::EntryToEnqueue(m_Catalog, entries, m_Catalog.FindByDisplayText(chosen));
    QCOMPARE(entry ? entry->Text : QString(), expected);
    if (entry)
        QCOMPARE(entry->CatalogIndex, m_Catalog.FindByDisplayText(expected));
}

void TestQueueModel::moveRows_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("before"); // the row it goes before, as a view drops it
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QStringList>("expected");

    const QStringList unchanged{Main2, Saw1, Saw2};
    QTest::newRow("first to the end") << 0 << 3 << true << QStringList{Saw1, Saw2, Main2};
    QTest::newRow("last to the front") << 2 << 0 << true << QStringList{Saw2, Main2, Saw1};
    QTest::newRow("down by one") << 0 << 2 << true << QStringList{Saw1, Main2, Saw2};
    QTest::newRow("before itself") << 1 << 1 << false << unchanged;
    QTest::newRow("before the next") << 1 << 2 << false << unchanged;
    QTest::newRow("beyond the end") << 0 << 4 << false << unchanged;
    QTest::newRow("from outside") << 3 << 0 << false << unchanged;
}

void TestQueueModel::moveRows()
{
    QFETCH(int, from);
    QFETCH(int, before);
    QFETCH(bool, moved);
    QFETCH(QStringList, expected);

    TQueueSetup setup;
    setup.Queue = {Main2, Saw1, Saw2};
    TQueuePage page(m_Catalog, setup);
    QCOMPARE(page.Model.moveRows({}, from, 1, {}, before), moved);
    QCOMPARE(EntryTexts(page.Village.Queue), expected);
    // The times follow the new order at once: Главное здание makes the
    // sawmill after it shorter.
    const int sawRow = int(expected.indexOf(Saw1));
    const bool afterMain = sawRow > expected.indexOf(Main2);
    QCOMPARE(page.Model.index(sawRow, 3).data().toString(),
             afterMain ? QStringLiteral("00:04:09") : QStringLiteral("00:04:20"));
}

void TestQueueModel::removeRows()
{
    TQueueSetup setup;
    setup.Queue = {Main2, Saw1, Saw2};
    TQueuePage page(m_Catalog, setup);
    QVERIFY(!page.Model.removeRows(2, 2));
    QVERIFY(page.Model.removeRows(0, 1));
    QCOMPARE(EntryTexts(page.Village.Queue), (QStringList{Saw1, Saw2}));
    QCOMPARE(page.Model.index(0, 1).data().toString(), QStringLiteral("10:00"));
    QVERIFY(page.Village.Modified);
}

void TestQueueModel::buildFirst()
{
    TQueueSetup setup;
    setup.Queue = {Saw1, Saw2};
    TQueuePage page(m_Catalog, setup);
    QVERIFY(page.Planner.BuildFirstQueued());
    QCOMPARE(EntryTexts(page.Village.Queue), QStringList{Saw2});
    QCOMPARE(page.Village.BuildName, Saw1);
    QCOMPARE(page.Village.BuildTotal, 260);
    QCOMPARE(page.Village.ResourceCollect, (std::array<QString, 4>{"960", "900", "950", "940"}));
    // The next one waits for the construction just started.
    QCOMPARE(page.Rows(), QStringList{Saw2 + " | 10:04 | 00:00:00 | 00:10:20 | 10:14"});

    // An unknown first item is not built.
    TQueueSetup unknown;
    unknown.Queue = {QStringLiteral("Пирамида ( 1)")};
    TQueuePage other(m_Catalog, unknown);
    QVERIFY(!other.Planner.BuildFirstQueued());
    QCOMPARE(other.Village.Queue.size(), 1);
    QCOMPARE(other.Village.ResourceCollect[0], QStringLiteral("1000"));
}

void TestQueueModel::oneProjectionPerPass()
{
    TQueueSetup setup;
    setup.Stocks = {0, 0, 0, 0};
    setup.Incomes = {3600, 3600, 3600, 3600};
    setup.Queue = {Saw1};
    TQueuePage page(m_Catalog, setup);
    QSignalSpy projected(&page.Model, &TQueueModel::ProjectionChanged);

    // A tick's worth of changes: stocks, the construction, the main level.
    page.Village.SetStocks({100, 100, 100, 100});
    page.Village.SetMainLevel(QStringLiteral("2"));
    page.Planner.AdvanceProgress();
    QCOMPARE(projected.count(), 0);
    QTRY_COMPARE(projected.count(), 1);
    QCOMPARE(page.Rows(), QStringList{Saw1 + " | 10:00 | 00:00:00 | 00:04:09 | 10:04"});
    QCoreApplication::processEvents();
    QCOMPARE(projected.count(), 1);
}

QTEST_GUILESS_MAIN(TestQueueModel)
#include "tst_queuemodel.moc"
