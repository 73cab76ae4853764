// Production over time: units from an hourly income, stocks advanced over
// long gaps with capacities, the time until a storage is full and the time
// until a cost is covered, also at the 32-bit limits.

#include "catalog/dm_ListObjects.h"
#include "rules/Production.h"

#include <QTest>

#include <limits>

namespace {
constexpr qint32 Max32 = std::numeric_limits<qint32>::max();
constexpr qint32 Min32 = std::numeric_limits<qint32>::min();
constexpr qint64 Max64 = std::numeric_limits<qint64>::max();
constexpr qint64 Hour = 3600;
constexpr qint64 Night = 8 * Hour;
constexpr qint64 Month = 30 * 24 * Hour;
constexpr qint64 Year = 365 * 24 * Hour;
} // namespace

class TestProduction : public QObject
{
    Q_OBJECT

private slots:
    void producedUnits_data();
    void producedUnits();
    void advanceStock_data();
    void advanceStock();
    void catchUpStocksKeepsKindsApart();
    void secondsToFull_data();
    void secondsToFull();
    void timeToAffordKind_data();
    void timeToAffordKind();
    void timeToAffordCosts_data();
    void timeToAffordCosts();
    void costsOfMissingCostsAreZero();
};

void TestProduction::producedUnits_data()
{
    QTest::addColumn<qint32>("income");
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("one hour") << 100 << Hour << qint64(100);
    QTest::newRow("just short of a unit") << 100 << qint64(35) << qint64(0);
    QTest::newRow("exactly one unit") << 100 << qint64(36) << qint64(1);
    QTest::newRow("odd income over a day and a second") << 7 << qint64(86401) << qint64(168);
    QTest::newRow("negative income takes as much") << -100 << qint64(36) << qint64(-1);
    QTest::newRow("negative income below a unit") << -100 << qint64(35) << qint64(0);
    QTest::newRow("time running back") << 100 << -Hour << qint64(0);
    QTest::newRow("largest income for a year") << Max32 << Year << qint64(18811956747720);
    QTest::newRow("lowest income for a year") << Min32 << Year << qint64(-18811956756480);
    QTest::newRow("largest span saturates") << 1 << Max64 << Max64;
}

void TestProduction::producedUnits()
{
    QFETCH(qint32, income);
    QFETCH(qint64, seconds);
    QFETCH(qint64, expected);
    QCOMPARE(ProducedUnits(income, seconds), expected);
}

void TestProduction::advanceStock_data()
{
    QTest::addColumn<qint32>("stock");
    QTest::addColumn<qint32>("income");
    QTest::addColumn<qint32>("capacity");
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("a night, capacity unknown") << 500 << 100 << UnknownCapacity << Night << 1300;
    QTest::newRow("a night, stops at the capacity") << 500 << 100 << 800 << Night << 800;
    QTest::newRow("meets the capacity exactly") << 700 << 100 << 800 << Hour << 800;
    QTest::newRow("above the capacity is not lowered") << 900 << 100 << 800 << Hour << 900;
    QTest::newRow("a month") << 0 << 1000 << UnknownCapacity << Month << 720000;
    QTest::newRow("negative income takes away") << 500 << -100 << UnknownCapacity << Hour << 400;
    QTest::newRow("negative income stops at 0") << 50 << -100 << UnknownCapacity << Hour << 0;
    QTest::newRow("negative stock, negative income") << -20 << -100 << UnknownCapacity << Hour << -20;
    QTest::newRow("negative stock, positive income") << -20 << 100 << UnknownCapacity << Hour << 80;
    QTest::newRow("stock above capacity shrinks") << 900 << -100 << 800 << Hour << 800;
    QTest::newRow("no income") << 500 << 0 << UnknownCapacity << Month << 500;
    QTest::newRow("clock set back") << 500 << 100 << UnknownCapacity << -Hour << 500;
    QTest::newRow("largest income for a month clamps") << 2000000000 << Max32 << UnknownCapacity << Month << Max32;
    QTest::newRow("lowest stock, largest income, a year") << Min32 << Max32 << UnknownCapacity << Year << Max32;
    QTest::newRow("lowest stock, largest income, a second") << Min32 << Max32 << UnknownCapacity << qint64(1)
                                                             << -2146887125;
    QTest::newRow("largest stock, lowest income, a year") << Max32 << Min32 << UnknownCapacity << Year << 0;
    QTest::newRow("largest span") << 5 << 1 << UnknownCapacity << Max64 << Max32;
    QTest::newRow("largest span, negative income") << 5 << -1 << UnknownCapacity << Max64 << 0;
    QTest::newRow("largest span, capacity") << 5 << 1 << 77 << Max64 << 77;
}

void TestProduction::advanceStock()
{
    QFETCH(qint32, stock);
    QFETCH(qint32, income);
    QFETCH(qint32, capacity);
    QFETCH(qint64, seconds);
    QFETCH(qint32, expected);
    QCOMPARE(AdvanceStock(stock, income, capacity, seconds), expected);
}

void TestProduction::catchUpStocksKeepsKindsApart()
{
    // A minute: wood meets its capacity, clay shrinks, iron has no income,
    // grain gains the one unit its income makes in 36 seconds.
    const TResourceAmounts stocks{100, 200, 300, 400};
    const TResourceAmounts incomes{3600, -3600, 0, 100};
    const TResourceAmounts capacities{150, UnknownCapacity, UnknownCapacity, 450};
    QCOMPARE(CatchUpStocks(stocks, incomes, capacities, 60), (TResourceAmounts{150, 140, 300, 401}));
}

void TestProduction::secondsToFull_data()
{
    QTest::addColumn<qint32>("stock");
    QTest::addColumn<qint32>("income");
    QTest::addColumn<qint32>("capacity");
    QTest::addColumn<std::optional<qint64>>("expected");

    QTest::newRow("one hour") << 700 << 100 << 800 << std::optional<qint64>(3600);
    QTest::newRow("rounded up") << 799 << 7 << 800 << std::optional<qint64>(515);
    QTest::newRow("full") << 800 << 100 << 800 << std::optional<qint64>(0);
    QTest::newRow("above the capacity") << 900 << 100 << 800 << std::optional<qint64>(0);
    QTest::newRow("capacity 0") << 0 << 100 << 0 << std::optional<qint64>(0);
    QTest::newRow("capacity unknown") << 700 << 100 << UnknownCapacity << std::optional<qint64>();
    QTest::newRow("no income") << 700 << 0 << 800 << std::optional<qint64>();
    QTest::newRow("negative income") << 700 << -100 << 800 << std::optional<qint64>();
    QTest::newRow("full, but no income") << 800 << 0 << 800 << std::optional<qint64>();
    QTest::newRow("widest gap, slowest income") << Min32 << 1 << Max32 << std::optional<qint64>(15461882262000);
}

void TestProduction::secondsToFull()
{
    QFETCH(qint32, stock);
    QFETCH(qint32, income);
    QFETCH(qint32, capacity);
    QFETCH(std::optional<qint64>, expected);
    QCOMPARE(SecondsToFull(stock, income, capacity), expected);
}

void TestProduction::timeToAffordKind_data()
{
    QTest::addColumn<qint32>("stock");
    QTest::addColumn<qint32>("income");
    QTest::addColumn<qint32>("capacity");
    QTest::addColumn<qint32>("cost");
    QTest::addColumn<TAffordTime>("expected");

    const TAffordTime noIncome{TNeverReason::NoIncome, 0};
    const TAffordTime capacity{TNeverReason::Capacity, 0};
    QTest::newRow("covered") << 150 << 100 << UnknownCapacity << 150 << TAffordTime{};
    QTest::newRow("one hour") << 100 << 50 << UnknownCapacity << 150 << TAffordTime{TNeverReason::None, 3600};
    QTest::newRow("one more unit") << 100 << 50 << UnknownCapacity << 151 << TAffordTime{TNeverReason::None, 3672};
    QTest::newRow("ceiling of a fraction") << 0 << 7 << UnknownCapacity << 1 << TAffordTime{TNeverReason::None, 515};
    QTest::newRow("no income") << 100 << 0 << UnknownCapacity << 150 << noIncome;
    QTest::newRow("negative income") << 100 << -10 << UnknownCapacity << 150 << noIncome;
    QTest::newRow("cost above capacity") << 100 << 50 << 120 << 150 << capacity;
    QTest::newRow("cost equal to capacity") << 700 << 100 << 800 << 800 << TAffordTime{TNeverReason::None, 3600};
    QTest::newRow("stock above capacity covers") << 900 << 0 << 800 << 850 << TAffordTime{};
    QTest::newRow("stock above capacity falls short") << 900 << 100 << 800 << 950 << capacity;
    QTest::newRow("widest gap, slowest income") << Min32 << 1 << UnknownCapacity << Max32
                                                << TAffordTime{TNeverReason::None, 15461882262000};
}

void TestProduction::timeToAffordKind()
{
    QFETCH(qint32, stock);
    QFETCH(qint32, income);
    QFETCH(qint32, capacity);
    QFETCH(qint32, cost);
    QFETCH(TAffordTime, expected);
    QCOMPARE(TimeToAffordKind(stock, income, capacity, cost), expected);
}

void TestProduction::timeToAffordCosts_data()
{
    QTest::addColumn<TResourceAmounts>("stocks");
    QTest::addColumn<TResourceAmounts>("incomes");
    QTest::addColumn<TResourceAmounts>("capacities");
    QTest::addColumn<TResourceAmounts>("costs");
    QTest::addColumn<TAffordTime>("expected");

    const TResourceAmounts none{0, 0, 0, 0};
    QTest::newRow("all covered") << TResourceAmounts{10, 10, 10, 10} << none << UnknownCapacities
                                 << TResourceAmounts{10, 5, 0, 10} << TAffordTime{};
    QTest::newRow("the slowest kind counts") << TResourceAmounts{0, 0, 0, 0} << TResourceAmounts{100, 50, 200, 3600}
                                             << UnknownCapacities << TResourceAmounts{100, 100, 100, 100}
                                             << TAffordTime{TNeverReason::None, 7200};
    QTest::newRow("one kind without income") << TResourceAmounts{0, 0, 0, 0} << TResourceAmounts{100, 100, 0, 100}
                                             << UnknownCapacities << TResourceAmounts{100, 100, 1, 100}
                                             << TAffordTime{TNeverReason::NoIncome, 0};
    QTest::newRow("capacity named before income") << TResourceAmounts{0, 0, 0, 0} << TResourceAmounts{0, 100, 100, 100}
                                                  << TResourceAmounts{-1, -1, -1, 50}
                                                  << TResourceAmounts{10, 10, 10, 60}
                                                  << TAffordTime{TNeverReason::Capacity, 0};
    // Clay shrinks by 100 an hour while wood takes an hour to come in.
    QTest::newRow("shrinking kind still covers") << TResourceAmounts{0, 500, 0, 0}
                                                 << TResourceAmounts{100, -100, 0, 0} << UnknownCapacities
                                                 << TResourceAmounts{100, 400, 0, 0}
                                                 << TAffordTime{TNeverReason::None, 3600};
    QTest::newRow("shrinking kind falls short meanwhile") << TResourceAmounts{0, 500, 0, 0}
                                                          << TResourceAmounts{100, -100, 0, 0} << UnknownCapacities
                                                          << TResourceAmounts{100, 401, 0, 0}
                                                          << TAffordTime{TNeverReason::NoIncome, 0};
    QTest::newRow("shrinking kind, covered at once") << TResourceAmounts{100, 500, 0, 0}
                                                     << TResourceAmounts{100, -100, 0, 0} << UnknownCapacities
                                                     << TResourceAmounts{100, 500, 0, 0} << TAffordTime{};
}

void TestProduction::timeToAffordCosts()
{
    QFETCH(TResourceAmounts, stocks);
    QFETCH(TResourceAmounts, incomes);
    QFETCH(TResourceAmounts, capacities);
    QFETCH(TResourceAmounts, costs);
    QFETCH(TAffordTime, expected);
    QCOMPARE(TimeToAffordCosts(stocks, incomes, capacities, costs), expected);
}

void TestProduction::costsOfMissingCostsAreZero()
{
    TLivaronObject object;
    object.Wood = 40;
    object.Clay = -1;
    object.Iron = 0;
    object.Grain = 60;
    QCOMPARE(CostsOf(object), (TResourceAmounts{40, 0, 0, 60}));
}

QTEST_GUILESS_MAIN(TestProduction)
#include "tst_production.moc"
