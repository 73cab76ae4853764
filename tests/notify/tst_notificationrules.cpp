// The notification rules: sequences of ticks and the notifications each one
// sends: once only, again after falling back, nothing on the first snapshot
// for what is already true, the per-kind switch, and villages kept apart.

#include "notify/NotificationRules.h"

#include <QTest>

#include <limits>

namespace {

using TTicks = QList<TVillageSnapshot>;
using TSent = QList<QList<TNotification>>;
using TStorages = std::array<TStorageSnapshot, 4>;

const QString Farm = QStringLiteral("Ферма ( 5)");
const std::optional<qint64> Never;
const TAffordTime NeverAffordable = TAffordTime::NeverFor(TNeverReason::NoIncome);

TVillageSnapshot Buildings(QList<TBuildingSnapshot> buildings)
{
    TVillageSnapshot snapshot;
    snapshot.VillageName = QStringLiteral("Северная");
    snapshot.Buildings = std::move(buildings);
    return snapshot;
}

TVillageSnapshot FarmIn(TAffordTime seconds)
{
    return Buildings({{Farm, seconds}});
}

TVillageSnapshot Ended(const std::optional<QString> &building)
{
    TVillageSnapshot snapshot = Buildings({});
    snapshot.EndedConstruction = building;
    return snapshot;
}

// One storage with a time to full (none: it does not grow) or full.
TVillageSnapshot Storage(TResourceKind kind, std::optional<qint64> seconds, bool full = false)
{
    TVillageSnapshot snapshot = Buildings({});
    snapshot.Storages[KindIndex(kind)] = {seconds, full, {}, false};
    return snapshot;
}

// Grain shrinking: the time until it runs out (none: it does not shrink), or
// run out.
TVillageSnapshot GrainEmptying(std::optional<qint64> seconds, bool empty = false)
{
    TVillageSnapshot snapshot = Buildings({});
    TStorageSnapshot &grain = snapshot.Storages[KindIndex(TResourceKind::Grain)];
    grain.SecondsToEmpty = seconds;
    grain.Empty = empty;
    return snapshot;
}

const TNotification GrainIn10{TNotificationKind::ResourceRunningOut,
                              QStringLiteral("Зерно закончится через 10 мин")};
const TNotification GrainGone{TNotificationKind::ResourceRunningOut, QStringLiteral("Зерно закончилось")};

TVillageSnapshot WoodFull()
{
    return Storage(TResourceKind::Wood, 0, true);
}

TNotification Affordable(const QString &text)
{
    return {TNotificationKind::Affordable, text};
}

const TNotification FarmAffordable = Affordable(Farm);

TNotification WoodNearly(const QString &when)
{
    return {TNotificationKind::StorageNearlyFull, QStringLiteral("Дерево: склад заполнится через ") + when};
}

const TNotification WoodNearly10 = WoodNearly(QStringLiteral("10 мин"));
const TNotification WoodFullSent{TNotificationKind::StorageFull, QStringLiteral("Дерево: склад полон")};

} // namespace

class TestNotificationRules : public QObject
{
    Q_OBJECT

private slots:
    void ticks_data();
    void ticks();
    void nearlyFullMinutes_data();
    void nearlyFullMinutes();
    void switchedOffKindFollowsQuietly();
    void ranOutTexts_data();
    void ranOutTexts();
    void resetTakesTheNextSnapshotAsFirst();
    void villagesKeptApart();
};

void TestNotificationRules::ticks_data()
{
    QTest::addColumn<TTicks>("ticks");
    QTest::addColumn<TSent>("expected");

    QTest::newRow("affordable when its time reaches 0")
        << TTicks{FarmIn(120), FarmIn(60), FarmIn(0), FarmIn(0)} << TSent{{}, {}, {FarmAffordable}, {}};
    QTest::newRow("affordable again after its time rose")
        << TTicks{FarmIn(10), FarmIn(0), FarmIn(30), FarmIn(0)} << TSent{{}, {FarmAffordable}, {}, {FarmAffordable}};
    QTest::newRow("never again re-arms")
        << TTicks{FarmIn(10), FarmIn(0), FarmIn(NeverAffordable), FarmIn(0)} << TSent{{}, {FarmAffordable}, {}, {FarmAffordable}};
    QTest::newRow("affordable on opening is not told") << TTicks{FarmIn(0), FarmIn(0)} << TSent{{}, {}};
    QTest::newRow("appearing affordable is not told") << TTicks{Buildings({}), FarmIn(0)} << TSent{{}, {}};
    QTest::newRow("appearing, then reaching 0")
        << TTicks{Buildings({}), FarmIn(10), FarmIn(0)} << TSent{{}, {}, {FarmAffordable}};
    QTest::newRow("gone and back affordable is not told")
        << TTicks{FarmIn(10), FarmIn(0), Buildings({}), FarmIn(0)} << TSent{{}, {FarmAffordable}, {}, {}};
    QTest::newRow("considered and queued: told once")
        << TTicks{Buildings({{Farm, 10}, {Farm, 10}}), Buildings({{Farm, 0}, {Farm, 0}})}
        << TSent{{}, {FarmAffordable}};
    QTest::newRow("two buildings in snapshot order")
        << TTicks{Buildings({{QStringLiteral("Склад ( 3)"), 5}, {Farm, 5}}),
                  Buildings({{QStringLiteral("Склад ( 3)"), 0}, {Farm, 0}})}
        << TSent{{}, {Affordable(QStringLiteral("Склад ( 3)")), FarmAffordable}};

    const TNotification farmEnded{TNotificationKind::ConstructionEnded,
                                  QStringLiteral("Строительство завершено: Ферма ( 5)")};
    QTest::newRow("construction end told on its tick")
        << TTicks{Ended({}), Ended(Farm), Ended({})} << TSent{{}, {farmEnded}, {}};
    QTest::newRow("construction end on the first snapshot is told") << TTicks{Ended(Farm)} << TSent{{farmEnded}};

    QTest::newRow("nearly full at 600 s, then full")
        << TTicks{Storage(TResourceKind::Wood, 900), Storage(TResourceKind::Wood, 600),
                  Storage(TResourceKind::Wood, 300), WoodFull(), WoodFull()}
        << TSent{{}, {WoodNearly10}, {}, {WoodFullSent}, {}};
    QTest::newRow("601 s is not nearly full; 541 s is, in minutes and seconds")
        << TTicks{Storage(TResourceKind::Wood, 700), Storage(TResourceKind::Wood, 601),
                  Storage(TResourceKind::Wood, 541)}
        << TSent{{}, {}, {WoodNearly(QStringLiteral("9 мин 1 сек"))}};
    QTest::newRow("nearly full again only after rising above 600 s")
        << TTicks{Storage(TResourceKind::Wood, 900), Storage(TResourceKind::Wood, 560),
                  Storage(TResourceKind::Wood, 550), Storage(TResourceKind::Wood, 601),
                  Storage(TResourceKind::Wood, 580)}
        << TSent{{}, {WoodNearly(QStringLiteral("9 мин 20 сек"))}, {}, {}, {WoodNearly(QStringLiteral("9 мин 40 сек"))}};
    QTest::newRow("no time to full any more re-arms")
        << TTicks{Storage(TResourceKind::Wood, 900), Storage(TResourceKind::Wood, 560),
                  Storage(TResourceKind::Wood, Never), Storage(TResourceKind::Wood, 580)}
        << TSent{{}, {WoodNearly(QStringLiteral("9 мин 20 сек"))}, {}, {WoodNearly(QStringLiteral("9 мин 40 сек"))}};
    QTest::newRow("full at once: told as full only")
        << TTicks{Storage(TResourceKind::Wood, 9000), WoodFull()} << TSent{{}, {WoodFullSent}};
    QTest::newRow("full again only after it was not")
        << TTicks{Storage(TResourceKind::Wood, 900), WoodFull(), WoodFull(), Storage(TResourceKind::Wood, 300),
                  WoodFull()}
        << TSent{{}, {WoodFullSent}, {}, {}, {WoodFullSent}};
    QTest::newRow("full and nearly full on opening are not told")
        << TTicks{WoodFull(), WoodFull(), Storage(TResourceKind::Wood, 200)} << TSent{{}, {}, {}};
    QTest::newRow("the granary holds the grain")
        << TTicks{Storage(TResourceKind::Grain, 900), Storage(TResourceKind::Grain, 30),
                  Storage(TResourceKind::Grain, 0, true)}
        << TSent{{},
                 {{TNotificationKind::StorageNearlyFull,
                   QStringLiteral("Зерно: амбар заполнится через 30 сек")}},
                 {{TNotificationKind::StorageFull, QStringLiteral("Зерно: амбар полон")}}};

    TVillageSnapshot all = Buildings({{Farm, 0}});
    all.EndedConstruction = QStringLiteral("Склад ( 3)");
    all.Storages[KindIndex(TResourceKind::Clay)] = {0, true, {}, false};
    all.Storages[KindIndex(TResourceKind::Iron)] = {120, false, {}, false};
    TVillageSnapshot before = Buildings({{Farm, 60}});
    before.Storages[KindIndex(TResourceKind::Clay)] = {1000, false, {}, false};
    before.Storages[KindIndex(TResourceKind::Iron)] = {1000, false, {}, false};
    QTest::newRow("every kind in one tick, in order")
        << TTicks{before, all}
        << TSent{{},
                 {{TNotificationKind::ConstructionEnded,
                   QStringLiteral("Строительство завершено: Склад ( 3)")},
                  FarmAffordable,
                  {TNotificationKind::StorageFull, QStringLiteral("Глина: склад полон")},
                  {TNotificationKind::StorageNearlyFull,
                   QStringLiteral("Железо: склад заполнится через 2 мин")}}};

    QTest::newRow("grain running out within 10 minutes: once")
        << TTicks{GrainEmptying(601), GrainEmptying(600), GrainEmptying(599)} << TSent{{}, {GrainIn10}, {}};
    QTest::newRow("grain ran out: once")
        << TTicks{GrainEmptying(1), GrainEmptying(0, true), GrainEmptying(0, true)} << TSent{{}, {GrainGone}, {}};
    QTest::newRow("running out again after it grew back")
        << TTicks{GrainEmptying(700), GrainEmptying(600), GrainEmptying(Never), GrainEmptying(600)}
        << TSent{{}, {GrainIn10}, {}, {GrainIn10}};
    QTest::newRow("run out on opening is not told") << TTicks{GrainEmptying(0, true), GrainEmptying(0, true)}
                                                    << TSent{{}, {}};
    QTest::newRow("running out at once: told as run out only")
        << TTicks{GrainEmptying(Never), GrainEmptying(0, true)} << TSent{{}, {GrainGone}};

    TVillageSnapshot unnamed = FarmIn(10);
    unnamed.VillageName.clear();
    TVillageSnapshot unnamedAffordable = FarmIn(0);
    unnamedAffordable.VillageName.clear();
    QTest::newRow("a village without a name: told as any other")
        << TTicks{unnamed, unnamedAffordable} << TSent{{}, {FarmAffordable}};
}

void TestNotificationRules::ticks()
{
    QFETCH(TTicks, ticks);
    QFETCH(TSent, expected);
    TNotificationRules rules;
    TSent sent;
    for (const TVillageSnapshot &tick : ticks)
        sent.append(rules.Feed(tick));
    QCOMPARE(sent, expected);
}

void TestNotificationRules::nearlyFullMinutes_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("minutes");
    QTest::newRow("now") << qint64(0) << QStringLiteral("сейчас");
    QTest::newRow("seconds only") << qint64(45) << QStringLiteral("через 45 сек");
    QTest::newRow("one minute") << qint64(60) << QStringLiteral("через 1 мин");
    QTest::newRow("a second more") << qint64(61) << QStringLiteral("через 1 мин 1 сек");
    QTest::newRow("as the table's 00:02:22") << qint64(142) << QStringLiteral("через 2 мин 22 сек");
    QTest::newRow("longest span") << std::numeric_limits<qint64>::max()
                                  << QStringLiteral("через 153722867280912930 мин 7 сек");
}

void TestNotificationRules::nearlyFullMinutes()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, minutes);
    QCOMPARE(TNotificationRules::StorageNearlyFullText(TResourceKind::Iron, seconds),
             QStringLiteral("Железо: склад заполнится %1").arg(minutes));
}

void TestNotificationRules::switchedOffKindFollowsQuietly()
{
    TNotificationRules rules;
    rules.SetKindEnabled(TNotificationKind::Affordable, false);
    QVERIFY(!rules.IsKindEnabled(TNotificationKind::Affordable));
    QVERIFY(rules.IsKindEnabled(TNotificationKind::StorageFull));
    QCOMPARE(rules.Feed(FarmIn(10)), QList<TNotification>{});
    QCOMPARE(rules.Feed(FarmIn(0)), QList<TNotification>{});
    rules.SetKindEnabled(TNotificationKind::Affordable, true);
    // Switched on while already affordable: nothing comes back.
    QCOMPARE(rules.Feed(FarmIn(0)), QList<TNotification>{});
    QCOMPARE(rules.Feed(FarmIn(10)), QList<TNotification>{});
    QCOMPARE(rules.Feed(FarmIn(0)), QList<TNotification>{FarmAffordable});

    // The other kinds go on while one is off.
    rules.SetKindEnabled(TNotificationKind::StorageNearlyFull, false);
    QCOMPARE(rules.Feed(Storage(TResourceKind::Wood, 900)), QList<TNotification>{});
    QCOMPARE(rules.Feed(Storage(TResourceKind::Wood, 300)), QList<TNotification>{});
    QCOMPARE(rules.Feed(WoodFull()), QList<TNotification>{WoodFullSent});
}

void TestNotificationRules::resetTakesTheNextSnapshotAsFirst()
{
    TNotificationRules rules;
    rules.Feed(FarmIn(10));
    rules.Reset();
    QCOMPARE(rules.Feed(FarmIn(0)), QList<TNotification>{});
    QCOMPARE(rules.Feed(WoodFull()), QList<TNotification>{WoodFullSent});
}

void TestNotificationRules::villagesKeptApart()
{
    TNotificationRules north;
    TNotificationRules south;
    TVillageSnapshot southFarm = FarmIn(10);
    southFarm.VillageName = QStringLiteral("Южная");

    QCOMPARE(north.Feed(FarmIn(10)), QList<TNotification>{});
    QCOMPARE(south.Feed(southFarm), QList<TNotification>{});
    // The same building affordable in the north only.
    QCOMPARE(north.Feed(FarmIn(0)), QList<TNotification>{FarmAffordable});
    QCOMPARE(south.Feed(southFarm), QList<TNotification>{});
    southFarm.Buildings.first().Afford = 0;
    QCOMPARE(south.Feed(southFarm), QList<TNotification>{FarmAffordable});
    QCOMPARE(north.Feed(FarmIn(0)), QList<TNotification>{});
}

void TestNotificationRules::ranOutTexts_data()
{
    QTest::addColumn<QString>("village");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");

    QTest::newRow("grain") << QStringLiteral("Северная") << int(TResourceKind::Grain)
                           << QStringLiteral("Зерно закончилось");
    QTest::newRow("clay is feminine") << QStringLiteral("Северная") << int(TResourceKind::Clay)
                                      << QStringLiteral("Глина закончилась");
    QTest::newRow("a village without a name") << QString() << int(TResourceKind::Iron)
                                              << QStringLiteral("Железо закончилось");
}

void TestNotificationRules::ranOutTexts()
{
    QFETCH(QString, village);
    QFETCH(int, kind);
    QFETCH(QString, expected);
    const QString text = TNotificationRules::RanOutText(TResourceKind(kind));
    QCOMPARE(text, expected);
    // The notice's title names the village: the line does not again.
    QVERIFY(village.isEmpty() || !text.contains(village));
}

QTEST_GUILESS_MAIN(TestNotificationRules)
#include "tst_notificationrules.moc"
