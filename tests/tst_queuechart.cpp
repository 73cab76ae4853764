// The queue chart: the series it shows match the chart data of a projection
// (counts and positions of points, per resource), an update keeps the same
// chart and series, the axes span the time from now to the end and the
// highest value, the legend names the four stocks only, and hovering a line
// or a marker shows the readout.

#include "ui/QueueChart.h"

#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTest>
#include <QValueAxis>

#include <ctime>

namespace {

const std::array<QString, 4> Kinds{QStringLiteral("Wood"), QStringLiteral("Clay"), QStringLiteral("Iron"),
                                   QStringLiteral("Grain")};

// 2026-12-07 10:00:00 UTC.
const QDateTime Now = QDateTime::fromSecsSinceEpoch(1796637600, Qt::UTC);

TProjectedItem Item(qint32 index, TProjectedStatus status, qint64 start, std::array<double, 4> after)
{
    TProjectedItem item;
    item.CatalogIndex = index;
    item.Status = status;
    item.Start = start;
    item.End = start + 600;
    item.StocksAfterStart = after;
    return item;
}

// A queue of two items starting at 0 and at 1200 seconds (a third that can
// never start), with the lines stepping down at each start.
TQueueProjection TwoStarts()
{
    TQueueProjection projection;
    projection.Capacities = {800, 800, 800, 1000};
    projection.Items = {Item(3, TProjectedStatus::Scheduled, 0, {10, 20, 30, 40}),
                        Item(7, TProjectedStatus::Scheduled, 1200, {5, 6, 7, 8}),
                        Item(9, TProjectedStatus::Never, 0, {})};
    for (std::size_t kind = 0; kind < 4; ++kind) {
        const double drop = 100.0 * double(kind + 1);
        projection.Timeline[kind] = {{0, drop}, {0, projection.Items[0].StocksAfterStart[kind]},
                                     {1200, drop + 50}, {1200, projection.Items[1].StocksAfterStart[kind]},
                                     {3600, 300}};
    }
    projection.QueueEnd = 1800;
    projection.TimelineEnd = 3600;
    return projection;
}

// Nothing queued, capacities unknown, one flat line per kind over two hours.
TQueueProjection Flat()
{
    TQueueProjection projection;
    for (std::size_t kind = 0; kind < 4; ++kind)
        projection.Timeline[kind] = {{0, 1500}, {7200, 1500}};
    projection.TimelineEnd = 7200;
    return projection;
}

template <typename T>
T *SeriesNamed(const TQueueChart &chart, const QString &name)
{
    for (QAbstractSeries *series : chart.chart()->series())
        if (series->objectName() == name)
            return qobject_cast<T *>(series);
    return nullptr;
}

} // namespace

class TestQueueChart : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void showsSeries_data();
    void showsSeries();
    void updateKeepsSeries();
    void axes();
    void legendNamesStocksOnly();
    void hoverLine();
    void hoverMarker();
};

void TestQueueChart::initTestCase()
{
    qputenv("TZ", "UTC");
    tzset();
}

void TestQueueChart::showsSeries_data()
{
    QTest::addColumn<TQueueProjection>("projection");
    QTest::addColumn<int>("stockPoints");
    QTest::addColumn<int>("markers");
    QTest::addColumn<int>("capacityPoints");
    QTest::newRow("two starts, capacities known") << TwoStarts() << 5 << 2 << 2;
    QTest::newRow("nothing queued, capacities unknown") << Flat() << 2 << 0 << 0;
}

void TestQueueChart::showsSeries()
{
    QFETCH(TQueueProjection, projection);
    QFETCH(int, stockPoints);
    QFETCH(int, markers);
    QFETCH(int, capacityPoints);
    const TProjectionSeries data = MakeProjectionSeries(projection, Now);
    TQueueChart chart;
    QCOMPARE(chart.objectName(), QStringLiteral("QueueChart"));
    chart.SetSeries(data);
    const double now = double(Now.toMSecsSinceEpoch());
    for (std::size_t kind = 0; kind < 4; ++kind) {
        const auto *stock = SeriesNamed<QLineSeries>(chart, QStringLiteral("Stock") + Kinds[kind]);
        const auto *starts = SeriesNamed<QScatterSeries>(chart, QStringLiteral("Starts") + Kinds[kind]);
        const auto *capacity = SeriesNamed<QLineSeries>(chart, QStringLiteral("Capacity") + Kinds[kind]);
        QVERIFY(stock && starts && capacity);
        QCOMPARE(stock->count(), stockPoints);
        QCOMPARE(starts->count(), markers);
        QCOMPARE(capacity->count(), capacityPoints);
        QCOMPARE(stock->points(), data.Stocks[kind]);
        QCOMPARE(starts->points(), data.StartMarkers[kind]);
        QCOMPARE(capacity->points(), data.Capacities[kind]);
        // The line begins now, with the projection's first value.
        QCOMPARE(stock->at(0), QPointF(now, projection.Timeline[kind].constFirst().Value));
        // Each marker sits at its item's start, on the stock after spending.
        for (int index = 0; index < markers; ++index)
            QCOMPARE(starts->at(index), QPointF(now + 1000.0 * double(projection.Items[index].Start),
                                                projection.Items[index].StocksAfterStart[kind]));
        if (capacityPoints > 0) {
            QCOMPARE(capacity->at(0), QPointF(now, projection.Capacities[kind]));
            QCOMPARE(capacity->at(1).x(), now + 1000.0 * double(projection.TimelineEnd));
        }
    }
}

void TestQueueChart::updateKeepsSeries()
{
    TQueueChart chart;
    chart.SetSeries(MakeProjectionSeries(TwoStarts(), Now));
    QChart *before = chart.chart();
    const QList<QAbstractSeries *> seriesBefore = before->series();
    QCOMPARE(seriesBefore.size(), 12);

    const TProjectionSeries flat = MakeProjectionSeries(Flat(), Now.addSecs(1));
    chart.SetSeries(flat);
    QCOMPARE(chart.chart(), before);
    QCOMPARE(chart.chart()->series(), seriesBefore);
    const auto *wood = SeriesNamed<QLineSeries>(chart, QStringLiteral("StockWood"));
    QVERIFY(wood);
    QCOMPARE(wood->points(), flat.Stocks[0]);
    QCOMPARE(SeriesNamed<QScatterSeries>(chart, QStringLiteral("StartsWood"))->count(), 0);
    QCOMPARE(SeriesNamed<QLineSeries>(chart, QStringLiteral("CapacityGrain"))->count(), 0);
}

void TestQueueChart::axes()
{
    TQueueChart chart;
    chart.SetSeries(MakeProjectionSeries(TwoStarts(), Now));
    const auto *time = qobject_cast<QDateTimeAxis *>(chart.chart()->axes(Qt::Horizontal).value(0));
    const auto *stock = qobject_cast<QValueAxis *>(chart.chart()->axes(Qt::Vertical).value(0));
    QVERIFY(time && stock);
    QCOMPARE(time->min(), Now);
    QCOMPARE(time->max(), Now.addSecs(3600));
    QCOMPARE(stock->min(), 0.0);
    // The grain capacity of 1000 is the highest value and stays inside.
    QVERIFY2(stock->max() > 1000 && stock->max() <= 1500, qPrintable(QString::number(stock->max())));

    // Data without a span still gets a time axis of a minute.
    TProjectionSeries empty;
    empty.Left = empty.Right = double(Now.toMSecsSinceEpoch());
    chart.SetSeries(empty);
    QCOMPARE(time->min(), Now);
    QCOMPARE(time->max(), Now.addSecs(60));
    QVERIFY(stock->max() >= 100);
}

void TestQueueChart::legendNamesStocksOnly()
{
    TQueueChart chart;
    chart.SetSeries(MakeProjectionSeries(TwoStarts(), Now));
    QStringList labels;
    for (const QLegendMarker *marker : chart.chart()->legend()->markers())
        if (marker->isVisible())
            labels.append(marker->label());
    QCOMPARE(labels, QStringList({QStringLiteral("Дерево"), QStringLiteral("Глина"), QStringLiteral("Железо"),
                                  QStringLiteral("Зерно")}));
}

void TestQueueChart::hoverLine()
{
    TQueueChart chart;
    chart.SetSeries(MakeProjectionSeries(TwoStarts(), Now));
    auto *wood = SeriesNamed<QLineSeries>(chart, QStringLiteral("StockWood"));
    QVERIFY(wood);
    // Halfway between the first start (10 after spending) and the second
    // (150 before it): 10:10:00 and 80 wood.
    const double x = double(Now.toMSecsSinceEpoch()) + 600 * 1000.0;
    emit wood->hovered(QPointF(x, 80), true);
    QCOMPARE(chart.HoverText().section(u'\n', 0, 1), QStringLiteral("10:10:00\nДерево: 80"));
    QCOMPARE(chart.HoverText().count(u'\n'), 4);
    emit wood->hovered(QPointF(x, 80), false);
    QCOMPARE(chart.HoverText(), QString());
}

void TestQueueChart::hoverMarker()
{
    TQueueChart chart;
    chart.SetSeries(MakeProjectionSeries(TwoStarts(), Now),
                    {QStringLiteral("Ферма ( 5)"), QStringLiteral("Склад ( 3)")});
    auto *clay = SeriesNamed<QScatterSeries>(chart, QStringLiteral("StartsClay"));
    QVERIFY(clay && clay->count() == 2);
    emit clay->hovered(clay->at(1), true);
    QCOMPARE(chart.HoverText().section(u'\n', 0, 2),
             QStringLiteral("10:20:00\nНачало: Склад ( 3)\nДерево: 5"));
    emit clay->hovered(clay->at(1), false);
    QCOMPARE(chart.HoverText(), QString());
}

QTEST_MAIN(TestQueueChart)
#include "tst_queuechart.moc"
