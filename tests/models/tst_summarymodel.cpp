// The summary of all villages: the texts of a village's row, the order of
// the rows by their soonest event, and how a refresh tells the views (data,
// layout or reset).

#include "TestSupport.h"

#include "models/SummaryModel.h"
#include "rules/Planner.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <limits>

namespace {

// Catalog indices of tests/data/models_catalog.xml.
enum : qint32 { Ambar = 0, Bashnya = 1, Dvorets = 4 };

const QString AmbarText = QStringLiteral("Амбар ( 1)");
const QString BashnyaText = QStringLiteral("башня ( 1)");
const QString DvoretsText = QStringLiteral("Дворец ( 1)");

TSummaryRow Row(const QString &name, std::optional<qint64> next, std::optional<qint64> construction,
                std::optional<qint64> full)
{
    TSummaryRow row;
    row.Name = name;
    row.NextBuildingSeconds = next;
    row.ConstructionSeconds = construction;
    row.FullStorageSeconds = full;
    return row;
}

QStringList RowTexts(const TSummaryModel &model, int row)
{
    QStringList texts;
    for (int column = 0; column < model.columnCount(); ++column)
        texts.append(model.index(row, column).data().toString());
    return texts;
}

} // namespace

class TestSummaryModel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void rowTexts_data();
    void rowTexts();
    void order_data();
    void order();
    void refreshTellsViews();

private:
    TdmListObj m_Catalog;
    std::unique_ptr<TPinnedClock> m_Clock;
};

void TestSummaryModel::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    m_Clock = std::make_unique<TPinnedClock>(QDateTime(QDate(2024, 3, 1), QTime(14, 5, 0)));
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_TEST_DATA_DIR "/models_catalog.xml")));
}

void TestSummaryModel::cleanupTestCase()
{
    m_Clock.reset();
}

void TestSummaryModel::rowTexts_data()
{
    QTest::addColumn<TVillageSetup>("setup");
    QTest::addColumn<QStringList>("texts");

    QTest::newRow("nothing planned: the name only")
        << TVillageSetup{QStringLiteral("Пустая"), Each("0"), Each("0"), {}, {}, {}, {}, 0, 0}
        << QStringList{QStringLiteral("Пустая"), {}, {}, {}, {}, {}, {}, {}};
    // 0.1 unit a second of each; grain full; Склад has 500 s left; башня
    // starts after it (stocks 150 then) and takes 600 s.
    QTest::newRow("every column")
        << TVillageSetup{QStringLiteral("Северная"),
                         Each("100"),
                         Each("360"),
                         {QStringLiteral("160"), QStringLiteral("160"), QStringLiteral("160"), QStringLiteral("100")},
                         {{AmbarText, Ambar}, {BashnyaText, Bashnya}},
                         {{BashnyaText, Bashnya}},
                         QStringLiteral("Склад ( 1)"),
                         600,
                         100}
        << QStringList{QStringLiteral("Северная"), AmbarText,          QStringLiteral("00:00:00 (14:05)"),
                       QStringLiteral("Склад ( 1)"), QStringLiteral("00:08:20 (14:13)"), QStringLiteral("Зерно"),
                       QStringLiteral("полон"), QStringLiteral("00:18:20 (14:23)")};
    QTest::newRow("the sooner of two buildings, and the sooner storage")
        << TVillageSetup{QStringLiteral("Южная"),
                         {QStringLiteral("0"), QStringLiteral("100"), QStringLiteral("100"), QStringLiteral("0")},
                         {QStringLiteral("3600"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("3600")},
                         {QStringLiteral("1000"), {}, {}, QStringLiteral("300")},
                         {{AmbarText, Ambar}, {BashnyaText, Bashnya}},
                         {},
                         {},
                         0,
                         0}
        << QStringList{QStringLiteral("Южная"), AmbarText, QStringLiteral("00:01:30 (14:06)"), {}, {},
                       QStringLiteral("Зерно"), QStringLiteral("00:05:00 (14:10)"), {}};
    // Wood fills in 700 s, grain runs out in 6 minutes: the grain, first.
    QTest::newRow("a stock that runs out comes before a storage that fills")
        << TVillageSetup{QStringLiteral("Голодная"), {"100", "100", "100", "2"}, {"3600", "0", "0", "-20"},
                         Each("800"), {}, {}, {}, 0, 0}
        << QStringList{QStringLiteral("Голодная"), {}, {}, {}, {}, QStringLiteral("Зерно"),
                       QStringLiteral("опустеет 00:06:00 (14:11)"), {}};
    QTest::newRow("even when it runs out later")
        << TVillageSetup{QStringLiteral("Запасливая"), {"100", "100", "100", "100"}, {"3600", "0", "0", "-20"},
                         Each("800"), {}, {}, {}, 0, 0}
        << QStringList{QStringLiteral("Запасливая"), {}, {}, {}, {}, QStringLiteral("Зерно"),
                       QStringLiteral("опустеет 05:00:00 (19:05)"), {}};
    QTest::newRow("a stock gone already")
        << TVillageSetup{QStringLiteral("Пустая"), {"100", "100", "100", "0"}, {"0", "0", "0", "-20"},
                         Each("800"), {}, {}, {}, 0, 0}
        << QStringList{QStringLiteral("Пустая"), {}, {}, {}, {}, QStringLiteral("Зерно"), QStringLiteral("пусто"), {}};
    QTest::newRow("a queue that can never start says why")
        << TVillageSetup{QStringLiteral("Дальняя"), Each("100"), Each("0"), {}, {}, {{DvoretsText, Dvorets}}, {}, 0, 0}
        << QStringList{QStringLiteral("Дальняя"), {}, {}, {}, {}, {}, {}, QStringLiteral("не накопится")};
    // A file may hold an elapsed time below 0: what remains then exceeds
    // 32 bits, and the queue waits behind it all the same.
    QTest::newRow("a construction with more than 32 bits of seconds left")
        << TVillageSetup{QStringLiteral("Вечная"), Each("100"), Each("0"), {}, {}, {{BashnyaText, Bashnya}},
                         QStringLiteral("Склад ( 1)"), std::numeric_limits<qint32>::max(), -5}
        << QStringList{QStringLiteral("Вечная"), BashnyaText, QStringLiteral("00:00:00 (14:05)"),
                       QStringLiteral("Склад ( 1)"),
                       QStringLiteral("24855 д 03:14:07 (19.03.2092 17:19)"), {}, {},
                       QStringLiteral("24855 д 03:14:07 (19.03.2092 17:19)")};
    QTest::newRow("a day and more: hours past 24, the end carries its date")
        << TVillageSetup{QStringLiteral("Медленная"), Each("0"), Each("1"), {}, {{AmbarText, Ambar}}, {}, {}, 0, 0}
        << QStringList{QStringLiteral("Медленная"), AmbarText, QStringLiteral("4 д 04:00:00 (05.03 18:05)"), {}, {}, {}, {},
                       {}};
}

void TestSummaryModel::rowTexts()
{
    QFETCH(TVillageSetup, setup);
    QFETCH(QStringList, texts);
    TVillageData village;
    setup.ApplyTo(village);
    const TPlanner planner(village, m_Catalog);
    TSummaryModel model;
    model.Refresh({&planner});
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(RowTexts(model, 0), texts);
    // A stock that runs out is marked for its colour, on both its cells.
    const bool runsOut = texts.at(TSummaryModel::FullStorageTimeColumn).startsWith(QStringLiteral("опустеет"))
                         || texts.at(TSummaryModel::FullStorageTimeColumn) == QStringLiteral("пусто");
    QCOMPARE(model.index(0, TSummaryModel::FullStorageColumn).data(TSummaryModel::RunsOutRole).toBool(), runsOut);
    QCOMPARE(model.index(0, TSummaryModel::FullStorageTimeColumn).data(TSummaryModel::RunsOutRole).toBool(),
             runsOut);
    QCOMPARE(model.index(0, TSummaryModel::NameColumn).data(TSummaryModel::RunsOutRole).toBool(), false);
    QCOMPARE(model.VillageAt(0), &village);
    QCOMPARE(model.VillageAt(1), nullptr);
}

void TestSummaryModel::order_data()
{
    QTest::addColumn<QList<TSummaryRow>>("rows");
    QTest::addColumn<QStringList>("names");

    const std::optional<qint64> none;
    QTest::newRow("soonest first, whichever event it is")
        << QList<TSummaryRow>{Row("Б", 300, none, none), Row("В", none, none, 0), Row("Г", none, 120, 900)}
        << QStringList{"В", "Г", "Б"};
    QTest::newRow("without an event last")
        << QList<TSummaryRow>{Row("А", none, none, none), Row("Я", 7200, none, none)} << QStringList{"Я", "А"};
    QTest::newRow("a tie goes by name, letter case ignored")
        << QList<TSummaryRow>{Row("Б", 300, none, none), Row("а", none, 300, none), Row("В", none, none, 300)}
        << QStringList{"а", "Б", "В"};
    QTest::newRow("the queue's end is an event too")
        << QList<TSummaryRow>{Row("Б", 300, none, none), [] {
               TSummaryRow row = Row("А", {}, {}, {});
               row.QueueEndSeconds = 200;
               return row;
           }()} << QStringList{"А", "Б"};
}

void TestSummaryModel::order()
{
    QFETCH(QList<TSummaryRow>, rows);
    QFETCH(QStringList, names);
    std::stable_sort(rows.begin(), rows.end(), ComesBefore);
    QStringList sorted;
    for (const TSummaryRow &row : rows)
        sorted.append(row.Name);
    QCOMPARE(sorted, names);
}

void TestSummaryModel::refreshTellsViews()
{
    // Two villages: Амбар affordable in 100 s in the first, in 10 s in the
    // second.
    TVillageData first;
    TVillageData second;
    TVillageSetup{QStringLiteral("Первая"), Each("0"), Each("3600"), {}, {{AmbarText, Ambar}}, {}, {}, 0, 0}
        .ApplyTo(first);
    TVillageSetup{QStringLiteral("Вторая"), Each("90"), Each("3600"), {}, {{AmbarText, Ambar}}, {}, {}, 0, 0}
        .ApplyTo(second);
    const TPlanner firstPlanner(first, m_Catalog);
    const TPlanner secondPlanner(second, m_Catalog);
    TSummaryModel model;
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy layout(&model, &QAbstractItemModel::layoutChanged);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    model.Refresh({&firstPlanner, &secondPlanner});
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.VillageAt(0), &second);
    const QPersistentModelIndex firstName = model.index(1, 0);

    // The same villages, the same order: data only, over the whole table.
    for (TResourceKind kind : AllResourceKinds)
        first.SetResourceCollect(kind, QStringLiteral("50"));
    model.Refresh({&firstPlanner, &secondPlanner});
    QCOMPARE(reset.count(), 1);
    QCOMPARE(layout.count(), 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), model.index(0, 0));
    QCOMPARE(changed.at(0).at(1).value<QModelIndex>(), model.index(1, TSummaryModel::ColumnCount - 1));
    QCOMPARE(model.index(1, TSummaryModel::NextBuildingTimeColumn).data().toString(),
             QStringLiteral("00:00:50 (14:05)"));

    // The first overtakes the second: the rows move, a held index follows.
    for (TResourceKind kind : AllResourceKinds)
        first.SetResourceCollect(kind, QStringLiteral("100"));
    model.Refresh({&firstPlanner, &secondPlanner});
    QCOMPARE(reset.count(), 1);
    QCOMPARE(layout.count(), 1);
    QCOMPARE(model.VillageAt(0), &first);
    QCOMPARE(firstName.row(), 0);
    QCOMPARE(firstName.data().toString(), QStringLiteral("Первая"));

    // One village fewer: a reset.
    model.Refresh({&secondPlanner});
    QCOMPARE(reset.count(), 2);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.VillageAt(0), &second);
}

QTEST_GUILESS_MAIN(TestSummaryModel)
#include "tst_summarymodel.moc"
