// The construction planner: the table of available buildings, the time to
// afford, the horizon, the build command, moving an entry on to its next
// level, and the one-second tick with its accrual, construction progress and
// automatic save. The clock and the locale are pinned, so the end clocks in
// the texts are fixed.
#include "TestSupport.h"

#include "base/WholeNumber.h"
#include "models/AvailableModel.h"
#include "rules/Evaluation.h"
#include "rules/Planner.h"
#include "rules/Production.h"
#include "record/VillageData.h"

#include <QLocale>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

namespace {

constexpr qint32 Int32Max = std::numeric_limits<qint32>::max();
constexpr qint32 Int32Min = std::numeric_limits<qint32>::min();

// Catalog indices of the test catalog below.
enum : qint32 {
    MainBuilding1 = 0,
    MainBuilding2 = 1,
    MainBuilding3 = 2,
    MainBuilding20 = 3,
    Warehouse3 = 4,
    Warehouse4 = 5,
    Farm3 = 6,
    Farm4 = 7,
    Granary1 = 8,
    Market1 = 9,
    Market2 = 10,
    Tower1 = 11,
    CatalogSize = 12
};

QByteArray PlannerCatalogXml()
{
    return CatalogXml(R"(
<Object Name="Главное здание">
  <Level ID="1" WOOD="70" CLAY="40" IRON="60" GRAIN="20" TIME="00:10:00" PROD="100"/>
  <Level ID="2" WOOD="90" CLAY="50" IRON="75" GRAIN="25" TIME="00:12:00" PROD="96"/>
  <Level ID="3" WOOD="115" CLAY="65" IRON="100" GRAIN="35" TIME="00:14:00" PROD="67"/>
  <Level ID="20" WOOD="9000" CLAY="8000" IRON="7000" GRAIN="6000" TIME="20:00:00" PROD="50"/>
</Object>
<Object Name="Склад">
  <Level ID="3" WOOD="150" CLAY="10" IRON="10" GRAIN="10" TIME="00:16:40"/>
  <Level ID="4" WOOD="151" CLAY="20" IRON="20" GRAIN="20" TIME="00:20:00"/>
</Object>
<Object Name="Ферма">
  <Level ID="3" WOOD="30" CLAY="40" IRON="50" GRAIN="60" TIME="00:01:40"/>
  <Level ID="4" WOOD="35" CLAY="45" IRON="55" GRAIN="65" TIME="00:02:00"/>
</Object>
<Object Name="Амбар">
  <Level ID="1" WOOD="80" CLAY="100" IRON="70"/>
</Object>
<Object Name="Рынок">
  <Level ID="1" WOOD="80" CLAY="70" IRON="60" GRAIN="50" TIME="00:00:03"/>
  <Level ID="2" WOOD="100" CLAY="90" IRON="80" GRAIN="70" TIME="00:00:06"/>
</Object>
<Object Name="Башня">
  <Level ID="1" WOOD="-50" CLAY="10" IRON="-1" GRAIN="5" TIME="00:01:00"/>
</Object>
)");
}

// One building per object, level 1, costing `wood` wood (and nothing else),
// for checks that need many buildings with distinct times.
QByteArray WoodOnlyCatalogXml(int count)
{
    QByteArray objects;
    for (int i = 1; i <= count; ++i) {
        objects += "<Object Name=\"" + QStringLiteral("Здание %1").arg(i).toUtf8()
            + "\"><Level ID=\"1\" WOOD=\"" + QByteArray::number((i - 1) % 240 + 1)
            + "\" TIME=\"00:05:00\"/></Object>\n";
    }
    return CatalogXml(objects);
}

// The units of an hourly income at a counter, counted one multiple after
// the other: every k >= 0 whose k * 3600 / |income| lies in the window
// [counter - 1/2, counter + 1/2), compared exactly as 7200 k against
// |income| (2 counter -/+ 1).
qint64 ReferenceUnits(qint32 counter, qint32 income)
{
    const qint64 n = std::abs(qint64(income));
    qint64 units = 0;
    for (qint64 k = 0; 7200 * k < n * (2 * qint64(counter) + 1); ++k) {
        if (7200 * k >= n * (2 * qint64(counter) - 1))
            ++units;
    }
    return units;
}

// The earlier accrual of a positive income: at most one unit, on a tick less
// than half a second from a multiple of p = 3600 / income in floating point
// (the loop "k = 0, 1, ... while k * p < counter + 1: if |k * p - counter| <
// 0.5"). Only the multiples next to the counter can qualify, so only they
// are tried, with the loop's own products.
bool EarlierUnitDue(qint32 counter, qint32 income)
{
    const double p = 3600.0 / income;
    const double nearest = std::floor(double(counter) / p);
    for (double k = std::max(0.0, nearest - 1.0); k <= nearest + 2.0; k += 1.0) {
        if (k * p >= counter + 1.0)
            break;
        if (std::abs(k * p - counter) < 0.5)
            return true;
    }
    return false;
}

// The display texts of one row of the available table.
using TAvailableRow = std::array<QString, 7>;

struct TVillage
{
    TVillageData Data;
    TPlanner Planner;
    TAvailableModel Model;

    explicit TVillage(const TdmListObj &catalog) : Planner(Data, catalog), Model(Planner, catalog) {}

    // The table's texts as the page shows them, row by row.
    QList<TAvailableRow> Rows() const { return Model.DisplayRows(); }

    void SetStocks(const QStringList &texts)
    {
        for (TResourceKind kind : AllResourceKinds)
            Data.SetResourceCollect(kind, texts.at(int(KindIndex(kind))));
    }
    void SetIncomes(const QStringList &texts)
    {
        for (TResourceKind kind : AllResourceKinds)
            Data.SetResourceAdd(kind, texts.at(int(KindIndex(kind))));
    }
    QStringList Stocks() const
    {
        return QStringList(Data.ResourceCollect.begin(), Data.ResourceCollect.end());
    }
    QStringList RowNames() const
    {
        QStringList names;
        for (const TAvailableRow &row : Rows())
            names.append(row[0]);
        return names;
    }
    QStringList ListTexts() const { return EntryTexts(Data.AvBuildings); }
    // The row of the table whose building is `text`, or -1.
    int RowOf(const QString &text) const { return int(RowNames().indexOf(text)); }
};

bool IsBlankTable(const QList<TAvailableRow> &rows)
{
    if (rows.size() != 1)
        return false;
    for (const QString &text : rows.first()) {
        if (!text.isEmpty())
            return false;
    }
    return true;
}

} // namespace

// A time to afford that never comes, in the rows below.
constexpr qint64 NeverAffordable = -1;

class TestPlanner : public QObject
{
    Q_OBJECT

public:
    const TdmListObj &Catalog() const { return m_Catalog->Catalog; }
    TAvBuildingEntry Entry(qint32 index) const { return {Catalog().Object(index).DisplayText(), index}; }

private slots:
    void initTestCase();
    void cleanupTestCase();

    void newPlannerHasBlankRow();
    void emptyListGivesBlankRow();
    void workedCase_data();
    void workedCase();
    void timeToAfford_data();
    void timeToAfford();
    void shortageWithoutIncomeIsListed_data();
    void shortageWithoutIncomeIsListed();
    void longestKindDecides_data();
    void longestKindDecides();
    void buildTime_data();
    void buildTime();
    void buildSeconds_data();
    void buildSeconds();
    void mainLevelEditRecalculates();
    void rowsFollowListAndDropStaleRows();
    void entryOutsideCatalogIsSkipped();
    void timeTextsMatchDurationHelper_data();
    void timeTextsMatchDurationHelper();
    void endClockFromMomentOfRecalculation();
    void setHorizon();

    void buildReplacesOtherBuildingInPlace();
    void buildResourceFieldAddsNextLevel();
    void buildWithNextLevelListed_data();
    void buildWithNextLevelListed();
    void buildWithoutNextLevel();
    void twoBuildsInARow();
    void buildBlankRow();
    void buildOutsideTable_data();
    void buildOutsideTable();
    void buildMakesStockNegative();
    void buildNeverAddsToStock_data();
    void shortageQuestion_data();
    void shortageQuestion();
    void buildNeverAddsToStock();
    void buildClampsStocks();
    void buildWithZeroBuildTime();
    void buildUsesScaledBuildTime();

    void advanceToNextLevel();
    void advanceToNextLevelDoesNothing_data();
    void advanceToNextLevelDoesNothing();

    void counterRunsCycleOf3601();
    void unitPerTickForLargeIncomes_data();
    void unitPerTickForLargeIncomes();
    void income100GivesUnitEvery36Ticks();
    void income1440AccruesAtHalfway();
    void accrualFollowsTheLoop_data();
    void accrualFollowsTheLoop();
    void unitsDueAt_data();
    void unitsDueAt();
    void cycleGainsTheIncomePlusOne_data();
    void cycleGainsTheIncomePlusOne();
    void accrualDiffersFromTheEarlierRuleOnlyAtHalfway();
    void accrualSetsModifiedAndRecalculates();
    void noIncomeChangesNothing_data();
    void noIncomeChangesNothing();
    void nonNumericStockGrowsFromZero();
    void stockAtMaximumStays();
    void accrualStopsAtCapacity_data();
    void accrualStopsAtCapacity();
    void negativeIncomeMirrorsGrowth();
    void negativeIncomeStopsAtZero_data();
    void negativeIncomeStopsAtZero();
    void extremeIncomesAreBounded_data();
    void extremeIncomesAreBounded();
    void exactStockTimesStandStill_data();
    void exactStockTimesStandStill();

    void noFileNeverSaved();
    void savedEvery300TicksWithFile();
    void saveComesBeforeAccrual();

    void progressCountsDown();
    void remainingTextShowsEndClock();
    void progressToleratesInconsistentState();

    void recalculationOfThousandBuildings();

private:
    std::unique_ptr<TTestCatalog> m_Catalog;
    std::unique_ptr<TPinnedClock> m_Clock;
};

void TestPlanner::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    m_Clock = std::make_unique<TPinnedClock>(QDateTime(QDate(2024, 5, 1), QTime(21, 30, 10)));
    m_Catalog = std::make_unique<TTestCatalog>(PlannerCatalogXml());
    QVERIFY(m_Catalog->Loaded);
    QCOMPARE(Catalog().Count(), qint32(CatalogSize));
    QCOMPARE(Catalog().Object(Warehouse3).DisplayText(), QStringLiteral("Склад ( 3)"));
    QCOMPARE(Catalog().Object(Warehouse3).Time, 1000);
    QCOMPARE(Catalog().MainBuildingPercent(3), 67);
}

void TestPlanner::cleanupTestCase()
{
    m_Clock.reset();
    QLocale::setDefault(QLocale::c());
}

void TestPlanner::newPlannerHasBlankRow()
{
    TVillage village(Catalog());
    QVERIFY(IsBlankTable(village.Rows()));
    QCOMPARE(village.Data.Horizon, 3600);
    QVERIFY(village.Planner.RemainingText().isEmpty());
    QCOMPARE(village.Data.Modified, false);
    QCOMPARE(TAvailableModel::ColumnTitles(),
             QStringList({QStringLiteral("Строение"), QStringLiteral("Дерево"), QStringLiteral("Глина"),
                          QStringLiteral("Железо"), QStringLiteral("Зерно"), QStringLiteral("Время"),
                          QStringLiteral("Строить"), QStringLiteral("Окупится"), QStringLiteral("С обменом")}));
}

void TestPlanner::emptyListGivesBlankRow()
{
    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Warehouse3), Entry(Farm3)});
    village.Planner.RecalculateAvailable();
    QCOMPARE(village.Rows().size(), 2);

    Settle();

    QSignalSpy recalculated(&village.Planner, &TPlanner::Evaluated);
    village.Data.ReplaceAvBuildings({});
    village.Planner.RecalculateAvailable();
    QVERIFY(IsBlankTable(village.Rows()));
    QCOMPARE(recalculated.count(), 1);
}

void TestPlanner::workedCase_data()
{
    QTest::addColumn<qint32>("index");
    QTest::addColumn<qint32>("horizon");
    QTest::addColumn<QString>("time");

    // Stock 100, income 50 per hour: cost 150 takes exactly one hour, cost
    // 151 takes 3672 seconds. An empty time means not listed.
    QTest::newRow("cost 150 within one hour") << qint32(Warehouse3) << 3600 << QStringLiteral("01:00:00 (22:30)");
    QTest::newRow("cost 151 beyond one hour") << qint32(Warehouse4) << 3600 << QString();
    QTest::newRow("cost 150 within two hours") << qint32(Warehouse3) << 7200 << QStringLiteral("01:00:00 (22:30)");
    QTest::newRow("cost 151 within two hours") << qint32(Warehouse4) << 7200 << QStringLiteral("01:01:12 (22:31)");
}

void TestPlanner::workedCase()
{
    QFETCH(qint32, index);
    QFETCH(qint32, horizon);
    QFETCH(QString, time);

    TVillage village(Catalog());
    village.SetStocks({"100", "1000", "1000", "1000"});
    village.SetIncomes({"50", "", "", ""});
    village.Data.ReplaceAvBuildings({Entry(index)});
    village.Planner.SetHorizon(horizon);

    const QList<TAvailableRow> &rows = village.Rows();
    if (time.isEmpty()) {
        QVERIFY(IsBlankTable(rows));
        return;
    }
    const TLivaronObject &object = Catalog().Object(index);
    QCOMPARE(rows.size(), 1);
    const TAvailableRow expected{object.DisplayText(),         QString::number(object.Wood),
                                 QString::number(object.Clay), QString::number(object.Iron),
                                 QString::number(object.Grain), time,
                                 TdmListObj::SecondsToText(object.Time, false)};
    QCOMPARE(rows.first(), expected);
}

void TestPlanner::timeToAfford_data()
{
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QString>("income");
    QTest::addColumn<qint32>("cost");
    QTest::addColumn<qint64>("seconds");

    QTest::newRow("stock covers cost") << "200" << "50" << 150 << qint64(0);
    QTest::newRow("stock equals cost") << "150" << "50" << 150 << qint64(0);
    QTest::newRow("no cost in catalog") << "0" << "50" << -1 << qint64(0);
    QTest::newRow("shortage without income: never") << "100" << "0" << 150 << NeverAffordable;
    QTest::newRow("shortage with income of letters: never") << "100" << "abc" << 150 << NeverAffordable;
    QTest::newRow("no shortage, negative income") << "150" << "-50" << 150 << qint64(0);
    QTest::newRow("one hour") << "100" << "50" << 150 << qint64(3600);
    QTest::newRow("3672 seconds") << "100" << "50" << 151 << qint64(3672);
    QTest::newRow("rounded up") << "0" << "7" << 1 << qint64(515);
    QTest::newRow("stock of letters counts 0") << "x" << "50" << 150 << qint64(10800);
    QTest::newRow("hexadecimal texts") << "$10" << "0x24" << 17 << qint64(100);
    QTest::newRow("negative stock") << "-50" << "100" << 50 << qint64(3600);
    QTest::newRow("shortage with negative income: never") << "100" << "-50" << 150 << NeverAffordable;
    QTest::newRow("shortage of one, income -1: never") << "0" << "-1" << 1 << NeverAffordable;
    QTest::newRow("widest shortage") << "-2147483648" << "1" << Int32Max << qint64(15461882262000);
    QTest::newRow("widest shortage, smallest income")
        << "-2147483648" << "-2147483648" << Int32Max << NeverAffordable;
    QTest::newRow("widest shortage, largest income") << "-2147483648" << "2147483647" << Int32Max << qint64(7201);
}

void TestPlanner::timeToAfford()
{
    QFETCH(QString, stock);
    QFETCH(QString, income);
    QFETCH(qint32, cost);
    QFETCH(qint64, seconds);

    TVillage village(Catalog());
    for (TResourceKind kind : AllResourceKinds) {
        village.Data.SetResourceCollect(kind, stock);
        village.Data.SetResourceAdd(kind, income);
        const TAffordTime time = TimeToAffordKind(village.Data.ResourceCollectValue(kind),
                                                  village.Data.ResourceAddValue(kind), UnknownCapacity, cost);
        QCOMPARE(time.IsNever() ? NeverAffordable : time.Seconds, seconds);
    }
}

void TestPlanner::shortageWithoutIncomeIsListed_data()
{
    QTest::addColumn<QString>("income");
    QTest::newRow("income empty") << QString();
    QTest::newRow("income 0") << QStringLiteral("0");
    QTest::newRow("income of letters") << QStringLiteral("много");
}

void TestPlanner::shortageWithoutIncomeIsListed()
{
    QFETCH(QString, income);
    TVillage village(Catalog());
    village.SetStocks({"10", "0", "0", "0"});
    village.SetIncomes({income, income, income, income});
    village.Data.ReplaceAvBuildings({Entry(Warehouse3)});
    village.Planner.RecalculateAvailable();
    QCOMPARE(village.RowNames(), QStringList({QStringLiteral("Склад ( 3)")}));
    QCOMPARE(village.Rows().first()[5], QStringLiteral("не накопится"));
    QVERIFY(village.Planner.Available().first().IsShort(TResourceKind::Wood));
}

void TestPlanner::longestKindDecides_data()
{
    QTest::addColumn<QStringList>("stocks");
    QTest::addColumn<QStringList>("incomes");
    QTest::addColumn<QString>("time");

    // Склад ( 3) costs 150 wood, 10 clay, 10 iron, 10 grain.
    QTest::newRow("wood longest") << QStringList{"100", "0", "10", "10"} << QStringList{"50", "36", "", ""}
                                  << QStringLiteral("01:00:00 (22:30)");
    QTest::newRow("clay longest") << QStringList{"150", "0", "10", "10"} << QStringList{"", "18", "", ""}
                                  << QStringLiteral("00:33:20 (22:03)");
    QTest::newRow("grain beyond the horizon") << QStringList{"150", "10", "10", "0"}
                                              << QStringList{"", "", "", "1"} << QString();
    QTest::newRow("iron beyond the horizon, wood within")
        << QStringList{"100", "10", "0", "10"} << QStringList{"50", "", "1", ""} << QString();
    QTest::newRow("shortage with negative income: never")
        << QStringList{"100", "10", "10", "10"} << QStringList{"-50", "", "", ""}
        << QStringLiteral("не накопится");
    QTest::newRow("never for wood, clay within the horizon")
        << QStringList{"100", "0", "10", "10"} << QStringList{"0", "36", "", ""}
        << QStringLiteral("не накопится");
    QTest::newRow("negative income with the stock enough")
        << QStringList{"150", "10", "10", "10"} << QStringList{"-50", "", "", ""}
        << QStringLiteral("00:00:00 (21:30)");
    QTest::newRow("never affordable listed whatever the horizon")
        << QStringList{"100", "10", "10", "0"} << QStringList{"", "", "", "1"} << QStringLiteral("не накопится");
}

void TestPlanner::longestKindDecides()
{
    QFETCH(QStringList, stocks);
    QFETCH(QStringList, incomes);
    QFETCH(QString, time);

    TVillage village(Catalog());
    village.SetStocks(stocks);
    village.SetIncomes(incomes);
    village.Data.ReplaceAvBuildings({Entry(Warehouse3)});
    village.Planner.RecalculateAvailable();
    if (time.isEmpty()) {
        QVERIFY(IsBlankTable(village.Rows()));
    } else {
        QCOMPARE(village.Rows().size(), 1);
        QCOMPARE(village.Rows().first()[5], time);
    }
}

void TestPlanner::buildTime_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("buildTime");

    // Склад ( 3) takes 1000 seconds; the test catalog's main building gives
    // 100 % at level 1, 67 % at level 3, 50 % at level 20 and nothing for
    // the levels it lacks.
    QTest::newRow("level 1") << QStringLiteral("1") << QStringLiteral("00:16:40");
    QTest::newRow("level 3, 67 percent") << QStringLiteral("3") << QStringLiteral("00:11:10");
    QTest::newRow("level 20") << QStringLiteral("20") << QStringLiteral("00:08:20");
    QTest::newRow("level missing in the catalog") << QStringLiteral("5") << QStringLiteral("00:00:00");
    QTest::newRow("empty counts as level 1") << QString() << QStringLiteral("00:16:40");
    QTest::newRow("letters count as level 1") << QStringLiteral("ab") << QStringLiteral("00:16:40");
    QTest::newRow("level 0 taken as 1") << QStringLiteral("0") << QStringLiteral("00:16:40");
    QTest::newRow("negative level taken as 1") << QStringLiteral("-7") << QStringLiteral("00:16:40");
    QTest::newRow("level 21 taken as 20") << QStringLiteral("21") << QStringLiteral("00:08:20");
    QTest::newRow("level 99 taken as 20") << QStringLiteral("99") << QStringLiteral("00:08:20");
    QTest::newRow("largest level taken as 20") << QStringLiteral("2147483647") << QStringLiteral("00:08:20");
    QTest::newRow("smallest level taken as 1") << QStringLiteral("-2147483648") << QStringLiteral("00:16:40");
}

void TestPlanner::buildTime()
{
    QFETCH(QString, level);
    QFETCH(QString, buildTime);

    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Warehouse3)});
    village.Data.SetMainLevel(level);
    village.Planner.RecalculateAvailable();
    QCOMPARE(village.Rows().size(), 1);
    QCOMPARE(village.Rows().first()[6], buildTime);
}

void TestPlanner::buildSeconds_data()
{
    QTest::addColumn<qint32>("baseTime");
    QTest::addColumn<qint32>("percent");
    QTest::addColumn<qint32>("seconds");

    QTest::newRow("1000 s at 67 percent") << 1000 << 67 << 670;
    QTest::newRow("truncated") << 999 << 67 << 669;
    QTest::newRow("negative product truncated toward zero") << -999 << 67 << -669;
    QTest::newRow("product just inside 32 bits") << 21474836 << 100 << 21474836;
    QTest::newRow("product clamped first, then divided") << Int32Max << 200 << 21474836;
    QTest::newRow("large time at 96 percent") << 30000000 << 96 << 21474836;
    QTest::newRow("negative product clamped first") << Int32Min << 200 << -21474836;
    QTest::newRow("percent 0") << Int32Max << 0 << 0;
}

void TestPlanner::buildSeconds()
{
    QFETCH(qint32, baseTime);
    QFETCH(qint32, percent);
    QFETCH(qint32, seconds);
    QCOMPARE(BuildSeconds(baseTime, percent), seconds);
}

void TestPlanner::mainLevelEditRecalculates()
{
    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Warehouse3)});
    village.Planner.RecalculateAvailable();
    Settle();
    QSignalSpy recalculated(&village.Planner, &TPlanner::Evaluated);

    village.Data.SetMainLevel(QStringLiteral("3"));
    Settle();
    QCOMPARE(recalculated.count(), 1);
    QCOMPARE(village.Rows().first()[6], QStringLiteral("00:11:10"));

    // Cleared while typing: no recalculation, the old rows stay.
    village.Data.SetMainLevel(QString());
    Settle();
    QCOMPARE(recalculated.count(), 1);
    QCOMPARE(village.Rows().first()[6], QStringLiteral("00:11:10"));

    // Leaving the field puts "1" back and recalculates.
    village.Data.CommitMainLevel();
    Settle();
    QCOMPARE(recalculated.count(), 2);
    QCOMPARE(village.Data.MainLevel, QStringLiteral("1"));
    QCOMPARE(village.Rows().first()[6], QStringLiteral("00:16:40"));
}

void TestPlanner::rowsFollowListAndDropStaleRows()
{
    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Farm3), Entry(Warehouse3), Entry(Granary1)});
    village.Planner.RecalculateAvailable();
    QCOMPARE(village.RowNames(), QStringList({QStringLiteral("Амбар ( 1)"), QStringLiteral("Склад ( 3)"),
                                              QStringLiteral("Ферма ( 3)")}));
    // A cost the catalog does not give counts as 0, and shows so; no build
    // time as 0.
    const TAvailableRow granary{QStringLiteral("Амбар ( 1)"), "80", "100", "70", "0",
                                QStringLiteral("00:00:00 (21:30)"), QStringLiteral("00:00:00")};
    QCOMPARE(village.Rows().first(), granary);

    // Typed stocks alone do not change the rows; the next recalculation does,
    // and rows of the earlier calculation do not linger.
    village.SetStocks({"99", "1000", "1000", "1000"});
    village.SetIncomes({"50", "", "", ""});
    QCOMPARE(village.Rows().size(), 3);
    village.Planner.RecalculateAvailable();
    QCOMPARE(village.RowNames(), QStringList({QStringLiteral("Амбар ( 1)"), QStringLiteral("Ферма ( 3)")}));
}

void TestPlanner::entryOutsideCatalogIsSkipped()
{
    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({TAvBuildingEntry{QStringLiteral("Нечто ( 1)"), CatalogSize},
                                     TAvBuildingEntry{QStringLiteral("Пусто ( 1)"), -1}});
    village.Planner.RecalculateAvailable();
    QVERIFY(IsBlankTable(village.Rows()));

    village.Data.AddAvBuilding(Entry(Warehouse3));
    village.Planner.RecalculateAvailable();
    QCOMPARE(village.RowNames(), QStringList({QStringLiteral("Склад ( 3)")}));
}

void TestPlanner::timeTextsMatchDurationHelper_data()
{
    QTest::addColumn<QTime>("now");
    QTest::newRow("evening") << QTime(21, 30, 10);
    QTest::newRow("on a full minute") << QTime(8, 0, 0);
    QTest::newRow("before midnight") << QTime(23, 59, 59);
}

void TestPlanner::timeTextsMatchDurationHelper()
{
    // 240 buildings costing 1 to 240 wood, income 120 per hour: times of 30 s
    // to two hours, a new end minute every other row.
    QFETCH(QTime, now);
    // Moves the suite's pinned clock, and puts it back at the end.
    const QDateTime suiteNow = m_Clock->Now;
    const auto restore = qScopeGuard([this, suiteNow] { m_Clock->Now = suiteNow; });
    m_Clock->Now = QDateTime(QDate(2024, 5, 1), now);
    TTestCatalog catalog(WoodOnlyCatalogXml(240));
    QVERIFY(catalog.Loaded);

    TVillageData village;
    TPlanner planner(village, catalog.Catalog);
    TAvailableModel model(planner, catalog.Catalog);
    QList<TAvBuildingEntry> entries;
    for (qint32 i = 0; i < catalog.Catalog.Count(); ++i)
        entries.append({catalog.Catalog.Object(i).DisplayText(), i});
    village.ReplaceAvBuildings(entries);
    village.SetResourceAdd(TResourceKind::Wood, QStringLiteral("120"));
    planner.SetHorizon(7200);

    QCOMPARE(planner.Available().size(), 240);
    for (const TAvailableRow &row : model.DisplayRows()) {
        const qint32 seconds = row[1].toInt() * 30;
        QCOMPARE(row[5], TdmListObj::SecondsToText(seconds, true));
    }
}

void TestPlanner::endClockFromMomentOfRecalculation()
{
    // The clock moves on while a recalculation runs: it reads 05:17:59 first
    // and a second later at every further reading. The end clock is the one
    // of the moment of the recalculation, and a later recalculation within
    // that minute shows it again.
    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Market1)});

    const QDateTime suiteNow = m_Clock->Now;
    const auto restore = qScopeGuard([this, suiteNow] {
        m_Clock.reset();
        m_Clock = std::make_unique<TPinnedClock>(suiteNow);
    });
    QDateTime moving(QDate(2024, 5, 1), QTime(5, 17, 59));
    SetClock([&moving] {
        const QDateTime now = moving;
        moving = moving.addSecs(1);
        return now;
    });
    village.Planner.RecalculateAvailable();
    QCOMPARE(village.Rows().first()[5], QStringLiteral("00:00:00 (05:17)"));

    TPinnedClock later(QDateTime(QDate(2024, 5, 1), QTime(5, 17, 20)));
    village.Planner.RecalculateAvailable();
    QCOMPARE(village.Rows().first()[5], QStringLiteral("00:00:00 (05:17)"));
}

void TestPlanner::setHorizon()
{
    TVillage village(Catalog());
    village.SetStocks({"100", "1000", "1000", "1000"});
    village.SetIncomes({"50", "", "", ""});
    village.Data.ReplaceAvBuildings({Entry(Warehouse3), Entry(Warehouse4)});
    QSignalSpy horizons(&village.Planner, &TPlanner::HorizonChanged);
    Settle();
    QSignalSpy recalculated(&village.Planner, &TPlanner::Evaluated);

    village.Planner.SetHorizon(7200);
    QCOMPARE(village.Data.Horizon, 7200);
    QCOMPARE(horizons.count(), 1);
    QCOMPARE(horizons.at(0).at(0).toInt(), 7200);
    QCOMPARE(recalculated.count(), 1);
    QCOMPARE(village.Rows().size(), 2);

    village.Planner.SetHorizon(3600);
    QCOMPARE(village.Data.Horizon, 3600);
    QCOMPARE(horizons.at(1).at(0).toInt(), 3600);
    QCOMPARE(village.RowNames(), QStringList({QStringLiteral("Склад ( 3)")}));

    // Only the two horizons exist; anything else is one hour.
    village.Planner.SetHorizon(7200);
    village.Planner.SetHorizon(5000);
    QCOMPARE(village.Data.Horizon, 3600);
    QCOMPARE(village.Data.Modified, false);

    QCOMPARE(TPlanner::HorizonTitle(3600), QStringLiteral("Доступны для строительства в течение часа"));
    QCOMPARE(TPlanner::HorizonTitle(7200), QStringLiteral("Доступны для строительства в течение двух часов"));
}

void TestPlanner::buildReplacesOtherBuildingInPlace()
{
    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Granary1), Entry(Warehouse3), Entry(Farm3)});
    village.Planner.RecalculateAvailable();
    Settle();
    QSignalSpy recalculated(&village.Planner, &TPlanner::Evaluated);
    QSignalSpy progress(&village.Planner, &TPlanner::ProgressChanged);
    QSignalSpy resources(&village.Data, &TVillageData::ResourcesChanged);

    const int row = village.RowOf(QStringLiteral("Склад ( 3)"));
    QCOMPARE(row, 1);
    village.Planner.Build(row);

    QCOMPARE(village.Stocks(), QStringList({"850", "990", "990", "990"}));
    QCOMPARE(village.ListTexts(), QStringList({QStringLiteral("Амбар ( 1)"), QStringLiteral("Склад ( 4)"),
                                               QStringLiteral("Ферма ( 3)")}));
    QCOMPARE(village.Data.AvBuildings.at(1).CatalogIndex, qint32(Warehouse4));
    QCOMPARE(village.Data.BuildName, QStringLiteral("Склад ( 3)"));
    QCOMPARE(village.Data.BuildTotal, 1000);
    QCOMPARE(village.Data.BuildElapsed, 0);
    QVERIFY(village.Planner.RemainingText().isEmpty());
    QCOMPARE(village.Data.Modified, false);
    QCOMPARE(recalculated.count(), 1);
    QVERIFY(progress.count() >= 1);
    QVERIFY(resources.count() >= 1);
    QCOMPARE(village.RowNames(), QStringList({QStringLiteral("Амбар ( 1)"), QStringLiteral("Склад ( 4)"),
                                              QStringLiteral("Ферма ( 3)")}));
}

void TestPlanner::buildResourceFieldAddsNextLevel()
{
    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Warehouse3), Entry(Farm3)});
    village.Planner.RecalculateAvailable();
    village.Planner.Build(village.RowOf(QStringLiteral("Ферма ( 3)")));

    QCOMPARE(village.ListTexts(), QStringList({QStringLiteral("Склад ( 3)"), QStringLiteral("Ферма ( 3)"),
                                               QStringLiteral("Ферма ( 4)")}));
    QCOMPARE(village.Data.AvBuildings.at(2).CatalogIndex, qint32(Farm4));
    QCOMPARE(village.Stocks(), QStringList({"970", "960", "950", "940"}));
    // Building a resource field leaves the production alone.
    for (TResourceKind kind : AllResourceKinds)
        QVERIFY(village.Data.ResourceAdd[KindIndex(kind)].isEmpty());
}

void TestPlanner::buildWithNextLevelListed_data()
{
    QTest::addColumn<qint32>("built");
    QTest::addColumn<QString>("nextText");

    QTest::newRow("other building") << qint32(Warehouse3) << QStringLiteral("Склад ( 4)");
    QTest::newRow("resource field") << qint32(Farm3) << QStringLiteral("Ферма ( 4)");
    QTest::newRow("next level listed in other letter case") << qint32(Warehouse3) << QStringLiteral("СКЛАД ( 4)");
}

void TestPlanner::buildWithNextLevelListed()
{
    QFETCH(qint32, built);
    QFETCH(QString, nextText);

    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(built), TAvBuildingEntry{nextText, built + 1}});
    const QList<TAvBuildingEntry> before = village.Data.AvBuildings;
    village.Planner.RecalculateAvailable();
    village.Planner.Build(village.RowOf(Catalog().Object(built).DisplayText()));

    QCOMPARE(village.Data.AvBuildings, before);
    const TLivaronObject &object = Catalog().Object(built);
    QCOMPARE(village.Data.ResourceCollectValue(TResourceKind::Wood), 1000 - object.Wood);
    QCOMPARE(village.Data.BuildName, object.DisplayText());
}

void TestPlanner::buildWithoutNextLevel()
{
    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Granary1)});
    village.Planner.RecalculateAvailable();
    village.Planner.Build(0);

    QCOMPARE(village.ListTexts(), QStringList({QStringLiteral("Амбар ( 1)")}));
    // The grain cost the catalog lacks counts as 0: building adds nothing.
    QCOMPARE(village.Stocks(), QStringList({"920", "900", "930", "1000"}));
}

void TestPlanner::twoBuildsInARow()
{
    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Warehouse3), Entry(Market1)});
    village.Planner.RecalculateAvailable();

    village.Planner.Build(village.RowOf(QStringLiteral("Рынок ( 1)")));
    QCOMPARE(village.Data.BuildName, QStringLiteral("Рынок ( 1)"));
    QCOMPARE(village.Data.BuildTotal, 3);
    village.Planner.Build(village.RowOf(QStringLiteral("Склад ( 3)")));

    QCOMPARE(village.Stocks(), QStringList({"770", "920", "930", "940"}));
    QCOMPARE(village.Data.BuildName, QStringLiteral("Рынок ( 1)"));
    QCOMPARE(village.Data.BuildTotal, 3);
    QCOMPARE(village.ListTexts(), QStringList({QStringLiteral("Рынок ( 2)"), QStringLiteral("Склад ( 4)")}));
}

void TestPlanner::buildBlankRow()
{
    TVillage village(Catalog());
    village.SetStocks({"abc", "", "5", "-3"});
    QVERIFY(IsBlankTable(village.Rows()));
    Settle();
    QSignalSpy recalculated(&village.Planner, &TPlanner::Evaluated);

    village.Planner.Build(0);
    QCOMPARE(village.Stocks(), QStringList({"0", "0", "5", "-3"}));
    QVERIFY(village.Data.BuildName.isEmpty());
    QCOMPARE(village.Data.BuildTotal, 0);
    QVERIFY(village.Data.AvBuildings.isEmpty());
    QVERIFY(IsBlankTable(village.Rows()));
    QCOMPARE(recalculated.count(), 1);
    QCOMPARE(village.Data.Modified, false);
}

void TestPlanner::buildOutsideTable_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("no row selected") << -1;
    QTest::newRow("just past the last row") << 2;
    QTest::newRow("far past the last row") << 1000;
    QTest::newRow("far before the first row") << std::numeric_limits<int>::min();
}

void TestPlanner::buildOutsideTable()
{
    QFETCH(int, row);
    TVillage village(Catalog());
    village.SetStocks({"1000", "abc", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Warehouse3), Entry(Farm3)});
    village.Planner.RecalculateAvailable();
    QCOMPARE(village.Rows().size(), 2);
    Settle();
    QSignalSpy recalculated(&village.Planner, &TPlanner::Evaluated);
    QSignalSpy resources(&village.Data, &TVillageData::ResourcesChanged);

    village.Planner.Build(row);
    QCOMPARE(village.Stocks(), QStringList({"1000", "abc", "1000", "1000"}));
    QCOMPARE(village.Data.AvBuildings.size(), 2);
    QVERIFY(village.Data.BuildName.isEmpty());
    QCOMPARE(recalculated.count(), 0);
    QCOMPARE(resources.count(), 0);
}

void TestPlanner::buildMakesStockNegative()
{
    TVillage village(Catalog());
    village.SetStocks({"10", "0", "0", "0"});
    village.Data.ReplaceAvBuildings({Entry(Warehouse3)});
    village.Planner.RecalculateAvailable();
    village.Planner.Build(0);
    QCOMPARE(village.Stocks(), QStringList({"-140", "-10", "-10", "-10"}));
}

void TestPlanner::buildNeverAddsToStock_data()
{
    QTest::addColumn<qint32>("index");
    QTest::addColumn<bool>("fromQueue");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("a missing grain cost, from the table") << qint32(Granary1) << false
                                                          << QStringList{"920", "900", "930", "1000"};
    QTest::newRow("a missing grain cost, from the queue") << qint32(Granary1) << true
                                                          << QStringList{"920", "900", "930", "1000"};
    QTest::newRow("negative and missing costs, from the table") << qint32(Tower1) << false
                                                                << QStringList{"1000", "990", "1000", "995"};
    QTest::newRow("negative and missing costs, from the queue") << qint32(Tower1) << true
                                                                << QStringList{"1000", "990", "1000", "995"};
}

void TestPlanner::buildNeverAddsToStock()
{
    QFETCH(qint32, index);
    QFETCH(bool, fromQueue);
    QFETCH(QStringList, expected);

    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    if (fromQueue) {
        village.Data.AppendToQueue(Entry(index));
        QVERIFY(village.Planner.BuildFirstQueued());
    } else {
        village.Data.ReplaceAvBuildings({Entry(index)});
        village.Planner.RecalculateAvailable();
        village.Planner.Build(0);
    }
    QCOMPARE(village.Stocks(), expected);
    // The table shows what the command spends.
    village.Data.ReplaceAvBuildings({Entry(index)});
    village.Planner.RecalculateAvailable();
    const TAvailableRow row = village.Rows().first();
    const QStringList costs{row[1], row[2], row[3], row[4]};
    for (int kind = 0; kind < 4; ++kind)
        QCOMPARE(costs[kind].toInt(), 1000 - expected[kind].toInt());
}

void TestPlanner::shortageQuestion_data()
{
    QTest::addColumn<qint32>("index");
    QTest::addColumn<QStringList>("stocks");
    QTest::addColumn<QString>("question");

    QTest::newRow("covered: no question") << qint32(Warehouse3) << QStringList{"150", "10", "10", "10"} << QString();
    QTest::newRow("two kinds short, in their order")
        << qint32(Warehouse3) << QStringList{"-115", "10", "10", "-141"}
        << QStringLiteral("Не хватает ресурсов: дерево 265, зерно 151. Отметить строительство всё равно?");
    QTest::newRow("a missing cost is no shortage") << qint32(Granary1) << QStringList{"80", "100", "70", "0"}
                                                   << QString();
    QTest::newRow("every kind short") << qint32(Market1) << QStringList{"0", "0", "0", "0"}
                                      << QStringLiteral("Не хватает ресурсов: дерево 80, глина 70, железо 60, "
                                                        "зерно 50. Отметить строительство всё равно?");
    QTest::newRow("outside the catalog") << qint32(CatalogSize) << QStringList{"0", "0", "0", "0"} << QString();
}

void TestPlanner::shortageQuestion()
{
    QFETCH(qint32, index);
    QFETCH(QStringList, stocks);
    QFETCH(QString, question);

    TVillage village(Catalog());
    village.SetStocks(stocks);
    QCOMPARE(village.Planner.ShortageQuestion(index), question);
}

void TestPlanner::buildClampsStocks()
{
    TVillage village(Catalog());
    village.SetStocks({"-2147483648", "-2147483600", "0", "2147483647"});
    village.Data.ReplaceAvBuildings({Entry(Granary1)});
    village.Planner.RecalculateAvailable();
    QCOMPARE(village.Rows().size(), 1);
    village.Planner.Build(0);
    QCOMPARE(village.Stocks(), QStringList({"-2147483648", "-2147483648", "-70", "2147483647"}));
}

void TestPlanner::buildWithZeroBuildTime()
{
    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Granary1), Entry(Warehouse3)});
    village.Planner.RecalculateAvailable();

    village.Planner.Build(village.RowOf(QStringLiteral("Амбар ( 1)")));
    QCOMPARE(village.Data.BuildName, QStringLiteral("Амбар ( 1)"));
    QCOMPARE(village.Data.BuildTotal, 0);
    village.Planner.Tick();
    QCOMPARE(village.Data.BuildName, QStringLiteral("Амбар ( 1)"));
    QVERIFY(village.Planner.RemainingText().isEmpty());

    // Nothing runs, so the next build starts its construction.
    village.Planner.Build(village.RowOf(QStringLiteral("Склад ( 3)")));
    QCOMPARE(village.Data.BuildName, QStringLiteral("Склад ( 3)"));
    QCOMPARE(village.Data.BuildTotal, 1000);
}

void TestPlanner::buildUsesScaledBuildTime()
{
    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Warehouse3)});
    village.Data.SetMainLevel(QStringLiteral("3"));
    Settle();
    QCOMPARE(village.Rows().first()[6], QStringLiteral("00:11:10"));
    village.Planner.Build(0);
    QCOMPARE(village.Data.BuildTotal, 670);
}

void TestPlanner::advanceToNextLevel()
{
    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Granary1), Entry(Warehouse3), Entry(Farm3)});
    Settle();
    QSignalSpy recalculated(&village.Planner, &TPlanner::Evaluated);

    // Found whatever the letter case; replaced in place.
    village.Planner.AdvanceToNextLevel(QStringLiteral("СКЛАД ( 3)"));
    QCOMPARE(village.Data.AvBuildings,
             QList<TAvBuildingEntry>({Entry(Granary1), Entry(Warehouse4), Entry(Farm3)}));
    QCOMPARE(recalculated.count(), 1);
    QCOMPARE(village.RowNames(), QStringList({QStringLiteral("Амбар ( 1)"), QStringLiteral("Склад ( 4)"),
                                              QStringLiteral("Ферма ( 3)")}));

    village.Planner.AdvanceToNextLevel(QStringLiteral("ферма ( 3)"));
    QCOMPARE(village.Data.AvBuildings,
             QList<TAvBuildingEntry>({Entry(Granary1), Entry(Warehouse4), Entry(Farm3), Entry(Farm4)}));
    QCOMPARE(recalculated.count(), 2);
    QCOMPARE(village.Data.Modified, false);
}

void TestPlanner::advanceToNextLevelDoesNothing_data()
{
    QTest::addColumn<QList<TAvBuildingEntry>>("list");
    QTest::addColumn<QString>("text");

    QTest::newRow("text not listed") << QList<TAvBuildingEntry>({Entry(Warehouse3)})
                                     << QStringLiteral("Рынок ( 1)");
    QTest::newRow("empty text") << QList<TAvBuildingEntry>({Entry(Warehouse3)}) << QString();
    QTest::newRow("last level") << QList<TAvBuildingEntry>({Entry(Warehouse4)}) << QStringLiteral("Склад ( 4)");
    QTest::newRow("next level listed")
        << QList<TAvBuildingEntry>({Entry(Market1), Entry(Market2)}) << QStringLiteral("Рынок ( 1)");
    QTest::newRow("entry outside the catalog")
        << QList<TAvBuildingEntry>({TAvBuildingEntry{QStringLiteral("Нечто ( 1)"), 500}})
        << QStringLiteral("Нечто ( 1)");
}

void TestPlanner::advanceToNextLevelDoesNothing()
{
    QFETCH(QList<TAvBuildingEntry>, list);
    QFETCH(QString, text);

    TVillage village(Catalog());
    village.Data.ReplaceAvBuildings(list);
    const QList<TAvBuildingEntry> before = village.Data.AvBuildings;
    Settle();
    QSignalSpy recalculated(&village.Planner, &TPlanner::Evaluated);
    QSignalSpy lists(&village.Data, &TVillageData::AvBuildingsChanged);
    village.Planner.AdvanceToNextLevel(text);
    QCOMPARE(village.Data.AvBuildings, before);
    QCOMPARE(recalculated.count(), 0);
    QCOMPARE(lists.count(), 0);
}

void TestPlanner::counterRunsCycleOf3601()
{
    TVillage village(Catalog());
    for (int tick = 1; tick <= 3600; ++tick) {
        village.Planner.Tick();
        QCOMPARE(village.Data.HourCounter, tick);
    }
    village.Planner.Tick();
    QCOMPARE(village.Data.HourCounter, 0);
    village.Planner.Tick();
    QCOMPARE(village.Data.HourCounter, 1);

    // A counter set out of its range from outside starts over.
    village.Data.HourCounter = Int32Max;
    village.Planner.Tick();
    QCOMPARE(village.Data.HourCounter, 0);
    village.Data.HourCounter = -5;
    village.Planner.Tick();
    QCOMPARE(village.Data.HourCounter, 0);
}

void TestPlanner::unitPerTickForLargeIncomes_data()
{
    QTest::addColumn<QString>("income");
    QTest::addColumn<qint32>("startCounter");

    QTest::newRow("3600 from counter 0") << QStringLiteral("3600") << 0;
    QTest::newRow("3600 across the end of the cycle") << QStringLiteral("3600") << 3590;
}

void TestPlanner::unitPerTickForLargeIncomes()
{
    QFETCH(QString, income);
    QFETCH(qint32, startCounter);

    TVillage village(Catalog());
    village.SetStocks({"0", "10", "", "x"});
    village.SetIncomes({income, income, income, income});
    village.Data.HourCounter = startCounter;
    for (int tick = 1; tick <= 20; ++tick) {
        village.Planner.Tick();
        QCOMPARE(village.Stocks(), QStringList({QString::number(tick), QString::number(10 + tick),
                                                QString::number(tick), QString::number(tick)}));
    }
}

void TestPlanner::income100GivesUnitEvery36Ticks()
{
    TVillage village(Catalog());
    village.SetIncomes({"100", "", "", ""});
    village.SetStocks({"0", "", "", ""});
    // Counters 1, 2, ..., 3600, 0: one whole cycle.
    qint32 expected = 0;
    for (int tick = 1; tick <= 3601; ++tick) {
        village.Planner.Tick();
        if (village.Data.HourCounter % 36 == 0)
            ++expected;
        QCOMPARE(village.Data.ResourceCollectValue(TResourceKind::Wood), expected);
    }
    QCOMPARE(expected, 101);
    QCOMPARE(village.Data.ResourceCollect[0], QStringLiteral("101"));
}

void TestPlanner::income1440AccruesAtHalfway()
{
    // p = 2.5 seconds: the odd multiples fall exactly halfway between two
    // ticks and accrue on the later one (2.5 at counter 3, 7.5 at 8); the
    // even ones accrue on their own tick (5, 10, ...).
    TVillage village(Catalog());
    village.SetIncomes({"", "", "", "1440"});
    village.SetStocks({"", "", "", "0"});
    const QList<qint32> expected{0, 0, 1, 1, 2, 2, 2, 3, 3, 4};
    for (int tick = 1; tick <= expected.size(); ++tick) {
        village.Planner.Tick();
        QCOMPARE(village.Data.HourCounter, tick);
        QCOMPARE(village.Data.ResourceCollectValue(TResourceKind::Grain), expected.at(tick - 1));
    }

    for (int tick = expected.size() + 1; tick <= 3601; ++tick)
        village.Planner.Tick();
    QCOMPARE(village.Data.HourCounter, 0);
    // 2.5, 5, ..., 3600 and 0: the income and one more.
    QCOMPARE(village.Data.ResourceCollectValue(TResourceKind::Grain), 1441);
}

void TestPlanner::accrualFollowsTheLoop_data()
{
    QTest::addColumn<qint32>("income");
    for (qint32 income : {1, 2, 7, 36, 100, 101, 997, 1440, 1441, 2400, 3599, 3600, 3601, 5000, 7199, 7200,
                          7201, 10800, -1, -1440, -7200})
        QTest::newRow(qPrintable(QStringLiteral("income %1").arg(income))) << income;
}

void TestPlanner::accrualFollowsTheLoop()
{
    // The accrual of every counter value of a cycle against the multiples
    // counted one by one, tick by tick; a negative income from a stock large
    // enough never to reach 0.
    QFETCH(qint32, income);
    TVillage village(Catalog());
    const qint64 start = income < 0 ? 100000 : 0;
    village.SetIncomes({QString::number(income), "", "", ""});
    village.SetStocks({QString::number(start), "", "", ""});
    qint64 expected = start;
    for (int tick = 1; tick <= 3601; ++tick) {
        village.Planner.Tick();
        const qint64 units = ReferenceUnits(village.Data.HourCounter, income);
        expected += income < 0 ? -units : units;
        QCOMPARE(village.Data.ResourceCollectValue(TResourceKind::Wood), expected);
    }
}

void TestPlanner::unitsDueAt_data()
{
    QTest::addColumn<qint32>("counter");
    QTest::addColumn<qint32>("income");
    QTest::addColumn<qint64>("units");

    QTest::newRow("no income") << 0 << 0 << qint64(0);
    QTest::newRow("counter 0, income 1") << 0 << 1 << qint64(1);
    QTest::newRow("counter 1, income 1") << 1 << 1 << qint64(0);
    QTest::newRow("counter 3600, income 1") << 3600 << 1 << qint64(1);
    QTest::newRow("counter 0, income 7200: only 0") << 0 << 7200 << qint64(1);
    QTest::newRow("counter 1, income 7200: 0.5 and 1") << 1 << 7200 << qint64(2);
    QTest::newRow("counter 3600, income 7200") << 3600 << 7200 << qint64(2);
    QTest::newRow("counter 2, income 1440: 2.5 is the next tick's") << 2 << 1440 << qint64(0);
    QTest::newRow("counter 3, income 1440: 2.5 halfway below") << 3 << 1440 << qint64(1);
    QTest::newRow("counter 1, income 2400: 1.5 is the next tick's") << 1 << 2400 << qint64(0);
    QTest::newRow("counter 2, income 2400: 1.5 halfway below") << 2 << 2400 << qint64(1);
    QTest::newRow("counter 3, income 2400: 3 itself") << 3 << 2400 << qint64(1);
    QTest::newRow("negative income counts the same") << 1 << -7200 << qint64(2);
    QTest::newRow("negative counter") << -1 << 3600 << qint64(0);
    QTest::newRow("smallest counter") << Int32Min << Int32Min << qint64(0);
    QTest::newRow("counter 0, largest income") << 0 << Int32Max << qint64(298262);
    QTest::newRow("counter 1, smallest income") << 1 << Int32Min << qint64(596523);
    QTest::newRow("largest counter and income") << Int32Max << Int32Max << qint64(596523);
    QTest::newRow("largest counter, smallest income") << Int32Max << Int32Min << qint64(596524);
}

void TestPlanner::unitsDueAt()
{
    QFETCH(qint32, counter);
    QFETCH(qint32, income);
    QFETCH(qint64, units);
    QCOMPARE(UnitsDueAt(counter, income), units);
}

void TestPlanner::cycleGainsTheIncomePlusOne_data()
{
    QTest::addColumn<QString>("income");
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QString>("afterCycle");

    QTest::newRow("100") << "100" << "0" << "101";
    QTest::newRow("1440: the halfway units count") << "1440" << "0" << "1441";
    QTest::newRow("2400: the halfway units count") << "2400" << "0" << "2401";
    QTest::newRow("3600") << "3600" << "0" << "3601";
    QTest::newRow("7200: two units a tick") << "7200" << "0" << "7201";
    QTest::newRow("10800: the multiples up to 3600.5 s") << "10800" << "0" << "10802";
    QTest::newRow("-7200 takes as many") << "-7200" << "10000" << "2799";
    QTest::newRow("-7200 stops at 0") << "-7200" << "7000" << "0";
}

void TestPlanner::cycleGainsTheIncomePlusOne()
{
    QFETCH(QString, income);
    QFETCH(QString, stock);
    QFETCH(QString, afterCycle);

    TVillage village(Catalog());
    village.SetStocks({stock, "", "", ""});
    village.SetIncomes({income, "", "", ""});
    for (int tick = 0; tick < 3601; ++tick)
        village.Planner.Tick();
    QCOMPARE(village.Data.HourCounter, 0);
    QCOMPARE(village.Data.ResourceCollect[0], afterCycle);
}

void TestPlanner::accrualDiffersFromTheEarlierRuleOnlyAtHalfway()
{
    // Every income of 1 to 3600 at every counter of a cycle: the units are
    // those of the earlier rule, except where a multiple of 3600 / income
    // lies exactly halfway between two ticks. The earlier rule gave such a
    // unit to neither tick, or by rounding to one of them; now it goes to
    // the later tick, always.
    qint64 halfwayUnits = 0;
    for (qint32 income = 1; income <= 3600; ++income) {
        for (qint32 counter = 0; counter <= 3600; ++counter) {
            const bool halfwayBelow = counter > 0 && qint64(income) * (2 * counter - 1) % 7200 == 0;
            const bool halfwayAbove = qint64(income) * (2 * counter + 1) % 7200 == 0;
            const qint64 expected = halfwayBelow ? 1 : halfwayAbove ? 0 : EarlierUnitDue(counter, income) ? 1 : 0;
            const qint64 units = UnitsDueAt(counter, income);
            if (units != expected)
                QFAIL(qPrintable(QStringLiteral("income %1, counter %2: %3 units, expected %4")
                                     .arg(income).arg(counter).arg(units).arg(expected)));
            halfwayUnits += halfwayBelow ? 1 : 0;
        }
    }
    // Incomes whose unit takes an odd number of half seconds have them.
    QVERIFY(halfwayUnits > 0);
}

void TestPlanner::accrualSetsModifiedAndRecalculates()
{
    TVillage village(Catalog());
    village.SetStocks({"149", "1000", "1000", "1000"});
    village.SetIncomes({"3600", "", "", ""});
    village.Data.ReplaceAvBuildings({Entry(Warehouse3)});
    village.Planner.RecalculateAvailable();
    QCOMPARE(village.Rows().first()[5], QStringLiteral("00:00:01 (21:30)"));
    Settle();
    QSignalSpy recalculated(&village.Planner, &TPlanner::Evaluated);
    QSignalSpy resources(&village.Data, &TVillageData::ResourcesChanged);

    village.Planner.Tick();
    Settle();
    QCOMPARE(village.Data.ResourceCollect[0], QStringLiteral("150"));
    QVERIFY(village.Data.Modified);
    QCOMPARE(recalculated.count(), 1);
    QCOMPARE(resources.count(), 1);
    QCOMPARE(village.Rows().first()[5], QStringLiteral("00:00:00 (21:30)"));
}

void TestPlanner::noIncomeChangesNothing_data()
{
    QTest::addColumn<QString>("income");
    QTest::newRow("empty") << QString();
    QTest::newRow("zero") << QStringLiteral("0");
    QTest::newRow("letters") << QStringLiteral("abc");
    QTest::newRow("beyond 32 bits") << QStringLiteral("99999999999");
}

void TestPlanner::noIncomeChangesNothing()
{
    QFETCH(QString, income);
    TVillage village(Catalog());
    village.SetStocks({"5", "abc", "", "-3"});
    village.SetIncomes({income, income, income, income});
    Settle();
    QSignalSpy recalculated(&village.Planner, &TPlanner::Evaluated);
    for (int tick = 0; tick < 3601; ++tick)
        village.Planner.Tick();
    QCOMPARE(village.Stocks(), QStringList({"5", "abc", "", "-3"}));
    QCOMPARE(village.Data.Modified, false);
    QCOMPARE(recalculated.count(), 0);
}

void TestPlanner::nonNumericStockGrowsFromZero()
{
    TVillage village(Catalog());
    village.SetStocks({"abc", "", " 7", "$10"});
    village.SetIncomes({"3600", "3600", "3600", "3600"});
    village.Planner.Tick();
    QCOMPARE(village.Stocks(), QStringList({"1", "1", "8", "17"}));
}

void TestPlanner::stockAtMaximumStays()
{
    TVillage village(Catalog());
    village.SetStocks({"2147483647", "2147483646", "", ""});
    village.SetIncomes({"3600", "3600", "", ""});
    village.Planner.Tick();
    QCOMPARE(village.Stocks(), QStringList({"2147483647", "2147483647", "", ""}));
    QVERIFY(village.Data.Modified);

    // At the largest value nothing changes any more.
    TVillage full(Catalog());
    full.SetStocks({"2147483647", "", "", ""});
    full.SetIncomes({"2147483647", "", "", ""});
    Settle();
    QSignalSpy recalculated(&full.Planner, &TPlanner::Evaluated);
    for (int tick = 0; tick < 10; ++tick)
        full.Planner.Tick();
    QCOMPARE(full.Data.ResourceCollect[0], QStringLiteral("2147483647"));
    QCOMPARE(full.Data.Modified, false);
    QCOMPARE(recalculated.count(), 0);
}

void TestPlanner::accrualStopsAtCapacity_data()
{
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QString>("income");
    QTest::addColumn<QString>("capacity");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("after");

    // An income of 3600 gives one unit on every tick.
    QTest::newRow("grows up to the capacity") << "795" << "3600" << "800" << 10 << "800";
    QTest::newRow("a 32-bit income fills at once") << "0" << "2147483647" << "800" << 1 << "800";
    QTest::newRow("at the capacity stays") << "800" << "3600" << "800" << 5 << "800";
    QTest::newRow("above the capacity is not lowered") << "900" << "3600" << "800" << 5 << "900";
    QTest::newRow("capacity 0") << "0" << "3600" << "0" << 3 << "0";
    QTest::newRow("empty stock grows from 0 to the capacity") << "" << "3600" << "2" << 5 << "2";
    QTest::newRow("negative income takes away below the capacity") << "500" << "-3600" << "100" << 3 << "497";
    QTest::newRow("empty capacity is unknown") << "2147483640" << "3600" << "" << 10 << "2147483647";
}

void TestPlanner::accrualStopsAtCapacity()
{
    QFETCH(QString, stock);
    QFETCH(QString, income);
    QFETCH(QString, capacity);
    QFETCH(int, ticks);
    QFETCH(QString, after);

    TVillage village(Catalog());
    village.SetStocks({stock, "", "", ""});
    village.SetIncomes({income, "", "", ""});
    village.Data.SetCapacity(TResourceKind::Wood, capacity);
    Settle();
    QSignalSpy recalculated(&village.Planner, &TPlanner::Evaluated);
    for (int tick = 0; tick < ticks; ++tick)
        village.Planner.Tick();
    Settle();
    QCOMPARE(village.Data.ResourceCollect[0], after);
    // A stock that cannot grow changes nothing: no change mark, no recalculation.
    const bool changed = after != stock;
    QCOMPARE(village.Data.Modified, changed);
    QCOMPARE(recalculated.count() > 0, changed);
}

void TestPlanner::negativeIncomeMirrorsGrowth()
{
    // Income -100 takes a unit at the counters at which +100 gives one:
    // 36, 72, ..., 3600 and 0.
    TVillage village(Catalog());
    village.SetStocks({"1000", "0", "", ""});
    village.SetIncomes({"-100", "100", "", ""});
    for (int tick = 1; tick <= 3601; ++tick) {
        village.Planner.Tick();
        const qint32 grown = village.Data.ResourceCollectValue(TResourceKind::Clay);
        QCOMPARE(village.Data.ResourceCollectValue(TResourceKind::Wood), 1000 - grown);
    }
    QCOMPARE(village.Stocks(), QStringList({"899", "101", "", ""}));
}

void TestPlanner::negativeIncomeStopsAtZero_data()
{
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QString>("income");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("result");
    QTest::addColumn<bool>("modified");

    QTest::newRow("down to zero") << "3" << "-3600" << 10 << "0" << true;
    QTest::newRow("largest loss") << "2" << "-2147483648" << 10 << "0" << true;
    QTest::newRow("already zero") << "0" << "-3600" << 10 << "0" << false;
    QTest::newRow("letters stay") << "abc" << "-3600" << 10 << "abc" << false;
    QTest::newRow("negative stock stays") << "-3" << "-3600" << 10 << "-3" << false;
    QTest::newRow("slow loss") << "1000" << "-100" << 35 << "1000" << false;
    QTest::newRow("slow loss, first unit") << "1000" << "-100" << 36 << "999" << true;
}

void TestPlanner::negativeIncomeStopsAtZero()
{
    QFETCH(QString, stock);
    QFETCH(QString, income);
    QFETCH(int, ticks);
    QFETCH(QString, result);
    QFETCH(bool, modified);

    TVillage village(Catalog());
    village.SetStocks({stock, "", "", ""});
    village.SetIncomes({income, "", "", ""});
    village.Data.ReplaceAvBuildings({Entry(Warehouse3)});
    Settle();
    QSignalSpy recalculated(&village.Planner, &TPlanner::Evaluated);
    for (int tick = 0; tick < ticks; ++tick)
        village.Planner.Tick();
    Settle();
    QCOMPARE(village.Data.ResourceCollect[0], result);
    QCOMPARE(village.Data.Modified, modified);
    QCOMPARE(recalculated.count() > 0, modified);
}

void TestPlanner::extremeIncomesAreBounded_data()
{
    QTest::addColumn<QString>("income");
    QTest::addColumn<QString>("stock");
    QTest::addColumn<QString>("afterCycle");

    // One full cycle of 3601 ticks, which ends at counter 0.
    QTest::newRow("largest income") << "2147483647" << "0" << "2147483647";
    QTest::newRow("smallest income") << "-2147483648" << "5000" << "0";
    QTest::newRow("smallest income plus one") << "-2147483647" << "5000" << "0";
    QTest::newRow("income 1") << "1" << "0" << "2";
    QTest::newRow("income -1") << "-1" << "10" << "8";
}

void TestPlanner::extremeIncomesAreBounded()
{
    QFETCH(QString, income);
    QFETCH(QString, stock);
    QFETCH(QString, afterCycle);

    TVillage village(Catalog());
    village.SetStocks({stock, stock, stock, stock});
    village.SetIncomes({income, income, income, income});
    for (int tick = 0; tick < 3601; ++tick)
        village.Planner.Tick();
    QCOMPARE(village.Stocks(), QStringList({afterCycle, afterCycle, afterCycle, afterCycle}));
}

void TestPlanner::exactStockTimesStandStill_data()
{
    QTest::addColumn<QString>("measure");
    QTest::addColumn<QStringList>("stocks");
    QTest::addColumn<QStringList>("incomes");

    QTest::newRow("wood full at 100/h") << QStringLiteral("full") << QStringList{"0", "0", "0", "0"}
                                        << QStringList{"100", "0", "0", "0"};
    QTest::newRow("grain empty at -20/h") << QStringLiteral("empty") << QStringList{"0", "0", "0", "30"}
                                          << QStringList{"0", "0", "0", "-20"};
    QTest::newRow("a warehouse affordable at 100/h") << QStringLiteral("afford")
                                                     << QStringList{"100", "1000", "1000", "1000"}
                                                     << QStringList{"100", "0", "0", "0"};
    QTest::newRow("the queue's wait at 7/h") << QStringLiteral("queue") << QStringList{"140", "1000", "1000", "1000"}
                                             << QStringList{"7", "0", "0", "0"};
}

void TestPlanner::exactStockTimesStandStill()
{
    QFETCH(QString, measure);
    QFETCH(QStringList, stocks);
    QFETCH(QStringList, incomes);

    TVillage village(Catalog());
    village.SetStocks(stocks);
    village.SetIncomes(incomes);
    village.Data.SetCapacity(TResourceKind::Wood, QStringLiteral("800"));
    village.Data.ReplaceAvBuildings({Entry(Warehouse3)});
    village.Data.AppendToQueue(Entry(Warehouse3));
    const QDateTime start = CurrentDateTime();
    const auto moment = [&](const TVillageEvaluation &evaluation) -> qint64 {
        if (measure == u"full")
            return evaluation.Snapshot.Storages[0].SecondsToFull.value_or(-1);
        if (measure == u"empty")
            return evaluation.Snapshot.Storages[3].SecondsToEmpty.value_or(-1);
        if (measure == u"afford")
            return evaluation.Available.first().Afford.Seconds;
        return evaluation.Queue.Items.first().Start;
    };

    // The moment named, seconds from the start, on every tick of ten
    // minutes: the whole units grow on some ticks only, the moment must not
    // move (within the second a unit may come early by).
    qint64 lowest = std::numeric_limits<qint64>::max();
    qint64 highest = std::numeric_limits<qint64>::min();
    for (int tick = 0; tick < 600; ++tick) {
        const QDateTime now = start.addSecs(tick);
        const qint64 seconds = moment(EvaluateVillage(village.Data, Catalog(), now));
        QVERIFY(seconds > 0);
        lowest = std::min(lowest, tick + seconds);
        highest = std::max(highest, tick + seconds);
        village.Planner.Tick();
    }
    QVERIFY2(highest - lowest <= 1, qPrintable(QStringLiteral("moved from %1 to %2").arg(lowest).arg(highest)));
    // The whole units shown still grow only by whole units.
    QVERIFY(village.Data.ResourceCollect[0] != stocks[0] || village.Data.ResourceCollect[3] != stocks[3]);
}

void TestPlanner::noFileNeverSaved()
{
    TVillage village(Catalog());
    village.SetIncomes({"3600", "", "", ""});
    QSignalSpy saves(&village.Planner, &TPlanner::AutoSaveDue);
    for (int tick = 0; tick < 2 * 3601; ++tick)
        village.Planner.Tick();
    QVERIFY(village.Data.Modified);
    QCOMPARE(saves.count(), 0);
}

void TestPlanner::savedEvery300TicksWithFile()
{
    TVillage village(Catalog());
    village.Data.FileName = QStringLiteral("/tmp/Деревня.vlgdat");
    QList<qint32> counters;
    connect(&village.Planner, &TPlanner::AutoSaveDue, this,
            [&village, &counters] { counters.append(village.Data.HourCounter); });

    for (int tick = 0; tick < 3601; ++tick)
        village.Planner.Tick();
    QList<qint32> expected;
    for (qint32 counter = 300; counter <= 3600; counter += 300)
        expected.append(counter);
    QCOMPARE(counters, expected);
    // Saved without any change.
    QCOMPARE(village.Data.Modified, false);

    for (int tick = 0; tick < 3601; ++tick)
        village.Planner.Tick();
    QCOMPARE(counters, expected + expected);
}

void TestPlanner::saveComesBeforeAccrual()
{
    TVillage village(Catalog());
    village.Data.FileName = QStringLiteral("village.vlgdat");
    village.SetStocks({"0", "", "", ""});
    village.SetIncomes({"3600", "", "", ""});
    QStringList stocksAtSave;
    connect(&village.Planner, &TPlanner::AutoSaveDue, this,
            [&village, &stocksAtSave] { stocksAtSave.append(village.Data.ResourceCollect[0]); });
    for (int tick = 0; tick < 600; ++tick)
        village.Planner.Tick();
    QCOMPARE(stocksAtSave, QStringList({"299", "599"}));
    QCOMPARE(village.Data.ResourceCollect[0], QStringLiteral("600"));
}

void TestPlanner::progressCountsDown()
{
    TVillage village(Catalog());
    village.SetStocks({"1000", "1000", "1000", "1000"});
    village.Data.ReplaceAvBuildings({Entry(Market1)});
    village.Planner.RecalculateAvailable();
    village.Planner.Build(0);
    QCOMPARE(village.Data.BuildTotal, 3);
    QVERIFY(village.Planner.RemainingText().isEmpty());
    QSignalSpy progress(&village.Planner, &TPlanner::ProgressChanged);

    village.Planner.Tick();
    QCOMPARE(village.Data.BuildElapsed, 1);
    QCOMPARE(village.Planner.RemainingText(), QStringLiteral("00:00:02 (21:30)"));
    village.Planner.Tick();
    QCOMPARE(village.Data.BuildElapsed, 2);
    QCOMPARE(village.Planner.RemainingText(), QStringLiteral("00:00:01 (21:30)"));
    QCOMPARE(village.Data.BuildName, QStringLiteral("Рынок ( 1)"));
    village.Planner.Tick();
    QCOMPARE(village.Data.BuildTotal, 0);
    QCOMPARE(village.Data.BuildElapsed, 0);
    QVERIFY(village.Data.BuildName.isEmpty());
    QVERIFY(village.Planner.RemainingText().isEmpty());
    QCOMPARE(progress.count(), 3);

    // Idle: nothing more happens, and the level was advanced at the start.
    village.Planner.Tick();
    QCOMPARE(progress.count(), 3);
    QCOMPARE(village.ListTexts(), QStringList({QStringLiteral("Рынок ( 2)")}));
}

void TestPlanner::remainingTextShowsEndClock()
{
    TVillage village(Catalog());
    village.Data.BuildName = QStringLiteral("Склад ( 3)");
    village.Data.BuildTotal = 4330;
    village.Planner.Tick();
    // 4329 seconds from 21:30:10 end at 22:42:19.
    QCOMPARE(village.Planner.RemainingText(), QStringLiteral("01:12:09 (22:42)"));
}

void TestPlanner::progressToleratesInconsistentState()
{
    // Values set from outside that no command produces: a negative total is
    // idle; an elapsed time at or past the total ends the construction.
    TVillage village(Catalog());
    village.Data.BuildName = QStringLiteral("x");
    village.Data.BuildTotal = -5;
    village.Planner.Tick();
    QCOMPARE(village.Data.BuildTotal, -5);
    QCOMPARE(village.Data.BuildName, QStringLiteral("x"));

    village.Data.BuildTotal = Int32Max;
    village.Data.BuildElapsed = Int32Max;
    village.Planner.Tick();
    QCOMPARE(village.Data.BuildTotal, 0);
    QCOMPARE(village.Data.BuildElapsed, 0);
    QVERIFY(village.Data.BuildName.isEmpty());

    village.Data.BuildTotal = Int32Max;
    village.Data.BuildElapsed = Int32Min;
    village.Planner.Tick();
    QCOMPARE(village.Data.BuildElapsed, Int32Min + 1);
    QVERIFY(village.Planner.RemainingText().startsWith(QStringLiteral("24855 д 03:14:07 (")));
}

void TestPlanner::recalculationOfThousandBuildings()
{
    TTestCatalog catalog(WoodOnlyCatalogXml(1000));
    QVERIFY(catalog.Loaded);
    TVillageData village;
    TPlanner planner(village, catalog.Catalog);
    TAvailableModel model(planner, catalog.Catalog);
    QList<TAvBuildingEntry> entries;
    for (qint32 i = 0; i < catalog.Catalog.Count(); ++i)
        entries.append({catalog.Catalog.Object(i).DisplayText(), i});
    village.ReplaceAvBuildings(entries);
    village.SetResourceCollect(TResourceKind::Wood, QStringLiteral("100"));
    village.SetResourceAdd(TResourceKind::Wood, QStringLiteral("120"));
    planner.SetHorizon(7200);

    QBENCHMARK {
        planner.RecalculateAvailable();
    }
    QCOMPARE(planner.Available().size(), 1000);
    QCOMPARE(model.DisplayRows().last()[0], QStringLiteral("Здание 999 ( 1)"));
}

QTEST_GUILESS_MAIN(TestPlanner)
#include "tst_planner.moc"
