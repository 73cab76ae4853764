// Traders between own villages: each race's load and speed, the travel time
// between two places on the map (rounded up to the second, exact at the
// 32-bit limits) and the traders a shipment needs.

#include "rules/Traders.h"

#include <QTest>

#include <limits>

class TestTraders : public QObject
{
    Q_OBJECT

private slots:
    void traderKind_data();
    void traderKind();
    void travelSeconds_data();
    void travelSeconds();
    void tradersNeeded_data();
    void tradersNeeded();
};

void TestTraders::traderKind_data()
{
    QTest::addColumn<int>("race");
    QTest::addColumn<TTraderKind>("expected");
    QTest::newRow("Римляне") << 1 << TTraderKind{500, 16};
    QTest::newRow("Галлы") << 2 << TTraderKind{750, 24};
    QTest::newRow("Германцы") << 3 << TTraderKind{1000, 12};
    QTest::newRow("no race: the smallest load") << 0 << TTraderKind{500, 16};
}

void TestTraders::traderKind()
{
    QFETCH(int, race);
    QFETCH(TTraderKind, expected);
    QCOMPARE(TraderKindOf(race), expected);
}

void TestTraders::travelSeconds_data()
{
    constexpr qint32 Max = std::numeric_limits<qint32>::max();
    constexpr qint32 Min = std::numeric_limits<qint32>::min();
    QTest::addColumn<TMapPoint>("from");
    QTest::addColumn<TMapPoint>("to");
    QTest::addColumn<qint32>("speed");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("the same place") << TMapPoint{5, 5} << TMapPoint{5, 5} << 16 << qint64(0);
    QTest::newRow("16 fields at 16 an hour") << TMapPoint{0, 0} << TMapPoint{0, -16} << 16 << qint64(3600);
    QTest::newRow("3|4 is 5 fields") << TMapPoint{1, 1} << TMapPoint{4, 5} << 24 << qint64(750);
    // √2 × 3600 / 12 = 424.26…
    QTest::newRow("a diagonal rounds up") << TMapPoint{0, 0} << TMapPoint{1, 1} << 12 << qint64(425);
    QTest::newRow("one field at a great speed: a second") << TMapPoint{0, 0} << TMapPoint{1, 0} << 100000 << qint64(1);
    QTest::newRow("no speed") << TMapPoint{0, 0} << TMapPoint{1, 0} << 0 << qint64(-1);
    // 2^32 − 1 fields each way at 2^31 − 1 an hour: 3600 × √2 × (2^32 − 1) / (2^31 − 1).
    QTest::newRow("the 32-bit corners") << TMapPoint{Min, Min} << TMapPoint{Max, Max} << Max << qint64(10183);
}

void TestTraders::travelSeconds()
{
    QFETCH(TMapPoint, from);
    QFETCH(TMapPoint, to);
    QFETCH(qint32, speed);
    QFETCH(qint64, expected);
    QCOMPARE(TravelSeconds(from, to, speed), expected);
    QCOMPARE(TravelSeconds(to, from, speed), expected);
}

void TestTraders::tradersNeeded_data()
{
    QTest::addColumn<qint64>("amount");
    QTest::addColumn<qint32>("load");
    QTest::addColumn<qint64>("expected");
    QTest::newRow("nothing") << qint64(0) << 500 << qint64(0);
    QTest::newRow("a full load") << qint64(1000) << 500 << qint64(2);
    QTest::newRow("one unit more") << qint64(1001) << 500 << qint64(3);
    QTest::newRow("no load") << qint64(5) << 0 << qint64(-1);
}

void TestTraders::tradersNeeded()
{
    QFETCH(qint64, amount);
    QFETCH(qint32, load);
    QFETCH(qint64, expected);
    QCOMPARE(TradersNeeded(amount, load), expected);
}

QTEST_GUILESS_MAIN(TestTraders)
#include "tst_traders.moc"
