// The development plan: the steps targets give and what each switch adds,
// the evaluator held equal to the queue's projection, the exact search
// against every order, the large search against the simple rules and its
// lower bound, a cancelled search, and the comparison line. Figures come
// from the shipped catalog; generated villages from GeneratedPlanRequest.

#include "TestSupport.h"

#include "app/VillageDocument.h"
#include "app/VillageHistory.h"
#include "app/VillagePlan.h"
#include "rules/DevelopmentPlan.h"
#include "rules/QueueProjection.h"

#include <QLocale>
#include <QTest>

namespace {

// The display texts of steps, "+" after one a switch added.
QStringList StepTexts(const TdmListObj &catalog, const QList<TPlanStep> &steps)
{
    QStringList texts;
    for (const TPlanStep &step : steps)
        texts.append(catalog.Object(step.CatalogIndex).DisplayText() + (step.Added ? QStringLiteral("+") : QString()));
    return texts;
}

// The best outcome of every order that keeps each slot's levels in order.
void BruteForce(const TPlanEvaluator &evaluator, QList<QList<TPlanStep>> &groups, QList<TPlanStep> &order,
                qsizetype total, TPlanOutcome &best)
{
    if (order.size() == total) {
        const TPlanOutcome outcome = evaluator.Evaluate(order, false);
        if (outcome.IsBetterThan(best))
            best = outcome;
        return;
    }
    for (QList<TPlanStep> &group : groups) {
        if (group.isEmpty())
            continue;
        order.append(group.takeFirst());
        BruteForce(evaluator, groups, order, total, best);
        group.prepend(order.takeLast());
    }
}

} // namespace

class TestDevelopmentPlan : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void steps_data();
    void steps();
    void switches_data();
    void switches();
    void evaluatorEqualsProjection_data();
    void evaluatorEqualsProjection();
    void exactEqualsBruteForce_data();
    void exactEqualsBruteForce();
    void largeBeatsSimpleRules_data();
    void largeBeatsSimpleRules();
    void mainBuildingWhenItShortens_data();
    void mainBuildingWhenItShortens();
    void cancelled_data();
    void cancelled();
    void comparison_data();
    void comparison();
    void summaryText_data();
    void summaryText();
    void villageSlots_data();
    void villageSlots();
    void applyPlan_data();
    void applyPlan();

private:
    qint32 Index(const QString &name, int level) const
    {
        return m_Catalog.FindByDisplayText(MakeDisplayText(name, level));
    }
    TPlanSlot Slot(const QString &name, int level) const { return {Index(name, 1), level}; }

    TdmListObj m_Catalog;
};

void TestDevelopmentPlan::initTestCase()
{
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_SHIPPED_CATALOG)));
    QLocale::setDefault(QLocale::c());
}

void TestDevelopmentPlan::steps_data()
{
    QTest::addColumn<QList<TPlanSlot>>("buildings");
    QTest::addColumn<QList<TPlanTarget>>("targets");
    QTest::addColumn<QStringList>("expected");

    const QString wood = QStringLiteral("Лесопильный завод");
    const QString clay = QStringLiteral("Глиняный карьер");
    const QList<TPlanSlot> two{Slot(wood, 2), Slot(clay, 0)};
    QTest::newRow("every level between current and target, slot by slot")
        << two << QList<TPlanTarget>{{0, 4}, {1, 2}}
        << QStringList{"Лесопильный завод ( 3)", "Лесопильный завод ( 4)", "Глиняный карьер ( 1)",
                       "Глиняный карьер ( 2)"};
    QTest::newRow("slots in the order of their targets")
        << two << QList<TPlanTarget>{{1, 1}, {0, 3}}
        << QStringList{"Глиняный карьер ( 1)", "Лесопильный завод ( 3)"};
    QTest::newRow("a target at or below the current level gives none")
        << two << QList<TPlanTarget>{{0, 2}, {0, 1}} << QStringList{};
    QTest::newRow("a slot's highest target counts")
        << two << QList<TPlanTarget>{{0, 3}, {0, 4}} << QStringList{"Лесопильный завод ( 3)", "Лесопильный завод ( 4)"};
    QTest::newRow("a target beyond the catalog ends at its last level")
        << QList<TPlanSlot>{Slot(wood, 18)} << QList<TPlanTarget>{{0, 25}}
        << QStringList{"Лесопильный завод (19)", "Лесопильный завод (20)"};
    QTest::newRow("a target of no slot gives none") << two << QList<TPlanTarget>{{2, 5}, {-1, 5}} << QStringList{};
    QTest::newRow("two fields of a kind are two slots")
        << QList<TPlanSlot>{Slot(wood, 1), Slot(wood, 1)} << QList<TPlanTarget>{{1, 2}, {0, 2}}
        << QStringList{"Лесопильный завод ( 2)", "Лесопильный завод ( 2)"};
}

void TestDevelopmentPlan::steps()
{
    QFETCH(QList<TPlanSlot>, buildings);
    QFETCH(QList<TPlanTarget>, targets);
    QFETCH(QStringList, expected);
    TPlanRequest request;
    request.Slots = buildings;
    request.Targets = targets;
    QCOMPARE(StepTexts(m_Catalog, PlanSteps(m_Catalog, request)), expected);
}

void TestDevelopmentPlan::switches_data()
{
    QTest::addColumn<TPlanRequest>("request");
    QTest::addColumn<QStringList>("played");

    const QString wood = QStringLiteral("Лесопильный завод");
    TPlanRequest request;
    request.Start.Stocks = {1000, 1000, 1000, 1000};
    request.Start.Incomes = {1000, 1000, 1000, 1000};
    request.Start.Capacities = {1000, 1000, 1000, 2000};
    request.Slots = {Slot(wood, 6)};
    request.Targets = {{0, 7}};
    request.Switches.Storages = true;
    // Лесопильный завод ( 7) costs 2170 clay: Склад 1200, 1700, 2300.
    QTest::newRow("storage: a warehouse raised until the clay fits")
        << request << QStringList{"Склад ( 1)+", "Склад ( 2)+", "Склад ( 3)+", "Лесопильный завод ( 7)"};
    request.Slots.append(Slot(QStringLiteral("Склад"), 2));
    request.Start.Capacities = {1700, 1700, 1700, 2000};
    QTest::newRow("storage: the village's warehouse from its level")
        << request << QStringList{"Склад ( 3)+", "Лесопильный завод ( 7)"};
    request.Start.Capacities = {2170, 2170, 2170, 2170};
    QTest::newRow("storage: none while the cost equals the capacity")
        << request << QStringList{"Лесопильный завод ( 7)"};
    request.Start.Capacities = {5000, 5000, 5000, 1000};
    request.Slots = {Slot(wood, 7)};
    request.Targets = {{0, 8}};
    // Лесопильный завод ( 8) costs 2175 grain: Амбар 1200, 1700, 2300.
    QTest::newRow("storage: a granary for grain")
        << request << QStringList{"Амбар ( 1)+", "Амбар ( 2)+", "Амбар ( 3)+", "Лесопильный завод ( 8)"};
    request.Switches.Storages = false;
    request.Start.Capacities = UnknownCapacities;
    request.Start.Incomes = {1000, 1000, 1000, 3};
    request.Slots = {Slot(QStringLiteral("Ферма"), 2), Slot(QStringLiteral("Казарма"), 0)};
    request.Targets = {{1, 1}};
    QTest::newRow("farm: switch off, the upkeep turns grain negative") << request << QStringList{"Казарма ( 1)"};
    request.Switches.Farms = true;
    // Казарма ( 1) takes 4 grain an hour; Ферма ( 3) adds 6.
    QTest::newRow("farm: raised before upkeep would turn grain negative")
        << request << QStringList{"Ферма ( 3)+", "Казарма ( 1)"};
    request.Start.Incomes = {1000, 1000, 1000, 4};
    QTest::newRow("farm: none while grain stays at 0 or above") << request << QStringList{"Казарма ( 1)"};
    request.Start.Incomes = {1000, 1000, 1000, -20};
    request.Slots.append(Slot(QStringLiteral("Ферма"), 1));
    QTest::newRow("farm: the lowest farm first, as many levels as it takes")
        << request
        << QStringList{"Ферма ( 2)+", "Ферма ( 3)+", "Ферма ( 3)+", "Ферма ( 4)+", "Ферма ( 4)+", "Казарма ( 1)"};
}

void TestDevelopmentPlan::switches()
{
    QFETCH(TPlanRequest, request);
    QFETCH(QStringList, played);
    const TPlanEvaluator evaluator(m_Catalog, request);
    const TPlanOutcome outcome = evaluator.Evaluate(PlanSteps(m_Catalog, request));
    QCOMPARE(StepTexts(m_Catalog, outcome.Played), played);
    QVERIFY(outcome.IsReachable());
}

void TestDevelopmentPlan::evaluatorEqualsProjection_data()
{
    QTest::addColumn<TPlanRequest>("request");
    for (quint32 seed = 1; seed <= 24; ++seed) {
        const int steps = 3 + int(seed % 20);
        QTest::addRow("seed %u, %d steps", seed, steps) << GeneratedPlanRequest(m_Catalog, seed, steps, seed % 2 == 0);
    }
}

void TestDevelopmentPlan::evaluatorEqualsProjection()
{
    QFETCH(TPlanRequest, request);
    const TPlanEvaluator evaluator(m_Catalog, request);
    const QList<TPlanStep> steps = PlanSteps(m_Catalog, request);
    for (TPlanRule rule : AllPlanRules) {
        const QList<TPlanStep> order = OrderByRule(m_Catalog, request, steps, rule);
        const TPlanOutcome outcome = evaluator.Evaluate(order);
        TQueueProjectionInput input = request.Start;
        input.Queue = PlanQueue(outcome.Played);
        // Unreachable: the steps not played follow, and one can never start.
        for (const TPlanStep &step : order) {
            const bool played = std::any_of(outcome.Played.cbegin(), outcome.Played.cend(), [&](const TPlanStep &done) {
                return done.Slot == step.Slot && done.Level == step.Level;
            });
            if (!played)
                input.Queue.append(step.CatalogIndex);
        }
        const TQueueProjection projection = ProjectQueue(m_Catalog, input);
        const bool scheduled = std::all_of(projection.Items.cbegin(), projection.Items.cend(),
                                           [](const TProjectedItem &item) { return item.IsScheduled(); });
        QCOMPARE(scheduled, outcome.IsReachable());
        if (outcome.IsReachable()) {
            QCOMPARE(projection.QueueEnd, outcome.End);
            QCOMPARE(projection.Items.size(), outcome.Played.size());
        }
    }
}

void TestDevelopmentPlan::exactEqualsBruteForce_data()
{
    QTest::addColumn<TPlanRequest>("request");
    for (quint32 seed = 1; seed <= 22; ++seed) {
        const int steps = 3 + int(seed % 7);
        QTest::addRow("seed %u, %d steps", seed, steps) << GeneratedPlanRequest(m_Catalog, seed, steps, seed % 3 != 0);
    }
}

void TestDevelopmentPlan::exactEqualsBruteForce()
{
    QFETCH(TPlanRequest, request);
    const TPlanResult result = FindDevelopmentPlan(m_Catalog, request);
    QCOMPARE(result.Method, TPlanMethod::Exact);
    const TPlanEvaluator evaluator(m_Catalog, request);
    QList<QList<TPlanStep>> groups;
    for (const TPlanStep &step : result.Steps) {
        if (groups.isEmpty() || groups.constLast().constFirst().Slot != step.Slot)
            groups.append(QList<TPlanStep>{});
        groups.last().append(step);
    }
    QList<TPlanStep> order;
    TPlanOutcome best{PlanNever, 0, {}};
    BruteForce(evaluator, groups, order, result.Steps.size(), best);
    QCOMPARE(result.Best.End, best.End);
    QCOMPARE(result.Best.StocksLeft, best.StocksLeft);
    QCOMPARE(result.HasPlan(), best.IsReachable());
}

void TestDevelopmentPlan::largeBeatsSimpleRules_data()
{
    QTest::addColumn<TPlanRequest>("request");
    for (quint32 seed = 101; seed <= 112; ++seed) {
        const int steps = 30 + int(seed * 7 % 31);
        QTest::addRow("seed %u, %d steps", seed, steps) << GeneratedPlanRequest(m_Catalog, seed, steps, false);
    }
}

void TestDevelopmentPlan::largeBeatsSimpleRules()
{
    QFETCH(TPlanRequest, request);
    const TPlanResult result = FindDevelopmentPlan(m_Catalog, request);
    QCOMPARE(result.Method, TPlanMethod::LocalSearch);
    QVERIFY(result.HasPlan());
    const TPlanEvaluator evaluator(m_Catalog, request);
    for (TPlanRule rule : AllPlanRules) {
        const qint64 ruleEnd = evaluator.Evaluate(OrderByRule(m_Catalog, request, result.Steps, rule), false).End;
        QVERIFY2(result.Best.End <= ruleEnd, qPrintable(PlanRuleText(rule)));
    }
    QVERIFY(result.LowerBound <= result.Best.End);
    QVERIFY(result.LowerBound > 0);
    // The order shown is the one the projection plays.
    TQueueProjectionInput input = request.Start;
    input.Queue = PlanQueue(result.Best.Played);
    QCOMPARE(ProjectQueue(m_Catalog, input).QueueEnd, result.Best.End);
    QCOMPARE(result.Best.Played.size(), result.Steps.size());
}

void TestDevelopmentPlan::mainBuildingWhenItShortens_data()
{
    QTest::addColumn<int>("target");
    QTest::addColumn<bool>("added");
    // Ten hours of wood-field levels save more than Главное здание ( 2)
    // takes (43:40 for 4 %); four minutes do not.
    QTest::newRow("a long plan gets the next main level") << 10 << true;
    QTest::newRow("a short plan does not") << 1 << false;
}

void TestDevelopmentPlan::mainBuildingWhenItShortens()
{
    QFETCH(int, target);
    QFETCH(bool, added);
    TPlanRequest request;
    request.Start.Stocks = {800, 800, 800, 800};
    request.Start.Incomes = {20000, 20000, 20000, 20000};
    request.Slots = {Slot(QStringLiteral("Лесопильный завод"), 0), Slot(MainBuildingName, 1)};
    request.Targets = {{0, target}};
    const TPlanResult without = FindDevelopmentPlan(m_Catalog, request);
    request.Switches.MainBuilding = true;
    const TPlanResult with = FindDevelopmentPlan(m_Catalog, request);
    const bool hasMain = std::any_of(with.Best.Played.cbegin(), with.Best.Played.cend(),
                                     [](const TPlanStep &step) { return step.Added && step.Slot == 1; });
    QCOMPARE(hasMain, added);
    QCOMPARE(with.Best.End < without.Best.End, added);
    QVERIFY(with.Best.End <= without.Best.End);
}

void TestDevelopmentPlan::cancelled_data()
{
    QTest::addColumn<int>("steps");
    QTest::newRow("exact") << 8;
    QTest::newRow("local search") << 50;
}

void TestDevelopmentPlan::cancelled()
{
    QFETCH(int, steps);
    const TPlanRequest request = GeneratedPlanRequest(m_Catalog, 7, steps, false);
    const TPlanRequest before = request;
    std::atomic_bool cancel{true};
    int lastProgress = -1;
    TPlanControl control{&cancel, [&lastProgress](int percent) { lastProgress = percent; }};
    const TPlanResult result = FindDevelopmentPlan(m_Catalog, request, control);
    QVERIFY(result.Cancelled);
    QVERIFY(!result.HasPlan());
    QVERIFY(result.Best.Played.isEmpty());
    QVERIFY(lastProgress < 100);
    QCOMPARE(request, before);
}

void TestDevelopmentPlan::comparison_data()
{
    QTest::addColumn<bool>("queueHoldsSteps");
    QTest::newRow("the queue holds the plan's steps: its order") << true;
    QTest::newRow("it does not: the catalog's order") << false;
}

void TestDevelopmentPlan::comparison()
{
    QFETCH(bool, queueHoldsSteps);
    const TPlanRequest request = GeneratedPlanRequest(m_Catalog, 3, 6, false);
    const TPlanResult result = FindDevelopmentPlan(m_Catalog, request);
    QVERIFY(result.HasPlan());
    const TPlanEvaluator evaluator(m_Catalog, request);
    QList<qint32> queue = PlanQueue(
        evaluator.Evaluate(OrderByRule(m_Catalog, request, result.Steps, TPlanRule::LowestLevelFirst)).Played);
    if (!queueHoldsSteps)
        queue.removeLast();
    const TPlanComparison comparison = ComparePlan(m_Catalog, request, result, queue);
    QCOMPARE(comparison.QueueOrder, queueHoldsSteps);
    TQueueProjectionInput input = request.Start;
    input.Queue = queue;
    const qint64 expected = queueHoldsSteps ? ProjectQueue(m_Catalog, input).QueueEnd : result.RuleEnds[0];
    QCOMPARE(comparison.End, expected);
    QVERIFY(comparison.End >= result.Best.End);
}

void TestDevelopmentPlan::summaryText_data()
{
    QTest::addColumn<qint64>("planEnd");
    QTest::addColumn<bool>("queueOrder");
    QTest::addColumn<qint64>("otherEnd");
    QTest::addColumn<QString>("expected");

    // From 13.12 20:00: 7 h 20 min is 14.12 03:20.
    const qint64 end = 7 * 3600 + 20 * 60;
    QTest::newRow("sooner than the queue")
        << end << true << end + 6 * 3600 + 10 * 60
        << QStringLiteral("Цель будет достигнута 14.12 03:20 — на 6 ч 10 мин раньше, чем в порядке очереди");
    QTest::newRow("sooner than the catalog's order")
        << end << false << end + 90 * 60
        << QStringLiteral("Цель будет достигнута 14.12 03:20 — на 1 ч 30 мин раньше, чем в порядке каталога");
    QTest::newRow("as soon") << qint64(3600) << true << qint64(3600)
                             << QStringLiteral("Цель будет достигнута 21:00 — так же, как в порядке очереди");
    QTest::newRow("the other order never ends")
        << qint64(3600) << false << PlanNever
        << QStringLiteral("Цель будет достигнута 21:00 — в порядке каталога она не достигается");
}

void TestDevelopmentPlan::summaryText()
{
    QFETCH(qint64, planEnd);
    QFETCH(bool, queueOrder);
    QFETCH(qint64, otherEnd);
    QFETCH(QString, expected);
    const QDateTime now(QDate(2026, 12, 13), QTime(20, 0));
    QCOMPARE(PlanSummaryText(planEnd, {queueOrder, otherEnd}, now), expected);
}

void TestDevelopmentPlan::villageSlots_data()
{
    QTest::addColumn<QStringList>("built");
    QTest::addColumn<QList<TPlanSlot>>("expected");
    const QString farm = QStringLiteral("Ферма");
    const QString main = MainBuildingName;
    QTest::newRow("none: no built list") << QStringList{} << QList<TPlanSlot>{};
    QTest::newRow("each built building at its level, the main building added")
        << QStringList{"Ферма ( 5)", "Ферма ( 1)"} << QList<TPlanSlot>{Slot(farm, 5), Slot(farm, 1), Slot(main, 3)};
    QTest::newRow("the built main building is the one")
        << QStringList{"Главное здание ( 4)", "Главное здание ( 6)"} << QList<TPlanSlot>{Slot(main, 4)};
    QTest::newRow("an unknown building is left out")
        << QStringList{"Ферма (99)", "Ферма ( 2)"} << QList<TPlanSlot>{Slot(farm, 2), Slot(main, 3)};
}

void TestDevelopmentPlan::villageSlots()
{
    QFETCH(QStringList, built);
    QFETCH(QList<TPlanSlot>, expected);
    TVillageData village;
    village.SetMainLevel(QStringLiteral("3"));
    for (const QString &text : built) {
        const qsizetype open = text.lastIndexOf(QLatin1Char('('));
        village.AddBuilt(BuiltBuildingOf(m_Catalog, text.left(open).trimmed(), text.mid(open + 1).chopped(1).trimmed()));
    }
    QList<TPlanSlot> found = VillagePlanSlots(village, m_Catalog);
    // The considered list keeps its own order; compare as sets.
    const auto byIndex = [](const TPlanSlot &a, const TPlanSlot &b) {
        return std::pair(a.CatalogIndex, a.Level) < std::pair(b.CatalogIndex, b.Level);
    };
    std::sort(found.begin(), found.end(), byIndex);
    std::sort(expected.begin(), expected.end(), byIndex);
    QCOMPARE(found, expected);
}

void TestDevelopmentPlan::applyPlan_data()
{
    QTest::addColumn<int>("how");
    QTest::addColumn<QStringList>("queue");
    QTest::newRow("in place of the queue") << int(TPlanApply::ReplaceQueue)
                                           << QStringList{"Ферма ( 2)", "Склад ( 1)"};
    QTest::newRow("after the queue") << int(TPlanApply::AddToQueue)
                                     << QStringList{"Амбар ( 1)", "Ферма ( 2)", "Склад ( 1)"};
}

void TestDevelopmentPlan::applyPlan()
{
    QFETCH(int, how);
    QFETCH(QStringList, queue);
    TVillageDocument document(m_Catalog);
    document.Village().AppendToQueue({QStringLiteral("Амбар ( 1)"), Index(QStringLiteral("Амбар"), 1)});
    Settle();
    document.History().TakeIn();
    int steps = 0;
    connect(&document.History(), &TVillageHistory::StepMade, this, [&steps] { ++steps; });
    // An index outside the catalog is left out.
    ApplyPlan(document, {Index(QStringLiteral("Ферма"), 2), -5, Index(QStringLiteral("Склад"), 1)}, TPlanApply(how));
    Settle();
    QCOMPARE(EntryTexts(document.Village().Queue), queue);
    QCOMPARE(steps, 1);
}

QTEST_GUILESS_MAIN(TestDevelopmentPlan)
#include "tst_developmentplan.moc"
