// The undo steps of a village: each change a player makes is one step with
// its name, undone and redone by writing its states back; the tick's growth
// and Open make none.
#include "TestSupport.h"

#include "app/VillageDocument.h"
#include "app/VillageHistory.h"
#include "app/VillagePlan.h"
#include "import/OverviewImport.h"
#include "record/VillageData.h"
#include "record/VillageState.h"
#include "rules/Planner.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <functional>

namespace {

using TChange = std::function<void(TVillageDocument &)>;

} // namespace

Q_DECLARE_METATYPE(TChange)

class TestVillageHistory : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void stepUndoRedo_data();
    void stepUndoRedo();
    void typingSettlesOncePerPass();
    void tickIsNoStep();
    void undoImportAfterTicks();
    void openForgetsTheSteps();
    void stepsContinue_data();
    void stepsContinue();

private:
    // A village with a race, stocks, incomes and two considered buildings,
    // taken in as the state of the last step.
    void Prepare(TVillageDocument &document) const;

    TdmListObj m_Catalog;
};

void TestVillageHistory::initTestCase()
{
    TRecordedMessages messages;
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_TEST_DATA_DIR "/overview_catalog.xml")));
    QVERIFY(!OverviewExampleLines().isEmpty());
}

void TestVillageHistory::Prepare(TVillageDocument &document) const
{
    TVillageData &village = document.Village();
    village.SetName(QStringLiteral("Северная застава"));
    village.SetRace(0);
    for (const TResourceKind kind : AllResourceKinds) {
        village.EditResourceCollect(kind, QStringLiteral("1000"));
        village.EditResourceAdd(kind, QStringLiteral("36"));
    }
    village.ChooseAvBuildings({{QStringLiteral("Ферма (10)"), m_Catalog.FindByDisplayText(QStringLiteral("Ферма (10)"))},
                               {QStringLiteral("Склад ( 2)"), m_Catalog.FindByDisplayText(QStringLiteral("Склад ( 2)"))}});
    Settle();
    document.History().TakeIn();
    village.SetModified(false);
}

void TestVillageHistory::stepUndoRedo_data()
{
    QTest::addColumn<TChange>("change");
    QTest::addColumn<QString>("name");

    const auto entry = [this](const char *text) {
        const QString display = QString::fromUtf8(text);
        return TAvBuildingEntry{display, m_Catalog.FindByDisplayText(display)};
    };

    QTest::newRow("name") << TChange([](TVillageDocument &d) { d.Village().SetName(QStringLiteral("Южная")); })
                          << QStringLiteral("название");
    QTest::newRow("race") << TChange([](TVillageDocument &d) { d.Village().SetRace(2); }) << QStringLiteral("расу");
    QTest::newRow("main level") << TChange([](TVillageDocument &d) { d.Village().SetMainLevel(QStringLiteral("7")); })
                                << QStringLiteral("уровень главного здания");
    QTest::newRow("server speed")
        << TChange([](TVillageDocument &d) { d.Village().SetServerSpeed(QStringLiteral("3")); })
        << QStringLiteral("скорость сервера");
    QTest::newRow("coordinates")
        << TChange([](TVillageDocument &d) { d.Village().SetCoordinates(QStringLiteral("-12|34")); })
        << QStringLiteral("координаты");
    QTest::newRow("traders")
        << TChange([](TVillageDocument &d) { d.Village().SetTraders(QStringLiteral("12")); })
        << QStringLiteral("торговцев");
    QTest::newRow("typed stock")
        << TChange([](TVillageDocument &d) { d.Village().EditResourceCollect(TResourceKind::Iron, QStringLiteral("5")); })
        << QStringLiteral("запасы");
    QTest::newRow("income")
        << TChange([](TVillageDocument &d) { d.Village().EditResourceAdd(TResourceKind::Grain, QStringLiteral("-4")); })
        << QStringLiteral("производство");
    QTest::newRow("capacity")
        << TChange([](TVillageDocument &d) { d.Village().EditCapacity(TResourceKind::Wood, QStringLiteral("800")); })
        << QStringLiteral("вместимость");
    QTest::newRow("comments")
        << TChange([](TVillageDocument &d) { d.Village().SetComments(QStringLiteral("строить\nферму")); })
        << QStringLiteral("комментарии");
    QTest::newRow("considered list")
        << TChange([entry](TVillageDocument &d) { d.Village().ChooseAvBuildings({entry("Ферма ( 1)")}); })
        << QStringLiteral("список строений");
    QTest::newRow("queue") << TChange([entry](TVillageDocument &d) { d.Village().AppendToQueue(entry("Склад ( 2)")); })
                           << QStringLiteral("очередь");
    QTest::newRow("build command") << TChange([](TVillageDocument &d) { d.Planner().Build(0); })
                                   << QStringLiteral("постройку");
    QTest::newRow("import") << TChange([](TVillageDocument &d) { QVERIFY(d.Import(OverviewExampleLines()).Accepted); })
                            << QStringLiteral("импорт");
    const QList<qint32> plan{entry("Склад ( 2)").CatalogIndex, entry("Ферма (10)").CatalogIndex};
    QTest::newRow("development plan in place of the queue")
        << TChange([plan](TVillageDocument &d) { ApplyPlan(d, plan, TPlanApply::ReplaceQueue); })
        << QStringLiteral("план развития");
    QTest::newRow("development plan after the queue")
        << TChange([plan](TVillageDocument &d) { ApplyPlan(d, plan, TPlanApply::AddToQueue); })
        << QStringLiteral("план развития");
}

void TestVillageHistory::stepUndoRedo()
{
    QFETCH(TChange, change);
    QFETCH(QString, name);

    TVillageDocument document(m_Catalog);
    Prepare(document);
    const TVillageState before = TakeVillageState(document.Village());
    QList<TVillageStep> steps;
    connect(&document.History(), &TVillageHistory::StepMade, this,
            [&steps](const TVillageStep &step) { steps.append(step); });

    change(document);
    Settle();
    const TVillageState after = TakeVillageState(document.Village());
    QVERIFY(after != before);
    QCOMPARE(steps.size(), 1);
    QCOMPARE(steps.constFirst().Name, name);
    QCOMPARE(steps.constFirst().Before, before);
    QCOMPARE(steps.constFirst().After, after);

    // Undo: the fields as they were, marked as changed; no new step.
    document.Village().SetModified(false);
    document.History().Apply(steps.constFirst().Before);
    Settle();
    QCOMPARE(TakeVillageState(document.Village()), before);
    QVERIFY(document.Village().Modified);
    QCOMPARE(steps.size(), 1);
    // The evaluation follows the fields put back.
    QCOMPARE(document.Planner().Evaluation().Available.size(), document.Planner().Available().size());

    // Redo.
    document.Village().SetModified(false);
    document.History().Apply(steps.constFirst().After);
    Settle();
    QCOMPARE(TakeVillageState(document.Village()), after);
    QVERIFY(document.Village().Modified);
    QCOMPARE(steps.size(), 1);
}

void TestVillageHistory::typingSettlesOncePerPass()
{
    // Letters typed within one pass of the event loop are one step.
    TVillageDocument document(m_Catalog);
    Prepare(document);
    QList<TVillageStep> steps;
    connect(&document.History(), &TVillageHistory::StepMade, this,
            [&steps](const TVillageStep &step) { steps.append(step); });
    document.Village().SetName(QStringLiteral("Ю"));
    document.Village().SetName(QStringLiteral("Юг"));
    Settle();
    QCOMPARE(steps.size(), 1);
    QCOMPARE(steps.constFirst().Before.Name, QStringLiteral("Северная застава"));
    QCOMPARE(steps.constFirst().After.Name, QStringLiteral("Юг"));
}

void TestVillageHistory::tickIsNoStep()
{
    TVillageDocument document(m_Catalog);
    Prepare(document);
    QList<TVillageStep> steps;
    connect(&document.History(), &TVillageHistory::StepMade, this,
            [&steps](const TVillageStep &step) { steps.append(step); });
    for (int i = 0; i < 200; ++i)
        document.Tick();
    Settle();
    QVERIFY(document.Village().ResourceCollectValue(TResourceKind::Wood) > 1000);
    QVERIFY(steps.isEmpty());

    // A change made before a tick is still a step, without the growth in it.
    document.Village().SetComments(QStringLiteral("x"));
    document.Tick();
    Settle();
    QCOMPARE(steps.size(), 1);
    QCOMPARE(steps.constFirst().Name, QStringLiteral("комментарии"));
    QCOMPARE(steps.constFirst().Before.ResourceCollect, steps.constFirst().After.ResourceCollect);
}

void TestVillageHistory::undoImportAfterTicks()
{
    TVillageDocument document(m_Catalog);
    Prepare(document);
    const TVillageState before = TakeVillageState(document.Village());
    QList<TVillageStep> steps;
    connect(&document.History(), &TVillageHistory::StepMade, this,
            [&steps](const TVillageStep &step) { steps.append(step); });
    QVERIFY(document.Import(OverviewExampleLines()).Accepted);
    QCOMPARE(document.Village().ResourceCollect[0], QStringLiteral("750"));
    for (int i = 0; i < 100; ++i)
        document.Tick();
    Settle();
    QCOMPARE(steps.size(), 1);
    document.History().Apply(steps.constFirst().Before);
    QCOMPARE(TakeVillageState(document.Village()), before);
    QCOMPARE(document.Village().ResourceCollect[0], QStringLiteral("1000"));
}

void TestVillageHistory::openForgetsTheSteps()
{
    TVillageDocument document(m_Catalog);
    Prepare(document);
    QSignalSpy forgotten(&document.History(), &TVillageHistory::Forgotten);
    QList<TVillageStep> steps;
    connect(&document.History(), &TVillageHistory::StepMade, this,
            [&steps](const TVillageStep &step) { steps.append(step); });
    document.Village().SetFileName(QStringLiteral(JOR_TEST_DATA_DIR "/expected_small_village.vlgdat"));
    TRecordedMessages messages;
    QVERIFY(document.Load().Ok);
    Settle();
    QCOMPARE(forgotten.count(), 1);
    QVERIFY(steps.isEmpty());
    QCOMPARE(document.History().Settled(), TakeVillageState(document.Village()));
}

void TestVillageHistory::stepsContinue_data()
{
    QTest::addColumn<QString>("earlier");
    QTest::addColumn<QString>("later");
    QTest::addColumn<qint64>("secondsBetween");
    QTest::addColumn<bool>("continues");

    QTest::newRow("typing on in one field") << QStringLiteral("комментарии") << QStringLiteral("комментарии") << 600LL
                                            << true;
    QTest::newRow("typing in another field") << QStringLiteral("название") << QStringLiteral("комментарии") << 1LL
                                             << false;
    // A page copied again and again is one step while the copies follow
    // closely.
    QTest::newRow("the next import soon after") << QStringLiteral("импорт") << QStringLiteral("импорт") << 10LL << true;
    QTest::newRow("the next import much later") << QStringLiteral("импорт") << QStringLiteral("импорт")
                                                << TVillageHistory::ImportMergeSeconds + 1 << false;
    QTest::newRow("an import after typing") << QStringLiteral("комментарии") << QStringLiteral("импорт") << 1LL
                                            << false;
    QTest::newRow("two build commands") << QStringLiteral("строительство") << QStringLiteral("строительство") << 1LL
                                        << false;
}

void TestVillageHistory::stepsContinue()
{
    QFETCH(QString, earlier);
    QFETCH(QString, later);
    QFETCH(qint64, secondsBetween);
    QFETCH(bool, continues);

    const QDateTime first(QDate(2026, 3, 5), QTime(7, 0), Qt::UTC);
    const TVillageStep a{earlier, {}, {}, first};
    const TVillageStep b{later, {}, {}, first.addSecs(secondsBetween)};
    QCOMPARE(TVillageHistory::Continues(a, b), continues);
}

QTEST_GUILESS_MAIN(TestVillageHistory)
#include "tst_villagehistory.moc"
