// Tests of what a village has built: the built list in the village file,
// its import from the overview page's buildings line, a finished
// construction applied to the record (on the tick and found ended on
// Open), and the queue's projection across that end.
#include "TestSupport.h"

#include "app/VillageDocument.h"
#include "app/VillageHistory.h"
#include "import/OverviewImport.h"
#include "models/BuiltModel.h"
#include "record/VillageFile.h"
#include "rules/BuiltFigures.h"
#include "rules/FinishedConstruction.h"
#include "rules/NextVillage.h"
#include "rules/Planner.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>
#include <QTest>

#include <limits>

namespace {

const QDateTime Noon(QDate(2026, 12, 7), QTime(12, 0), QTimeZone::utc());

QString DataPath(const QString &name)
{
    return QStringLiteral(JOR_TEST_DATA_DIR "/") + name;
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The four capacities as one text: "800/800/800/600".
QString CapacityText(const TVillageData &village)
{
    return QStringList(village.Capacity.begin(), village.Capacity.end()).join(u'/');
}

QString IncomeText(const TVillageData &village)
{
    return QStringList(village.ResourceAdd.begin(), village.ResourceAdd.end()).join(u'/');
}

void SetAll(TVillageData &village, const QString &stocks, const QString &incomes, const QString &capacities)
{
    const QStringList stock = stocks.split(u'/');
    const QStringList income = incomes.split(u'/');
    const QStringList capacity = capacities.split(u'/');
    for (const TResourceKind kind : AllResourceKinds) {
        village.SetResourceCollect(kind, stock.at(KindIndex(kind)));
        village.SetResourceAdd(kind, income.at(KindIndex(kind)));
        village.SetCapacity(kind, capacity.at(KindIndex(kind)));
    }
}

} // namespace

Q_DECLARE_METATYPE(TCultureGain)

class TestBuiltList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fileRoundTrip_data();
    void fileRoundTrip();
    void importBuildingsLine_data();
    void importBuildingsLine();
    void finishedConstruction_data();
    void finishedConstruction();
    void finishedOnTick();
    void finishedFoundOnOpen();
    void projectionAcrossEnd_data();
    void projectionAcrossEnd();
    void builtTable_data();
    void builtTable();
    void builtTableEdits();
    void workedOutFigures_data();
    void workedOutFigures();
    void nextVillage_data();
    void nextVillage();
    void nextVillageText();

private:
    TdmListObj m_Effects;
    TdmListObj m_Overview;
    TdmListObj m_Shipped;
};

void TestBuiltList::initTestCase()
{
    QVERIFY(m_Effects.LoadCatalog(DataPath(QStringLiteral("effects_catalog.xml"))));
    QVERIFY(m_Overview.LoadCatalog(DataPath(QStringLiteral("overview_catalog.xml"))));
    QVERIFY(m_Shipped.LoadCatalog(QStringLiteral(JOR_SHIPPED_CATALOG)));
}

void TestBuiltList::fileRoundTrip_data()
{
    QTest::addColumn<QByteArray>("builtElement");
    QTest::addColumn<QString>("built");
    QTest::addColumn<int>("notUnderstood");

    QTest::newRow("no element: the file of before") << QByteArray() << QString() << 0;
    QTest::newRow("two fields of a kind kept apart, in their order")
        << QByteArray("<Built><Building Name=\"Лесопильный завод\" Level=\"2\"/>"
                      "<Building Name=\"Склад\" Level=\"1\"/><Building Name=\"Лесопильный завод\" Level=\"3\"/></Built>")
        << QStringLiteral("Лесопильный завод 2; Склад 1; Лесопильный завод 3") << 0;
    QTest::newRow("unknown name and levels outside the catalog kept as read")
        << QByteArray("<Built><Building Name=\"Башня\" Level=\"3\"/><Building Name=\"Ферма\" Level=\"9\"/>"
                      "<Building Name=\"Ферма\" Level=\"x\"/><Building Name=\"Ферма\" Level=\"2\"/></Built>")
        << QStringLiteral("Башня ?3; Ферма ?9; Ферма ?x; Ферма 2") << 0;
    // What is not understood goes back after the known content, as in
    // every element of the file.
    QTest::newRow("a building without a level is kept, not understood")
        << QByteArray("<Built><Building Name=\"Амбар\" Level=\"1\" Colour=\"red\"/><Building Name=\"Склад\"/>"
                      "<!-- от руки --></Built>")
        << QStringLiteral("Амбар 1") << 1;
}

// A file as this version writes it, with the built element given, reads
// into that list and writes back byte for byte.
void TestBuiltList::fileRoundTrip()
{
    QFETCH(QByteArray, builtElement);
    QFETCH(QString, built);
    QFETCH(int, notUnderstood);
    const TPinnedClock clock(Noon);
    QTemporaryDir dir;
    TVillageData plain;
    plain.SetName(QStringLiteral("Застава"));
    const QString plainPath = dir.filePath(QStringLiteral("plain.vlgdat"));
    QVERIFY(WriteVillageFile(plain, plainPath).Ok);
    QByteArray bytes = FileBytes(plainPath);
    QVERIFY(!bytes.contains("<Built"));
    bytes.insert(bytes.indexOf("</JorVillageData>"), builtElement);
    const QString path = dir.filePath(QStringLiteral("built.vlgdat"));
    QVERIFY(WriteBytes(path, bytes));

    TVillageData village;
    village.SetFileName(path);
    QVERIFY(ReadVillageFile(village, m_Effects).Ok);
    QCOMPARE(BuiltText(village.Built), built);
    QCOMPARE(village.KeptFileContent.NotUnderstoodCount(), notUnderstood);

    const QString again = dir.filePath(QStringLiteral("again.vlgdat"));
    QVERIFY(WriteVillageFile(village, again).Ok);
    QCOMPARE(QString::fromUtf8(FileBytes(again)), QString::fromUtf8(bytes));
}

void TestBuiltList::importBuildingsLine_data()
{
    QTest::addColumn<QString>("buildingsLine");
    QTest::addColumn<QString>("built");

    QTest::newRow("the worked example") << QString() << QStringLiteral("Лесопильный завод 4; Ферма 9; Железный рудник 2");
    QTest::newRow("several fields of a kind, each with its level")
        << QStringLiteral("Лесопилка Уровень 4 Лесопилка Уровень 5 Ферма Уровень 9 Ферма Уровень 10")
        << QStringLiteral("Лесопильный завод 4; Лесопильный завод 5; Ферма 9; Ферма 10");
    QTest::newRow("building sites are no buildings")
        << QStringLiteral("Стройплощадка Склад Уровень 1 Стройплощадка Главное здание Уровень 2 Стройплощадка")
        << QStringLiteral("Склад 1; Главное здание 2");
    QTest::newRow("a level the catalog lacks is kept, not recognised")
        << QStringLiteral("Железный рудник Уровень 7") << QStringLiteral("Железный рудник ?7");
    QTest::newRow("a line without buildings keeps the list")
        << QStringLiteral("Стройплощадка") << QStringLiteral("Склад 2");
}

void TestBuiltList::importBuildingsLine()
{
    QFETCH(QString, buildingsLine);
    QFETCH(QString, built);
    QStringList lines = OverviewExampleLines();
    if (!buildingsLine.isEmpty())
        lines[12] = buildingsLine;
    TVillageData village;
    village.SetBuilt(BuiltList(m_Overview, QStringLiteral("Склад 2")));
    QVERIFY(ImportOverviewText(lines, village, m_Overview).Accepted);
    QCOMPARE(BuiltText(village.Built), built);
}

void TestBuiltList::finishedConstruction_data()
{
    QTest::addColumn<QString>("built");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("finished");
    QTest::addColumn<QString>("builtAfter");
    QTest::addColumn<QString>("capacities");
    QTest::addColumn<QString>("incomes");
    QTest::addColumn<QString>("mainLevel");
    QTest::addColumn<QString>("line");

    // Before: capacities 800/800/800/600, incomes 30/30/30/20, main level 1.
    QTest::newRow("warehouse level 1 floors the capacity")
        << QStringLiteral("Ферма 1") << QString() << QStringLiteral("Склад ( 1)") << QStringLiteral("Ферма 1; Склад 1")
        << QStringLiteral("1200/1200/1200/600") << QStringLiteral("30/30/30/20") << QStringLiteral("1")
        << QStringLiteral("Построено: Склад ( 1) — вместимость 800 → 1200");
    QTest::newRow("warehouse level 2 raises it by the difference")
        << QStringLiteral("Склад 1; Ферма 1") << QString() << QStringLiteral("Склад ( 2)")
        << QStringLiteral("Склад 2; Ферма 1") << QStringLiteral("1300/1300/1300/600") << QStringLiteral("30/30/30/20")
        << QStringLiteral("1") << QStringLiteral("Построено: Склад ( 2) — вместимость 800 → 1300");
    QTest::newRow("granary")
        << QStringLiteral("Ферма 1") << QString() << QStringLiteral("Амбар ( 1)") << QStringLiteral("Ферма 1; Амбар 1")
        << QStringLiteral("800/800/800/1200") << QStringLiteral("30/30/30/20") << QStringLiteral("1")
        << QStringLiteral("Построено: Амбар ( 1) — вместимость 600 → 1200");
    QTest::newRow("field at speed 1: the first of its kind at the level below")
        << QStringLiteral("Лесопильный завод 2; Лесопильный завод 1; Лесопильный завод 1") << QString()
        << QStringLiteral("Лесопильный завод ( 2)")
        << QStringLiteral("Лесопильный завод 2; Лесопильный завод 2; Лесопильный завод 1")
        << QStringLiteral("800/800/800/600") << QStringLiteral("34/30/30/20") << QStringLiteral("1")
        << QStringLiteral("Построено: Лесопильный завод ( 2) — производство: Дерево 30 → 34");
    QTest::newRow("field at speed 3")
        << QStringLiteral("Лесопильный завод 1") << QStringLiteral("3") << QStringLiteral("Лесопильный завод ( 2)")
        << QStringLiteral("Лесопильный завод 2") << QStringLiteral("800/800/800/600")
        << QStringLiteral("42/30/30/20") << QStringLiteral("1")
        << QStringLiteral("Построено: Лесопильный завод ( 2) — производство: Дерево 30 → 42");
    QTest::newRow("main building sets the level")
        << QStringLiteral("Главное здание 1") << QString() << QStringLiteral("Главное здание ( 2)")
        << QStringLiteral("Главное здание 2") << QStringLiteral("800/800/800/600") << QStringLiteral("30/30/30/20")
        << QStringLiteral("2") << QStringLiteral("Построено: Главное здание ( 2) — главное здание 1 → 2");
    QTest::newRow("a building absent from the list is added; its upkeep comes off grain")
        << QStringLiteral("Ферма 1") << QStringLiteral("3") << QStringLiteral("Казарма ( 1)")
        << QStringLiteral("Ферма 1; Казарма 1") << QStringLiteral("800/800/800/600")
        << QStringLiteral("30/30/30/8") << QStringLiteral("1")
        << QStringLiteral("Построено: Казарма ( 1) — производство: Зерно 20 → 8");
    QTest::newRow("a village whose buildings are unknown gets no list")
        << QString() << QString() << QStringLiteral("Склад ( 1)") << QString() << QStringLiteral("1200/1200/1200/600")
        << QStringLiteral("30/30/30/20") << QStringLiteral("1")
        << QStringLiteral("Построено: Склад ( 1) — вместимость 800 → 1200");
    QTest::newRow("a text the catalog does not know changes nothing")
        << QStringLiteral("Ферма 1") << QString() << QStringLiteral("Башня ( 1)") << QStringLiteral("Ферма 1")
        << QStringLiteral("800/800/800/600") << QStringLiteral("30/30/30/20") << QStringLiteral("1")
        << QStringLiteral("Построено: Башня ( 1)");
}

void TestBuiltList::finishedConstruction()
{
    QFETCH(QString, built);
    QFETCH(QString, speed);
    QFETCH(QString, finished);
    QFETCH(QString, builtAfter);
    QFETCH(QString, capacities);
    QFETCH(QString, incomes);
    QFETCH(QString, mainLevel);
    QFETCH(QString, line);
    TVillageData village;
    SetAll(village, QStringLiteral("0/0/0/0"), QStringLiteral("30/30/30/20"), QStringLiteral("800/800/800/600"));
    village.SetServerSpeed(speed);
    village.SetBuilt(BuiltList(m_Effects, built));

    QCOMPARE(ApplyFinishedConstruction(village, m_Effects, finished), line);
    QCOMPARE(BuiltText(village.Built), builtAfter);
    QCOMPARE(CapacityText(village), capacities);
    QCOMPARE(IncomeText(village), incomes);
    QCOMPARE(village.MainLevel, mainLevel);
}

// The tick that ends a construction changes the village: one undo step,
// an unwritten edit, the page's line; undoing it takes the capacity back.
void TestBuiltList::finishedOnTick()
{
    const TPinnedClock clock(Noon);
    TVillageDocument document(m_Effects);
    TVillageData &village = document.Village();
    SetAll(village, QStringLiteral("100/100/100/100"), QStringLiteral("0/0/0/0"), QStringLiteral("800/800/800/600"));
    village.SetConstruction(QStringLiteral("Склад ( 1)"), 10, 9);
    document.History().TakeIn();
    QList<TVillageStep> steps;
    connect(&document.History(), &TVillageHistory::StepMade, this, [&](const TVillageStep &step) { steps.append(step); });

    document.Tick();
    QCOMPARE(village.BuildTotal, 0);
    QCOMPARE(CapacityText(village), QStringLiteral("1200/1200/1200/600"));
    QCOMPARE(document.InfoLine(), QStringLiteral("Построено: Склад ( 1) — вместимость 800 → 1200"));
    QVERIFY(document.HasUnwrittenEdits());
    QCOMPARE(steps.size(), 1);
    QCOMPARE(steps.at(0).Name, QStringLiteral("завершение постройки"));
    document.History().Apply(steps.at(0).Before);
    QCOMPARE(CapacityText(village), QStringLiteral("800/800/800/600"));

    // A tick that ends nothing makes no step.
    document.Tick();
    Settle();
    QCOMPARE(steps.size(), 1);
}

// Open finds the construction of the file ended: the stocks grow to its end
// capped at the old capacity, then on under the new one.
void TestBuiltList::finishedFoundOnOpen()
{
    TPinnedClock clock(Noon);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("v.vlgdat"));
    {
        TVillageData village;
        SetAll(village, QStringLiteral("700/0/0/0"), QStringLiteral("3600/0/0/0"), QStringLiteral("800/800/800/600"));
        village.SetBuilt(BuiltList(m_Effects, QStringLiteral("Лесопильный завод 1")));
        village.SetConstruction(QStringLiteral("Склад ( 1)"), 600, 300);
        QVERIFY(WriteVillageFile(village, path).Ok);
    }
    // Saved at noon, ended five minutes later, opened ten minutes later:
    // 300 units before the end, capped at 800, 300 after it.
    clock.Now = Noon.addSecs(600);
    TVillageDocument document(m_Effects);
    document.Village().SetFileName(path);
    QList<TVillageStep> steps;
    connect(&document.History(), &TVillageHistory::StepMade, this, [&](const TVillageStep &step) { steps.append(step); });
    QVERIFY(document.Load().Ok);
    const TVillageData &village = document.Village();
    QCOMPARE(village.BuildTotal, 0);
    QCOMPARE(CapacityText(village), QStringLiteral("1200/1200/1200/600"));
    QCOMPARE(BuiltText(village.Built), QStringLiteral("Лесопильный завод 1; Склад 1"));
    QCOMPARE(village.ResourceCollect[0], QStringLiteral("1100"));
    QVERIFY(document.InfoLine().startsWith(QStringLiteral("Построено: Склад ( 1) — вместимость 800 → 1200")));
    QVERIFY(document.HasUnwrittenEdits());
    QCOMPARE(steps.size(), 1);
    // Undoing the step keeps the stocks as they stand.
    document.History().Apply(steps.at(0).Before);
    QCOMPARE(CapacityText(village), QStringLiteral("800/800/800/600"));
    QCOMPARE(BuiltText(village.Built), QStringLiteral("Лесопильный завод 1"));
    QCOMPARE(village.ResourceCollect[0], QStringLiteral("1100"));
}

void TestBuiltList::projectionAcrossEnd_data()
{
    QTest::addColumn<QString>("running");
    QTest::addColumn<QString>("capacities");
    QTest::addColumn<QStringList>("queue");

    QTest::newRow("warehouse: a market of 1000 wood waits for its capacity")
        << QStringLiteral("Склад ( 1)") << QStringLiteral("800/800/800/800")
        << QStringList{QStringLiteral("Рынок ( 1)"), QStringLiteral("Казарма ( 1)")};
    QTest::newRow("field: its income grows")
        << QStringLiteral("Лесопильный завод ( 1)") << QStringLiteral("2000/2000/2000/2000")
        << QStringList{QStringLiteral("Рынок ( 1)")};
    QTest::newRow("main building: the later build times")
        << QStringLiteral("Главное здание ( 2)") << QStringLiteral("800/800/800/800")
        << QStringList{QStringLiteral("Казарма ( 1)"), QStringLiteral("Стена ( 1)")};
    QTest::newRow("upkeep comes off grain")
        << QStringLiteral("Казарма ( 1)") << QStringLiteral("800/800/800/800") << QStringList{QStringLiteral("Стена ( 1)")};
}

// The queued items start and end at the same moments one second before and
// after the construction in progress ends.
void TestBuiltList::projectionAcrossEnd()
{
    QFETCH(QString, running);
    QFETCH(QString, capacities);
    QFETCH(QStringList, queue);
    TPinnedClock clock(Noon);
    TVillageDocument document(m_Effects);
    TVillageData &village = document.Village();
    // 3600 an hour is one unit a second: the tick's growth is exact.
    SetAll(village, QStringLiteral("500/500/500/0"), QStringLiteral("3600/3600/3600/3600"), capacities);
    village.SetBuilt(BuiltList(m_Effects, QStringLiteral("Главное здание 1")));
    village.SetConstruction(running, 100, 99);
    for (const QString &text : queue)
        village.AppendToQueue({text, m_Effects.FindByDisplayText(text)});

    const QList<TProjectedItem> before = document.Planner().Evaluation().Queue.Items;
    document.Tick();
    clock.Now = Noon.addSecs(1);
    QVERIFY(!document.InfoLine().isEmpty());
    const QList<TProjectedItem> after = document.Planner().Evaluation().Queue.Items;
    QCOMPARE(after.size(), before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        QVERIFY(before.at(i).IsScheduled());
        QCOMPARE(after.at(i).Start, before.at(i).Start - 1);
        QCOMPARE(after.at(i).End, before.at(i).End - 1);
    }
}

void TestBuiltList::builtTable_data()
{
    QTest::addColumn<QString>("built");
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("rows");

    // Shipped catalog: Склад USEGRAIN 1, 1 and EK 1, 2; Главное здание
    // USEGRAIN 2, 2, 3 and EK 1, 2, 2; Лесопильный завод PROD 5, 9, 15.
    QTest::newRow("fields first, each level adds its upkeep, the level's culture")
        << QStringLiteral("Склад 2; Лесопильный завод 3; Главное здание 3; Лесопильный завод 1") << QString()
        << QStringLiteral("Лесопильный завод|3|15 дерево|||2; Лесопильный завод|1|5 дерево|||1; "
                          "Склад|2||1700|2|2; Главное здание|3|||7|2");
    QTest::newRow("production and upkeep at speed 3")
        << QStringLiteral("Склад 1; Лесопильный завод 2") << QStringLiteral("3")
        << QStringLiteral("Лесопильный завод|2|27 дерево|||2; Склад|1||1200|3|1");
    QTest::newRow("an entry the catalog does not know")
        << QStringLiteral("Башня 2; Склад 0") << QString()
        << QStringLiteral("Башня|2|не распознано|||; Склад|0|не распознано|||");
}

void TestBuiltList::builtTable()
{
    QFETCH(QString, built);
    QFETCH(QString, speed);
    QFETCH(QString, rows);
    TVillageData village;
    village.SetServerSpeed(speed);
    village.SetBuilt(BuiltList(m_Shipped, built));
    const TBuiltModel model(village, m_Shipped);
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells.append(model.index(row, column).data().toString());
        texts.append(cells.join(u'|'));
    }
    QCOMPARE(texts.join(QStringLiteral("; ")), rows);
}

// The level is edited in place, one change of the record each; a text
// that is no level is refused; "В очередь" takes the row's own building.
void TestBuiltList::builtTableEdits()
{
    TVillageData village;
    village.SetBuilt(BuiltList(m_Shipped, QStringLiteral("Склад 1; Лесопильный завод 2; Лесопильный завод 1")));
    TBuiltModel model(village, m_Shipped);
    QSignalSpy changes(&village, &TVillageData::BuiltChanged);
    QVERIFY(!model.setData(model.index(0, TBuiltModel::LevelColumn), QStringLiteral("x")));
    QVERIFY(!model.setData(model.index(0, TBuiltModel::NameColumn), QStringLiteral("3")));
    QCOMPARE(changes.size(), 0);
    QVERIFY(model.setData(model.index(1, TBuiltModel::LevelColumn), QStringLiteral("3")));
    QCOMPARE(changes.size(), 1);
    QCOMPARE(BuiltText(village.Built), QStringLiteral("Склад 1; Лесопильный завод 2; Лесопильный завод 3"));
    QCOMPARE(model.NextLevelOf(1)->Text, QStringLiteral("Лесопильный завод ( 4)"));
    QCOMPARE(model.NextLevelOf(0)->Text, QStringLiteral("Лесопильный завод ( 3)"));
    model.AddBuilding(QStringLiteral("Амбар"));
    QVERIFY(model.RemoveRow(model.RowOf(0)));
    QCOMPARE(BuiltText(village.Built), QStringLiteral("Лесопильный завод 2; Лесопильный завод 3; Амбар 1"));
    QCOMPARE(changes.size(), 3);
    QVERIFY(!model.RemoveRow(7));
}

void TestBuiltList::workedOutFigures_data()
{
    QTest::addColumn<QString>("built");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("line");

    const QString built = QStringLiteral("Лесопильный завод 3; Лесопильный завод 1; Главное здание 3; Склад 2");
    QTest::newRow("the typed income within rounding is not marked")
        << built << QStringLiteral("21/0/0/-9")
        << QStringLiteral("По постройкам: Дерево 20, Глина 0, Железо 0, Зерно -9 в час; содержание 9; "
                          "культура 7 в день");
    QTest::newRow("a typed income beyond rounding is marked")
        << built << QStringLiteral("25/0/0/-7")
        << QStringLiteral("По постройкам: Дерево 20 ≠ 25, Глина 0, Железо 0, Зерно -9 ≠ -7 в час; содержание 9; "
                          "культура 7 в день");
    QTest::newRow("no built list, no line") << QString() << QStringLiteral("25/0/0/-7") << QString();
}

void TestBuiltList::workedOutFigures()
{
    QFETCH(QString, built);
    QFETCH(QString, typed);
    QFETCH(QString, line);
    TResourceAmounts incomes{};
    const QStringList texts = typed.split(u'/');
    for (std::size_t i = 0; i < incomes.size(); ++i)
        incomes[i] = texts.at(qsizetype(i)).toInt();
    QCOMPARE(BuiltSummaryText(m_Shipped, BuiltList(m_Shipped, built), 1, incomes), line);
}

void TestBuiltList::nextVillage_data()
{
    QTest::addColumn<qint64>("points");
    QTest::addColumn<qint64>("needed");
    QTest::addColumn<qint64>("perDay");
    QTest::addColumn<QList<TCultureGain>>("gains");
    QTest::addColumn<qint64>("seconds"); // -1: never

    QTest::newRow("reached already") << qint64(500) << qint64(500) << qint64(0) << QList<TCultureGain>{} << qint64(0);
    QTest::newRow("a day at the rate") << qint64(0) << qint64(100) << qint64(100) << QList<TCultureGain>{}
                                       << qint64(86400);
    QTest::newRow("rounded up to the second") << qint64(0) << qint64(1) << qint64(7) << QList<TCultureGain>{}
                                              << qint64(12343);
    QTest::newRow("a queued building adds from its end")
        << qint64(0) << qint64(100) << qint64(50) << QList<TCultureGain>{{43200, 50}} << qint64(108000);
    QTest::newRow("gains in any order")
        << qint64(0) << qint64(100) << qint64(50) << QList<TCultureGain>{{200000, 1000}, {43200, 50}}
        << qint64(108000);
    QTest::newRow("only the queue makes culture")
        << qint64(0) << qint64(1) << qint64(0) << QList<TCultureGain>{{3600, 24}} << qint64(7200);
    QTest::newRow("no culture grows") << qint64(0) << qint64(1) << qint64(0) << QList<TCultureGain>{{3600, 0}}
                                      << qint64(-1);
}

void TestBuiltList::nextVillage()
{
    QFETCH(qint64, points);
    QFETCH(qint64, needed);
    QFETCH(qint64, perDay);
    QFETCH(QList<TCultureGain>, gains);
    QFETCH(qint64, seconds);
    QCOMPARE(SecondsToNextVillage(points, needed, perDay, gains).value_or(-1), seconds);
}

// The points typed grow until now; the queue's culture counts the level's
// added figure from the building's end.
void TestBuiltList::nextVillageText()
{
    QCOMPARE(PointsAt(100, Noon, Noon.addSecs(43200), 50), qint64(125));
    QCOMPARE(PointsAt(100, Noon.addSecs(60), Noon, 50), qint64(100));
    // Ten thousand years at the largest rate: whole days, no overflow.
    QCOMPARE(PointsAt(0, Noon, Noon.addYears(10001), std::numeric_limits<qint32>::max()),
             qint64(std::numeric_limits<qint32>::max()) * 10000 * 365);
    QCOMPARE(CultureGainOf(m_Shipped, m_Shipped.FindByDisplayText(QStringLiteral("Склад ( 2)"))), 1);
    QCOMPARE(CultureGainOf(m_Shipped, m_Shipped.FindByDisplayText(QStringLiteral("Склад ( 1)"))), 1);
    QCOMPARE(CultureGainOf(m_Shipped, m_Shipped.FindByDisplayText(QStringLiteral("Лесопильный завод ( 3)"))), 0);
    QVERIFY(NextVillageText(274200, Noon).startsWith(QStringLiteral("Новая деревня: через 3 д 04:10 (")));
    QVERIFY(NextVillageText(600, Noon).startsWith(QStringLiteral("Новая деревня: через 00:10 (")));
    QCOMPARE(NextVillageText(0, Noon), QStringLiteral("Новая деревня: можно основать"));
    QCOMPARE(NextVillageText(std::nullopt, Noon), QStringLiteral("Новая деревня: культура не растёт"));
}

QTEST_GUILESS_MAIN(TestBuiltList)
#include "tst_builtlist.moc"
