// The snapshot a village gives its notification rules, and the watch that
// feeds them after each tick of the planner: buildings affordable after the
// stocks grew, a construction that ended, storages, kinds switched off, and
// several villages kept apart.

#include "TestSupport.h"

#include "catalog/dm_ListObjects.h"
#include "rules/Planner.h"
#include "record/VillageData.h"
#include "rules/VillageSnapshot.h"
#include "notify/VillageWatch.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Catalog indices of tests/data/models_catalog.xml.
enum : qint32 { Ambar = 0, Bashnya = 1, Sklad = 2, Dvorets = 4 };

const QString AmbarText = QStringLiteral("Амбар ( 1)");
const QString BashnyaText = QStringLiteral("башня ( 1)");
const QString SkladText = QStringLiteral("Склад ( 1)");
const QString DvoretsText = QStringLiteral("Дворец ( 1)");
const std::optional<qint64> Never;
const TAffordTime NoIncome = TAffordTime::NeverFor(TNeverReason::NoIncome);
const TAffordTime BeyondCapacity = TAffordTime::NeverFor(TNeverReason::Capacity);

using TBuildings = QList<TBuildingSnapshot>;
using TStorages = std::array<TStorageSnapshot, 4>;

const QString North = QStringLiteral("Северная");

QStringList Texts(const QList<QList<TNotification>> &sent)
{
    QStringList texts;
    for (const QList<TNotification> &tick : sent) {
        for (const TNotification &notification : tick)
            texts.append(notification.Text);
    }
    return texts;
}

} // namespace

class TestVillageWatch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void snapshot_data();
    void snapshot();
    void watch_data();
    void watch();
    void villagesKeptApart();

private:
    TdmListObj m_Catalog;
};

void TestVillageWatch::initTestCase()
{
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_TEST_DATA_DIR "/models_catalog.xml")));
    QCOMPARE(m_Catalog.Count(), 5);
}

void TestVillageWatch::snapshot_data()
{
    QTest::addColumn<TVillageSetup>("setup");
    QTest::addColumn<TBuildings>("buildings");
    QTest::addColumn<TStorages>("storages");

    const TStorages none{};
    QTest::newRow("considered first, then queued; an unknown entry left out")
        << TVillageSetup{North, Each("100"), Each("0"), {}, {{AmbarText, Ambar}},
                         {{SkladText, Sklad}, {QStringLiteral("Нечто ( 1)"), -1}, {AmbarText, Ambar}}}
        << TBuildings{{AmbarText, 0}, {SkladText, NoIncome}, {AmbarText, 0}} << none;
    QTest::newRow("the slowest kind decides, one unit a second")
        << TVillageSetup{North, Each("0"), Each("3600"), {}, {{AmbarText, Ambar}, {BashnyaText, Bashnya}}, {}}
        << TBuildings{{AmbarText, 100}, {BashnyaText, 100}} << none;
    QTest::newRow("beyond the two-hour horizon still counted")
        << TVillageSetup{North, Each("0"), Each("36"), {}, {{AmbarText, Ambar}}, {}}
        << TBuildings{{AmbarText, 10000}} << none;
    QTest::newRow("a cost above the capacity is never")
        << TVillageSetup{North, Each("0"), Each("3600"), {QStringLiteral("500"), {}, {}, {}}, {{SkladText, Sklad}}, {}}
        << TBuildings{{SkladText, BeyondCapacity}}
        << TStorages{TStorageSnapshot{500, false, {}, false}, {}, {}, {}};
    QTest::newRow("storages: filling, unknown, full without income, above")
        << TVillageSetup{North, {QStringLiteral("100"), QStringLiteral("5"), QStringLiteral("7"), QStringLiteral("300")},
                         {QStringLiteral("3600"), QStringLiteral("3600"), QStringLiteral("0"), QStringLiteral("10")},
                         {QStringLiteral("160"), {}, QStringLiteral("7"), QStringLiteral("200")},
                         {},
                         {}}
        << TBuildings{}
        << TStorages{TStorageSnapshot{60, false, {}, false}, {Never, false, {}, false}, {Never, true, {}, false},
                     {0, true, {}, false}};
    QTest::newRow("a never-affordable building: grain without income")
        << TVillageSetup{North, Each("100"), Each("0"), {}, {{DvoretsText, Dvorets}}, {}}
        << TBuildings{{DvoretsText, NoIncome}} << none;
}

void TestVillageWatch::snapshot()
{
    QFETCH(TVillageSetup, setup);
    QFETCH(TBuildings, buildings);
    QFETCH(TStorages, storages);
    TVillageData village;
    setup.ApplyTo(village);

    const TVillageSnapshot snapshot = MakeVillageSnapshot(village, m_Catalog, QStringLiteral("башня ( 1)"));
    QCOMPARE(snapshot.VillageName, QStringLiteral("Северная"));
    QCOMPARE(snapshot.Buildings, buildings);
    QCOMPARE(snapshot.Storages, storages);
    QCOMPARE(snapshot.EndedConstruction, std::optional<QString>(QStringLiteral("башня ( 1)")));
}

void TestVillageWatch::watch_data()
{
    QTest::addColumn<TVillageSetup>("setup");
    // A construction started before the first tick: name and total seconds.
    QTest::addColumn<QString>("construction");
    QTest::addColumn<int>("constructionSeconds");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QList<TNotificationKind>>("switchedOff");
    QTest::addColumn<QStringList>("expected");

    // Wood grows by one a second; Амбар needs 90 wood.
    const TResourceTexts wood88{QStringLiteral("88"), QStringLiteral("100"), QStringLiteral("100"), QStringLiteral("100")};
    const TResourceTexts woodOnly{QStringLiteral("3600"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    const TVillageSetup growing{North, wood88, woodOnly, {}, {{AmbarText, Ambar}}, {}};
    const QString affordable = AmbarText;
    const QString ended = TNotificationRules::ConstructionEndedText(SkladText);

    QTest::newRow("affordable once the stock has grown, and once only")
        << growing << QString() << 0 << 5 << QList<TNotificationKind>{} << QStringList{affordable};
    QTest::newRow("affordable already at the first tick: nothing")
        << TVillageSetup{North, Each("100"), woodOnly, {}, {{AmbarText, Ambar}}, {}} << QString() << 0 << 3
        << QList<TNotificationKind>{} << QStringList{};
    QTest::newRow("a queued building counts like a considered one")
        << TVillageSetup{North, wood88, woodOnly, {}, {}, {{AmbarText, Ambar}}} << QString() << 0 << 3
        << QList<TNotificationKind>{} << QStringList{affordable};
    QTest::newRow("the building under construction, still queued, is not told affordable")
        << TVillageSetup{North, wood88, woodOnly, {}, {}, {{AmbarText, Ambar}}} << AmbarText << 100 << 3
        << QList<TNotificationKind>{} << QStringList{};
    QTest::newRow("a construction ends on its last second, told on that tick")
        << TVillageSetup{North, Each("0"), Each("0"), {}, {}, {}} << SkladText << 2 << 4 << QList<TNotificationKind>{}
        << QStringList{ended};
    QTest::newRow("a construction that has not ended says nothing")
        << TVillageSetup{North, Each("0"), Each("0"), {}, {}, {}} << SkladText << 10 << 4 << QList<TNotificationKind>{}
        << QStringList{};
    QTest::newRow("storage full after the stock grew to the capacity")
        << TVillageSetup{North, wood88, woodOnly, {QStringLiteral("90"), {}, {}, {}}, {}, {}} << QString() << 0 << 4
        << QList<TNotificationKind>{TNotificationKind::StorageNearlyFull}
        << QStringList{TNotificationRules::StorageFullText(TResourceKind::Wood)};
    QTest::newRow("kind switched off: nothing, the other kind still")
        << growing << SkladText << 2 << 5 << QList<TNotificationKind>{TNotificationKind::Affordable}
        << QStringList{ended};
}

void TestVillageWatch::watch()
{
    QFETCH(TVillageSetup, setup);
    QFETCH(QString, construction);
    QFETCH(int, constructionSeconds);
    QFETCH(int, ticks);
    QFETCH(QList<TNotificationKind>, switchedOff);
    QFETCH(QStringList, expected);

    TVillageData village;
    setup.ApplyTo(village);
    if (!construction.isEmpty())
        village.SetConstruction(construction, constructionSeconds, 0);
    TPlanner planner(village, m_Catalog);
    auto *watch = new TVillageWatch(planner);
    for (TNotificationKind kind : switchedOff)
        watch->Rules().SetKindEnabled(kind, false);
    QSignalSpy spy(watch, &TVillageWatch::NotificationsReady);
    QList<QList<TNotification>> sent;
    connect(watch, &TVillageWatch::NotificationsReady, this,
            [&sent](const QList<TNotification> &notifications) { sent.append(notifications); });

    for (int i = 0; i < ticks; ++i)
        planner.Tick();
    QCOMPARE(Texts(sent), expected);
    // Nothing said is no signal at all.
    QCOMPARE(spy.count(), int(sent.size()));
    for (const QList<TNotification> &tick : sent)
        QVERIFY(!tick.isEmpty());
}

void TestVillageWatch::villagesKeptApart()
{
    // Two villages, one building each, the same building text: each village
    // tells its own, on its own tick.
    TVillageData north;
    TVillageData south;
    const TResourceTexts wood89{QStringLiteral("89"), QStringLiteral("100"), QStringLiteral("100"), QStringLiteral("100")};
    const TResourceTexts woodOnly{QStringLiteral("3600"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0")};
    TVillageSetup{North, wood89, woodOnly, {}, {{AmbarText, Ambar}}, {}}.ApplyTo(north);
    TVillageSetup{North, wood89, woodOnly, {}, {{AmbarText, Ambar}}, {}}.ApplyTo(south);
    south.SetName(QStringLiteral("Южная"));
    south.SetResourceCollect(TResourceKind::Wood, QStringLiteral("80"));
    TPlanner northPlanner(north, m_Catalog);
    TPlanner southPlanner(south, m_Catalog);
    auto *northWatch = new TVillageWatch(northPlanner);
    auto *southWatch = new TVillageWatch(southPlanner);
    QStringList texts;
    const auto record = [&texts](const QList<TNotification> &notifications) {
        for (const TNotification &notification : notifications)
            texts.append(notification.Text);
    };
    connect(northWatch, &TVillageWatch::NotificationsReady, this, record);
    connect(southWatch, &TVillageWatch::NotificationsReady, this, record);

    // North: 89 is noted first, 90 after one tick. South: 80, 90 after ten
    // ticks; its first snapshot (the first tick) notes 81.
    northWatch->Check();
    for (int i = 0; i < 10; ++i) {
        northPlanner.Tick();
        southPlanner.Tick();
    }
    QCOMPARE(texts, QStringList{AmbarText} << AmbarText);
}

QTEST_GUILESS_MAIN(TestVillageWatch)
#include "tst_villagewatch.moc"
