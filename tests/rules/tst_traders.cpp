// Traders between own villages: each race's load and speed, the travel time
// between two places on the map (rounded up to the second, exact at the
// 32-bit limits) and the traders a shipment needs.

#include "TestSupport.h"

#include "rules/Traders.h"

#include <QTest>

#include <limits>

Q_DECLARE_METATYPE(TVillageTraders)
Q_DECLARE_METATYPE(TTraderKind)

class TestTraders : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void traderKind_data();
    void traderKind();
    void travelSeconds_data();
    void travelSeconds();
    void tradersNeeded_data();
    void tradersNeeded();
    void parseMapPoint_data();
    void parseMapPoint();
    void villageTraders_data();
    void villageTraders();
    void catalogTraders_data();
    void catalogTraders();

private:
    TdmListObj m_Catalog;
};

void TestTraders::initTestCase()
{
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_SHIPPED_CATALOG)));
}

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

void TestTraders::parseMapPoint_data()
{
    QTest::addColumn<QString>("text");
    // "none" when the text gives no place.
    QTest::addColumn<QString>("expected");
    QTest::newRow("as the game writes it") << QStringLiteral("-12|34") << QStringLiteral("-12|34");
    QTest::newRow("in brackets, with blanks") << QStringLiteral(" ( 12 | -34 ) ") << QStringLiteral("12|-34");
    QTest::newRow("the game's minus and a plus") << QStringLiteral("\u221212|+7") << QStringLiteral("-12|7");
    QTest::newRow("six digits") << QStringLiteral("999999|-999999") << QStringLiteral("999999|-999999");
    QTest::newRow("seven digits") << QStringLiteral("1000000|0") << QStringLiteral("none");
    QTest::newRow("no bar") << QStringLiteral("12 34") << QStringLiteral("none");
    QTest::newRow("a part missing") << QStringLiteral("12|") << QStringLiteral("none");
    QTest::newRow("a sign alone") << QStringLiteral("-|5") << QStringLiteral("none");
    QTest::newRow("letters") << QStringLiteral("x|y") << QStringLiteral("none");
    QTest::newRow("two bars") << QStringLiteral("1|2|3") << QStringLiteral("none");
    QTest::newRow("empty") << QString() << QStringLiteral("none");
}

void TestTraders::parseMapPoint()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    const std::optional<TMapPoint> point = ParseMapPoint(text);
    QCOMPARE(point ? MapPointText(*point) : QStringLiteral("none"), expected);
}

void TestTraders::villageTraders_data()
{
    QTest::addColumn<QString>("built");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<TVillageTraders>("expected");
    QTest::newRow("no market, none typed") << QStringLiteral("Склад 3") << QString() << TVillageTraders{0, false};
    QTest::newRow("the market's level") << QStringLiteral("Склад 3; Рынок 3") << QString() << TVillageTraders{3, false};
    QTest::newRow("typed wins over the market") << QStringLiteral("Рынок 3") << QStringLiteral("12")
                                                << TVillageTraders{12, true};
    QTest::newRow("typed 0 is typed") << QStringLiteral("Рынок 3") << QStringLiteral("0") << TVillageTraders{0, true};
    QTest::newRow("typed text that is no number: the market's")
        << QStringLiteral("Рынок 2") << QStringLiteral("много") << TVillageTraders{2, false};
    QTest::newRow("typed above the most: the market's")
        << QStringLiteral("Рынок 2") << QStringLiteral("10000") << TVillageTraders{2, false};
    QTest::newRow("a market level the catalog lacks counts nothing")
        << QStringLiteral("Рынок 99") << QString() << TVillageTraders{0, false};
}

void TestTraders::villageTraders()
{
    QFETCH(QString, built);
    QFETCH(QString, typed);
    QFETCH(TVillageTraders, expected);
    TVillageData village;
    village.SetBuilt(BuiltList(m_Catalog, built));
    village.SetTraders(typed);
    QCOMPARE(VillageTraders(m_Catalog, village), expected);
}

void TestTraders::catalogTraders_data()
{
    QTest::addColumn<QByteArray>("element");
    QTest::addColumn<int>("race");
    QTest::addColumn<TTraderKind>("expected");
    const QByteArray gauls = "<Traders><Trader Race=\"Галлы\" LOAD=\"900\" SPEED=\"30\"/></Traders>";
    QTest::newRow("no element: the usual figures") << QByteArray() << 2 << TTraderKind{750, 24};
    QTest::newRow("the race the catalog names") << gauls << 2 << TTraderKind{900, 30};
    QTest::newRow("a race it does not name") << gauls << 3 << TTraderKind{1000, 12};
    QTest::newRow("no race") << gauls << 0 << TTraderKind{500, 16};
}

void TestTraders::catalogTraders()
{
    QFETCH(QByteArray, element);
    QFETCH(int, race);
    QFETCH(TTraderKind, expected);
    TTestCatalog catalog(CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\"/></Object>" + element));
    QVERIFY(catalog.Loaded);
    QCOMPARE(TraderKindOf(catalog.Catalog, race), expected);
    // The shipped catalog gives the usual figures.
    QCOMPARE(TraderKindOf(m_Catalog, race), TraderKindOf(race));
}

QTEST_GUILESS_MAIN(TestTraders)
#include "tst_traders.moc"
