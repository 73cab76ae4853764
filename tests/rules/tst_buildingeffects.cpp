// What buildings do to their village, as the one evaluation gives it: a
// queued warehouse or granary raising the capacity at its end (level 1 and
// higher levels, an unknown capacity left unknown, the catalog's 32-bit
// capacity), a field raising its income, grain upkeep taking the grain
// income below 0 mid-queue, the server speed on build times and on what
// fields add, the payback of fields, the queue rule for several fields of
// one kind, and stocks that run out. Figures come from
// tests/data/effects_catalog.xml.
#include "TestSupport.h"

#include "models/ResourceModel.h"
#include "record/VillageData.h"
#include "rules/BuildingEffects.h"
#include "rules/Evaluation.h"
#include "rules/Planner.h"
#include "rules/ProjectionSeries.h"

#include <QTest>

#include <limits>

namespace {

const QDateTime Now(QDate(2026, 12, 7), QTime(10, 0));
constexpr qint32 Unknown = UnknownCapacity;

TResourceAmounts Amounts(qint32 wood, qint32 clay, qint32 iron, qint32 grain)
{
    return {wood, clay, iron, grain};
}

// The projected start and end of a queued item, or its status when it has none.
struct TItemTimes
{
    TProjectedStatus Status = TProjectedStatus::Scheduled;
    TNeverReason Never = TNeverReason::None;
    qint64 Start = 0;
    qint64 End = 0;

    friend bool operator==(const TItemTimes &, const TItemTimes &) = default;
};

TItemTimes Times(qint64 start, qint64 end)
{
    return {TProjectedStatus::Scheduled, TNeverReason::None, start, end};
}

TItemTimes NeverTimes(TNeverReason reason)
{
    return {TProjectedStatus::Never, reason, 0, 0};
}

char *toString(const TItemTimes &times)
{
    return qstrdup(QStringLiteral("(%1 %2 %3..%4)")
                       .arg(int(times.Status))
                       .arg(int(times.Never))
                       .arg(times.Start)
                       .arg(times.End)
                       .toUtf8()
                       .constData());
}

using TSteps = QList<TCapacityStep>;

} // namespace

Q_DECLARE_METATYPE(TItemTimes)
Q_DECLARE_METATYPE(TBuildingEffect)

class TestBuildingEffects : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void effect_data();
    void effect();
    void capacityAfter_data();
    void capacityAfter();
    void projection_data();
    void projection();
    void capacityLineStepsUp();
    void upkeepTurnsGrainDownward();
    void runningConstructionCounts();
    void buildTimesAtSpeed_data();
    void buildTimesAtSpeed();
    void payback_data();
    void payback();
    void enqueueFields_data();
    void enqueueFields();
    void runningOut_data();
    void runningOut();

private:
    qint32 Index(const QString &text) const;

    TdmListObj m_Catalog;
    std::unique_ptr<TPinnedClock> m_Clock;
};

qint32 TestBuildingEffects::Index(const QString &text) const
{
    return m_Catalog.FindByDisplayText(text);
}


void TestBuildingEffects::initTestCase()
{
    QLocale::setDefault(QLocale::c());
    m_Clock = std::make_unique<TPinnedClock>(Now);
    SetMessageHandler([](TMessageKind, const QString &text) { qWarning() << text; });
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_TEST_DATA_DIR "/effects_catalog.xml")));
}

void TestBuildingEffects::effect_data()
{
    QTest::addColumn<QString>("building");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<TBuildingEffect>("expected");

    constexpr quint8 warehouse = 0b0111;
    constexpr quint8 granary = 0b1000;
    TBuildingEffect effect;
    effect.StorageKinds = warehouse;
    effect.CapacityFloor = 1200;
    QTest::newRow("warehouse level 1: at least its capacity") << QStringLiteral("Склад ( 1)") << QString() << effect;
    effect = {};
    effect.StorageKinds = warehouse;
    effect.CapacityRaise = 500;
    QTest::newRow("warehouse level 2: the difference") << QStringLiteral("Склад ( 2)") << QString() << effect;
    effect.CapacityRaise = 37900 - 1700;
    QTest::newRow("32-bit capacity instead of PROD") << QStringLiteral("Склад ( 3)") << QString() << effect;
    effect = {};
    effect.StorageKinds = granary;
    effect.CapacityRaise = 500;
    QTest::newRow("granary holds grain only") << QStringLiteral("Амбар ( 2)") << QStringLiteral("3") << effect;
    effect = {};
    effect.IncomeChange = Amounts(5, 0, 0, 0);
    QTest::newRow("field level 1: all of its production") << QStringLiteral("Лесопильный завод ( 1)") << QString()
                                                          << effect;
    effect.IncomeChange = Amounts(12, 0, 0, 0);
    QTest::newRow("field level 2 at speed 3") << QStringLiteral("Лесопильный завод ( 2)") << QStringLiteral("3")
                                              << effect;
    effect.IncomeChange = Amounts(0, 0, 0, 4);
    QTest::newRow("a farm raises grain") << QStringLiteral("Ферма ( 2)") << QString() << effect;
    effect.IncomeChange = Amounts(0, 0, 0, -12);
    QTest::newRow("upkeep at speed 3") << QStringLiteral("Казарма ( 1)") << QStringLiteral("3") << effect;
    QTest::newRow("a market does nothing") << QStringLiteral("Рынок ( 1)") << QString() << TBuildingEffect{};
}

void TestBuildingEffects::effect()
{
    QFETCH(QString, building);
    QFETCH(QString, speed);
    QFETCH(TBuildingEffect, expected);
    QCOMPARE(BuildingEffect(m_Catalog, Index(building), TVillageData::ServerSpeedOf(speed)), expected);
}

void TestBuildingEffects::capacityAfter_data()
{
    QTest::addColumn<qint32>("capacity");
    QTest::addColumn<QString>("building");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("level 1 raises a smaller capacity") << 800 << QStringLiteral("Склад ( 1)") << 1200;
    QTest::newRow("level 1 leaves a larger one") << 5000 << QStringLiteral("Склад ( 1)") << 5000;
    QTest::newRow("level 2 adds its difference") << 5000 << QStringLiteral("Склад ( 2)") << 5500;
    QTest::newRow("unknown stays unknown") << Unknown << QStringLiteral("Склад ( 2)") << Unknown;
    QTest::newRow("unknown stays unknown at level 1") << Unknown << QStringLiteral("Амбар ( 1)") << Unknown;
    QTest::newRow("stops at the 32-bit limit") << std::numeric_limits<qint32>::max() - 10
                                               << QStringLiteral("Склад ( 3)") << std::numeric_limits<qint32>::max();
}

void TestBuildingEffects::capacityAfter()
{
    QFETCH(qint32, capacity);
    QFETCH(QString, building);
    QFETCH(qint32, expected);
    QCOMPARE(CapacityAfter(capacity, BuildingEffect(m_Catalog, Index(building), 1)), expected);
}

void TestBuildingEffects::projection_data()
{
    QTest::addColumn<TVillageSetup>("setup");
    QTest::addColumn<QList<TItemTimes>>("expected");

    // The market costs 1000 wood; the warehouse 130/160/90/40 and 600 s.
    TVillageSetup setup;
    setup.Stocks = ResourceTexts(800, 500, 500, 500);
    setup.Capacities = ResourceTexts(800, 800, 800, 800);
    setup.Queue = QueueOf({QStringLiteral("Склад ( 1)"), QStringLiteral("Рынок ( 1)")});
    setup.Incomes = ResourceTexts(3600, 0, 0, 0);
    // Wood is capped at 800, less 130 spent: 670 at 0 s, 800 again at 130 s;
    // at 600 s the cap becomes 1200, and 1000 is there 200 s later.
    QTest::newRow("a warehouse makes room for the next") << setup << QList{Times(0, 600), Times(800, 1400)};
    setup.Queue = QueueOf({QStringLiteral("Рынок ( 1)")});
    QTest::newRow("without it: beyond capacity") << setup << QList{NeverTimes(TNeverReason::Capacity)};
    setup.Capacities = {};
    setup.Stocks = ResourceTexts(130, 160, 90, 40);
    setup.Queue = QueueOf({QStringLiteral("Склад ( 1)"), QStringLiteral("Рынок ( 1)")});
    // Unknown capacities stay unknown: 1000 wood after 1000 s at 1 a second.
    QTest::newRow("unknown capacity: no limit either way") << setup << QList{Times(0, 600), Times(1000, 1600)};

    // Wood: 40 spent of 40; 100 an hour. At 600 s 16.67 units; then 105 an
    // hour (speed 1) brings 1000 after ceil(3540000 / 105) = 33715 s more;
    // without the field it would take 35400 s.
    setup = {};
    setup.Stocks = ResourceTexts(40, 100, 50, 60);
    setup.Incomes = ResourceTexts(100, 0, 0, 0);
    setup.Queue = QueueOf({QStringLiteral("Лесопильный завод ( 1)"), QStringLiteral("Рынок ( 1)")});
    QTest::newRow("a field raises its income") << setup << QList{Times(0, 600), Times(34315, 34915)};
    // Speed 3: 200 s to build, 20000 scaled units by then, 115 an hour after:
    // ceil(3580000 / 115) = 31131 s more; the market builds in 200 s.
    setup.Speed = QStringLiteral("3");
    QTest::newRow("speed 3: faster, and the field adds three times") << setup
                                                                     << QList{Times(0, 200), Times(31331, 31531)};

    // The barracks' upkeep of 4 turns grain's 2 an hour into −2 at its end
    // (601 s): the wall's 150 grain never comes.
    setup = {};
    setup.Stocks = ResourceTexts(10, 10, 10, 100);
    setup.Incomes = ResourceTexts(0, 0, 0, 2);
    setup.Queue = QueueOf({QStringLiteral("Казарма ( 1)"), QStringLiteral("Стена ( 1)")});
    QTest::newRow("upkeep takes grain below 0 mid-queue")
        << setup << QList{Times(0, 601), NeverTimes(TNeverReason::NoIncome)};
    setup.Queue = QueueOf({QStringLiteral("Стена ( 1)")});
    // Without the barracks: 50 grain at 2 an hour.
    QTest::newRow("without the upkeep the wall comes") << setup << QList{Times(90000, 90600)};
}

void TestBuildingEffects::projection()
{
    QFETCH(TVillageSetup, setup);
    QFETCH(QList<TItemTimes>, expected);

    TVillageData village;
    setup.ApplyTo(village, &m_Catalog);
    const TVillageEvaluation evaluation = EvaluateVillage(village, m_Catalog, Now);
    QList<TItemTimes> actual;
    for (const TProjectedItem &item : evaluation.Queue.Items) {
        actual.append(item.IsScheduled() ? Times(item.Start, item.End)
                                         : TItemTimes{item.Status, item.Never, 0, 0});
    }
    QCOMPARE(actual, expected);
}

void TestBuildingEffects::capacityLineStepsUp()
{
    TVillageSetup setup;
    setup.Stocks = ResourceTexts(800, 500, 500, 500);
    setup.Incomes = ResourceTexts(3600, 0, 0, 0);
    setup.Capacities = ResourceTexts(800, 800, 800, Unknown);
    setup.Queue = QueueOf({QStringLiteral("Склад ( 1)"), QStringLiteral("Склад ( 2)")});
    TVillageData village;
    setup.ApplyTo(village, &m_Catalog);
    const TQueueProjection projection = EvaluateVillage(village, m_Catalog, Now).Queue;

    // Wood, clay and iron step at each end; the granary is not the warehouse.
    const TSteps steps{{600, 1200}, {1200, 1700}};
    QCOMPARE(projection.CapacitySteps[0], steps);
    QCOMPARE(projection.CapacitySteps[2], steps);
    QCOMPARE(projection.CapacitySteps[3], TSteps{});

    const TProjectionSeries series = MakeProjectionSeries(projection);
    const QList<QPointF> line{{0, 800},    {600, 800},   {600, 1200},
                              {1200, 1200}, {1200, 1700}, {series.Right, 1700}};
    QCOMPARE(series.Capacities[1], line);
    QVERIFY(series.Capacities[3].isEmpty());
}

void TestBuildingEffects::upkeepTurnsGrainDownward()
{
    TVillageSetup setup;
    setup.Stocks = ResourceTexts(10, 10, 10, 100);
    setup.Incomes = ResourceTexts(0, 0, 0, 2);
    setup.Queue = QueueOf({QStringLiteral("Казарма ( 1)")});
    TVillageData village;
    setup.ApplyTo(village, &m_Catalog);
    village.SetHorizon(TVillageData::TwoHourHorizon);
    const QList<TStockPoint> grain = EvaluateVillage(village, m_Catalog, Now).Queue.Timeline[3];

    // Rising to the barracks' end, falling after it: the line bends there.
    QVERIFY(grain.size() >= 3);
    const auto bend = std::find_if(grain.begin(), grain.end(), [](const TStockPoint &p) { return p.Seconds == 601; });
    QVERIFY(bend != grain.end());
    QCOMPARE(bend->Value, 100 + 2 * 601 / 3600.0);
    QCOMPARE(grain.constLast().Seconds, 7200.0);
    QCOMPARE(grain.constLast().Value, bend->Value - 2 * (7200 - 601) / 3600.0);
}

void TestBuildingEffects::runningConstructionCounts()
{
    // The warehouse being built ends in 100 s; the market waits for its room.
    TVillageSetup setup;
    setup.Stocks = ResourceTexts(800, 0, 0, 0);
    setup.Incomes = ResourceTexts(3600, 0, 0, 0);
    setup.Capacities = ResourceTexts(800, 800, 800, 800);
    setup.Queue = QueueOf({QStringLiteral("Рынок ( 1)")});
    TVillageData village;
    setup.ApplyTo(village, &m_Catalog);
    village.SetConstruction(QStringLiteral("Склад ( 1)"), 600, 500);
    const TQueueProjection projection = EvaluateVillage(village, m_Catalog, Now).Queue;
    QCOMPARE(projection.CapacitySteps[0], (TSteps{{100, 1200}}));
    QCOMPARE(projection.Items.size(), 1);
    QVERIFY(projection.Items[0].IsScheduled());
    QCOMPARE(projection.Items[0].Start, 300);
}

void TestBuildingEffects::buildTimesAtSpeed_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("mainLevel");
    QTest::addColumn<qint32>("expected");

    // The barracks: 601 s in the catalog.
    QTest::newRow("speed 1") << QString() << QStringLiteral("1") << 601;
    QTest::newRow("speed 3 truncates") << QStringLiteral("3") << QStringLiteral("1") << 200;
    // 601 × 96 / 100 = 576 (truncated), then 576 / 3.
    QTest::newRow("after the main building's percentage") << QStringLiteral("3") << QStringLiteral("2") << 192;
    QTest::newRow("speed 10") << QStringLiteral("10") << QStringLiteral("1") << 60;
    QTest::newRow("a speed no server runs counts as 1") << QStringLiteral("4") << QStringLiteral("1") << 601;
}

void TestBuildingEffects::buildTimesAtSpeed()
{
    QFETCH(QString, speed);
    QFETCH(QString, mainLevel);
    QFETCH(qint32, expected);

    const QString barracks = QStringLiteral("Казарма ( 1)");
    TVillageSetup setup;
    setup.Stocks = ResourceTexts(100, 100, 100, 100);
    setup.Incomes = ResourceTexts(0, 0, 0, 0);
    setup.Speed = speed;
    setup.MainLevel = mainLevel;
    setup.Queue = QueueOf({barracks});
    TVillageData village;
    setup.ApplyTo(village, &m_Catalog);
    village.AddAvBuilding({barracks, Index(barracks)});
    TPlanner planner(village, m_Catalog);

    // The table, the queue and the construction agree.
    QCOMPARE(planner.Available().constFirst().BuildSeconds, expected);
    QCOMPARE(planner.Evaluation().Queue.Items.constFirst().Build, expected);
    QVERIFY(planner.BuildFirstQueued());
    QCOMPARE(village.BuildTotal, expected);
}

void TestBuildingEffects::payback_data()
{
    QTest::addColumn<QString>("building");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<qint64>("expected");

    // 40 + 100 + 50 + 60 = 250 at 5 an hour: 50 hours.
    QTest::newRow("field level 1") << QStringLiteral("Лесопильный завод ( 1)") << QString() << qint64(180000);
    // 415 at 4 an hour.
    QTest::newRow("field level 2") << QStringLiteral("Лесопильный завод ( 2)") << QString() << qint64(373500);
    QTest::newRow("field level 2 at speed 3") << QStringLiteral("Лесопильный завод ( 2)") << QStringLiteral("3")
                                              << qint64(124500);
    // 415 at 4 × 2 an hour.
    QTest::newRow("a farm at speed 2") << QStringLiteral("Ферма ( 2)") << QStringLiteral("2") << qint64(186750);
    // 695 at 6 an hour.
    QTest::newRow("field level 3") << QStringLiteral("Лесопильный завод ( 3)") << QString() << qint64(417000);
    QTest::newRow("not a field") << QStringLiteral("Склад ( 1)") << QString() << qint64(-1);
}

void TestBuildingEffects::payback()
{
    QFETCH(QString, building);
    QFETCH(QString, speed);
    QFETCH(qint64, expected);

    TVillageData village;
    village.SetServerSpeed(speed);
    village.AddAvBuilding({building, Index(building)});
    const TVillageEvaluation evaluation = EvaluateVillage(village, m_Catalog, Now);
    QCOMPARE(evaluation.Available.size(), 1);
    QCOMPARE(evaluation.Available.constFirst().Payback, expected);
}

void TestBuildingEffects::enqueueFields_data()
{
    QTest::addColumn<QStringList>("queue");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("expected");

    const QString saw1 = QStringLiteral("Лесопильный завод ( 1)");
    const QString saw2 = QStringLiteral("Лесопильный завод ( 2)");
    const QString saw3 = QStringLiteral("Лесопильный завод ( 3)");
    QTest::newRow("a second field's lower level") << QStringList{saw2} << saw1 << saw1;
    QTest::newRow("the same field level again: the next") << QStringList{saw1} << saw1 << saw2;
    QTest::newRow("held, and a higher one: after the highest") << QStringList{saw2, saw1} << saw1 << saw3;
    QTest::newRow("not queued: itself") << QStringList{} << saw2 << saw2;
    QTest::newRow("another building: after the highest queued")
        << QStringList{QStringLiteral("Склад ( 2)")} << QStringLiteral("Склад ( 1)") << QStringLiteral("Склад ( 3)");
    QTest::newRow("no level after the highest") << QStringList{saw3, saw1} << saw3 << QString();
}

void TestBuildingEffects::enqueueFields()
{
    QFETCH(QStringList, queue);
    QFETCH(QString, chosen);
    QFETCH(QString, expected);

    QList<TAvBuildingEntry> entries;
    for (const QString &text : queue)
        entries.append({text, Index(text)});
    const std::optional<TAvBuildingEntry> entry = TPlanner::EntryToEnqueue(m_Catalog, entries, Index(chosen));
    QCOMPARE(entry ? entry->Text : QString(), expected);
}

void TestBuildingEffects::runningOut_data()
{
    QTest::addColumn<qint32>("stock");
    QTest::addColumn<qint32>("income");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("empty");

    // 100 units at 20 an hour: 5 hours; the clock stands at 10:00.
    QTest::newRow("runs out") << 100 << -20 << QStringLiteral("опустеет 05:00:00 (15:00)") << false;
    // 1 unit at 7 an hour: 514.28 s, rounded up.
    QTest::newRow("rounded up") << 1 << -7 << QStringLiteral("опустеет 00:08:35 (10:08)") << false;
    QTest::newRow("has run out") << 0 << -20 << QStringLiteral("пусто") << true;
    QTest::newRow("below 0") << -5 << -20 << QStringLiteral("пусто") << true;
    QTest::newRow("no income: nothing") << 100 << 0 << QString() << false;
}

void TestBuildingEffects::runningOut()
{
    QFETCH(qint32, stock);
    QFETCH(qint32, income);
    QFETCH(QString, text);
    QFETCH(bool, empty);

    TVillageData village;
    village.SetResourceCollect(TResourceKind::Grain, QString::number(stock));
    village.SetResourceAdd(TResourceKind::Grain, QString::number(income));
    const TStorageSnapshot grain = EvaluateVillage(village, m_Catalog, Now).Snapshot.Storages[3];
    QCOMPARE(grain.Empty, empty);
    QCOMPARE(grain.SecondsToEmpty.has_value(), income < 0);

    TResourceModel model(village);
    const QModelIndex cell = model.index(TResourceModel::FullRow, int(KindIndex(TResourceKind::Grain)));
    QCOMPARE(model.data(cell).toString(), text);
    QCOMPARE(model.data(cell, TResourceModel::RunningOutRole).toBool(), income < 0);
}

QTEST_GUILESS_MAIN(TestBuildingEffects)
#include "tst_buildingeffects.moc"
