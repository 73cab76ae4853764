// Value copies of a village's editable fields: the name of the step between
// two copies, and a copy written back.
#include "record/VillageData.h"
#include "record/VillageState.h"

#include <QSignalSpy>
#include <QTest>

#include <functional>

using TEdit = std::function<void(TVillageState &)>;
Q_DECLARE_METATYPE(TEdit)

class TestVillageState : public QObject
{
    Q_OBJECT

private slots:
    void stepName_data();
    void stepName();
    void applyWritesEveryFieldBack();
    void applyOfTheSameStateAnnouncesNoName();
};

void TestVillageState::stepName_data()
{
    QTest::addColumn<TEdit>("edit");
    QTest::addColumn<QString>("name");

    QTest::newRow("nothing") << TEdit([](TVillageState &) {}) << QString();
    QTest::newRow("only the construction's seconds") << TEdit([](TVillageState &s) { s.BuildElapsed = 5; }) << QString();
    QTest::newRow("construction started, stocks spent")
        << TEdit([](TVillageState &s) {
               s.BuildName = QStringLiteral("Ферма (10)");
               s.BuildTotal = 60;
               s.ResourceCollect[0] = QStringLiteral("1");
           })
        << QStringLiteral("постройку");
    QTest::newRow("name") << TEdit([](TVillageState &s) { s.Name = QStringLiteral("Южная"); }) << QStringLiteral("название");
    QTest::newRow("capacity") << TEdit([](TVillageState &s) { s.Capacity[3] = QStringLiteral("900"); })
                              << QStringLiteral("вместимость");
    QTest::newRow("queue") << TEdit([](TVillageState &s) { s.Queue.append({QStringLiteral("Склад ( 1)"), 3}); })
                           << QStringLiteral("очередь");
    QTest::newRow("stocks and incomes") << TEdit([](TVillageState &s) {
        s.ResourceCollect[1] = QStringLiteral("5");
        s.ResourceAdd[1] = QStringLiteral("6");
    }) << QStringLiteral("изменения");
}

void TestVillageState::stepName()
{
    QFETCH(TEdit, edit);
    QFETCH(QString, name);
    TVillageState before;
    before.MainLevel = QStringLiteral("1");
    TVillageState after = before;
    edit(after);
    QCOMPARE(StepName(before, after), name);
}

void TestVillageState::applyWritesEveryFieldBack()
{
    TVillageState state;
    state.Name = QStringLiteral("Южная, \"старая\"");
    state.Race = 3;
    state.MainLevel = QStringLiteral("0x0A");
    state.ResourceCollect = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("abc"), QStringLiteral("4")};
    state.ResourceAdd = {QStringLiteral("-5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")};
    state.Capacity = {QStringLiteral("800"), QString(), QStringLiteral("800"), QStringLiteral("900")};
    state.AvBuildings = {{QStringLiteral("Амбар ( 1)"), 0}, {QStringLiteral("Склад ( 1)"), 2}};
    state.Comments = QStringLiteral("a\r\nb");
    state.Queue = {{QStringLiteral("Склад ( 1)"), 2}, {QStringLiteral("Склад ( 1)"), 2}};
    state.BuildName = QStringLiteral("Амбар ( 1)");
    state.BuildTotal = 1600;
    state.BuildElapsed = 12;

    TVillageData village;
    village.SetModified(false);
    QSignalSpy modified(&village, &TVillageData::ModifiedChanged);
    ApplyVillageState(village, state);
    QCOMPARE(TakeVillageState(village), state);
    QVERIFY(village.Modified);
    // The numbers beside the texts follow.
    QCOMPARE(village.MainLevelValue(), 10);
    QCOMPARE(village.ResourceCollectValue(TResourceKind::Iron), 0);
    QCOMPARE(village.ResourceAddValue(TResourceKind::Wood), -5);
    QCOMPARE(village.CapacityValue(TResourceKind::Clay), -1);
    QCOMPARE(village.CapacityValue(TResourceKind::Grain), 900);

    // And back to an empty village.
    ApplyVillageState(village, TakeVillageState(TVillageData()));
    QCOMPARE(TakeVillageState(village), TakeVillageState(TVillageData()));
}

void TestVillageState::applyOfTheSameStateAnnouncesNoName()
{
    TVillageData village;
    village.SetName(QStringLiteral("Северная"));
    QSignalSpy names(&village, &TVillageData::NameChanged);
    ApplyVillageState(village, TakeVillageState(village));
    QCOMPARE(names.count(), 0);
}

QTEST_GUILESS_MAIN(TestVillageState)
#include "tst_villagestate.moc"
