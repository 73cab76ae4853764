// Deliveries on their way: counted at their arrival (capped at the
// capacities) in the time to afford, the exchange 1:1, the time to full and
// the queue's projection; added to the stocks when they have arrived; and
// what the player types for a new one.

#include "TestSupport.h"

#include "models/DeliveryModel.h"
#include "rules/Deliveries.h"
#include "rules/QueueProjection.h"

#include <QTest>

namespace {
const TResourceAmounts Nothing{0, 0, 0, 0};
const QDateTime Now(QDate(2026, 12, 7), QTime(10, 0));

TArrival At(qint64 seconds, const TResourceAmounts &amounts)
{
    return {seconds, amounts};
}
} // namespace

class TestDeliveries : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void timeToAfford_data();
    void timeToAfford();
    void exchangeCountsArrivals();
    void secondsToFull_data();
    void secondsToFull();
    void projectionCountsTheArrival();
    void arrivedDeliveriesRaiseTheStocks();
    void typedDelivery_data();
    void typedDelivery();

private:
    TdmListObj m_Catalog;
};

void TestDeliveries::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_SHIPPED_CATALOG)));
}

void TestDeliveries::timeToAfford_data()
{
    QTest::addColumn<TResourceAmounts>("stocks");
    QTest::addColumn<TResourceAmounts>("incomes");
    QTest::addColumn<TResourceAmounts>("capacities");
    QTest::addColumn<TResourceAmounts>("costs");
    QTest::addColumn<TArrivals>("arrivals");
    QTest::addColumn<TAffordTime>("expected");

    QTest::newRow("without deliveries: the rule as it is")
        << Nothing << TResourceAmounts{3600, 0, 0, 0} << UnknownCapacities << TResourceAmounts{100, 0, 0, 0}
        << TArrivals{} << TAffordTime(100);
    QTest::newRow("the missing clay comes at its arrival")
        << Nothing << Nothing << UnknownCapacities << TResourceAmounts{0, 100, 0, 0}
        << TArrivals{At(600, {0, 100, 0, 0})} << TAffordTime(600);
    QTest::newRow("too little clay: never")
        << Nothing << Nothing << UnknownCapacities << TResourceAmounts{0, 100, 0, 0}
        << TArrivals{At(600, {0, 99, 0, 0})} << TAffordTime::NeverFor(TNeverReason::NoIncome);
    // Wood grows by one a second: 100 at 100 s, 400 with the delivery, 500 at 200 s.
    QTest::newRow("the stock grows on after the arrival")
        << Nothing << TResourceAmounts{3600, 0, 0, 0} << UnknownCapacities << TResourceAmounts{500, 0, 0, 0}
        << TArrivals{At(100, {300, 0, 0, 0})} << TAffordTime(200);
    QTest::newRow("costs covered before the arrival")
        << Nothing << TResourceAmounts{3600, 0, 0, 0} << UnknownCapacities << TResourceAmounts{50, 0, 0, 0}
        << TArrivals{At(100, {300, 0, 0, 0})} << TAffordTime(50);
    // The delivery of 500 fills the storage of 200 only.
    QTest::newRow("a delivery capped at the capacity")
        << Nothing << TResourceAmounts{3600, 0, 0, 0} << TResourceAmounts{200, -1, -1, -1}
        << TResourceAmounts{200, 100, 0, 0} << TArrivals{At(10, {500, 0, 0, 0}), At(20, {0, 100, 0, 0})}
        << TAffordTime(20);
    QTest::newRow("no delivery mends a cost above the capacity")
        << Nothing << Nothing << TResourceAmounts{100, -1, -1, -1} << TResourceAmounts{150, 0, 0, 0}
        << TArrivals{At(10, {500, 0, 0, 0})} << TAffordTime::NeverFor(TNeverReason::Capacity);
    // Grain falls by one a second; the delivery at 100 s brings it back.
    QTest::newRow("a falling kind refilled")
        << TResourceAmounts{0, 0, 0, 100} << TResourceAmounts{3600, 0, 0, -3600} << UnknownCapacities
        << TResourceAmounts{150, 0, 0, 50} << TArrivals{At(100, {0, 0, 0, 100})} << TAffordTime(150);
}

void TestDeliveries::timeToAfford()
{
    QFETCH(TResourceAmounts, stocks);
    QFETCH(TResourceAmounts, incomes);
    QFETCH(TResourceAmounts, capacities);
    QFETCH(TResourceAmounts, costs);
    QFETCH(TArrivals, arrivals);
    QFETCH(TAffordTime, expected);
    QCOMPARE(TimeToAffordWithArrivals(ScaledAmounts(stocks), incomes, ScaledTops(capacities), ScaledAmounts(costs),
                                      arrivals),
             expected);
}

void TestDeliveries::exchangeCountsArrivals()
{
    // 200 wood arrive at 300 s; half of it pays for the clay.
    QCOMPARE(PlanExchangeWithArrivals(Nothing, Nothing, UnknownCapacities, {100, 100, 0, 0},
                                      {At(300, {200, 0, 0, 0})}),
             (TExchangePlan{TAffordTime(300), {-100, 100, 0, 0}}));
}

void TestDeliveries::secondsToFull_data()
{
    QTest::addColumn<qint32>("stock");
    QTest::addColumn<qint32>("income");
    QTest::addColumn<qint32>("capacity");
    QTest::addColumn<TArrivals>("arrivals");
    QTest::addColumn<std::optional<qint64>>("expected");

    QTest::newRow("a delivery fills a storage that does not grow")
        << 100 << 0 << 200 << TArrivals{At(60, {50, 0, 0, 0}), At(120, {100, 0, 0, 0})}
        << std::optional<qint64>(120);
    QTest::newRow("the growth fills it before the delivery")
        << 100 << 3600 << 200 << TArrivals{At(500, {50, 0, 0, 0})} << std::optional<qint64>(100);
    QTest::newRow("the delivery brings it nearer")
        << 0 << 3600 << 200 << TArrivals{At(50, {100, 0, 0, 0})} << std::optional<qint64>(100);
    QTest::newRow("another kind's delivery leaves it") << 100 << 0 << 200 << TArrivals{At(60, {0, 500, 0, 0})}
                                                       << std::optional<qint64>();
}

void TestDeliveries::secondsToFull()
{
    QFETCH(qint32, stock);
    QFETCH(qint32, income);
    QFETCH(qint32, capacity);
    QFETCH(TArrivals, arrivals);
    QFETCH(std::optional<qint64>, expected);
    QCOMPARE(SecondsToFullWithArrivals(stock, income, capacity, TResourceKind::Wood, arrivals), expected);
}

void TestDeliveries::projectionCountsTheArrival()
{
    // Лесопильный завод ( 1) costs 40/100/50/60; the village has all but
    // the clay, which arrives in ten minutes.
    const qint32 saw = m_Catalog.FindByDisplayText(QStringLiteral("Лесопильный завод ( 1)"));
    QVERIFY(saw >= 0);
    TQueueProjectionInput input;
    input.Stocks = {40, 0, 50, 60};
    input.Queue = {saw};
    input.Deliveries = {At(600, {0, 150, 0, 0})};
    const TQueueProjection projection = ProjectQueue(m_Catalog, input);
    QCOMPARE(projection.Items.size(), 1);
    QVERIFY(projection.Items.at(0).IsScheduled());
    QCOMPARE(projection.Items.at(0).Start, qint64(600));
    QCOMPARE(projection.Items.at(0).StocksAfterStart[1], 50.0);
    // The clay's line jumps at the arrival.
    QVERIFY(projection.Timeline[1].contains(TStockPoint{600, 0}));
    QVERIFY(projection.Timeline[1].contains(TStockPoint{600, 150}));
}

void TestDeliveries::arrivedDeliveriesRaiseTheStocks()
{
    TVillageData village;
    village.SetStocks({100, 100, 100, 100});
    village.SetCapacity(TResourceKind::Wood, QStringLiteral("300"));
    QVERIFY(village.AddDelivery({{500, 0, 0, 0}, Now.addSecs(60)}));
    QVERIFY(village.AddDelivery({{0, 1200, 0, 0}, Now.addSecs(30)}));
    QVERIFY(village.AddDelivery({{0, 0, 7, 0}, Now.addSecs(90)}));
    QVERIFY(!village.AddDelivery({{1, 0, 0, 0}, QDateTime()}));
    QCOMPARE(village.Deliveries.at(0).Arrives, Now.addSecs(30));

    QVERIFY(!ReceiveArrivedDeliveries(village, Now.addSecs(29)));
    QList<TDelivery> received;
    QVERIFY(ReceiveArrivedDeliveries(village, Now.addSecs(60), &received));
    QCOMPARE(received.size(), 2);
    QCOMPARE(village.Stocks(), (TResourceAmounts{300, 1300, 100, 100}));
    QCOMPARE(village.Deliveries.size(), 1);
    QCOMPARE(ArrivedDeliveriesText(received), QStringLiteral("Прибыли поставки: дерево 500, глина 1 200."));
}

void TestDeliveries::typedDelivery_data()
{
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QString>("in");
    QTest::addColumn<std::optional<TDelivery>>("expected");
    QTest::addColumn<QString>("error");

    QTest::newRow("amounts and a time")
        << QStringList{QStringLiteral("300"), QString(), QStringLiteral(" 1200 "), QStringLiteral("0")}
        << QStringLiteral("1:30:00") << std::optional(TDelivery{{300, 0, 1200, 0}, Now.addSecs(5400)}) << QString();
    QTest::newRow("nothing carried") << QStringList{QString(), QStringLiteral("0"), QString(), QString()}
                                     << QStringLiteral("0:10:00") << std::optional<TDelivery>()
                                     << QStringLiteral("Поставка пуста: укажите, сколько ресурсов в пути.");
    QTest::newRow("no time") << QStringList{QStringLiteral("5"), QString(), QString(), QString()} << QString()
                             << std::optional<TDelivery>()
                             << QStringLiteral("Укажите, через сколько прибудет поставка (чч:мм:сс).");
    QTest::newRow("a negative amount") << QStringList{QStringLiteral("-5"), QString(), QString(), QString()}
                                       << QStringLiteral("0:01:00") << std::optional<TDelivery>()
                                       << QStringLiteral("Количество должно быть целым числом от 0.");
}

void TestDeliveries::typedDelivery()
{
    QFETCH(QStringList, amounts);
    QFETCH(QString, in);
    QFETCH(std::optional<TDelivery>, expected);
    QFETCH(QString, error);
    TDeliveryInput input;
    std::copy(amounts.begin(), amounts.end(), input.Amounts.begin());
    input.In = in;
    QString reason;
    QCOMPARE(DeliveryFromInput(input, Now, &reason), expected);
    QCOMPARE(reason, error);
    if (expected)
        QCOMPARE(DeliveryText(*expected, Now), QStringLiteral("11:30 — дерево 300, железо 1 200"));
}

QTEST_GUILESS_MAIN(TestDeliveries)
#include "tst_deliveries.moc"
