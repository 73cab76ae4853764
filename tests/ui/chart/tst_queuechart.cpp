// The queue chart: the series it shows match the chart data of a projection
// (counts and positions of points, per resource), an update keeps the same
// series, the time axis runs from now to the end, and hovering a line or a
// marker shows the readout.

#include "ui/chart/QueueChart.h"

#include <QDateTimeAxis>
#include <QLineSeries>
#include <QScatterSeries>
#include <QTest>

#include <ctime>

namespace {

const std::array<QString, 4> Kinds{QStringLiteral("Wood"), QStringLiteral("Clay"), QStringLiteral("Iron"),
                                   QStringLiteral("Grain")};

// 2026-12-07 10:00:00 UTC.
const QDateTime Now = QDateTime::fromSecsSinceEpoch(1796637600, Qt::UTC);

// Two items starting at 0 and at 1200 seconds and a third that can never
// start, the lines stepping down at each start; capacities known.
TQueueProjection TwoStarts()
{
    TQueueProjection projection;
    projection.Capacities = {800, 800, 800, 1000};
    projection.Items.resize(3);
    projection.Items[0] = {3, TProjectedStatus::Scheduled, TNeverReason::None, 0, 0, 600, 600, {10, 20, 30, 40}};
    projection.Items[1] = {7, TProjectedStatus::Scheduled, TNeverReason::None, 1200, 600, 600, 1800, {5, 6, 7, 8}};
    projection.Items[2].Status = TProjectedStatus::Never;
    for (std::size_t kind = 0; kind < 4; ++kind) {
        const double high = 100.0 * double(kind + 1);
        projection.Timeline[kind] = {{0, high}, {0, projection.Items[0].StocksAfterStart[kind]},
                                     {1200, high + 50}, {1200, projection.Items[1].StocksAfterStart[kind]},
                                     {3600, 300}};
    }
    projection.QueueEnd = 1800;
    projection.TimelineEnd = 3600;
    return projection;
}

// Nothing queued, capacities unknown, flat lines over two hours.
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
    void showsSeries();
    void hover();
};

void TestQueueChart::initTestCase()
{
    qputenv("TZ", "UTC");
    tzset();
}

void TestQueueChart::showsSeries()
{
    TQueueChart chart;
    QCOMPARE(chart.objectName(), QStringLiteral("QueueChart"));
    const QList<QAbstractSeries *> seriesAtFirst = chart.chart()->series();
    // One chart updated in turn: it keeps its twelve series.
    for (const auto &[projection, markers, capacityPoints] :
         {std::tuple{TwoStarts(), 2, 2}, std::tuple{Flat(), 0, 0}, std::tuple{TwoStarts(), 2, 2}}) {
        const TProjectionSeries data = MakeProjectionSeries(projection, Now);
        chart.SetSeries(data);
        QCOMPARE(chart.chart()->series(), seriesAtFirst);
        QCOMPARE(seriesAtFirst.size(), 12);
        for (std::size_t kind = 0; kind < 4; ++kind) {
            const auto *stock = SeriesNamed<QLineSeries>(chart, QStringLiteral("Stock") + Kinds[kind]);
            const auto *starts = SeriesNamed<QScatterSeries>(chart, QStringLiteral("Starts") + Kinds[kind]);
            const auto *capacity = SeriesNamed<QLineSeries>(chart, QStringLiteral("Capacity") + Kinds[kind]);
            QVERIFY(stock && starts && capacity);
            QCOMPARE(stock->points(), data.Stocks[kind]);
            QCOMPARE(stock->count(), projection.Timeline[kind].size());
            QCOMPARE(starts->count(), markers);
            QCOMPARE(capacity->count(), capacityPoints);
            QCOMPARE(capacity->points(), data.Capacities[kind]);
            // Each marker sits at its item's start, on the stock after spending.
            for (int index = 0; index < markers; ++index)
                QCOMPARE(starts->at(index), QPointF(double(Now.addSecs(projection.Items[index].Start)
                                                               .toMSecsSinceEpoch()),
                                                    projection.Items[index].StocksAfterStart[kind]));
        }
        const auto *time = qobject_cast<QDateTimeAxis *>(chart.chart()->axes(Qt::Horizontal).value(0));
        QVERIFY(time);
        QCOMPARE(time->min(), Now);
        QCOMPARE(time->max(), Now.addSecs(projection.TimelineEnd));
    }
}

void TestQueueChart::hover()
{
    TQueueChart chart;
    chart.SetSeries(MakeProjectionSeries(TwoStarts(), Now),
                    {QStringLiteral("Ферма ( 5)"), QStringLiteral("Склад ( 3)")});
    auto *wood = SeriesNamed<QLineSeries>(chart, QStringLiteral("StockWood"));
    auto *clay = SeriesNamed<QScatterSeries>(chart, QStringLiteral("StartsClay"));
    QVERIFY(wood && clay && clay->count() == 2);
    // Halfway between the first start (10 after spending) and the second
    // (150 before it): 10:10:00 and 80 wood.
    emit wood->hovered(QPointF(double(Now.toMSecsSinceEpoch()) + 600 * 1000.0, 80), true);
    QCOMPARE(chart.HoverText().section(u'\n', 0, 1), QStringLiteral("10:10:00\nДерево: 80"));
    QCOMPARE(chart.HoverText().count(u'\n'), 4);
    emit wood->hovered(QPointF(), false);
    QCOMPARE(chart.HoverText(), QString());
    // A marker names its building.
    emit clay->hovered(clay->at(1), true);
    QCOMPARE(chart.HoverText().section(u'\n', 0, 2), QStringLiteral("10:20:00\nНачало: Склад ( 3)\nДерево: 5"));
    // The series renewed a second later under the resting pointer: the
    // readout stays on that marker, with the renewed figures.
    chart.SetSeries(MakeProjectionSeries(TwoStarts(), Now.addSecs(1)),
                    {QStringLiteral("Ферма ( 5)"), QStringLiteral("Склад ( 3)")});
    QCOMPARE(chart.HoverText().section(u'\n', 0, 1), QStringLiteral("10:20:01\nНачало: Склад ( 3)"));
}

QTEST_MAIN(TestQueueChart)
#include "tst_queuechart.moc"
