// The models the village page's views show: the available table (texts,
// shortage, sorting, the row a command acts on), the resource table (what a
// typed value does to the record), the considered list (known and unknown
// buildings) and the selection dialog's check list.
#include "TestSupport.h"

#include "models/AvailableModel.h"
#include "models/CandidateModel.h"
#include "models/ConsideredModel.h"
#include "rules/Planner.h"
#include "models/ResourceModel.h"
#include "record/VillageData.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// Catalog indices of tests/data/models_catalog.xml.
enum : qint32 { Ambar = 0, Bashnya = 1, Sklad = 2, MainBuilding = 3, Dvorets = 4 };

const QString AmbarText = QStringLiteral("Амбар ( 1)");
const QString BashnyaText = QStringLiteral("башня ( 1)");
const QString SkladText = QStringLiteral("Склад ( 1)");
const QString DvoretsText = QStringLiteral("Дворец ( 1)");

QString DataPath(const QString &name)
{
    return QStringLiteral(JOR_TEST_DATA_DIR "/") + name;
}

// A village whose table lists, in the planner's order, Амбар (now), башня
// (now), Дворец (never: grain 5000 without income) and Склад (in one hour).
struct TTable
{
    TVillageData Village;
    TPlanner Planner;
    TAvailableModel Model;
    QAbstractItemModelTester Tester;

    explicit TTable(const TdmListObj &catalog)
        : Planner(Village, catalog)
        , Model(Planner, catalog)
        , Tester(&Model, QAbstractItemModelTester::FailureReportingMode::QtTest)
    {
        const QStringList stocks{"100", "1000", "1000", "1000"};
        const QStringList incomes{"900", "0", "0", "0"};
        for (TResourceKind kind : AllResourceKinds) {
            Village.SetResourceCollect(kind, stocks.at(int(KindIndex(kind))));
            Village.SetResourceAdd(kind, incomes.at(int(KindIndex(kind))));
        }
        Village.ReplaceAvBuildings(
            {{SkladText, Sklad}, {AmbarText, Ambar}, {DvoretsText, Dvorets}, {BashnyaText, Bashnya}});
        Planner.RecalculateAvailable();
    }

    QStringList Names() const
    {
        QStringList names;
        for (int row = 0; row < Model.rowCount(); ++row)
            names.append(Model.index(row, 0).data().toString());
        return names;
    }
};

} // namespace

class TestModels : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void availableTexts_data();
    void availableTexts();
    void blankRowShowsNothing();
    void availableSorts_data();
    void availableSorts();
    void sortHoldsThroughRecalculation();
    void sortKeepsTheChosenRow();
    void rowsChangeInPlaceWhileTheirNumberStays();

    void resourceEdits_data();
    void resourceEdits();
    void resourceTitlesAndFollowing();
    void resourceFullness_data();
    void resourceFullness();
    void resourceFullTextFromExactStock_data();
    void capacityNotUnderstood_data();
    void capacityNotUnderstood();
    void resourceFullTextFromExactStock();
    void availableWithCapacities_data();
    void availableWithCapacities();

    void consideredListsUnknownAfterKnown();
    void consideredChangesInPlaceOrAnew();

    void candidateChecks();

private:
    TdmListObj m_Catalog;
    std::unique_ptr<TPinnedClock> m_Clock;
};

void TestModels::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    m_Clock = std::make_unique<TPinnedClock>(QDateTime(QDate(2024, 3, 1), QTime(14, 5, 0)));
    QVERIFY(m_Catalog.LoadCatalog(DataPath(QStringLiteral("models_catalog.xml"))));
    QCOMPARE(m_Catalog.Count(), 5);
}

void TestModels::cleanupTestCase()
{
    m_Clock.reset();
}

void TestModels::availableTexts_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shortage");

    // Rows in the planner's order: Амбар, башня, Дворец, Склад.
    QTest::newRow("name") << 0 << 0 << AmbarText << false;
    QTest::newRow("cost covered") << 0 << 1 << QStringLiteral("90") << false;
    QTest::newRow("cost equal to the stock is covered") << 1 << 1 << QStringLiteral("100") << false;
    QTest::newRow("affordable now") << 0 << 5 << QStringLiteral("00:00:00 (14:05)") << false;
    QTest::newRow("build time at 100 percent") << 0 << 6 << QStringLiteral("00:26:40") << false;
    QTest::newRow("short cost without income") << 2 << 4 << QStringLiteral("5000") << true;
    QTest::newRow("never affordable") << 2 << 5 << QStringLiteral("не накопится") << false;
    QTest::newRow("short cost with income") << 3 << 1 << QStringLiteral("1000") << true;
    QTest::newRow("affordable in one hour") << 3 << 5 << QStringLiteral("01:00:00 (15:05)") << false;
    QTest::newRow("covered cost beside a short one") << 3 << 2 << QStringLiteral("160") << false;
}

void TestModels::availableTexts()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(bool, shortage);

    TTable table(m_Catalog);
    QCOMPARE(table.Names(), (QStringList{AmbarText, BashnyaText, DvoretsText, SkladText}));
    const QModelIndex index = table.Model.index(row, column);
    QCOMPARE(index.data().toString(), text);
    QCOMPARE(index.data(TAvailableModel::ShortageRole).toBool(), shortage);
    QCOMPARE(index.data(Qt::ToolTipRole).toString(), column == 0 ? text : QString());
    QCOMPARE(table.Model.headerData(column, Qt::Horizontal).toString(), TAvailableModel::ColumnTitles().at(column));
}

void TestModels::blankRowShowsNothing()
{
    TVillageData village;
    TPlanner planner(village, m_Catalog);
    TAvailableModel model(planner, m_Catalog);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.DisplayRows(), (QList<std::array<QString, 7>>{{}}));
    for (int column = 0; column < model.columnCount(); ++column) {
        QVERIFY(!model.index(0, column).data(TAvailableModel::ShortageRole).toBool());
        // Nothing to select on it.
        QVERIFY(!(model.flags(model.index(0, column)) & Qt::ItemIsSelectable));
    }
}

void TestModels::availableSorts_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<Qt::SortOrder>("order");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("name, letter case ignored")
        << 0 << Qt::AscendingOrder << QStringList{AmbarText, BashnyaText, DvoretsText, SkladText};
    QTest::newRow("name descending") << 0 << Qt::DescendingOrder
                                     << QStringList{SkladText, DvoretsText, BashnyaText, AmbarText};
    QTest::newRow("wood by value, not as text")
        << 1 << Qt::AscendingOrder << QStringList{DvoretsText, AmbarText, BashnyaText, SkladText};
    QTest::newRow("grain descending") << 4 << Qt::DescendingOrder
                                      << QStringList{DvoretsText, SkladText, AmbarText, BashnyaText};
    QTest::newRow("time, equal times keep the list's order, never last")
        << 5 << Qt::AscendingOrder << QStringList{AmbarText, BashnyaText, SkladText, DvoretsText};
    QTest::newRow("time descending, never still last")
        << 5 << Qt::DescendingOrder << QStringList{SkladText, AmbarText, BashnyaText, DvoretsText};
    QTest::newRow("build time by seconds")
        << 6 << Qt::AscendingOrder << QStringList{BashnyaText, AmbarText, SkladText, DvoretsText};
    QTest::newRow("no column: the list's order")
        << -1 << Qt::DescendingOrder << QStringList{AmbarText, BashnyaText, DvoretsText, SkladText};
}

void TestModels::availableSorts()
{
    QFETCH(int, column);
    QFETCH(Qt::SortOrder, order);
    QFETCH(QStringList, names);

    TTable table(m_Catalog);
    table.Model.sort(1, Qt::DescendingOrder);
    table.Model.sort(column, order);
    QCOMPARE(table.Names(), names);
    // Each shown row maps back to the planner's row of the same building.
    for (int row = 0; row < table.Model.rowCount(); ++row) {
        const int plannerRow = table.Model.PlannerRow(row);
        QCOMPARE(m_Catalog.Object(table.Planner.Available().at(plannerRow).CatalogIndex).DisplayText(), names.at(row));
    }
    QCOMPARE(table.Model.PlannerRow(table.Model.rowCount()), -1);
    QCOMPARE(table.Model.PlannerRow(-1), -1);
}

void TestModels::sortHoldsThroughRecalculation()
{
    TTable table(m_Catalog);
    table.Model.sort(1, Qt::AscendingOrder);
    // A stock typed makes башня short (Склад now needs more than the hour).
    table.Village.EditResourceCollect(TResourceKind::Wood, QStringLiteral("95"));
    Settle();
    QCOMPARE(table.Names(), (QStringList{DvoretsText, AmbarText, BashnyaText}));
    QVERIFY(table.Model.index(2, 1).data(TAvailableModel::ShortageRole).toBool());
    table.Village.EditResourceCollect(TResourceKind::Wood, QStringLiteral("200"));
    Settle();
    QCOMPARE(table.Names(), (QStringList{DvoretsText, AmbarText, BashnyaText, SkladText}));
}

void TestModels::sortKeepsTheChosenRow()
{
    TTable table(m_Catalog);
    const QPersistentModelIndex chosen = table.Model.index(3, 2); // Склад, clay
    table.Model.sort(5, Qt::AscendingOrder);
    QCOMPARE(chosen.row(), 2);
    QCOMPARE(chosen.column(), 2);
    QCOMPARE(table.Model.index(chosen.row(), 0).data().toString(), SkladText);

    // The build command on that row builds Склад, whatever the order.
    table.Planner.Build(table.Model.PlannerRow(chosen.row()));
    QCOMPARE(table.Village.BuildName, SkladText);
    QCOMPARE(table.Village.ResourceCollect[0], QStringLiteral("-900"));
}

void TestModels::rowsChangeInPlaceWhileTheirNumberStays()
{
    TTable table(m_Catalog);
    QSignalSpy reset(&table.Model, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&table.Model, &QAbstractItemModel::dataChanged);
    // A tick's growth: the same rows, in place.
    table.Village.SetResourceCollect(TResourceKind::Wood, QStringLiteral("101"));
    table.Planner.RecalculateAvailable();
    QCOMPARE(reset.count(), 0);
    QCOMPARE(changed.count(), 1);
    // A building less: laid out anew.
    table.Village.RemoveAvBuilding(0);
    table.Planner.RecalculateAvailable();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(table.Names(), (QStringList{BashnyaText, DvoretsText, SkladText}));
}

void TestModels::resourceEdits_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("taken");

    QTest::newRow("stock digits") << 0 << 0 << QStringLiteral("250") << true;
    QTest::newRow("stock emptied") << 0 << 3 << QString() << true;
    QTest::newRow("stock negative") << 0 << 1 << QStringLiteral("-5") << false;
    QTest::newRow("stock with letters") << 0 << 2 << QStringLiteral("12abc") << false;
    QTest::newRow("stock beyond 32 bits") << 0 << 0 << QStringLiteral("3000000000") << false;
    QTest::newRow("income negative") << 1 << 0 << QStringLiteral("-40") << true;
    QTest::newRow("income lone minus") << 1 << 1 << QStringLiteral("-") << true;
    QTest::newRow("income hexadecimal") << 1 << 2 << QStringLiteral("$20") << false;
    QTest::newRow("income with a blank") << 1 << 3 << QStringLiteral("4 0") << false;
    QTest::newRow("capacity digits") << 2 << 0 << QStringLiteral("800") << true;
    QTest::newRow("capacity emptied") << 2 << 1 << QString() << true;
    QTest::newRow("capacity negative") << 2 << 2 << QStringLiteral("-800") << false;
    QTest::newRow("capacity lone minus") << 2 << 2 << QStringLiteral("-") << false;
    QTest::newRow("capacity beyond 32 bits") << 2 << 3 << QStringLiteral("2147483648") << false;
    QTest::newRow("time to full takes nothing") << 3 << 0 << QStringLiteral("5") << false;
}

void TestModels::resourceEdits()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(bool, taken);

    TVillageData village;
    village.SetResourceCollect(TResourceKind::Wood, QStringLiteral("7"));
    TResourceModel model(village);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy recalculations(&village, &TVillageData::RecalculationRequested);
    QSignalSpy modified(&village, &TVillageData::ModifiedChanged);
    const QModelIndex cell = model.index(row, column);
    const QString before = cell.data(Qt::EditRole).toString();

    QCOMPARE(model.setData(cell, text), taken);
    QCOMPARE(bool(model.flags(cell) & Qt::ItemIsEditable), row != TResourceModel::FullRow);
    const std::array<QString, 4> &texts = row == 0 ? village.ResourceCollect
                                        : row == 1 ? village.ResourceAdd
                                                   : village.Capacity;
    if (row != TResourceModel::FullRow) {
        QCOMPARE(texts[std::size_t(column)], taken ? text : before);
        QCOMPARE(cell.data().toString(), texts[std::size_t(column)]);
    }
    const bool changed = taken && text != before;
    QCOMPARE(village.Modified, changed);
    QCOMPARE(modified.count(), changed ? 1 : 0);
    QCOMPARE(recalculations.count(), changed ? 1 : 0);
}

void TestModels::resourceTitlesAndFollowing()
{
    TVillageData village;
    TResourceModel model(village);
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Дерево"));
    QCOMPARE(model.headerData(0, Qt::Vertical).toString(), QStringLiteral("Накоплено"));
    QVERIFY(model.flags(model.index(1, 3)) & Qt::ItemIsEditable);
    // The record's changes reach the views, without setting anything.
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    village.SetStocks({std::nullopt, 12, std::nullopt, std::nullopt});
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model.index(0, 1).data().toString(), QStringLiteral("12"));
    QVERIFY(model.index(0, 0).data().toString().isEmpty());
    QVERIFY(!village.Modified);
}

void TestModels::resourceFullness_data()
{
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QString>("income");
    QTest::addColumn<QString>("capacity");
    QTest::addColumn<QString>("fullText");
    QTest::addColumn<int>("fullness");

    using F = TResourceModel::TFullness;
    QTest::newRow("capacity unknown") << "750" << "3600" << "" << "" << int(F::Room);
    QTest::newRow("an hour and a second away") << "0" << "3600" << "3601" << "01:00:01 (15:05)" << int(F::Room);
    QTest::newRow("exactly an hour away is soon") << "700" << "100" << "800" << "01:00:00 (15:05)"
                                                  << int(F::FullWithinHour);
    QTest::newRow("part of a second rounds up") << "799" << "7" << "800" << "00:08:35 (14:13)"
                                                << int(F::FullWithinHour);
    QTest::newRow("stock of letters counts as 0") << "abc" << "3600" << "100" << "00:01:40 (14:06)"
                                                  << int(F::FullWithinHour);
    QTest::newRow("at capacity") << "800" << "100" << "800" << "полон" << int(F::Full);
    QTest::newRow("above capacity without income") << "900" << "0" << "800" << "полон" << int(F::Full);
    QTest::newRow("capacity 0") << "0" << "10" << "0" << "полон" << int(F::Full);
    QTest::newRow("no income below capacity") << "100" << "0" << "800" << "" << int(F::Room);
    QTest::newRow("negative income below capacity") << "100" << "-50" << "800" << "опустеет 02:00:00 (16:05)"
                                                    << int(F::Room);
    QTest::newRow("negative income at capacity: runs out first") << "800" << "-400" << "800"
                                                                 << "опустеет 02:00:00 (16:05)" << int(F::Full);
    QTest::newRow("negative income, stock gone") << "0" << "-50" << "" << "пусто" << int(F::Room);
    QTest::newRow("32-bit capacity at 1 an hour shows the longest time")
        << "0" << "1" << "2147483647" << "24855 д 03:14:07 (19.03.2092 17:19)" << int(F::Room);
}

void TestModels::resourceFullTextFromExactStock_data()
{
    QTest::addColumn<qint32>("stock");
    QTest::addColumn<qint32>("income");
    QTest::addColumn<qint32>("counter");
    QTest::addColumn<QString>("fullText");

    QTest::newRow("runs out at the hour's start") << 3 << -20 << 0 << "опустеет 00:09:00 (14:14)";
    QTest::newRow("half a unit already taken") << 3 << -20 << 90 << "опустеет 00:07:30 (14:12)";
    QTest::newRow("half a unit already grown") << 0 << 100 << 18 << "07:59:42 (22:04)";
    QTest::newRow("full: nothing grows") << 800 << 100 << 18 << "полон";
}

void TestModels::capacityNotUnderstood_data()
{
    QTest::addColumn<QString>("capacity");
    QTest::addColumn<QString>("shown");

    QTest::newRow("a number") << "800" << "800";
    QTest::newRow("none") << "" << "";
    QTest::newRow("letters") << "abc" << "не распознано";
    QTest::newRow("below 0") << "-5" << "не распознано";
    QTest::newRow("beyond 32 bits") << "99999999999" << "не распознано";
}

void TestModels::capacityNotUnderstood()
{
    QFETCH(QString, capacity);
    QFETCH(QString, shown);

    TVillageData village;
    TResourceModel model(village);
    village.SetResourceCollect(TResourceKind::Clay, QStringLiteral("100"));
    village.SetResourceAdd(TResourceKind::Clay, QStringLiteral("3600"));
    village.SetCapacity(TResourceKind::Clay, capacity);
    const QModelIndex cell = model.index(TResourceModel::CapacityRow, int(KindIndex(TResourceKind::Clay)));
    QCOMPARE(cell.data(Qt::DisplayRole).toString(), shown);
    // The editor and the file keep the text; the plan has no capacity.
    QCOMPARE(cell.data(Qt::EditRole).toString(), capacity);
    if (shown != capacity)
        QCOMPARE(model.index(TResourceModel::FullRow, int(KindIndex(TResourceKind::Clay))).data().toString(), QString());
}

void TestModels::resourceFullTextFromExactStock()
{
    QFETCH(qint32, stock);
    QFETCH(qint32, income);
    QFETCH(qint32, counter);
    QFETCH(QString, fullText);

    const QDateTime now(QDate(2024, 3, 1), QTime(14, 5, 0));
    QCOMPARE(TResourceModel::FullText(stock, income, 800, now, counter), fullText);
}

void TestModels::resourceFullness()
{
    QFETCH(QString, stock);
    QFETCH(QString, income);
    QFETCH(QString, capacity);
    QFETCH(QString, fullText);
    QFETCH(int, fullness);

    TVillageData village;
    TResourceModel model(village);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    village.SetResourceCollect(TResourceKind::Clay, stock);
    village.SetResourceAdd(TResourceKind::Clay, income);
    village.SetCapacity(TResourceKind::Clay, capacity);
    QCOMPARE(changed.count(), 3);

    const int clay = int(KindIndex(TResourceKind::Clay));
    QCOMPARE(model.index(TResourceModel::FullRow, clay).data().toString(), fullText);
    QCOMPARE(model.index(TResourceModel::StockRow, clay).data(TResourceModel::FullnessRole).toInt(), fullness);
    // Only the stock cells carry the look; the other kinds stay unknown.
    QVERIFY(!model.index(TResourceModel::IncomeRow, clay).data(TResourceModel::FullnessRole).isValid());
    QCOMPARE(model.index(TResourceModel::FullRow, 0).data().toString(), QString());
    QCOMPARE(model.index(TResourceModel::CapacityRow, clay).data().toString(), capacity);
}

void TestModels::availableWithCapacities_data()
{
    QTest::addColumn<QStringList>("capacities");
    QTest::addColumn<QString>("skladTime");
    QTest::addColumn<QString>("dvoretsTime");
    QTest::addColumn<QStringList>("byTime");

    const QString inAnHour = QStringLiteral("01:00:00 (15:05)");
    const QString noIncome = QStringLiteral("не накопится");
    const QString noRoom = QStringLiteral("не хватит вместимости");
    const QStringList usual{AmbarText, BashnyaText, SkladText, DvoretsText};
    const QStringList bothNever{AmbarText, BashnyaText, DvoretsText, SkladText};
    QTest::newRow("unknown capacities as before") << QStringList{"", "", "", ""} << inAnHour << noIncome << usual;
    QTest::newRow("capacity equal to the cost") << QStringList{"1000", "", "", ""} << inAnHour << noIncome << usual;
    QTest::newRow("capacity one below the cost") << QStringList{"999", "", "", ""} << noRoom << noIncome
                                                 << bothNever;
    QTest::newRow("small capacity named before a missing income")
        << QStringList{"", "", "", "4999"} << inAnHour << noRoom << usual;
    QTest::newRow("stock above a small capacity still pays")
        << QStringList{"", "100", "", ""} << inAnHour << noIncome << usual;
    QTest::newRow("capacity 0") << QStringList{"0", "", "", ""} << noRoom << noIncome << bothNever;
}

void TestModels::availableWithCapacities()
{
    QFETCH(QStringList, capacities);
    QFETCH(QString, skladTime);
    QFETCH(QString, dvoretsTime);
    QFETCH(QStringList, byTime);

    TTable table(m_Catalog);
    for (TResourceKind kind : AllResourceKinds)
        table.Village.EditCapacity(kind, capacities.at(int(KindIndex(kind))));
    Settle();
    QCOMPARE(table.Names(), (QStringList{AmbarText, BashnyaText, DvoretsText, SkladText}));
    QCOMPARE(table.Model.index(3, 5).data().toString(), skladTime);
    QCOMPARE(table.Model.index(2, 5).data().toString(), dvoretsTime);
    // Buildings that never come sort last in either order.
    table.Model.sort(5, Qt::AscendingOrder);
    QCOMPARE(table.Names(), byTime);
    table.Model.sort(5, Qt::DescendingOrder);
    QCOMPARE(table.Names().constLast(), byTime.constLast());
}

void TestModels::consideredListsUnknownAfterKnown()
{
    TVillageData village;
    village.UnknownBuildings = {QStringLiteral("Чудо света ( 1)"), QStringLiteral("Акведук ( 2)")};
    village.ReplaceAvBuildings({{SkladText, Sklad}, {AmbarText, Ambar}});
    TConsideredModel model(village);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(model.rowCount(), 4);
    const QStringList expected{AmbarText, SkladText, QStringLiteral("Чудо света ( 1)"), QStringLiteral("Акведук ( 2)")};
    for (int row = 0; row < 4; ++row) {
        const QModelIndex index = model.index(row);
        QCOMPARE(index.data().toString(), expected.at(row));
        const bool known = row < 2;
        QCOMPARE(model.IsKnown(row), known);
        QCOMPARE(bool(index.flags() & Qt::ItemIsEnabled), known);
        QCOMPARE(index.data(Qt::ToolTipRole).toString(), known ? QString() : QStringLiteral("Нет в каталоге"));
        QCOMPARE(index.data(TConsideredModel::CatalogIndexRole).toInt(), known ? (row == 0 ? Ambar : Sklad) : -1);
    }
}

void TestModels::consideredChangesInPlaceOrAnew()
{
    TVillageData village;
    village.ReplaceAvBuildings({{SkladText, Sklad}, {AmbarText, Ambar}});
    TConsideredModel model(village);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    // Replaced in place (a building moved on to its next level): same rows.
    village.ReplaceAvBuildingAt(1, {BashnyaText, Bashnya});
    QCOMPARE(reset.count(), 0);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model.index(1).data().toString(), BashnyaText);
    village.RemoveAvBuilding(0);
    QCOMPARE(reset.count(), 1);
    QCOMPARE(model.rowCount(), 1);
}

void TestModels::candidateChecks()
{
    TCandidateModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.FillFromCatalog(m_Catalog);
    QCOMPARE(model.rowCount(), 5);
    QCOMPARE(model.index(0).data().toString(), AmbarText);
    QCOMPARE(model.index(0).data(TCandidateModel::CatalogIndexRole).toInt(), Ambar);
    QVERIFY(model.flags(model.index(0)) & Qt::ItemIsUserCheckable);

    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.setData(model.index(1), Qt::Checked, Qt::CheckStateRole));
    QVERIFY(!model.setData(model.index(2), Qt::Checked, Qt::DisplayRole));
    model.CheckByText(QStringLiteral("СКЛАД ( 1)"));
    QCOMPARE(model.Items().CheckedEntries(), (QList<TAvBuildingEntry>{{BashnyaText, Bashnya}, {SkladText, Sklad}}));
    model.SetChecks(TCheckMode::cmInvert);
    QCOMPARE(model.index(1).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(model.index(0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    QCOMPARE(changed.count(), 3);
}

QTEST_GUILESS_MAIN(TestModels)
#include "tst_models.moc"
