// The projection of a build queue: waits, spending, capacities, the
// construction in progress, the main-building level changing the build times
// of later items, items that can never start and the ones behind them, long
// gaps, the stock timeline and the chart series made from it. Figures come
// from the shipped catalog.

#include "base/MessageSeam.h"
#include "catalog/dm_ListObjects.h"
#include "rules/ProjectionSeries.h"
#include "rules/QueueProjection.h"

#include <QTest>

#include <limits>

namespace {
constexpr qint32 Min32 = std::numeric_limits<qint32>::min();
constexpr qint32 Max32 = std::numeric_limits<qint32>::max();

// The scheduled part of an item: status, reason and the four times.
TProjectedItem Item(qint64 start, qint64 wait, qint64 build, qint64 end)
{
    TProjectedItem item;
    item.Start = start;
    item.Wait = wait;
    item.Build = build;
    item.End = end;
    return item;
}

TProjectedItem Unscheduled(TProjectedStatus status, TNeverReason never = TNeverReason::None)
{
    TProjectedItem item;
    item.Status = status;
    item.Never = never;
    return item;
}

using TPoints = QList<TStockPoint>;
using TTimeline = std::array<TPoints, 4>;
} // namespace

class TestQueueProjection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void projectItems_data();
    void projectItems();
    void firstItemWaitsAsLongAsItsCostsTake();
    void timeline_data();
    void timeline();
    void stocksAfterStart();
    void seriesInSeconds();
    void seriesInMsecsSinceEpoch();

private:
    qint32 Index(const QString &text) const;

    TdmListObj m_Catalog;
    // Лесопильный завод ( 1): 40/100/50/60, 00:04:20.
    qint32 m_Saw1 = -1;
    // Лесопильный завод ( 2): 65/165/85/100, 00:10:20.
    qint32 m_Saw2 = -1;
    // Главное здание ( 2): 90/50/75/25, 00:43:40; its percentage is 96.
    qint32 m_Main2 = -1;
};

qint32 TestQueueProjection::Index(const QString &text) const
{
    return m_Catalog.FindByDisplayText(text);
}

void TestQueueProjection::initTestCase()
{
    SetMessageHandler([](TMessageKind, const QString &text) { qWarning() << text; });
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_SHIPPED_CATALOG)));
    m_Saw1 = Index(QStringLiteral("Лесопильный завод ( 1)"));
    m_Saw2 = Index(QStringLiteral("Лесопильный завод ( 2)"));
    m_Main2 = Index(QStringLiteral("Главное здание ( 2)"));
    QVERIFY(m_Saw1 >= 0 && m_Saw2 >= 0 && m_Main2 >= 0);
    QCOMPARE(m_Catalog.Object(m_Saw1).Time, 260);
    QCOMPARE(m_Catalog.Object(m_Main2).Time, 2620);
    QCOMPARE(m_Catalog.MainBuildingPercent(2), 96);
}

void TestQueueProjection::projectItems_data()
{
    QTest::addColumn<TQueueProjectionInput>("input");
    QTest::addColumn<QList<TProjectedItem>>("expected");

    const TResourceAmounts plenty{1000, 1000, 1000, 1000};
    const TResourceAmounts nothing{0, 0, 0, 0};
    const TResourceAmounts perSecond{3600, 3600, 3600, 3600};

    TQueueProjectionInput input;
    input.Stocks = plenty;
    input.Queue = {m_Saw1, m_Saw2};
    QTest::newRow("covered, one after the other") << input << QList{Item(0, 0, 260, 260), Item(260, 0, 620, 880)};

    input = {};
    input.Incomes = perSecond;
    input.Queue = {m_Saw1};
    QTest::newRow("waits for the slowest kind") << input << QList{Item(100, 100, 260, 360)};

    // After the first: 60/0/50/40; at 260 s, a tenth of a unit a second
    // later: 86/26/76/66; clay needs 139 more for the second.
    input = {};
    input.Stocks = {100, 100, 100, 100};
    input.Incomes = {360, 360, 360, 360};
    input.Queue = {m_Saw1, m_Saw2};
    QTest::newRow("spending makes the next one wait") << input
                                                      << QList{Item(0, 0, 260, 260), Item(1650, 1390, 620, 2270)};

    input = {};
    input.Stocks = plenty;
    input.RunningRemaining = 500;
    input.Queue = {m_Saw1};
    QTest::newRow("after the construction in progress") << input << QList{Item(500, 0, 260, 760)};

    input = {};
    input.Incomes = perSecond;
    input.RunningRemaining = 50;
    input.Queue = {m_Saw1};
    QTest::newRow("stocks grow while the construction runs") << input << QList{Item(100, 50, 260, 360)};

    input = {};
    input.Stocks = plenty;
    input.Queue = {m_Main2, m_Saw1};
    QTest::newRow("main building speeds up what follows") << input
                                                          << QList{Item(0, 0, 2620, 2620), Item(2620, 0, 249, 2869)};

    input.Queue = {m_Saw1, m_Main2};
    QTest::newRow("main building last changes nothing before") << input
                                                               << QList{Item(0, 0, 260, 260), Item(260, 0, 2620, 2880)};

    input.Queue = {m_Saw1};
    input.MainLevel = 99;
    QTest::newRow("level 99 counts as 20") << input << QList{Item(0, 0, 130, 130)};
    input.MainLevel = 20;
    input.Queue = {m_Main2, m_Saw1};
    QTest::newRow("a lower queued level slows down") << input
                                                     << QList{Item(0, 0, 1310, 1310), Item(1310, 0, 249, 1559)};

    input = {};
    input.Queue = {m_Saw1, m_Saw2};
    QTest::newRow("no income: never, the next blocked")
        << input
        << QList{Unscheduled(TProjectedStatus::Never, TNeverReason::NoIncome), Unscheduled(TProjectedStatus::Blocked)};

    input.Incomes = perSecond;
    input.Capacities = {1000, 50, 1000, 1000};
    QTest::newRow("cost above capacity: never, the next blocked")
        << input
        << QList{Unscheduled(TProjectedStatus::Never, TNeverReason::Capacity), Unscheduled(TProjectedStatus::Blocked)};

    input = {};
    input.Stocks = {40, 100, 50, 60};
    input.Queue = {m_Saw1, m_Saw2, m_Saw1};
    QTest::newRow("the second never, the third blocked")
        << input
        << QList{Item(0, 0, 260, 260), Unscheduled(TProjectedStatus::Never, TNeverReason::NoIncome),
                 Unscheduled(TProjectedStatus::Blocked)};

    input = {};
    input.Stocks = plenty;
    input.Queue = {-1, m_Saw1, 1000000};
    QTest::newRow("indices outside the catalog passed over")
        << input
        << QList{Unscheduled(TProjectedStatus::NotInCatalog), Item(0, 0, 260, 260),
                 Unscheduled(TProjectedStatus::NotInCatalog)};

    // Grain covers its 60 now but shrinks to 0 in the 100 s clay takes.
    input = {};
    input.Stocks = {40, 0, 50, 60};
    input.Incomes = {0, 3600, 0, -3600};
    input.Queue = {m_Saw1};
    QTest::newRow("a shrinking stock falls short meanwhile")
        << input << QList{Unscheduled(TProjectedStatus::Never, TNeverReason::NoIncome)};
    input.Stocks = {40, 0, 50, 160};
    QTest::newRow("a shrinking stock still covers") << input << QList{Item(100, 100, 260, 360)};

    input = {};
    input.Stocks = nothing;
    input.Incomes = {1, 1, 1, 1};
    input.Queue = {m_Saw1};
    QTest::newRow("one unit an hour: 100 hours") << input << QList{Item(360000, 360000, 260, 360260)};

    input.Stocks = {Min32, Min32, Min32, Min32};
    QTest::newRow("lowest stocks, slowest income")
        << input << QList{Item(7730941492800, 7730941492800, 260, 7730941493060)};

    input.Stocks = nothing;
    input.Incomes = {Max32, Max32, Max32, Max32};
    input.Capacities = {Max32, Max32, Max32, Max32};
    QTest::newRow("largest income") << input << QList{Item(1, 1, 260, 261)};

    input = {};
    input.Stocks = plenty;
    input.RunningRemaining = -5;
    input.Queue = {m_Saw1};
    QTest::newRow("negative remaining time: nothing runs") << input << QList{Item(0, 0, 260, 260)};
}

void TestQueueProjection::projectItems()
{
    QFETCH(TQueueProjectionInput, input);
    QFETCH(QList<TProjectedItem>, expected);

    const TQueueProjection projection = ProjectQueue(m_Catalog, input);
    QList<TProjectedItem> items = projection.Items;
    QCOMPARE(items.size(), expected.size());
    for (qsizetype i = 0; i < items.size(); ++i) {
        items[i].StocksAfterStart = {};
        expected[i].CatalogIndex = input.Queue.at(i);
    }
    QCOMPARE(items, expected);

    qint64 queueEnd = qMax<qint64>(input.RunningRemaining, 0);
    for (const TProjectedItem &item : projection.Items)
        if (item.IsScheduled())
            queueEnd = item.End;
    QCOMPARE(projection.QueueEnd, queueEnd);
    QCOMPARE(projection.TimelineEnd, qMax(queueEnd, input.Horizon));
}

void TestQueueProjection::firstItemWaitsAsLongAsItsCostsTake()
{
    // With nothing running, the first item of any entry waits exactly as long
    // as its costs take, or can never start for the same reason.
    TQueueProjectionInput input;
    input.Stocks = {100, 200, 300, 400};
    input.Incomes = {1000, 2000, 1500, -500};
    input.Capacities = {5000, 4000, UnknownCapacity, 3000};
    for (qint32 index = 0; index < m_Catalog.Count(); ++index) {
        input.Queue = {index};
        const TProjectedItem item = ProjectQueue(m_Catalog, input).Items.constFirst();
        const TAffordTime time =
            TimeToAffordCosts(input.Stocks, input.Incomes, input.Capacities, CostsOf(m_Catalog.Object(index)));
        QCOMPARE(item.Never, time.Never);
        if (!time.IsNever())
            QCOMPARE(item.Start, time.Seconds);
    }
}

void TestQueueProjection::timeline_data()
{
    QTest::addColumn<TQueueProjectionInput>("input");
    QTest::addColumn<TTimeline>("expected");

    TQueueProjectionInput input;
    input.Stocks = {40, 0, 50, 60};
    input.Incomes = {0, 3600, 0, 0};
    input.Queue = {m_Saw1};
    input.Horizon = 600;
    // The sawmill ends at 360 s and adds 5 wood an hour from then on.
    QTest::newRow("one start, then up to the horizon")
        << input
        << TTimeline{TPoints{{0, 40}, {100, 40}, {100, 0}, {360, 0}, {600, 240 * 5 / 3600.0}},
                                  TPoints{{0, 0}, {100, 100}, {100, 0}, {600, 500}},
                                  TPoints{{0, 50}, {100, 50}, {100, 0}, {600, 0}},
                                  TPoints{{0, 60}, {100, 60}, {100, 0}, {600, 0}}};

    // Wood comes at 10 a second into a storage of 100: full at 10 s, full
    // again 4 s after the 40 are spent; the queue's end closes the timeline.
    input = {};
    input.Stocks = {0, 0, 0, 0};
    input.Incomes = {36000, 3600, 3600, 3600};
    input.Capacities = {100, UnknownCapacity, UnknownCapacity, UnknownCapacity};
    input.Queue = {m_Saw1};
    input.Horizon = 0;
    QTest::newRow("capacity bends the line")
        << input
        << TTimeline{TPoints{{0, 0}, {10, 100}, {100, 100}, {100, 60}, {104, 100}, {360, 100}},
                                  TPoints{{0, 0}, {100, 100}, {100, 0}, {360, 260}},
                                  TPoints{{0, 0}, {100, 100}, {100, 50}, {360, 310}},
                                  TPoints{{0, 0}, {100, 100}, {100, 40}, {360, 300}}};

    // A fractional moment: 7 an hour fill the last unit in 3600 / 7 s.
    input = {};
    input.Stocks = {799, 0, 100, 0};
    input.Incomes = {7, 0, -50, 0};
    input.Capacities = {800, UnknownCapacity, UnknownCapacity, UnknownCapacity};
    input.Horizon = 3600;
    QTest::newRow("no queue: the capacity reached at a fraction")
        << input
        << TTimeline{TPoints{{0, 799}, {3600.0 / 7, 800}, {3600, 800}}, TPoints{{0, 0}, {3600, 0}},
                                  TPoints{{0, 100}, {3600, 50}}, TPoints{{0, 0}, {3600, 0}}};
    input.Incomes = {7, 0, -360, 0};
    QTest::newRow("no queue: a falling stock stops at 0")
        << input
        << TTimeline{TPoints{{0, 799}, {3600.0 / 7, 800}, {3600, 800}}, TPoints{{0, 0}, {3600, 0}},
                                  TPoints{{0, 100}, {1000, 0}, {3600, 0}}, TPoints{{0, 0}, {3600, 0}}};
    input.Horizon = 1000;
    QTest::newRow("no queue: 0 reached at the end, one point")
        << input
        << TTimeline{TPoints{{0, 799}, {3600.0 / 7, 800}, {1000, 800}}, TPoints{{0, 0}, {1000, 0}},
                                  TPoints{{0, 100}, {1000, 0}}, TPoints{{0, 0}, {1000, 0}}};
}

void TestQueueProjection::timeline()
{
    QFETCH(TQueueProjectionInput, input);
    QFETCH(TTimeline, expected);
    const TQueueProjection projection = ProjectQueue(m_Catalog, input);
    for (TResourceKind kind : AllResourceKinds)
        QCOMPARE(projection.Timeline[KindIndex(kind)], expected[KindIndex(kind)]);
}

void TestQueueProjection::stocksAfterStart()
{
    // A tenth of a unit a second: at 1650 s clay has 165.0 and iron 76 + 139
    // = 215.0; the fractions of the other kinds are kept.
    TQueueProjectionInput input;
    input.Stocks = {100, 100, 100, 100};
    input.Incomes = {360, 360, 360, 360};
    input.Queue = {m_Saw1, m_Saw2};
    const TQueueProjection projection = ProjectQueue(m_Catalog, input);
    QCOMPARE(projection.Items.at(0).StocksAfterStart, (std::array<double, 4>{60, 0, 50, 40}));
    // The first sawmill adds 5 wood an hour from its end at 260 s on.
    QCOMPARE(projection.Items.at(1).StocksAfterStart,
             (std::array<double, 4>{60 + 26 + 1390 * 365 / 3600.0 - 65, 0, 215 - 85, 205 - 100}));
}

void TestQueueProjection::seriesInSeconds()
{
    TQueueProjectionInput input;
    input.Stocks = {40, 0, 50, 60};
    input.Incomes = {0, 3600, 0, 0};
    input.Capacities = {UnknownCapacity, 700, UnknownCapacity, UnknownCapacity};
    input.Queue = {m_Saw1, m_Saw1, -1};
    input.Horizon = 600;
    const TQueueProjection projection = ProjectQueue(m_Catalog, input);
    const TProjectionSeries series = MakeProjectionSeries(projection);

    QCOMPARE(series.Left, 0.0);
    QCOMPARE(series.Right, 600.0);
    QCOMPARE(series.Stocks[1], (QList<QPointF>{{0, 0}, {100, 100}, {100, 0}, {600, 500}}));
    // Only the first start is scheduled: the second never comes for want of
    // iron (the first sawmill's wood comes, its iron does not), and the
    // third is no catalog entry.
    QCOMPARE(series.MarkerItems, QList<qint32>{m_Saw1});
    QCOMPARE(series.StartMarkers[0], QList<QPointF>{QPointF(100, 0)});
    QCOMPARE(series.StartMarkers[1], QList<QPointF>{QPointF(100, 0)});
    QVERIFY(series.Capacities[0].isEmpty());
    QCOMPARE(series.Capacities[1], (QList<QPointF>{{0, 700}, {600, 700}}));
}

void TestQueueProjection::seriesInMsecsSinceEpoch()
{
    TQueueProjectionInput input;
    input.Stocks = {1000, 1000, 1000, 1000};
    input.Capacities = {2000, 2000, 2000, 2000};
    input.Queue = {m_Saw1, m_Saw2};
    input.Horizon = 60;
    const QDateTime start(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC);
    const double origin = double(start.toMSecsSinceEpoch());
    const TProjectionSeries series = MakeProjectionSeries(ProjectQueue(m_Catalog, input), start);

    QCOMPARE(series.Left, origin);
    QCOMPARE(series.Right, origin + 880 * 1000.0);
    QCOMPARE(series.MarkerItems, (QList<qint32>{m_Saw1, m_Saw2}));
    QCOMPARE(series.StartMarkers[0], (QList<QPointF>{{origin, 960}, {origin + 260000, 895}}));
    // Wood grows at 5 an hour from the first sawmill's end on.
    QCOMPARE(series.Stocks[0], (QList<QPointF>{{origin, 1000}, {origin, 960}, {origin + 260000, 960},
                                               {origin + 260000, 895}, {origin + 880000, 895 + 620 * 5 / 3600.0}}));
    QCOMPARE(series.Capacities[3], (QList<QPointF>{{origin, 2000}, {origin + 880000, 2000}}));
}

QTEST_GUILESS_MAIN(TestQueueProjection)
#include "tst_queueprojection.moc"
