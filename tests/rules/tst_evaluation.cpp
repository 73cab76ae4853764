// The one evaluation of a village: the affordability rule with shrinking
// stocks, as the evaluation gives it and as every view shows it (the table
// of available buildings, the queue, the snapshot the notifications and the
// summary read), and one evaluation per change however many fields change.
#include "TestSupport.h"

#include "base/Clock.h"
#include "base/TimeText.h"
#include "models/AvailableModel.h"
#include "models/QueueModel.h"
#include "record/VillageData.h"
#include "rules/Planner.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QString Sklad = QStringLiteral("Склад ( 1)");
const QDateTime Now(QDate(2026, 12, 7), QTime(10, 0));
const TAffordTime NoIncome = TAffordTime::NeverFor(TNeverReason::NoIncome);
const TAffordTime BeyondCapacity = TAffordTime::NeverFor(TNeverReason::Capacity);

// Per kind: the stock relative to the building's cost, the hourly income,
// the capacity relative to the cost (none: unknown).
struct TKindSetup
{
    TKindSetup(qint32 stockOverCost = 0, qint32 income = 0, std::optional<qint32> capacityOverCost = {})
        : StockOverCost(stockOverCost), Income(income), CapacityOverCost(capacityOverCost)
    {
    }
    qint32 StockOverCost;
    qint32 Income;
    std::optional<qint32> CapacityOverCost;
};
using TKinds = std::array<TKindSetup, 4>;

} // namespace

Q_DECLARE_METATYPE(TKinds)

class TestEvaluation : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shrinkingStocks_data();
    void shrinkingStocks();
    void oneEvaluationPerChange();

private:
    TdmListObj m_Catalog;
    std::unique_ptr<TPinnedClock> m_Clock;
};

void TestEvaluation::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    m_Clock = std::make_unique<TPinnedClock>(Now);
    QVERIFY(LoadShippedCatalog(m_Catalog).Ok);
    QVERIFY(m_Catalog.FindByDisplayText(Sklad) >= 0);
}

void TestEvaluation::shrinkingStocks_data()
{
    QTest::addColumn<TKinds>("kinds");
    QTest::addColumn<TAffordTime>("expected");

    // Wood falls at 3600 an hour (one unit a second) while clay grows as fast.
    QTest::newRow("the falling stock runs short before the other comes")
        << TKinds{{{50, -3600}, {-100, 3600}, {}, {}}} << NoIncome;
    QTest::newRow("the other comes at the last covered second")
        << TKinds{{{100, -3600}, {-100, 3600}, {}, {}}} << TAffordTime(100);
    QTest::newRow("one second later: never")
        << TKinds{{{100, -3600}, {-101, 3600}, {}, {}}} << NoIncome;
    QTest::newRow("several falling kinds: the shortest window decides")
        << TKinds{{{200, -3600}, {-150, 3600}, {100, -3600}, {}}} << NoIncome;
    QTest::newRow("several falling kinds, all long enough")
        << TKinds{{{200, -3600}, {-100, 3600}, {100, -3600}, {}}} << TAffordTime(100);
    QTest::newRow("no short kind: affordable now while falling")
        << TKinds{{{10, -3600}, {}, {0, -7200}, {}}} << TAffordTime(0);
    QTest::newRow("capacity named first, before the falling stock")
        << TKinds{{{50, -3600}, {-100, 3600, -1}, {}, {}}} << BeyondCapacity;
    QTest::newRow("growth that stops at a capacity in reach")
        << TKinds{{{100, -3600}, {-100, 3600, 0}, {}, {}}} << TAffordTime(100);
}

void TestEvaluation::shrinkingStocks()
{
    QFETCH(TKinds, kinds);
    QFETCH(TAffordTime, expected);

    const qint32 index = m_Catalog.FindByDisplayText(Sklad);
    const TResourceAmounts costs = CostsOf(m_Catalog.Object(index));
    TVillageData village;
    TPlanner planner(village, m_Catalog);
    TAvailableModel table(planner, m_Catalog);
    TQueueModel queue(planner);
    TResourceAmounts stocks{};
    TResourceAmounts incomes{};
    TResourceAmounts capacities = UnknownCapacities;
    for (TResourceKind kind : AllResourceKinds) {
        const std::size_t i = KindIndex(kind);
        stocks[i] = costs[i] + kinds[i].StockOverCost;
        incomes[i] = kinds[i].Income;
        village.SetResourceCollect(kind, QString::number(stocks[i]));
        village.SetResourceAdd(kind, QString::number(incomes[i]));
        if (kinds[i].CapacityOverCost) {
            capacities[i] = costs[i] + *kinds[i].CapacityOverCost;
            village.SetCapacity(kind, QString::number(capacities[i]));
        }
    }
    village.ReplaceAvBuildings({{Sklad, index}});
    village.SetQueue({{Sklad, index}});
    planner.RecalculateAvailable();

    // The rule itself, and the evaluation.
    QCOMPARE(TimeToAffordCosts(stocks, incomes, capacities, costs), expected);
    const TVillageEvaluation &evaluation = planner.Evaluation();
    QCOMPARE(evaluation.Available.size(), 1);
    QCOMPARE(evaluation.Available.first().Afford, expected);
    // The snapshot: once as considered, once as queued.
    QCOMPARE(evaluation.Snapshot.Buildings, (QList<TBuildingSnapshot>{{Sklad, expected}, {Sklad, expected}}));
    // The table's "Время".
    const QString time = table.index(0, 5).data().toString();
    QCOMPARE(time, expected.IsNever() ? expected.NeverText() : DurationWithEndText(expected.Seconds, Now));
    // The queue's "Начало": the reason, or the start clock.
    const TProjectedItem &item = evaluation.Queue.Items.first();
    QCOMPARE(item.Never, expected.Never);
    if (!expected.IsNever())
        QCOMPARE(item.Start, expected.Seconds);
    QCOMPARE(queue.index(0, 1).data().toString(),
             expected.IsNever() ? expected.NeverText() : ClockText(Now.addSecs(expected.Seconds), Now.date()));
}

void TestEvaluation::oneEvaluationPerChange()
{
    TVillageData village;
    TPlanner planner(village, m_Catalog);
    const qint32 index = m_Catalog.FindByDisplayText(Sklad);
    village.ReplaceAvBuildings({{Sklad, index}});
    Settle();
    QSignalSpy evaluated(&planner, &TPlanner::Evaluated);
    const int before = planner.EvaluationCount();

    // One field.
    village.EditResourceCollect(TResourceKind::Wood, QStringLiteral("500"));
    Settle();
    QCOMPARE(planner.EvaluationCount(), before + 1);
    QCOMPARE(evaluated.count(), 1);

    // Many fields at once, as an import or a file brings them: still one.
    for (TResourceKind kind : AllResourceKinds) {
        village.SetResourceCollect(kind, QStringLiteral("900"));
        village.SetResourceAdd(kind, QStringLiteral("60"));
        village.SetCapacity(kind, QStringLiteral("8000"));
    }
    village.SetQueue({{Sklad, index}, {Sklad, index}});
    village.SetMainLevel(QStringLiteral("3"));
    Settle();
    QCOMPARE(planner.EvaluationCount(), before + 2);
    QCOMPARE(evaluated.count(), 2);

    // Nothing changed: nothing evaluated.
    Settle();
    QCOMPARE(planner.EvaluationCount(), before + 2);
}

QTEST_GUILESS_MAIN(TestEvaluation)
#include "tst_evaluation.moc"
