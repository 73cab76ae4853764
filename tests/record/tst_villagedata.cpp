// The village record: a new record's state, the change-flag rules, the
// operations on name, race and main-building level, the sorted list of
// considered buildings, the number readers, the key filters and the
// comparison of texts without regard to letter case.
#include "TestSupport.h"

#include "record/InputRules.h"
#include "base/TextCompare.h"
#include "record/VillageData.h"

#include <QSignalSpy>
#include <QTest>

#include <limits>

namespace {

QList<TAvBuildingEntry> Entries(std::initializer_list<std::pair<const char16_t *, qint32>> pairs)
{
    QList<TAvBuildingEntry> entries;
    for (const auto &[text, index] : pairs)
        entries.append(TAvBuildingEntry{QString::fromUtf16(text), index});
    return entries;
}


} // namespace

class TestVillageData : public QObject
{
    Q_OBJECT

private slots:
    void newRecord();

    void setName();
    void setNameSameTextDoesNothing();
    void setRace_data();
    void setRace();
    void raceDisplayName_data();
    void raceDisplayName();

    void setMainLevel_data();
    void setMainLevel();
    void setMainLevelSameTextDoesNothing();
    void commitMainLevel_data();
    void commitMainLevel();

    void modifiedUntouchedByStoredTextsAndListChanges();
    void modifiedStaysSet();
    void handEditsSetModified_data();
    void handEditsSetModified();
    void modifiedAnnouncesItsChanges();
    void commentsHoldCrLf_data();
    void commentsHoldCrLf();
    void setStocksKeepsKindsWithoutValue();
    void fileNameAnnounced();

    void resourceValues_data();
    void resourceValues();

    void replaceSortsIgnoringCase();
    void replaceKeepsGivenOrderOfEqualTexts();
    void addGoesAfterEqualTexts();
    void indexOfIgnoresCase();
    void indexOfAgreesWithTheComparison_data();
    void indexOfAgreesWithTheComparison();
    void indexOfFollowsChanges();
    void addSeveralAsOneAddsOneByOne();
    void addUnknownBuildingsAnnouncesOnce();
    void removeAvBuilding_data();
    void removeAvBuilding();
    void replaceAtKeepsPosition();

    void inputRules_data();
    void inputRules();
    void capacityValue_data();
    void capacityValue();
    void editCapacity_data();
    void editCapacity();
    void queueOperations_data();
    void queueOperations();
    void compareText_data();
    void compareText();
};

void TestVillageData::capacityValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("empty is unknown") << QString() << -1;
    QTest::newRow("zero is known") << QStringLiteral("0") << 0;
    QTest::newRow("plain number") << QStringLiteral("800") << 800;
    QTest::newRow("negative is unknown") << QStringLiteral("-1") << -1;
    QTest::newRow("letters are unknown") << QStringLiteral("80a") << -1;
    QTest::newRow("beyond 32 bits is unknown") << QStringLiteral("2147483648") << -1;
}

void TestVillageData::capacityValue()
{
    QFETCH(QString, text);
    QFETCH(qint32, expected);

    TVillageData village;
    village.SetCapacity(TResourceKind::Iron, text);
    QCOMPARE(village.CapacityValue(TResourceKind::Iron), expected);
    QCOMPARE(village.CapacityValue(TResourceKind::Wood), -1);
    // Read from a file or imported: the record is not marked.
    QVERIFY(!village.Modified);
}

void TestVillageData::editCapacity_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("changes");

    QTest::newRow("a number where none was") << QString() << QStringLiteral("800") << true;
    QTest::newRow("cleared") << QStringLiteral("800") << QString() << true;
    QTest::newRow("no number still counts as a change") << QStringLiteral("800") << QStringLiteral("8x") << true;
    QTest::newRow("the same text") << QStringLiteral("800") << QStringLiteral("800") << false;
}

void TestVillageData::editCapacity()
{
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(bool, changes);

    TVillageData village;
    village.SetCapacity(TResourceKind::Grain, before);
    QSignalSpy recalculations(&village, &TVillageData::RecalculationRequested);
    QSignalSpy resources(&village, &TVillageData::ResourcesChanged);
    QSignalSpy modified(&village, &TVillageData::ModifiedChanged);

    village.EditCapacity(TResourceKind::Grain, typed);
    QCOMPARE(village.Capacity[KindIndex(TResourceKind::Grain)], typed);
    QCOMPARE(village.Modified, changes);
    // The caption's change mark follows.
    QCOMPARE(modified.count(), changes ? 1 : 0);
    QCOMPARE(recalculations.count(), changes ? 1 : 0);
    QCOMPARE(resources.count(), changes ? 1 : 0);
}

void TestVillageData::queueOperations_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("changes");

    // The queue before each row: A B A' (A twice: its next level after it).
    QTest::newRow("append keeps duplicates") << QStringLiteral("append") << 0 << QStringLiteral("A,B,A,C") << true;
    QTest::newRow("remove the middle") << QStringLiteral("remove") << 1 << QStringLiteral("A,A") << true;
    QTest::newRow("remove past the end") << QStringLiteral("remove") << 3 << QStringLiteral("A,B,A") << false;
    QTest::newRow("up from the last") << QStringLiteral("up") << 2 << QStringLiteral("A,A,B") << true;
    QTest::newRow("up from the first") << QStringLiteral("up") << 0 << QStringLiteral("A,B,A") << false;
    QTest::newRow("down from the first") << QStringLiteral("down") << 0 << QStringLiteral("B,A,A") << true;
    QTest::newRow("down from the last") << QStringLiteral("down") << 2 << QStringLiteral("A,B,A") << false;
    QTest::newRow("take the first") << QStringLiteral("take") << 0 << QStringLiteral("B,A") << true;
    QTest::newRow("move the first to the end") << QStringLiteral("move 2") << 0 << QStringLiteral("B,A,A") << true;
    QTest::newRow("move the last to the front") << QStringLiteral("move 0") << 2 << QStringLiteral("A,A,B") << true;
    QTest::newRow("move onto itself") << QStringLiteral("move 1") << 1 << QStringLiteral("A,B,A") << false;
    QTest::newRow("move past the end") << QStringLiteral("move 3") << 0 << QStringLiteral("A,B,A") << false;
    QTest::newRow("move from before the front") << QStringLiteral("move 0") << -1 << QStringLiteral("A,B,A") << false;
}

void TestVillageData::queueOperations()
{
    QFETCH(QString, operation);
    QFETCH(int, position);
    QFETCH(QString, expected);
    QFETCH(bool, changes);

    TVillageData village;
    village.Queue = {{QStringLiteral("A"), 0}, {QStringLiteral("B"), -1}, {QStringLiteral("A"), 0}};
    QSignalSpy spy(&village, &TVillageData::QueueChanged);
    // The window's save command and title follow this announcement.
    QSignalSpy modified(&village, &TVillageData::ModifiedChanged);

    bool done = true;
    if (operation == u"append") {
        village.AppendToQueue({QStringLiteral("C"), 2});
    } else if (operation == u"remove") {
        done = village.RemoveFromQueue(position);
    } else if (operation == u"up") {
        done = village.MoveQueueItemUp(position);
    } else if (operation == u"down") {
        done = village.MoveQueueItemDown(position);
    } else if (operation.startsWith(u"move ")) {
        done = village.MoveQueueItem(position, operation.mid(5).toInt());
    } else {
        TAvBuildingEntry taken;
        done = village.TakeFirstQueueItem(taken);
        QCOMPARE(taken, (TAvBuildingEntry{QStringLiteral("A"), 0}));
    }

    QStringList texts;
    for (const TAvBuildingEntry &entry : std::as_const(village.Queue))
        texts.append(entry.Text);
    QCOMPARE(texts.join(u','), expected);
    QCOMPARE(done, changes);
    QCOMPARE(village.Modified, changes);
    QCOMPARE(spy.count(), changes ? 1 : 0);
    QCOMPARE(modified.count(), changes ? 1 : 0);
}

void TestVillageData::newRecord()
{
    TVillageData village;
    QCOMPARE(village.Name, QString());
    QCOMPARE(village.Race, quint8(0));
    QCOMPARE(village.MainLevel, QStringLiteral("1"));
    QCOMPARE(village.MainLevelValue(), 1);
    for (TResourceKind kind : AllResourceKinds) {
        QVERIFY(village.ResourceCollect[KindIndex(kind)].isEmpty());
        QVERIFY(village.ResourceAdd[KindIndex(kind)].isEmpty());
        QCOMPARE(village.ResourceCollectValue(kind), 0);
        QCOMPARE(village.ResourceAddValue(kind), 0);
    }
    QVERIFY(village.AvBuildings.isEmpty());
    QVERIFY(village.Comments.isEmpty());
    QCOMPARE(village.Horizon, 3600);
    QCOMPARE(village.HourCounter, 0);
    QVERIFY(village.BuildName.isEmpty());
    QCOMPARE(village.BuildTotal, 0);
    QCOMPARE(village.BuildElapsed, 0);
    QVERIFY(village.FileName.isEmpty());
    QCOMPARE(village.Modified, false);
}

void TestVillageData::setName()
{
    TVillageData village;
    QSignalSpy names(&village, &TVillageData::NameChanged);
    village.SetName(QStringLiteral("Столица"));
    QCOMPARE(village.Name, QStringLiteral("Столица"));
    QVERIFY(village.Modified);
    QCOMPARE(names.count(), 1);
    QCOMPARE(names.at(0).at(0).toString(), QStringLiteral("Столица"));

    // A change of letter case is a change of the text.
    village.SetName(QStringLiteral("столица"));
    QCOMPARE(names.count(), 2);
    QCOMPARE(village.Name, QStringLiteral("столица"));
}

void TestVillageData::setNameSameTextDoesNothing()
{
    TVillageData village;
    QSignalSpy names(&village, &TVillageData::NameChanged);
    // The new record's name is empty: setting it empty again changes nothing.
    village.SetName(QString());
    QCOMPARE(names.count(), 0);
    QCOMPARE(village.Modified, false);

    // A name set to the text it already has: no caption change, and the
    // flag stays as it was, also when it had been cleared since.
    village.SetName(QStringLiteral("Хутор"));
    QCOMPARE(names.count(), 1);
    village.Modified = false;
    village.SetName(QStringLiteral("Хутор"));
    QCOMPARE(names.count(), 1);
    QCOMPARE(village.Modified, false);
}

void TestVillageData::setRace_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("race");

    QTest::newRow("Римляне") << 0 << 1;
    QTest::newRow("Галлы") << 1 << 2;
    QTest::newRow("Германцы") << 2 << 3;
    QTest::newRow("no selection") << -1 << 0;
    QTest::newRow("past the list") << 3 << 0;
    QTest::newRow("far past the list") << 1000 << 0;
    QTest::newRow("far below the list") << std::numeric_limits<int>::min() << 0;
}

void TestVillageData::setRace()
{
    QFETCH(int, position);
    QFETCH(int, race);

    TVillageData village;
    village.ReplaceAvBuildings(Entries({{u"Ферма ( 5)", 7}}));
    QSignalSpy recalculations(&village, &TVillageData::RecalculationRequested);
    QSignalSpy lists(&village, &TVillageData::AvBuildingsChanged);

    village.SetRace(position);
    QCOMPARE(int(village.Race), race);
    QVERIFY(village.Modified);
    QCOMPARE(village.AvBuildings, Entries({{u"Ферма ( 5)", 7}}));
    QCOMPARE(recalculations.count(), 0);
    QCOMPARE(lists.count(), 0);
}

void TestVillageData::raceDisplayName_data()
{
    QTest::addColumn<int>("race");
    QTest::addColumn<QString>("name");

    QTest::newRow("none") << 0 << QString();
    QTest::newRow("1") << 1 << QStringLiteral("Римляне");
    QTest::newRow("2") << 2 << QStringLiteral("Галлы");
    QTest::newRow("3") << 3 << QStringLiteral("Германцы");
    QTest::newRow("4") << 4 << QString();
    QTest::newRow("negative") << -1 << QString();
}

void TestVillageData::raceDisplayName()
{
    QFETCH(int, race);
    QFETCH(QString, name);
    QCOMPARE(TVillageData::RaceDisplayName(race), name);
    QCOMPARE(TVillageData::RaceNames(),
             QStringList({QStringLiteral("Римляне"), QStringLiteral("Галлы"), QStringLiteral("Германцы")}));
}

void TestVillageData::setMainLevel_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("recalculates");
    QTest::addColumn<int>("value");

    QTest::newRow("digit 7") << QStringLiteral("7") << true << 7;
    QTest::newRow("two digits") << QStringLiteral("20") << true << 20;
    QTest::newRow("zero") << QStringLiteral("0") << true << 0;
    QTest::newRow("beyond the table") << QStringLiteral("99") << true << 99;
    QTest::newRow("leading blanks") << QStringLiteral("  5") << true << 5;
    QTest::newRow("hexadecimal") << QStringLiteral("$A") << true << 10;
    QTest::newRow("empty while typing") << QString() << false << 1;
    QTest::newRow("letters") << QStringLiteral("ab") << false << 1;
    QTest::newRow("trailing blank") << QStringLiteral("5 ") << false << 1;
    QTest::newRow("too large") << QStringLiteral("2147483648") << false << 1;
}

void TestVillageData::setMainLevel()
{
    QFETCH(QString, text);
    QFETCH(bool, recalculates);
    QFETCH(int, value);

    TVillageData village;
    QSignalSpy recalculations(&village, &TVillageData::RecalculationRequested);
    QSignalSpy levels(&village, &TVillageData::MainLevelChanged);

    village.SetMainLevel(text);
    QCOMPARE(village.MainLevel, text);
    QCOMPARE(village.MainLevelValue(), value);
    QVERIFY(village.Modified);
    QCOMPARE(levels.count(), 1);
    QCOMPARE(recalculations.count(), recalculates ? 1 : 0);
}

void TestVillageData::setMainLevelSameTextDoesNothing()
{
    TVillageData village;
    QSignalSpy recalculations(&village, &TVillageData::RecalculationRequested);
    QSignalSpy levels(&village, &TVillageData::MainLevelChanged);
    village.SetMainLevel(QStringLiteral("1"));
    QCOMPARE(village.Modified, false);
    QCOMPARE(levels.count(), 0);
    QCOMPARE(recalculations.count(), 0);
}

void TestVillageData::commitMainLevel_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("committed");
    QTest::addColumn<int>("recalculations");

    // Typing recalculates for a whole number; leaving the field puts "1"
    // back for anything else, which recalculates.
    QTest::newRow("cleared") << QString() << QStringLiteral("1") << 1;
    QTest::newRow("letters") << QStringLiteral("x") << QStringLiteral("1") << 1;
    QTest::newRow("whole number kept") << QStringLiteral("7") << QStringLiteral("7") << 1;
    QTest::newRow("zero kept") << QStringLiteral("0") << QStringLiteral("0") << 1;
}

void TestVillageData::commitMainLevel()
{
    QFETCH(QString, typed);
    QFETCH(QString, committed);
    QFETCH(int, recalculations);

    TVillageData village;
    QSignalSpy requests(&village, &TVillageData::RecalculationRequested);
    village.SetMainLevel(typed);
    village.CommitMainLevel();
    QCOMPARE(village.MainLevel, committed);
    QCOMPARE(requests.count(), recalculations);
}

void TestVillageData::modifiedUntouchedByStoredTextsAndListChanges()
{
    TVillageData village;
    QSignalSpy resources(&village, &TVillageData::ResourcesChanged);
    QSignalSpy lists(&village, &TVillageData::AvBuildingsChanged);

    village.SetResourceCollect(TResourceKind::Wood, QStringLiteral("120"));
    village.SetResourceAdd(TResourceKind::Grain, QStringLiteral("abc"));
    QCOMPARE(resources.count(), 2);
    QCOMPARE(village.ResourceCollect[0], QStringLiteral("120"));
    QCOMPARE(village.ResourceAdd[3], QStringLiteral("abc"));

    village.ReplaceAvBuildings(Entries({{u"Склад ( 3)", 4}, {u"Амбар ( 1)", 8}}));
    village.AddAvBuilding(TAvBuildingEntry{QStringLiteral("Ферма ( 3)"), 6});
    QVERIFY(village.ReplaceAvBuildingAt(0, TAvBuildingEntry{QStringLiteral("Амбар ( 2)"), 9}));
    QVERIFY(village.RemoveAvBuilding(1));
    QCOMPARE(lists.count(), 4);
    village.Comments = QStringLiteral("заметка");

    QCOMPARE(village.Modified, false);
}

void TestVillageData::modifiedStaysSet()
{
    TVillageData village;
    village.SetRace(1);
    QVERIFY(village.Modified);
    // Nothing but creation clears the flag.
    village.ReplaceAvBuildings({});
    village.SetName(QStringLiteral("Деревня"));
    village.SetMainLevel(QStringLiteral("1"));
    village.CommitMainLevel();
    village.SetResourceCollect(TResourceKind::Clay, QStringLiteral("5"));
    QVERIFY(village.Modified);
}

void TestVillageData::handEditsSetModified_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("recalculated");

    // The record starts with stock "10", income "", comments "a", and the
    // considered list Склад ( 3).
    QTest::newRow("stock typed") << "stock" << "20" << true << true;
    QTest::newRow("stock typed as it was") << "stock" << "10" << false << false;
    QTest::newRow("income typed") << "income" << "-5" << true << true;
    QTest::newRow("income typed as it was") << "income" << "" << false << false;
    QTest::newRow("comment typed") << "comments" << "a\nb" << true << false;
    QTest::newRow("comment as it was") << "comments" << "a" << false << false;
    QTest::newRow("another choice of buildings") << "choose" << "Амбар ( 1)" << true << false;
    QTest::newRow("the same choice of buildings") << "choose" << "Склад ( 3)" << false << false;
}

void TestVillageData::handEditsSetModified()
{
    QFETCH(QString, edit);
    QFETCH(QString, text);
    QFETCH(bool, modified);
    QFETCH(bool, recalculated);

    TVillageData village;
    village.SetResourceCollect(TResourceKind::Iron, QStringLiteral("10"));
    village.SetComments(QStringLiteral("a"));
    village.ReplaceAvBuildings({{QStringLiteral("Склад ( 3)"), 4}});
    village.SetModified(false);
    QSignalSpy recalculations(&village, &TVillageData::RecalculationRequested);

    if (edit == QLatin1String("stock"))
        village.EditResourceCollect(TResourceKind::Iron, text);
    else if (edit == QLatin1String("income"))
        village.EditResourceAdd(TResourceKind::Iron, text);
    else if (edit == QLatin1String("comments"))
        village.SetComments(text);
    else
        village.ChooseAvBuildings({{text, 4}});
    QCOMPARE(village.Modified, modified);
    QCOMPARE(recalculations.count(), recalculated ? 1 : 0);
}

void TestVillageData::modifiedAnnouncesItsChanges()
{
    TVillageData village;
    QSignalSpy announced(&village, &TVillageData::ModifiedChanged);
    village.SetName(QStringLiteral("Север"));
    village.SetRace(1);
    QCOMPARE(announced.count(), 1);
    QCOMPARE(announced.last().at(0).toBool(), true);
    village.SetModified(false);
    village.SetModified(false);
    QCOMPARE(announced.count(), 2);
    QCOMPARE(announced.last().at(0).toBool(), false);
}

void TestVillageData::commentsHoldCrLf_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("held");

    QTest::newRow("one line") << "заметка" << "заметка";
    QTest::newRow("line feeds") << "a\nb\n" << "a\r\nb\r\n";
    QTest::newRow("CR LF already") << "a\r\nb" << "a\r\nb";
    QTest::newRow("mixed") << "a\r\nb\nc" << "a\r\nb\r\nc";
    QTest::newRow("empty") << "" << "";
}

void TestVillageData::commentsHoldCrLf()
{
    QFETCH(QString, typed);
    QFETCH(QString, held);
    TVillageData village;
    village.SetComments(typed);
    QCOMPARE(village.Comments, held);
    QCOMPARE(village.CommentsText(), QString(held).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void TestVillageData::setStocksKeepsKindsWithoutValue()
{
    TVillageData village;
    village.SetResourceCollect(TResourceKind::Clay, QStringLiteral("много"));
    QSignalSpy resources(&village, &TVillageData::ResourcesChanged);
    village.SetStocks({-3, std::nullopt, 2147483647, std::nullopt});
    QCOMPARE(resources.count(), 1);
    QCOMPARE(village.ResourceCollect, (std::array<QString, 4>{"-3", "много", "2147483647", ""}));
    QVERIFY(!village.Modified);
}

void TestVillageData::fileNameAnnounced()
{
    TVillageData village;
    QSignalSpy announced(&village, &TVillageData::FileNameChanged);
    village.SetFileName(QStringLiteral("/tmp/a.vlgdat"));
    village.SetFileName(QStringLiteral("/tmp/a.vlgdat"));
    QCOMPARE(announced.count(), 1);
    QCOMPARE(village.FileName, QStringLiteral("/tmp/a.vlgdat"));
    QVERIFY(!village.Modified);
}

void TestVillageData::resourceValues_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("resource");
    QTest::addColumn<int>("level");

    QTest::newRow("empty") << QString() << 0 << 1;
    QTest::newRow("letters") << QStringLiteral("abc") << 0 << 1;
    QTest::newRow("decimal") << QStringLiteral("120") << 120 << 120;
    QTest::newRow("leading blanks") << QStringLiteral("  42") << 42 << 42;
    QTest::newRow("plus sign") << QStringLiteral("+8") << 8 << 8;
    QTest::newRow("negative") << QStringLiteral("-5") << -5 << -5;
    QTest::newRow("dollar hexadecimal") << QStringLiteral("$ff") << 255 << 255;
    QTest::newRow("0x hexadecimal") << QStringLiteral("0x10") << 16 << 16;
    QTest::newRow("digits then letter") << QStringLiteral("12a") << 0 << 1;
    QTest::newRow("largest") << QStringLiteral("2147483647") << std::numeric_limits<int>::max()
                             << std::numeric_limits<int>::max();
    QTest::newRow("smallest") << QStringLiteral("-2147483648") << std::numeric_limits<int>::min()
                              << std::numeric_limits<int>::min();
    QTest::newRow("beyond 32 bits") << QStringLiteral("2147483648") << 0 << 1;
}

void TestVillageData::resourceValues()
{
    QFETCH(QString, text);
    QFETCH(int, resource);
    QFETCH(int, level);

    TVillageData village;
    for (TResourceKind kind : AllResourceKinds) {
        village.SetResourceCollect(kind, text);
        village.SetResourceAdd(kind, text);
    }
    village.SetMainLevel(text);
    for (TResourceKind kind : AllResourceKinds) {
        QCOMPARE(village.ResourceCollectValue(kind), resource);
        QCOMPARE(village.ResourceAddValue(kind), resource);
        // The text itself is held as it came.
        QCOMPARE(village.ResourceCollect[KindIndex(kind)], text);
    }
    QCOMPARE(village.MainLevelValue(), level);
}

void TestVillageData::replaceSortsIgnoringCase()
{
    TVillageData village;
    // The example of the village page: Ферма first, Главное здание listed first.
    village.ReplaceAvBuildings(Entries({{u"Ферма ( 5)", 10}, {u"Главное здание ( 2)", 1}}));
    QCOMPARE(EntryTexts(village.AvBuildings),
             QStringList({QStringLiteral("Главное здание ( 2)"), QStringLiteral("Ферма ( 5)")}));
    QCOMPARE(village.AvBuildings.at(0).CatalogIndex, 1);

    // Lower-case Cyrillic letters follow every upper-case one by code, so a
    // comparison that heeded letter case would put "склад" last. The blank
    // before one-digit levels puts level 9 before level 10.
    village.ReplaceAvBuildings(Entries({{u"склад ( 1)", 1},
                                        {u"Ферма (10)", 2},
                                        {u"Амбар ( 2)", 3},
                                        {u"Ферма ( 9)", 4},
                                        {u"ГЛАВНОЕ здание ( 1)", 5}}));
    QCOMPARE(EntryTexts(village.AvBuildings),
             QStringList({QStringLiteral("Амбар ( 2)"), QStringLiteral("ГЛАВНОЕ здание ( 1)"),
                          QStringLiteral("склад ( 1)"), QStringLiteral("Ферма ( 9)"),
                          QStringLiteral("Ферма (10)")}));
}

void TestVillageData::replaceKeepsGivenOrderOfEqualTexts()
{
    TVillageData village;
    village.ReplaceAvBuildings(
        Entries({{u"Склад ( 3)", 1}, {u"ферма ( 1)", 2}, {u"Амбар ( 1)", 3}, {u"Ферма ( 1)", 4}}));
    QCOMPARE(village.AvBuildings,
             Entries({{u"Амбар ( 1)", 3}, {u"Склад ( 3)", 1}, {u"ферма ( 1)", 2}, {u"Ферма ( 1)", 4}}));

    // Replacing removes every earlier entry.
    village.ReplaceAvBuildings(Entries({{u"Амбар ( 2)", 9}}));
    QCOMPARE(village.AvBuildings, Entries({{u"Амбар ( 2)", 9}}));
    village.ReplaceAvBuildings({});
    QVERIFY(village.AvBuildings.isEmpty());
}

void TestVillageData::addGoesAfterEqualTexts()
{
    TVillageData village;
    village.ReplaceAvBuildings(Entries({{u"Амбар ( 1)", 1}, {u"Ферма ( 9)", 2}, {u"Склад ( 3)", 3}}));
    village.AddAvBuilding(TAvBuildingEntry{QStringLiteral("ФЕРМА ( 9)"), 4});
    village.AddAvBuilding(TAvBuildingEntry{QStringLiteral("Ферма (10)"), 5});
    village.AddAvBuilding(TAvBuildingEntry{QStringLiteral("Академия ( 1)"), 6});
    QCOMPARE(village.AvBuildings, Entries({{u"Академия ( 1)", 6},
                                           {u"Амбар ( 1)", 1},
                                           {u"Склад ( 3)", 3},
                                           {u"Ферма ( 9)", 2},
                                           {u"ФЕРМА ( 9)", 4},
                                           {u"Ферма (10)", 5}}));
}

void TestVillageData::indexOfIgnoresCase()
{
    TVillageData village;
    village.ReplaceAvBuildings(Entries({{u"Амбар ( 1)", 1}, {u"Ферма ( 9)", 2}, {u"Ферма ( 9)", 3}}));
    QCOMPARE(village.IndexOfAvBuilding(u"ФЕРМА ( 9)"), 1);
    QCOMPARE(village.IndexOfAvBuilding(u"амбар ( 1)"), 0);
    // Whole texts only.
    QCOMPARE(village.IndexOfAvBuilding(u"Амбар"), -1);
    QCOMPARE(village.IndexOfAvBuilding(u"Амбар (1)"), -1);
    QCOMPARE(village.IndexOfAvBuilding(u""), -1);
}

void TestVillageData::indexOfAgreesWithTheComparison_data()
{
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("asked");

    // Each row: a list of one text and another text; the look-up finds it
    // exactly when the comparison calls the two the same.
    QTest::newRow("Cyrillic case") << QStringLiteral("Ферма ( 9)") << QStringLiteral("фЕРМА ( 9)");
    QTest::newRow("ё and Ё") << QStringLiteral("Ёлка ( 1)") << QStringLiteral("ёЛКА ( 1)");
    QTest::newRow("е is not ё") << QStringLiteral("Ёлка ( 1)") << QStringLiteral("Елка ( 1)");
    QTest::newRow("Kelvin sign folds to k") << QStringLiteral("k") << QStringLiteral("\u212A");
    QTest::newRow("final sigma") << QStringLiteral("\u03C2") << QStringLiteral("\u03A3");
    QTest::newRow("sharp s is not ss") << QStringLiteral("\u00DF") << QStringLiteral("ss");
    QTest::newRow("dotted capital I is not i") << QStringLiteral("\u0130") << QStringLiteral("i");
    QTest::newRow("letter outside the basic plane")
        << QString::fromUcs4(U"\U00010400 ( 1)") << QString::fromUcs4(U"\U00010428 ( 1)");
    QTest::newRow("half of a pair alone") << QStringLiteral("\xD801") << QStringLiteral("\xD801");
    QTest::newRow("longer text") << QStringLiteral("Ферма ( 9)") << QStringLiteral("Ферма ( 9) ");
}

void TestVillageData::indexOfAgreesWithTheComparison()
{
    QFETCH(QString, listed);
    QFETCH(QString, asked);

    TVillageData village;
    QList<TAvBuildingEntry> entries = Entries({{u"Амбар ( 1)", 1}, {u"Склад ( 3)", 3}});
    entries.append({listed, 2});
    village.ReplaceAvBuildings(entries);
    const int position = int(village.AvBuildings.indexOf(TAvBuildingEntry{listed, 2}));
    QCOMPARE(village.IndexOfAvBuilding(asked), SameText(listed, asked) ? position : -1);
    QCOMPARE(village.IndexOfAvBuilding(listed), position);
}

void TestVillageData::indexOfFollowsChanges()
{
    TVillageData village;
    village.ReplaceAvBuildings(Entries({{u"Амбар ( 1)", 1}, {u"Ферма ( 9)", 2}}));
    QCOMPARE(village.IndexOfAvBuilding(u"ферма ( 9)"), 1);

    village.AddAvBuilding(TAvBuildingEntry{QStringLiteral("Академия ( 1)"), 3});
    QCOMPARE(village.IndexOfAvBuilding(u"ферма ( 9)"), 2);
    QCOMPARE(village.IndexOfAvBuilding(u"академия ( 1)"), 0);

    QVERIFY(village.RemoveAvBuilding(0));
    QCOMPARE(village.IndexOfAvBuilding(u"ферма ( 9)"), 1);
    QCOMPARE(village.IndexOfAvBuilding(u"академия ( 1)"), -1);

    QVERIFY(village.ReplaceAvBuildingAt(1, TAvBuildingEntry{QStringLiteral("Ферма (10)"), 4}));
    QCOMPARE(village.IndexOfAvBuilding(u"ферма ( 9)"), -1);
    QCOMPARE(village.IndexOfAvBuilding(u"ферма (10)"), 1);

    village.AddAvBuildings(Entries({{u"ФЕРМА (10)", 5}, {u"Амбар ( 2)", 6}}));
    QCOMPARE(village.IndexOfAvBuilding(u"ферма (10)"), 2);
    QCOMPARE(village.IndexOfAvBuilding(u"амбар ( 2)"), 1);

    village.ReplaceAvBuildings({});
    QCOMPARE(village.IndexOfAvBuilding(u"амбар ( 1)"), -1);
}

void TestVillageData::addSeveralAsOneAddsOneByOne()
{
    const QList<TAvBuildingEntry> start = Entries({{u"Амбар ( 1)", 1}, {u"Ферма ( 9)", 2}, {u"Склад ( 3)", 3}});
    const QList<TAvBuildingEntry> added =
        Entries({{u"ФЕРМА ( 9)", 4}, {u"Академия ( 1)", 5}, {u"ферма ( 9)", 6}, {u"Ферма (10)", 7}});
    TVillageData oneByOne;
    oneByOne.ReplaceAvBuildings(start);
    for (const TAvBuildingEntry &entry : added)
        oneByOne.AddAvBuilding(entry);

    TVillageData atOnce;
    atOnce.ReplaceAvBuildings(start);
    QSignalSpy spy(&atOnce, &TVillageData::AvBuildingsChanged);
    atOnce.AddAvBuildings(added);
    QCOMPARE(atOnce.AvBuildings, oneByOne.AvBuildings);
    QCOMPARE(spy.count(), 1);
    atOnce.AddAvBuildings({});
    QCOMPARE(spy.count(), 1);
}

void TestVillageData::addUnknownBuildingsAnnouncesOnce()
{
    TVillageData village;
    village.AddUnknownBuilding(QStringLiteral("Башня ( 1)"));
    QSignalSpy spy(&village, &TVillageData::AvBuildingsChanged);
    village.AddUnknownBuildings({QStringLiteral("БАШНЯ ( 1)"), QStringLiteral("Мост ( 2)"), QStringLiteral("мост ( 2)"),
                                 QStringLiteral("Ров ( 1)")});
    QCOMPARE(village.UnknownBuildings,
             QStringList({QStringLiteral("Башня ( 1)"), QStringLiteral("Мост ( 2)"), QStringLiteral("Ров ( 1)")}));
    QCOMPARE(spy.count(), 1);
    // Nothing new: no announcement.
    village.AddUnknownBuildings({QStringLiteral("ров ( 1)")});
    QCOMPARE(spy.count(), 1);
}

void TestVillageData::removeAvBuilding_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QStringList>("remaining");

    const QString a = QStringLiteral("Амбар ( 1)");
    const QString b = QStringLiteral("Склад ( 3)");
    const QString c = QStringLiteral("Ферма ( 9)");
    QTest::newRow("first") << 0 << QStringList({b, c});
    QTest::newRow("middle") << 1 << QStringList({a, c});
    QTest::newRow("last") << 2 << QStringList({a, b});
    QTest::newRow("no selection") << -1 << QStringList({a, b, c});
    QTest::newRow("past the end") << 3 << QStringList({a, b, c});
}

void TestVillageData::removeAvBuilding()
{
    QFETCH(int, position);
    QFETCH(QStringList, remaining);

    TVillageData village;
    village.ReplaceAvBuildings(Entries({{u"Ферма ( 9)", 3}, {u"Амбар ( 1)", 1}, {u"Склад ( 3)", 2}}));
    QSignalSpy lists(&village, &TVillageData::AvBuildingsChanged);
    const bool removed = village.RemoveAvBuilding(position);
    QCOMPARE(EntryTexts(village.AvBuildings), remaining);
    QCOMPARE(removed, remaining.size() == 2);
    QCOMPARE(lists.count(), removed ? 1 : 0);
    QCOMPARE(village.Modified, false);
}

void TestVillageData::replaceAtKeepsPosition()
{
    TVillageData village;
    village.ReplaceAvBuildings(Entries({{u"Амбар ( 1)", 1}, {u"Склад ( 9)", 2}, {u"Ферма ( 3)", 3}}));
    QVERIFY(village.ReplaceAvBuildingAt(1, TAvBuildingEntry{QStringLiteral("Склад (10)"), 7}));
    QCOMPARE(village.AvBuildings, Entries({{u"Амбар ( 1)", 1}, {u"Склад (10)", 7}, {u"Ферма ( 3)", 3}}));
    QVERIFY(!village.ReplaceAvBuildingAt(3, TAvBuildingEntry{QStringLiteral("Рынок ( 1)"), 8}));
    QVERIFY(!village.ReplaceAvBuildingAt(-1, TAvBuildingEntry{QStringLiteral("Рынок ( 1)"), 8}));
    QCOMPARE(village.AvBuildings.size(), 3);
}

void TestVillageData::inputRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("level");
    QTest::addColumn<bool>("stock");
    QTest::addColumn<bool>("income");

    QTest::newRow("empty") << QString() << true << true << true;
    QTest::newRow("digit 0") << QStringLiteral("0") << true << true << true;
    QTest::newRow("two digits") << QStringLiteral("99") << true << true << true;
    QTest::newRow("three digits") << QStringLiteral("100") << false << true << true;
    QTest::newRow("largest 32-bit") << QStringLiteral("2147483647") << false << true << true;
    QTest::newRow("beyond 32 bits") << QStringLiteral("2147483648") << false << false << false;
    QTest::newRow("lone minus") << QStringLiteral("-") << false << false << true;
    QTest::newRow("negative") << QStringLiteral("-25") << false << false << true;
    QTest::newRow("smallest 32-bit") << QStringLiteral("-2147483648") << false << false << true;
    QTest::newRow("below 32 bits") << QStringLiteral("-2147483649") << false << false << false;
    QTest::newRow("minus inside") << QStringLiteral("1-2") << false << false << false;
    QTest::newRow("two minus signs") << QStringLiteral("--5") << false << false << false;
    QTest::newRow("plus") << QStringLiteral("+5") << false << false << false;
    QTest::newRow("pasted digits and letters") << QStringLiteral("12abc") << false << false << false;
    QTest::newRow("letter") << QStringLiteral("a") << false << false << false;
    QTest::newRow("Cyrillic letter") << QStringLiteral("ж") << false << false << false;
    QTest::newRow("blank") << QStringLiteral(" 5") << false << false << false;
    QTest::newRow("hexadecimal") << QStringLiteral("$1F") << false << false << false;
    QTest::newRow("line break") << QStringLiteral("5\n") << false << false << false;
    QTest::newRow("Arabic-Indic digit") << QStringLiteral("\u0663") << false << false << false;
    QTest::newRow("full-width digit") << QStringLiteral("\uFF15") << false << false << false;
}

void TestVillageData::inputRules()
{
    QFETCH(QString, text);
    QFETCH(bool, level);
    QFETCH(bool, stock);
    QFETCH(bool, income);
    QCOMPARE(AcceptMainLevelText(text), level);
    QCOMPARE(AcceptStockText(text), stock);
    QCOMPARE(AcceptIncomeText(text), income);
}

void TestVillageData::compareText_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");

    QTest::newRow("same") << QStringLiteral("Ферма ( 5)") << QStringLiteral("Ферма ( 5)") << 0;
    QTest::newRow("Latin case") << QStringLiteral("abc") << QStringLiteral("ABC") << 0;
    QTest::newRow("Cyrillic case") << QStringLiteral("ферма ( 5)") << QStringLiteral("ФЕРМА ( 5)") << 0;
    QTest::newRow("blank before digit") << QStringLiteral("Ферма ( 9)") << QStringLiteral("Ферма (10)") << -1;
    QTest::newRow("lower case before upper by letter") << QStringLiteral("амбар") << QStringLiteral("Склад") << -1;
    QTest::newRow("upper case after lower by letter") << QStringLiteral("Склад") << QStringLiteral("амбар") << 1;
    QTest::newRow("prefix first") << QStringLiteral("Ферма") << QStringLiteral("ферма ( 1)") << -1;
    QTest::newRow("empty first") << QString() << QStringLiteral("a") << -1;
}

void TestVillageData::compareText()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const int result = CompareText(a, b);
    QCOMPARE((result > 0) - (result < 0), sign);
    QCOMPARE(SameText(a, b), sign == 0);
    QCOMPARE(TextLess(a, b), sign < 0);
}

QTEST_GUILESS_MAIN(TestVillageData)
#include "tst_villagedata.moc"
