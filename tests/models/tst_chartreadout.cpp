// The queue chart's readout: a line's value between, at and around its
// points and at a spending step, and the tooltip text with the clock time,
// the date across midnight, a marker's building and stocks rounded down.

#include "models/ChartReadout.h"

#include <QTest>

#include <cmath>
#include <ctime>
#include <limits>

namespace {

using TLine = QList<QPointF>;

// A line that grows, drops at a start (two points at x = 20) and grows on.
const TLine Stepped{{0, 100}, {20, 300}, {20, 50}, {40, 150}};

// 2026-12-07 23:50:00 UTC in milliseconds.
constexpr double Evening = 1796687400000.0;
constexpr double Minute = 60000.0;

TProjectionSeries EveningSeries()
{
    TProjectionSeries series;
    series.Left = Evening;
    series.Right = Evening + 20 * Minute;
    series.Stocks[0] = {{Evening, 100}, {Evening + 20 * Minute, 300}};
    series.Stocks[1] = {{Evening, 50.75}, {Evening + 10 * Minute, 80.2}, {Evening + 10 * Minute, 0.5},
                        {Evening + 20 * Minute, 10.5}};
    series.Stocks[2] = {{Evening, -0.5}};
    return series; // no grain line
}

} // namespace

class TestChartReadout : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lineValueAt_data();
    void lineValueAt();
    void readoutText_data();
    void readoutText();
};

void TestChartReadout::initTestCase()
{
    // The clock times are local: pin the zone.
    qputenv("TZ", "UTC");
    tzset();
}

void TestChartReadout::lineValueAt_data()
{
    QTest::addColumn<TLine>("line");
    QTest::addColumn<double>("x");
    QTest::addColumn<double>("value");
    QTest::newRow("empty line") << TLine() << 5.0 << 0.0;
    QTest::newRow("one point, before") << TLine{{10, 7}} << 0.0 << 7.0;
    QTest::newRow("one point, after") << TLine{{10, 7}} << 99.0 << 7.0;
    QTest::newRow("before the line") << Stepped << -5.0 << 100.0;
    QTest::newRow("at the first point") << Stepped << 0.0 << 100.0;
    QTest::newRow("between, a quarter") << Stepped << 5.0 << 150.0;
    QTest::newRow("just before the step") << Stepped << 19.0 << 290.0;
    QTest::newRow("at the step: after the spending") << Stepped << 20.0 << 50.0;
    QTest::newRow("after the step, halfway") << Stepped << 30.0 << 100.0;
    QTest::newRow("at the last point") << Stepped << 40.0 << 150.0;
    QTest::newRow("after the line") << Stepped << 1e300 << 150.0;
    QTest::newRow("not a number") << Stepped << std::nan("") << 150.0;
    QTest::newRow("minus infinity") << Stepped << -std::numeric_limits<double>::infinity() << 100.0;
}

void TestChartReadout::lineValueAt()
{
    QFETCH(TLine, line);
    QFETCH(double, x);
    QFETCH(double, value);
    QCOMPARE(LineValueAt(line, x), value);
}

void TestChartReadout::readoutText_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("building");
    QTest::addColumn<QString>("text");
    QTest::newRow("at the left edge")
        << Evening << QString()
        << QStringLiteral("23:50:00\nДерево: 100\nГлина: 50\nЖелезо: -1\nЗерно: 0");
    QTest::newRow("rounded down before the step")
        << Evening + 5 * Minute << QString()
        << QStringLiteral("23:55:00\nДерево: 150\nГлина: 65\nЖелезо: -1\nЗерно: 0");
    QTest::newRow("after midnight with the date")
        << Evening + 15 * Minute << QString()
        << QStringLiteral("08.12 00:05:00\nДерево: 250\nГлина: 5\nЖелезо: -1\nЗерно: 0");
    QTest::newRow("a marker names its building")
        << Evening + 10 * Minute << QStringLiteral("Ферма ( 5)")
        << QStringLiteral("08.12 00:00:00\nНачало: Ферма ( 5)\nДерево: 200\nГлина: 0\nЖелезо: -1\nЗерно: 0");
    QTest::newRow("far outside the dates QDateTime holds")
        << 1e300 << QString()
        << QStringLiteral("%1\nДерево: 300\nГлина: 10\nЖелезо: -1\nЗерно: 0")
               .arg(QDateTime::fromMSecsSinceEpoch(qint64(3.0e15)).toString(QStringLiteral("dd.MM HH:mm:ss")));
}

void TestChartReadout::readoutText()
{
    QFETCH(double, x);
    QFETCH(QString, building);
    QFETCH(QString, text);
    QCOMPARE(ChartReadoutText(EveningSeries(), x, building), text);
}

QTEST_GUILESS_MAIN(TestChartReadout)
#include "tst_chartreadout.moc"
