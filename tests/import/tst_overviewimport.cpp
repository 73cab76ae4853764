// Tests of the overview import: splitting the pasted text into lines, the
// acceptance test, and what an accepted page changes in the village (name,
// considered buildings, production, stocks) and what it leaves alone.
#include "TestSupport.h"

#include "import/OverviewImport.h"
#include "record/VillageData.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

namespace {

QString DataPath(const QString &name)
{
    return QStringLiteral(JOR_TEST_DATA_DIR "/") + name;
}

// Catalog indices of tests/data/overview_catalog.xml.
enum TFixtureIndex {
    SawmillFactory5 = 1,
    Farm0 = 2,
    Farm1 = 3,
    Farm9 = 4,
    Farm10 = 5,
    ClayPit1 = 7,
    IronMine3 = 9,
    Sawmill5 = 10,
    Storage1 = 11,
    Storage2 = 12,
    MainBuilding1 = 13,
    MainBuilding2 = 14,
    LowerCaseStorage2 = 15,
};

// The sample page of tests/data/overview_example.txt.
QStringList ExamplePage()
{
    return {
        QStringLiteral("Ливарон — браузерная онлайн-игра"),
        QStringLiteral("Главная"),
        QStringLiteral("Форум"),
        QStringLiteral("Выход"),
        QStringLiteral("Ливарон"), // 5
        QStringLiteral("Обзор деревни"),
        QStringLiteral("Ресурсы"),
        QStringLiteral("Карта"),
        QStringLiteral("Статистика"),
        QStringLiteral("Отчёты"), // 10
        QStringLiteral("Сообщения"),
        QStringLiteral("Северная застава"),
        QStringLiteral("Стройплощадка Лесопилка Уровень 4 Ферма Уровень 9 Глиняный карьер Уровень 0 "
                       "Железный рудник Уровень 2 Ферма"),
        QString(),
        QStringLiteral("Производство:"), // 15
        QStringLiteral("Древесина: 1 250 в час"),
        QStringLiteral("Глина: 80 в час"),
        QStringLiteral("Железо: 70 в час"),
        QStringLiteral("Зерно: -15 в час"),
        QStringLiteral("Склад"), // 20
        QStringLiteral("Древесина 750/800 Глина 600/800 Железо 420/800 Зерно 300/900"),
        QStringLiteral("Войска"),
        QStringLiteral("Нет войск"),
        QStringLiteral("© Ливарон"),
    };
}

// Page lines are counted from 1, as on the page.
void SetLine(QStringList &lines, int n, const QString &text)
{
    lines[n - 1] = text;
}

QString Describe(const QList<TAvBuildingEntry> &entries)
{
    QStringList texts;
    for (const TAvBuildingEntry &entry : entries)
        texts.append(entry.Text + u'#' + QString::number(entry.CatalogIndex));
    return texts.join(u';');
}

QString Describe(const std::array<QString, 4> &texts)
{
    return QStringList(texts.begin(), texts.end()).join(u',');
}

QString DescribeVillage(const TVillageData &village)
{
    return QStringLiteral("name=[%1] race=%2 level=[%3] stocks=[%4] production=[%5] buildings=[%6] "
                          "comments=[%7] modified=%8")
        .arg(village.Name, QString::number(village.Race), village.MainLevel, Describe(village.ResourceCollect),
             Describe(village.ResourceAdd), Describe(village.AvBuildings), village.Comments,
             village.Modified ? QStringLiteral("yes") : QStringLiteral("no"));
}

} // namespace

class TestOverviewImport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void splitLines_data();
    void splitLines();
    void acceptance_data();
    void acceptance();

    void workedExample();
    void workedExampleWithShippedCatalog();
    void villageName_data();
    void villageName();
    void noRaceKeepsConsideredBuildings();
    void buildings_data();
    void buildings();
    void production_data();
    void production();
    void productionMarker_data();
    void productionMarker();
    void stocks_data();
    void stocks();
    void largePaste();

    void capacities_data();
    void capacities();
    void mainLevel_data();
    void mainLevel();
    void builtLevelsRemoved_data();
    void builtLevelsRemoved();
    void builtLevelsLeaveTheQueue_data();
    void builtLevelsLeaveTheQueue();
    void trailingBlanks_data();
    void trailingBlanks();
    void rejection_data();
    void rejection();
    void report_data();
    void report();

private:
    // A village with a race, not modified, parsed against the fixture catalog.
    bool Import(const QStringList &lines, TVillageData &village);

    TdmListObj m_Catalog;
};

void TestOverviewImport::initTestCase()
{
    TRecordedMessages messages;
    QVERIFY(m_Catalog.LoadCatalog(DataPath(QStringLiteral("overview_catalog.xml"))));
    QVERIFY(messages.Messages.isEmpty());
    QCOMPARE(m_Catalog.Count(), 16);
    QCOMPARE(m_Catalog.FindByDisplayText(QStringLiteral("Ферма (10)")), Farm10);
    QCOMPARE(m_Catalog.FindByDisplayText(QStringLiteral("Лесопилка ( 5)")), Sawmill5);
    QCOMPARE(m_Catalog.FindByDisplayText(QStringLiteral("Главное здание ( 1)")), MainBuilding1);
}

bool TestOverviewImport::Import(const QStringList &lines, TVillageData &village)
{
    return ParseOverviewText(lines, village, m_Catalog);
}

void TestOverviewImport::splitLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty text") << QString() << QStringList();
    QTest::newRow("one line without break") << QStringLiteral("a") << QStringList{"a"};
    QTest::newRow("final LF starts no line") << QStringLiteral("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("final CR LF starts no line") << QStringLiteral("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("final lone CR starts no line") << QStringLiteral("a\rb\r") << QStringList{"a", "b"};
    QTest::newRow("a lone break is one empty line") << QStringLiteral("\n") << QStringList{""};
    QTest::newRow("empty lines inside") << QStringLiteral("a\n\nb") << QStringList{"a", "", "b"};
    QTest::newRow("LF then CR are two breaks") << QStringLiteral("a\n\rb") << QStringList{"a", "", "b"};
    QTest::newRow("CR then CR LF are two breaks") << QStringLiteral("a\r\r\nb") << QStringList{"a", "", "b"};
    QTest::newRow("mixed breaks") << QStringLiteral("a\rb\nc\r\nd") << QStringList{"a", "b", "c", "d"};
    QTest::newRow("blanks and tabs stay") << QStringLiteral(" a\t\n b ") << QStringList{" a\t", " b "};
}

void TestOverviewImport::splitLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(SplitOverviewLines(text), lines);
}

void TestOverviewImport::acceptance_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");

    const QStringList page = ExamplePage();
    const auto firstLines = [&page](int count) { return QStringList(page.mid(0, count)).join(u'\n'); };
    const auto withLine5 = [&page](const QString &line5) {
        QStringList lines = page;
        SetLine(lines, 5, line5);
        return lines.join(u'\n');
    };

    QTest::newRow("15 lines") << firstLines(15) << true;
    QTest::newRow("15 lines and a final break") << firstLines(15) + u'\n' << true;
    QTest::newRow("14 lines") << firstLines(14) << false;
    QTest::newRow("14 lines and a final break") << firstLines(14) + u'\n' << false;
    QTest::newRow("14 lines and a final CR LF") << firstLines(14) + QStringLiteral("\r\n") << false;
    QTest::newRow("an empty 15th line before a final break") << firstLines(14) + QStringLiteral("\n\r\n") << true;
    QTest::newRow("many lines") << firstLines(15) + QStringLiteral("\nx").repeated(5000) << true;
    QTest::newRow("empty text") << QString() << false;
    QTest::newRow("line 5 with a trailing blank") << withLine5(QStringLiteral("Ливарон ")) << true;
    QTest::newRow("line 5 with a trailing no-break space") << withLine5(QStringLiteral("Ливарон\u00A0")) << true;
    QTest::newRow("line 5 with blanks, tabs and no-break spaces after it")
        << withLine5(QStringLiteral("Ливарон \t\u00A0 \t")) << true;
    QTest::newRow("line 5 with a trailing blank, CR LF breaks")
        << withLine5(QStringLiteral("Ливарон  ")).replace(u'\n', QStringLiteral("\r\n")) << true;
    QTest::newRow("line 5 with a trailing dot") << withLine5(QStringLiteral("Ливарон.")) << false;
    QTest::newRow("line 5 with a leading blank") << withLine5(QStringLiteral(" Ливарон")) << false;
    QTest::newRow("line 5 with a trailing tab") << withLine5(QStringLiteral("Ливарон\t")) << true;
    QTest::newRow("line 5 with a leading no-break space") << withLine5(QStringLiteral("\u00A0Ливарон")) << false;
    QTest::newRow("line 5 in lower case") << withLine5(QStringLiteral("ливарон")) << false;
    QTest::newRow("line 5 in upper case") << withLine5(QStringLiteral("ЛИВАРОН")) << false;
    QTest::newRow("the name on line 4 instead") << QStringList(page.mid(1)).join(u'\n') << false;
}

void TestOverviewImport::acceptance()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);

    const QStringList lines = SplitOverviewLines(text);
    QCOMPARE(IsOverviewText(lines), accepted);
    QCOMPARE(IsOverviewText(text), accepted); // the import dialog's test on the whole text

    TVillageData village;
    village.SetRace(0);
    village.ResourceCollect = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")};
    village.Modified = false;
    const QString before = DescribeVillage(village);
    QSignalSpy names(&village, &TVillageData::NameChanged);
    QSignalSpy resources(&village, &TVillageData::ResourcesChanged);
    QSignalSpy buildings(&village, &TVillageData::AvBuildingsChanged);

    QCOMPARE(Import(lines, village), accepted);
    if (!accepted) {
        QCOMPARE(DescribeVillage(village), before);
        QCOMPARE(names.count() + resources.count() + buildings.count(), 0);
    } else {
        // Every accepted text sets the four incomes.
        QVERIFY(resources.count() > 0);
        QVERIFY(DescribeVillage(village) != before);
    }
}

void TestOverviewImport::workedExample()
{
    const QStringList lines = OverviewExampleLines();
    QCOMPARE(lines, ExamplePage());

    TVillageData village;
    village.SetRace(2);
    village.SetMainLevel(QStringLiteral("7"));
    village.Comments = QStringLiteral("заметки");
    village.BuildName = QStringLiteral("Склад ( 2)");
    village.BuildTotal = 300;
    village.Modified = false;

    QVERIFY(Import(lines, village));

    QCOMPARE(village.Name, QStringLiteral("Северная застава"));
    QCOMPARE(Describe(village.ResourceAdd), QStringLiteral("1250,80,70,-15"));
    QCOMPARE(Describe(village.ResourceCollect), QStringLiteral("750,600,420,300"));
    QCOMPARE(Describe(village.AvBuildings),
             QStringLiteral("Глиняный карьер ( 1)#%1;Железный рудник ( 3)#%2;Лесопильный завод ( 5)#%3;"
                            "Ферма (10)#%4")
                 .arg(ClayPit1)
                 .arg(IronMine3)
                 .arg(SawmillFactory5)
                 .arg(Farm10));
    // Only the name's change marks the record; the rest is left alone.
    QVERIFY(village.Modified);
    QCOMPARE(village.Race, quint8(3));
    QCOMPARE(village.MainLevel, QStringLiteral("7"));
    QCOMPARE(village.Comments, QStringLiteral("заметки"));
    QCOMPARE(village.BuildName, QStringLiteral("Склад ( 2)"));
    QCOMPARE(village.BuildTotal, 300);
}

void TestOverviewImport::workedExampleWithShippedCatalog()
{
    TdmListObj shipped;
    TRecordedMessages messages;
    QVERIFY(shipped.LoadCatalog(QStringLiteral(JOR_SHIPPED_CATALOG)));

    TVillageData village;
    village.SetRace(0);
    QVERIFY(ParseOverviewText(ExamplePage(), village, shipped));

    QStringList texts;
    for (const TAvBuildingEntry &entry : std::as_const(village.AvBuildings)) {
        texts.append(entry.Text);
        QCOMPARE(entry.CatalogIndex, shipped.FindByDisplayText(entry.Text));
    }
    QCOMPARE(texts, (QStringList{QStringLiteral("Глиняный карьер ( 1)"), QStringLiteral("Железный рудник ( 3)"),
                                 QStringLiteral("Лесопильный завод ( 5)"), QStringLiteral("Ферма (10)")}));
}

void TestOverviewImport::villageName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line12");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("modified");

    QTest::newRow("empty name takes line 12")
        << QString() << QStringLiteral("Застава") << QStringLiteral("Застава") << true;
    QTest::newRow("filled name is kept")
        << QStringLiteral("Своя") << QStringLiteral("Застава") << QStringLiteral("Своя") << false;
    QTest::newRow("empty line 12 leaves the name empty") << QString() << QString() << QString() << false;
    QTest::newRow("blanks before line 12 are kept, those after it are not")
        << QString() << QStringLiteral("  Застава \t\u00A0") << QStringLiteral("  Застава") << true;
}

void TestOverviewImport::villageName()
{
    QFETCH(QString, name);
    QFETCH(QString, line12);
    QFETCH(QString, expected);
    QFETCH(bool, modified);

    QStringList lines = ExamplePage();
    SetLine(lines, 12, line12);
    TVillageData village;
    village.SetName(name);
    village.Modified = false;
    QSignalSpy spy(&village, &TVillageData::NameChanged);

    QVERIFY(Import(lines, village));
    QCOMPARE(village.Name, expected);
    QCOMPARE(village.Modified, modified);
    QCOMPARE(spy.count(), modified ? 1 : 0);
}

void TestOverviewImport::noRaceKeepsConsideredBuildings()
{
    TVillageData village;
    village.AddAvBuilding({QStringLiteral("Главное здание ( 1)"), MainBuilding1});
    // Not in the catalog: an import with a race would drop it.
    village.AddAvBuilding({QStringLiteral("Башня ( 1)"), -1});
    const QList<TAvBuildingEntry> before = village.AvBuildings;
    QSignalSpy spy(&village, &TVillageData::AvBuildingsChanged);

    QVERIFY(Import(ExamplePage(), village));
    QCOMPARE(village.AvBuildings, before);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(Describe(village.ResourceAdd), QStringLiteral("1250,80,70,-15"));
    QCOMPARE(Describe(village.ResourceCollect), QStringLiteral("750,600,420,300"));
}

void TestOverviewImport::buildings_data()
{
    QTest::addColumn<QString>("line13");
    QTest::addColumn<QList<TAvBuildingEntry>>("before");
    QTest::addColumn<QString>("expected");

    const QList<TAvBuildingEntry> none;
    const auto entry = [](const char *text, int index) {
        return TAvBuildingEntry{QString::fromUtf8(text), index};
    };
    const QString farm10 = QStringLiteral("Ферма (10)#%1").arg(Farm10);
    const QString farm1 = QStringLiteral("Ферма ( 1)#%1").arg(Farm1);
    const QString storage2 = QStringLiteral("Склад ( 2)#%1").arg(Storage2);

    QTest::newRow("a line ending in a level number counts its last building")
        << QStringLiteral("Ферма Уровень 9") << none << farm10;
    QTest::newRow("blanks after the last level")
        << QStringLiteral("Ферма Уровень 9   ") << none << farm10;
    QTest::newRow("level 0 marks level 1, blanks before the first group")
        << QStringLiteral("  Ферма Уровень 0 Склад Уровень 1") << none << storage2 + u';' + farm1;
    QTest::newRow("level -1 marks nothing") << QStringLiteral("Ферма Уровень -1") << none << QString();
    QTest::newRow("level of letters marks nothing, the next group is read")
        << QStringLiteral("Ферма Уровень девять Склад Уровень 1") << none << storage2;
    QTest::newRow("largest level: no entry, no overflow")
        << QStringLiteral("Ферма Уровень 2147483647 Склад Уровень 1") << none << storage2;
    QTest::newRow("level beyond 32 bits marks nothing")
        << QStringLiteral("Ферма Уровень 99999999999") << none << QString();
    QTest::newRow("level with a plus sign")
        << QStringLiteral("Ферма Уровень +9") << none << farm10;
    QTest::newRow("Лесопилка is read as Лесопильный завод")
        << QStringLiteral("Лесопилка Уровень 4") << none
        << QStringLiteral("Лесопильный завод ( 5)#%1").arg(SawmillFactory5);
    QTest::newRow("лесопилка in lower case is not renamed")
        << QStringLiteral("лесопилка Уровень 4") << none << QStringLiteral("Лесопилка ( 5)#%1").arg(Sawmill5);
    QTest::newRow("building site word in any letter case, anywhere")
        << QStringLiteral("СТРОЙПЛОЩАДКА Склад Уровень 1 стройплощадка Ферма СтройПлощадка Уровень 0") << none
        << storage2 + u';' + farm1;
    QTest::newRow("of texts equal but for letter case, the first in catalog order")
        << QStringLiteral("склад Уровень 1") << none << storage2;
    QTest::newRow("a considered entry marks its own text's first candidate")
        << QString() << QList<TAvBuildingEntry>{entry("склад ( 2)", LowerCaseStorage2)} << storage2;
    QTest::newRow("Уровень in another letter case is no level word")
        << QStringLiteral("Ферма уровень 9") << none << QString();
    QTest::newRow("a name without level: the first seven characters go")
        << QStringLiteral("Ферма Уровень 9 Ферма") << none << farm10;
    QTest::newRow("unknown building passed over, the others read")
        << QStringLiteral("Башня Уровень 3 Склад Уровень 1") << none << storage2;
    QTest::newRow("next level missing from the catalog")
        << QStringLiteral("Склад Уровень 2") << none << QString();
    QTest::newRow("empty buildings line") << QString() << none << QString();
    QTest::newRow("considered entries stay, an imported one already listed stands once")
        << QStringLiteral("Ферма Уровень 9")
        << QList<TAvBuildingEntry>{entry("Главное здание ( 1)", MainBuilding1), entry("Ферма (10)", Farm10)}
        << QStringLiteral("Главное здание ( 1)#%1;").arg(MainBuilding1) + farm10;
    QTest::newRow("considered entry unknown to the catalog is dropped")
        << QStringLiteral("Ферма Уровень 0") << QList<TAvBuildingEntry>{entry("Башня ( 1)", -1)} << farm1;
    QTest::newRow("considered level 0 is built once the page lists level 0")
        << QStringLiteral("Ферма Уровень 0") << QList<TAvBuildingEntry>{entry("Ферма ( 0)", Farm0)} << farm1;
}

void TestOverviewImport::buildings()
{
    QFETCH(QString, line13);
    QFETCH(QList<TAvBuildingEntry>, before);
    QFETCH(QString, expected);

    QStringList lines = ExamplePage();
    SetLine(lines, 13, line13);
    TVillageData village;
    village.SetRace(0);
    village.ReplaceAvBuildings(before);
    village.Modified = false;

    QVERIFY(Import(lines, village));
    QCOMPARE(Describe(village.AvBuildings), expected);
}

void TestOverviewImport::production_data()
{
    QTest::addColumn<QStringList>("block");
    QTest::addColumn<QString>("expected");

    QTest::newRow("thousands blanks, minus, 12-3, no digits")
        << QStringList{"Древесина: 1 250 в час", "Глина: -15 в час", "Железо: 12-3", "Зерно: нет"}
        << QStringLiteral("1250,-15,0,0");
    QTest::newRow("plus sign and leading zeros dropped")
        << QStringList{"+007", "0", "00", "Зерно 0042"} << QStringLiteral("7,0,0,42");
    QTest::newRow("minus far from the digits")
        << QStringList{"в-час 15", "-", "--5", "5-"} << QStringLiteral("-15,0,0,0");
    QTest::newRow("dash that is no minus sign")
        << QStringList{"Древесина – 80", "Глина — 90", "Железо ‑ 70", "Зерно −60"}
        << QStringLiteral("80,90,70,60");
    QTest::newRow("beyond 32 bits")
        << QStringList{"9 999 999 999", "2 147 483 647", "-2 147 483 648", "2 147 483 648"}
        << QStringLiteral("0,2147483647,-2147483648,0");
    QTest::newRow("other digits than 0 to 9 are dropped")
        << QStringList{"١٢", "１２", "7", "8"} << QStringLiteral("0,0,7,8");
}

void TestOverviewImport::production()
{
    QFETCH(QStringList, block);
    QFETCH(QString, expected);

    QStringList lines = ExamplePage();
    for (int i = 0; i < 4; ++i)
        SetLine(lines, 16 + i, block.at(i));
    TVillageData village;
    village.Modified = false;

    QVERIFY(Import(lines, village));
    QCOMPARE(Describe(village.ResourceAdd), expected);
}

void TestOverviewImport::productionMarker_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("production");
    QTest::addColumn<QString>("stocks");

    const QString untouched = QStringLiteral("a,b,c,d");
    // A page whose only marker stands on line 6: the block is lines 1 to 4,
    // and the stock line is searched from line 5 on.
    QStringList early = ExamplePage();
    SetLine(early, 1, QStringLiteral("Древесина 11"));
    SetLine(early, 2, QStringLiteral("22"));
    SetLine(early, 3, QStringLiteral("33"));
    SetLine(early, 4, QStringLiteral("Древесина 1/2 Глина 3/4 Железо 5/6 Зерно 7/8"));
    SetLine(early, 6, QStringLiteral("Производство:"));
    SetLine(early, 15, QStringLiteral("Товары"));
    SetLine(early, 8, QStringLiteral("Древесина 5/9 Глина 6/9 Железо 7/9 Зерно 8/9"));
    QTest::newRow("marker on line 6: block from line 1, stocks from line 5")
        << early << QStringLiteral("11,22,33,12345678") << QStringLiteral("5,6,7,8");

    QStringList onLine7 = ExamplePage();
    SetLine(onLine7, 7, QStringLiteral("Производство:"));
    SetLine(onLine7, 15, QString());
    // The production lines of the page begin with "Древесина:" as well, so
    // the first of them after this block is taken for the stock line.
    QTest::newRow("marker on line 7 is found; a production line then reads as stock line")
        << onLine7 << QStringLiteral("0,0,0,0") << QStringLiteral("a,b,c,d");

    QStringList padded = ExamplePage();
    SetLine(padded, 15, QStringLiteral(" \tПроизводство:\t "));
    QTest::newRow("marker with blanks and tabs around")
        << padded << QStringLiteral("1250,80,70,-15") << QStringLiteral("750,600,420,300");

    QStringList lowerCase = ExamplePage();
    SetLine(lowerCase, 15, QStringLiteral("производство:"));
    QTest::newRow("marker in lower case is no marker")
        << lowerCase << QStringLiteral("0,0,0,0") << QStringLiteral("a,b,c,d");

    QStringList noColon = ExamplePage();
    SetLine(noColon, 15, QStringLiteral("Производство"));
    QTest::newRow("marker without its colon is no marker")
        << noColon << QStringLiteral("0,0,0,0") << QStringLiteral("a,b,c,d");

    QStringList twice = ExamplePage();
    twice.append({QStringLiteral("Производство:"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                  QStringLiteral("4"), QStringLiteral("Древесина 9/9 Глина 9/9 Железо 9/9 Зерно 9/9")});
    QTest::newRow("first marker wins")
        << twice << QStringLiteral("1250,80,70,-15") << QStringLiteral("750,600,420,300");

    QStringList last = ExamplePage();
    last.removeLast();
    SetLine(last, 15, QStringLiteral("Начало"));
    SetLine(last, 21, QStringLiteral("Склад полон"));
    last.append({QStringLiteral("Производство:"), QStringLiteral("Древесина: 5")});
    QTest::newRow("block running past the last line")
        << last << QStringLiteral("5,0,0,0") << untouched;

    QStringList stockInBlock = ExamplePage();
    SetLine(stockInBlock, 21, QStringLiteral("Склад полон"));
    SetLine(stockInBlock, 19, QStringLiteral("Древесина 1/1 Глина 1/1 Железо 1/1 Зерно 1/1"));
    QTest::newRow("a stock line inside the block is not read")
        << stockInBlock << QStringLiteral("1250,80,70,11111111") << untouched;
}

void TestOverviewImport::productionMarker()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, production);
    QFETCH(QString, stocks);

    TVillageData village;
    village.ResourceCollect = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")};
    QVERIFY(Import(lines, village));
    QCOMPARE(Describe(village.ResourceAdd), production);
    QCOMPARE(Describe(village.ResourceCollect), stocks);
}

void TestOverviewImport::stocks_data()
{
    QTest::addColumn<QStringList>("stockLines");
    QTest::addColumn<QString>("expected");

    const QString untouched = QStringLiteral("a,b,c,d");
    QTest::newRow("four pairs") << QStringList{"Древесина 1250/1600 Глина 600/800 Железо 420/800 Зерно 300/900"}
                                << QStringLiteral("1250,600,420,300");
    QTest::newRow("two pairs: the last one read again")
        << QStringList{"Древесина 750/800 Глина 600/800"} << QStringLiteral("750,600,600,600");
    QTest::newRow("a blank inside a stock groups its digits")
        << QStringList{"Древесина 1 250/1600 Глина 600/800 Железо 420/800 Зерно 300/900"}
        << QStringLiteral("1250,600,420,300");
    QTest::newRow("thousands separated by blanks, no-break and narrow no-break spaces")
        << QStringList{QStringLiteral("Древесина 1 250/5 000 Глина 3\u00A0400/5\u00A0000 Железо 2\u202F100/5 000 "
                                      "Зерно 1 000 000/2 000 000")}
        << QStringLiteral("1250,3400,2100,1000000");
    QTest::newRow("a separator inside one stock leaves that one as it was")
        << QStringList{"Древесина 1.250/1600 Глина 600/800 Железо 420/800 Зерно 300/900"}
        << QStringLiteral("a,600,420,300");
    QTest::newRow("stocks without capacities are not read: left as they were")
        << QStringList{"Древесина 750 Глина 600 Железо 420 Зерно 300"} << QStringLiteral("a,b,c,d");
    QTest::newRow("blanks and tabs around, doubled blanks")
        << QStringList{" \tДревесина  750/800   Глина 600/800 Железо 420/800 Зерно 300/900\t"}
        << QStringLiteral("750,600,420,300");
    QTest::newRow("leading zeros and a hexadecimal stock")
        << QStringList{"Древесина 0750/800 Глина $10/800 Железо -5/800 Зерно x/900"}
        << QStringLiteral("750,16,-5,d");
    QTest::newRow("the label alone") << QStringList{"Древесина"} << QStringLiteral("a,b,c,d");
    QTest::newRow("the label glued to its stock")
        << QStringList{"Древесина750/800 Глина 600/800"} << QStringLiteral("a,600,600,600");
    QTest::newRow("only the first stock line is read")
        << QStringList{"Древесина 1/9 Глина 2/9 Железо 3/9 Зерно 4/9", "Древесина 5/9 Глина 6/9 Железо 7/9 Зерно 8/9"}
        << QStringLiteral("1,2,3,4");
    QTest::newRow("no stock line") << QStringList{"Склад полон"} << untouched;
    QTest::newRow("Древесина not at the start") << QStringList{"Склад: Древесина 750/800"} << untouched;
    QTest::newRow("древесина in lower case") << QStringList{"древесина 750/800"} << untouched;
}

void TestOverviewImport::stocks()
{
    QFETCH(QStringList, stockLines);
    QFETCH(QString, expected);

    QStringList lines = ExamplePage();
    lines.erase(lines.begin() + 20, lines.end());
    lines.append(stockLines);
    lines.append(QStringLiteral("Конец"));
    TVillageData village;
    village.ResourceCollect = {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")};

    QVERIFY(Import(lines, village));
    QCOMPARE(Describe(village.ResourceCollect), expected);
    // The incomes are set whether or not a stock line is found.
    QCOMPARE(Describe(village.ResourceAdd), QStringLiteral("1250,80,70,-15"));
}

void TestOverviewImport::largePaste()
{
    // 10,000 lines: a long buildings line, the marker and the stock line at
    // the very end.
    QStringList lines = ExamplePage().mid(0, 13);
    QStringList groups;
    for (int i = 0; i < 2000; ++i)
        groups.append(QStringLiteral("Ферма Уровень %1").arg(i % 12));
    lines[12] = groups.join(u' ');
    while (lines.size() < 10000 - 6)
        lines.append(QStringLiteral("Строка %1 страницы с текстом, который ничего не значит").arg(lines.size()));
    lines.append({QStringLiteral("Производство:"), QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                  QStringLiteral("4"), QStringLiteral("Древесина 5/9 Глина 6/9 Железо 7/9 Зерно 8/9")});
    QCOMPARE(lines.size(), 10000);
    const QString text = lines.join(QStringLiteral("\r\n"));

    TVillageData village;
    village.SetRace(0);
    QElapsedTimer timer;
    timer.start();
    const QStringList split = SplitOverviewLines(text);
    const qint64 splitTime = timer.nsecsElapsed();
    const bool accepted = ParseOverviewText(split, village, m_Catalog);
    const qint64 totalTime = timer.nsecsElapsed();
    qInfo("10,000 lines: split in %.2f ms, parsed in %.2f ms", splitTime / 1e6, (totalTime - splitTime) / 1e6);

    QVERIFY(accepted);
    QCOMPARE(Describe(village.ResourceAdd), QStringLiteral("1,2,3,4"));
    QCOMPARE(Describe(village.ResourceCollect), QStringLiteral("5,6,7,8"));
    QCOMPARE(Describe(village.AvBuildings),
             QStringLiteral("Ферма ( 1)#%1;Ферма ( 9)#%2;Ферма (10)#%3").arg(Farm1).arg(Farm9).arg(Farm10));
}

void TestOverviewImport::capacities_data()
{
    QTest::addColumn<QString>("stockLine");
    QTest::addColumn<QString>("expected");

    QTest::newRow("four pairs") << QStringLiteral("Древесина 1250/1600 Глина 600/800 Железо 420/800 Зерно 300/900")
                                << QStringLiteral("1600,800,800,900");
    QTest::newRow("two pairs: the last one read again")
        << QStringLiteral("Древесина 750/700 Глина 600/800") << QStringLiteral("700,800,800,800");
    QTest::newRow("a blank inside a stock groups its digits")
        << QStringLiteral("Древесина 1 250/1600 Глина 600/800 Железо 420/800 Зерно 300/900")
        << QStringLiteral("1600,800,800,900");
    QTest::newRow("capacities with thousands separated")
        << QStringLiteral("Древесина 1 250/5 000 Глина 3 400/5\u00A0000 Железо 2 100/12\u202F000 Зерно 900/6 000")
        << QStringLiteral("5000,5000,12000,6000");
    QTest::newRow("no number, nothing after the slash, negative: unknown; hexadecimal read")
        << QStringLiteral("Древесина 750/8x0 Глина 600/ Железо 420/-800 Зерно 300/$384")
        << QStringLiteral(",,,900");
    QTest::newRow("largest and beyond 32 bits")
        << QStringLiteral("Древесина 1/2147483647 Глина 1/2147483648 Железо 1/99999999999 Зерно 1/1")
        << QStringLiteral("2147483647,,,1");
    QTest::newRow("a second slash spoils the capacity")
        << QStringLiteral("Древесина 1/2/3 Глина 1/5 Железо 1/6 Зерно 1/7") << QStringLiteral(",5,6,7");
    QTest::newRow("stocks without capacities: unknown")
        << QStringLiteral("Древесина 750 Глина 600 Железо 420 Зерно 300") << QStringLiteral(",,,");
    QTest::newRow("no stock line: capacities untouched") << QStringLiteral("Склад полон") << QStringLiteral("1,2,3,4");
}

void TestOverviewImport::capacities()
{
    QFETCH(QString, stockLine);
    QFETCH(QString, expected);

    QStringList lines = ExamplePage();
    SetLine(lines, 21, stockLine);
    TVillageData village;
    village.SetName(QStringLiteral("Своя"));
    village.Capacity = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")};
    village.Modified = false;

    QVERIFY(Import(lines, village));
    QCOMPARE(Describe(village.Capacity), expected);
    // Imported, not typed: the record is not marked.
    QVERIFY(!village.Modified);
}

void TestOverviewImport::mainLevel_data()
{
    QTest::addColumn<QString>("line13");
    QTest::addColumn<int>("race");
    QTest::addColumn<QString>("expected");

    QTest::newRow("listed level taken") << QStringLiteral("Ферма Уровень 9 Главное здание Уровень 5") << 1
                                        << QStringLiteral("5");
    QTest::newRow("taken without a race too") << QStringLiteral("Главное здание Уровень 12") << -1
                                              << QStringLiteral("12");
    QTest::newRow("letter case ignored") << QStringLiteral("главное ЗДАНИЕ Уровень 3") << 1 << QStringLiteral("3");
    QTest::newRow("the first of two listings")
        << QStringLiteral("Главное здание Уровень 4 Главное здание Уровень 6") << 1 << QStringLiteral("4");
    QTest::newRow("level 0 leaves the level") << QStringLiteral("Главное здание Уровень 0") << 1
                                              << QStringLiteral("7");
    QTest::newRow("level of letters leaves the level") << QStringLiteral("Главное здание Уровень пять") << 1
                                                       << QStringLiteral("7");
    QTest::newRow("not listed leaves the level") << QStringLiteral("Ферма Уровень 9") << 1 << QStringLiteral("7");
    QTest::newRow("largest level") << QStringLiteral("Главное здание Уровень 2147483647") << 1
                                   << QStringLiteral("2147483647");
    QTest::newRow("the same level written in hexadecimal becomes decimal")
        << QStringLiteral("Главное здание Уровень $7") << 1 << QStringLiteral("7");
}

void TestOverviewImport::mainLevel()
{
    QFETCH(QString, line13);
    QFETCH(int, race);
    QFETCH(QString, expected);

    QStringList lines = ExamplePage();
    SetLine(lines, 13, line13);
    TVillageData village;
    village.SetName(QStringLiteral("Своя"));
    village.SetRace(race);
    village.SetMainLevel(QStringLiteral("7"));
    village.Modified = false;
    QSignalSpy levels(&village, &TVillageData::MainLevelChanged);

    const TOverviewImportResult result = ImportOverviewText(lines, village, m_Catalog);
    QVERIFY(result.Accepted);
    QCOMPARE(village.MainLevel, expected);
    const bool changed = expected != u"7";
    QCOMPARE(levels.count(), changed ? 1 : 0);
    QCOMPARE(village.Modified, changed);
}

void TestOverviewImport::builtLevelsRemoved_data()
{
    QTest::addColumn<QString>("line13");
    QTest::addColumn<QList<TAvBuildingEntry>>("before");
    QTest::addColumn<QString>("expected");

    const auto entry = [](const char *text, int index) { return TAvBuildingEntry{QString::fromUtf8(text), index}; };
    const QString farm1 = QStringLiteral("Ферма ( 1)#%1").arg(Farm1);
    const QString farm9 = QStringLiteral("Ферма ( 9)#%1").arg(Farm9);
    const QString farm10 = QStringLiteral("Ферма (10)#%1").arg(Farm10);

    QTest::newRow("the listed level is built, the next one marked")
        << QStringLiteral("Ферма Уровень 9") << QList<TAvBuildingEntry>{entry("Ферма ( 9)", Farm9)} << farm10;
    QTest::newRow("levels below the listed one go too, above stay")
        << QStringLiteral("Ферма Уровень 1")
        << QList<TAvBuildingEntry>{entry("Ферма ( 0)", Farm0), entry("Ферма ( 1)", Farm1), entry("Ферма (10)", Farm10)}
        << farm10;
    QTest::newRow("a field listed several times keeps the entries above its lowest field")
        << QStringLiteral("Ферма Уровень 9 Ферма Уровень 0 Ферма Уровень 9")
        << QList<TAvBuildingEntry>{entry("Ферма ( 0)", Farm0), entry("Ферма ( 9)", Farm9)}
        << farm1 + u';' + farm9 + u';' + farm10;
    QTest::newRow("letter case of the page ignored")
        << QStringLiteral("ферма Уровень 9") << QList<TAvBuildingEntry>{entry("Ферма ( 9)", Farm9)} << farm10;
    QTest::newRow("Лесопилка compared as Лесопильный завод")
        << QStringLiteral("Лесопилка Уровень 4")
        << QList<TAvBuildingEntry>{entry("Лесопильный завод ( 4)", 0)}
        << QStringLiteral("Лесопильный завод ( 5)#%1").arg(SawmillFactory5);
    QTest::newRow("main building's built level goes")
        << QStringLiteral("Главное здание Уровень 1")
        << QList<TAvBuildingEntry>{entry("Главное здание ( 1)", MainBuilding1)}
        << QStringLiteral("Главное здание ( 2)#%1").arg(MainBuilding2);
    QTest::newRow("buildings the page does not list stay")
        << QStringLiteral("Ферма Уровень 9") << QList<TAvBuildingEntry>{entry("Склад ( 1)", Storage1)}
        << QStringLiteral("Склад ( 1)#%1;").arg(Storage1) + farm10;
    QTest::newRow("a listing without a level removes nothing")
        << QStringLiteral("Склад Уровень x Ферма") << QList<TAvBuildingEntry>{entry("Склад ( 1)", Storage1)}
        << QStringLiteral("Склад ( 1)#%1").arg(Storage1);
    QTest::newRow("a next level missing from the catalog: the built one still goes")
        << QStringLiteral("Склад Уровень 2") << QList<TAvBuildingEntry>{entry("Склад ( 2)", Storage2)} << QString();
}

void TestOverviewImport::builtLevelsRemoved()
{
    QFETCH(QString, line13);
    QFETCH(QList<TAvBuildingEntry>, before);
    QFETCH(QString, expected);

    QStringList lines = ExamplePage();
    SetLine(lines, 13, line13);
    TVillageData village;
    village.SetRace(1);
    village.ReplaceAvBuildings(before);

    QVERIFY(Import(lines, village));
    QCOMPARE(Describe(village.AvBuildings), expected);
}

void TestOverviewImport::builtLevelsLeaveTheQueue_data()
{
    QTest::addColumn<QString>("line13");
    QTest::addColumn<int>("race");
    QTest::addColumn<QList<TAvBuildingEntry>>("queue");
    QTest::addColumn<QString>("expected");

    const auto entry = [](const char *text, int index) { return TAvBuildingEntry{QString::fromUtf8(text), index}; };
    const QList<TAvBuildingEntry> farms{entry("Ферма ( 9)", Farm9), entry("Склад ( 1)", Storage1),
                                        entry("Ферма (10)", Farm10)};
    QTest::newRow("the built level leaves, the rest keep their order")
        << QStringLiteral("Ферма Уровень 9") << 1 << farms
        << QStringLiteral("Склад ( 1)#%1;Ферма (10)#%2").arg(Storage1).arg(Farm10);
    QTest::newRow("also with no race chosen")
        << QStringLiteral("Ферма Уровень 9") << 0 << farms
        << QStringLiteral("Склад ( 1)#%1;Ферма (10)#%2").arg(Storage1).arg(Farm10);
    QTest::newRow("a field listed several times keeps what is above its lowest field")
        << QStringLiteral("Ферма Уровень 9 Ферма Уровень 0") << 1
        << QList<TAvBuildingEntry>{entry("Ферма ( 0)", Farm0), entry("Ферма ( 1)", Farm1), entry("Ферма ( 9)", Farm9)}
        << QStringLiteral("Ферма ( 1)#%1;Ферма ( 9)#%2").arg(Farm1).arg(Farm9);
    QTest::newRow("an entry the catalog does not know stays")
        << QStringLiteral("Ферма Уровень 9") << 1 << QList<TAvBuildingEntry>{entry("Ферма ( 9)", -1)}
        << QStringLiteral("Ферма ( 9)#-1");
}

void TestOverviewImport::builtLevelsLeaveTheQueue()
{
    QFETCH(QString, line13);
    QFETCH(int, race);
    QFETCH(QList<TAvBuildingEntry>, queue);
    QFETCH(QString, expected);

    QStringList lines = ExamplePage();
    SetLine(lines, 13, line13);
    TVillageData village;
    village.SetRace(race - 1);
    for (const TAvBuildingEntry &entry : queue)
        village.AppendToQueue(entry);

    QVERIFY(Import(lines, village));
    QCOMPARE(Describe(village.Queue), expected);
}

void TestOverviewImport::trailingBlanks_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("lineBreak");

    QTest::newRow("blanks, LF") << QStringLiteral("  ") << QStringLiteral("\n");
    QTest::newRow("tabs, LF") << QStringLiteral("\t\t") << QStringLiteral("\n");
    QTest::newRow("no-break spaces, LF") << QStringLiteral("\u00A0\u00A0") << QStringLiteral("\n");
    QTest::newRow("all three, CR LF") << QStringLiteral(" \t\u00A0") << QStringLiteral("\r\n");
}

void TestOverviewImport::trailingBlanks()
{
    // Every line of the page carries the ending, as a browser's copy gives
    // it: the village comes out as from the clean page.
    QFETCH(QString, ending);
    QFETCH(QString, lineBreak);

    TVillageData clean;
    clean.SetRace(0);
    const TOverviewImportResult cleanResult = ImportOverviewText(ExamplePage(), clean, m_Catalog);
    QVERIFY(cleanResult.Accepted);

    QStringList copied = ExamplePage();
    for (QString &line : copied)
        line += ending;
    const QStringList lines = SplitOverviewLines(copied.join(lineBreak) + lineBreak);
    QVERIFY(IsOverviewText(copied.join(lineBreak)));
    TVillageData village;
    village.SetRace(0);
    const TOverviewImportResult result = ImportOverviewText(lines, village, m_Catalog);
    QCOMPARE(result, cleanResult);
    QCOMPARE(DescribeVillage(village), DescribeVillage(clean));
    QCOMPARE(Describe(village.Capacity), Describe(clean.Capacity));
}

void TestOverviewImport::rejection_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("error");

    const QStringList page = ExamplePage();
    const QString tooShort = QStringLiteral("Текст не распознан: меньше 15 строк.");
    const QString noName = QStringLiteral("Текст не распознан: в строке 5 нет слова «Ливарон».");
    QStringList otherName = page;
    SetLine(otherName, 5, QStringLiteral(" Ливарон"));

    QTest::newRow("no lines") << QStringList() << tooShort;
    QTest::newRow("14 lines") << page.mid(0, 14) << tooShort;
    QTest::newRow("14 lines, line 5 wrong too: the count is named") << otherName.mid(0, 14) << tooShort;
    QTest::newRow("line 5 with a blank before it") << otherName << noName;
    QTest::newRow("the name a line early") << page.mid(1) << noName;
    QTest::newRow("15 lines accepted") << page.mid(0, 15) << QString();
}

void TestOverviewImport::rejection()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, error);

    QCOMPARE(OverviewRejection(lines), error);
    TVillageData village;
    village.SetRace(1);
    const TOverviewImportResult result = ImportOverviewText(lines, village, m_Catalog);
    QCOMPARE(result.Error, error);
    QCOMPARE(result.Accepted, error.isEmpty());
    QCOMPARE(result.Report.isEmpty(), !error.isEmpty());
}

void TestOverviewImport::report_data()
{
    QTest::addColumn<int>("race");
    QTest::addColumn<QString>("line13");
    QTest::addColumn<QString>("line21");
    QTest::addColumn<QString>("report");

    const QString example13 = ExamplePage().at(12);
    const QString example21 = ExamplePage().at(20);
    const QString farms = QStringLiteral("Ферма Уровень 9 ");
    QTest::newRow("the worked example")
        << 1 << example13 << example21 << QStringLiteral("Импортировано: запасы, производство, вместимость, 4 строения.");
    QTest::newRow("no race")
        << -1 << example13 << example21
        << QStringLiteral("Импортировано: запасы, производство, вместимость. "
                          "Строения не импортированы: не выбрана раса.");
    QTest::newRow("no capacities")
        << 1 << example13 << QStringLiteral("Древесина 750 Глина 600 Железо 420 Зерно 300")
        << QStringLiteral("Импортировано: производство, 4 строения; "
                          "запасы не распознаны: дерево, глина, железо, зерно.");
    QTest::newRow("no stock line")
        << 1 << example13 << QStringLiteral("Склад") << QStringLiteral("Импортировано: производство, 4 строения.");
    QTest::newRow("no stock line, no race")
        << -1 << example13 << QStringLiteral("Склад")
        << QStringLiteral("Импортировано: производство. Строения не импортированы: не выбрана раса.");
    QTest::newRow("one building") << 1 << farms << example21
                                  << QStringLiteral("Импортировано: запасы, производство, вместимость, 1 строение.");
    QTest::newRow("none with a next level") << 1 << QStringLiteral("Склад Уровень 2 Башня Уровень 1") << example21
                                            << QStringLiteral("Импортировано: запасы, производство, вместимость, "
                                                              "0 строений.");
    QTest::newRow("11 buildings") << 1 << farms.repeated(11) << example21
                                  << QStringLiteral("Импортировано: запасы, производство, вместимость, 11 строений.");
    QTest::newRow("21 buildings") << 1 << farms.repeated(21) << example21
                                  << QStringLiteral("Импортировано: запасы, производство, вместимость, 21 строение.");
    QTest::newRow("22 buildings") << 1 << farms.repeated(22) << example21
                                  << QStringLiteral("Импортировано: запасы, производство, вместимость, 22 строения.");
    QTest::newRow("a stock not read is named")
        << 1 << example13 << QStringLiteral("Древесина 750/800 Глина 600/800 Железо ?/800 Зерно 1.5/900")
        << QStringLiteral("Импортировано: запасы, производство, вместимость, 4 строения; "
                          "запасы не распознаны: железо, зерно.");
    QTest::newRow("no stock read: not reported imported")
        << -1 << example13 << QStringLiteral("Древесина")
        << QStringLiteral("Импортировано: производство; запасы не распознаны: дерево, глина, железо, зерно. "
                          "Строения не импортированы: не выбрана раса.");
}

void TestOverviewImport::report()
{
    QFETCH(int, race);
    QFETCH(QString, line13);
    QFETCH(QString, line21);
    QFETCH(QString, report);

    QStringList lines = ExamplePage();
    SetLine(lines, 13, line13);
    SetLine(lines, 21, line21);
    TVillageData village;
    village.SetRace(race);
    const QList<TAvBuildingEntry> before{{QStringLiteral("Ферма ( 0)"), Farm0}};
    village.ReplaceAvBuildings(before);

    const TOverviewImportResult result = ImportOverviewText(lines, village, m_Catalog);
    QVERIFY(result.Accepted);
    QVERIFY(result.Error.isEmpty());
    QCOMPARE(result.Report, report);
    // Without a race the considered buildings are left as they were.
    if (race < 0)
        QCOMPARE(village.AvBuildings, before);
}

QTEST_GUILESS_MAIN(TestOverviewImport)
#include "tst_overviewimport.moc"
