// The object catalog: loading the file beside the executable, its failures,
// lookups, display texts and durations.

#include "TestSupport.h"

#include "rules/BuildingEffects.h"

#include "base/WholeNumber.h"

#include <QLocale>
#include <QStringDecoder>
#include <QTest>

#include <sys/stat.h>

namespace {

const QString NotFound = QStringLiteral("Не найден файл со списком объектов.\r\nПрограмма будет закрыта!");
const QString Empty = QStringLiteral("Файл со списком объектов пустой.\r\nПрограмма будет закрыта!");
const QString Structure =
    QStringLiteral("Ошибка структуры файла со списком объектов.\r\nПрограмма будет закрыта!");

const QString Crowded = QStringLiteral(
    "Слишком много атрибутов у элемента в файле со списком объектов.\r\nПрограмма будет закрыта!");

const QByteArray Farm = "<Object Name=\"Farm\"><Level ID=\"1\" WOOD=\"70\"/><Level ID=\"2\" WOOD=\"115\"/></Object>";

} // namespace

class TestCatalog : public QObject
{
    Q_OBJECT

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }

    void load_data();
    void load();
    void missingFile();
    void folderInPlaceOfFile();
    void pipeInPlaceOfFile();
    void catalogFileName_data();
    void catalogFileName();
    void attributeValues();
    void mainBuildingPercent();
    void displayText_data();
    void displayText();
    void lookups();
    void textEncodings_data();
    void textEncodings();
    void shippedCatalog();
    void storageCapacity();
    void secondsToText_data();
    void secondsToText();
    void endClockWithoutSeconds();
    void textToSeconds_data();
    void textToSeconds();
};

void TestCatalog::load_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("loads");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("entries");

    QTest::newRow("empty file") << QByteArray() << false << Empty << 0;
    QTest::newRow("blanks only") << QByteArray(" \r\n\t \n") << false << Empty << 0;
    QTest::newRow("byte-order mark only") << QByteArray("\xEF\xBB\xBF") << false << Empty << 0;
    QByteArray attributes;
    for (int i = 0; i < 100000; ++i)
        attributes += " A" + QByteArray::number(i) + "=\"1\"";
    // Refused before parsing: the reader would compare each with all before it.
    QTest::newRow("a hundred thousand attributes on one level")
        << CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\"" + attributes + "/></Object>") << false << Crowded << 0;
    QTest::newRow("signs in values and comments are no attributes")
        << QByteArray("<?xml version=\"1.0\"?><!-- " + QByteArray(100, '=') + " --><JorLivaronObjectList>"
                      + "<Object Name=\"" + QByteArray(100, '=') + "\"><Level ID=\"1\" WOOD=\"70\"/></Object>"
                      + "</JorLivaronObjectList>")
        << true << QString() << 1;
    QTest::newRow("wrong root name") << QByteArray("<JorLivaronObjectLIST>" + Farm + "</JorLivaronObjectLIST>")
                                     << false << Structure << 0;
    QTest::newRow("comment before root")
        << QByteArray("<?xml version=\"1.0\"?><!-- catalog --><JorLivaronObjectList>" + Farm
                      + "</JorLivaronObjectList>")
        << true
                                         << QString() << 2;
    QTest::newRow("comment inside list") << CatalogXml("<!-- x -->" + Farm) << false << Structure << 0;
    QTest::newRow("comment inside object")
        << CatalogXml("<Object Name=\"Farm\"><!-- x --><Level ID=\"1\"/></Object>") << false << Structure << 0;
    QTest::newRow("unknown element in list") << CatalogXml(Farm + "<Thing/>") << false << Structure << 2;
    QTest::newRow("text inside list") << CatalogXml("text" + Farm) << false << Structure << 0;
    QTest::newRow("unknown element in object")
        << CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\"/><Step ID=\"2\"/></Object>") << false << Structure << 1;
    QTest::newRow("element name in other case") << CatalogXml("<object Name=\"Farm\"/>") << false << Structure << 0;
    QTest::newRow("level without ID") << CatalogXml("<Object Name=\"Farm\"><Level WOOD=\"1\"/></Object>") << false
                                      << Structure << 0;
    QTest::newRow("empty ID") << CatalogXml("<Object Name=\"Farm\"><Level ID=\"\"/></Object>") << false << QString()
                              << 0;
    QTest::newRow("ID above 8 bits") << CatalogXml("<Object Name=\"Farm\"><Level ID=\"128\"/></Object>") << false
                                     << QString() << 0;
    QTest::newRow("ID -128 fits") << CatalogXml("<Object Name=\"Farm\"><Level ID=\"-128\"/></Object>") << true
                                  << QString() << 1;
    QTest::newRow("letters in WOOD") << CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\" WOOD=\"abc\"/></Object>")
                                     << false << QString() << 0;
    QTest::newRow("USEGRAIN above 16 bits")
        << CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\" USEGRAIN=\"65536\"/></Object>") << false << QString() << 0;
    QTest::newRow("negative EK") << CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\" EK=\"-1\"/></Object>") << false
                                 << QString() << 0;
    QTest::newRow("PROD above 16 bits")
        << CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\" PROD=\"32768\"/></Object>") << false << QString() << 0;
    QTest::newRow("CAPACITY beyond 16 bits fits")
        << CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\" CAPACITY=\"80000\"/></Object>") << true << QString() << 1;
    QTest::newRow("negative CAPACITY")
        << CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\" CAPACITY=\"-1\"/></Object>") << false << QString() << 0;
    QTest::newRow("letters in CAPACITY")
        << CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\" CAPACITY=\"many\"/></Object>") << false << QString()
        << 0;
    QTest::newRow("object without Name") << CatalogXml("<Object><Level ID=\"1\"/></Object>") << false << QString()
                                         << 0;
    QTest::newRow("not well-formed") << QByteArray("<JorLivaronObjectList><Object>") << false << QString() << 0;
    QTest::newRow("list without children") << CatalogXml("") << true << QString() << 0;
    QTest::newRow("object without levels")
        << CatalogXml("<Object Name=\"Empty\"/>" + Farm) << true << QString() << 2;
    QTest::newRow("whitespace between elements") << CatalogXml("\n  " + Farm + "\n") << true << QString() << 2;
    QTest::newRow("blank character reference between elements")
        << CatalogXml("&#160;" + Farm + "&#32;") << true << QString() << 2;
    QTest::newRow("CDATA of blanks inside list") << CatalogXml("<![CDATA[ ]]>" + Farm) << false << Structure << 0;
    QTest::newRow("element name with a prefix") << CatalogXml(Farm + "<x:Object Name=\"Farm\"/>") << false
                                                << Structure << 2;
    QTest::newRow("processing instruction named as an object")
        << CatalogXml("<?Object x?>" + Farm) << false << QString() << 0;
    QTest::newRow("malformed after a structure failure")
        << QByteArray("<JorLivaronObjectList>" + Farm + "<Thing/><Open></JorLivaronObjectList>") << false
        << QString() << 0;
    QTest::newRow("malformed after the list")
        << QByteArray(CatalogXml(Farm) + "<Second/>") << false << QString() << 0;
    QTest::newRow("document type inside the list")
        << CatalogXml(Farm + "<!DOCTYPE x>") << false << QString() << 0;
    QTest::newRow("document type inside a level")
        << CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\"><!DOCTYPE x></Level></Object>") << false << QString()
        << 0;
    QTest::newRow("second document type")
        << QByteArray("<!DOCTYPE a><!DOCTYPE b><JorLivaronObjectList>" + Farm + "</JorLivaronObjectList>") << false
        << QString() << 0;
    QTest::newRow("document type before the list")
        << QByteArray("<!DOCTYPE JorLivaronObjectList><JorLivaronObjectList>" + Farm + "</JorLivaronObjectList>")
        << true << QString() << 2;
    QTest::newRow("processing instruction named as the list")
        << QByteArray("<?JorLivaronObjectList x?><JorLivaronObjectList>" + Farm + "</JorLivaronObjectList>") << true
        << QString() << 2;
    QTest::newRow("the traders' element")
        << CatalogXml(Farm + "<Traders>\n <Trader Race=\"Галлы\" LOAD=\"750\" SPEED=\"24\"/></Traders>") << true
        << QString() << 2;
    QTest::newRow("a trader without its race")
        << CatalogXml(Farm + "<Traders><Trader LOAD=\"750\" SPEED=\"24\"/></Traders>") << false << Structure << 2;
    QTest::newRow("a trader's load that is no number")
        << CatalogXml(Farm + "<Traders><Trader Race=\"Галлы\" LOAD=\"abc\" SPEED=\"24\"/></Traders>") << false
        << QString() << 2;
    QTest::newRow("a trader without its speed")
        << CatalogXml(Farm + "<Traders><Trader Race=\"Галлы\" LOAD=\"750\"/></Traders>") << false << QString() << 2;
    QTest::newRow("an unknown element among the traders")
        << CatalogXml(Farm + "<Traders><Camel/></Traders>") << false << Structure << 2;
    QTest::newRow("content of a level ignored")
        << CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\">note<Extra/></Level></Object>") << true << QString() << 1;
}

void TestCatalog::load()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, loads);
    QFETCH(QString, message);
    QFETCH(int, entries);

    // The loader shows nothing; it returns the message for the start-up.
    TRecordedMessages messages;
    TTestCatalog catalog(xml);
    QCOMPARE(catalog.Loaded, loads);
    QCOMPARE(catalog.Result.Error, message);
    QVERIFY(catalog.Result.Path.endsWith(QStringLiteral("JorLivaronMng.xml")));
    QVERIFY(messages.Messages.isEmpty());
    QCOMPARE(catalog.Catalog.Count(), entries);
}

void TestCatalog::missingFile()
{
    QTemporaryDir dir;
    TdmListObj catalog;
    const TCatalogResult result = catalog.LoadCatalog(dir.filePath(QStringLiteral("JorLivaronMng")));
    QVERIFY(!result);
    QCOMPARE(result.Error, NotFound);
    QCOMPARE(result.Path, dir.filePath(QStringLiteral("JorLivaronMng.xml")));
    QCOMPARE(catalog.Count(), 0);
}

void TestCatalog::folderInPlaceOfFile()
{
    TRecordedMessages messages;
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("JorLivaronMng.xml")));
    TdmListObj catalog;
    const TCatalogResult result = catalog.LoadCatalog(dir.filePath(QStringLiteral("JorLivaronMng")));
    QVERIFY(!result);
    QCOMPARE(result.Error, NotFound);
}

void TestCatalog::pipeInPlaceOfFile()
{
    // Refused at once: reading a pipe would wait for a writer for ever.
    TRecordedMessages messages;
    QTemporaryDir dir;
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("JorLivaronMng.xml"))).constData(), 0600), 0);
    TdmListObj catalog;
    const TCatalogResult result = catalog.LoadCatalog(dir.filePath(QStringLiteral("JorLivaronMng")));
    QVERIFY(!result);
    QVERIFY2(result.Error.startsWith(QStringLiteral("Файл со списком объектов — не обычный файл")),
             qPrintable(result.Error));
    QVERIFY(messages.Messages.isEmpty());
}

void TestCatalog::catalogFileName_data()
{
    QTest::addColumn<QString>("exe");
    QTest::addColumn<QString>("catalog");

    QTest::newRow("no extension") << "/opt/jor/JorLivaronMng" << "/opt/jor/JorLivaronMng.xml";
    QTest::newRow("extension replaced") << "/opt/jor/JorLivaronMng.exe" << "/opt/jor/JorLivaronMng.xml";
    QTest::newRow("last extension only") << "/opt/jor/Jor.Livaron.bin" << "/opt/jor/Jor.Livaron.xml";
    QTest::newRow("dot in folder only") << "/opt/jor.d/JorLivaronMng" << "/opt/jor.d/JorLivaronMng.xml";
}

void TestCatalog::catalogFileName()
{
    QFETCH(QString, exe);
    QFETCH(QString, catalog);
    QCOMPARE(TdmListObj::CatalogFileName(exe), catalog);
}

void TestCatalog::attributeValues()
{
    TTestCatalog catalog(CatalogXml(
        "<Object Name=\"Farm\">"
        "<Level ID=\"1\" WOOD=\"70\" CLAY=\"\" IRON=\"-1\" USEGRAIN=\"2\" EK=\"$A\" TIME=\"0:05:00\" PROD=\"-7\"/>"
        "<Level ID=\" 2\" GRAIN=\"+35\" TIME=\"\"/>"
        "<Level ID=\"3\" TIME=\"five minutes\" Extra=\"ignored\"/>"
        "<Level ID=\"4\"/>"
        "</Object>"));
    QVERIFY(catalog.Loaded);
    QCOMPARE(catalog.Catalog.Count(), 4);

    const TLivaronObject &first = catalog.Catalog.Object(0);
    QCOMPARE(first.Name, QStringLiteral("Farm"));
    QCOMPARE(first.Level, qint8(1));
    QCOMPARE(first.Wood, 70);
    QCOMPARE(first.Clay, -1); // empty
    QCOMPARE(first.Iron, -1); // explicit -1
    QCOMPARE(first.Grain, -1); // absent
    QCOMPARE(first.UseGrain, quint16(2));
    QCOMPARE(first.EK, quint16(10));
    QCOMPARE(first.Time, 300);
    QCOMPARE(first.Prod, qint16(-7));

    const TLivaronObject &second = catalog.Catalog.Object(1);
    QCOMPARE(second.Level, qint8(2));
    QCOMPARE(second.Grain, 35);
    QCOMPARE(second.UseGrain, quint16(0));
    QCOMPARE(second.Time, 0);

    QCOMPARE(catalog.Catalog.Object(2).Time, 0); // a malformed duration never fails the load

    // A level with nothing but its ID: no costs, no duration, no factor.
    const TLivaronObject &bare = catalog.Catalog.Object(3);
    QCOMPARE(QList<qint32>({bare.Wood, bare.Clay, bare.Iron, bare.Grain}), QList<qint32>({-1, -1, -1, -1}));
    QCOMPARE(bare.Time, 0);
    QCOMPARE(bare.Prod, qint16(0));
    QCOMPARE(bare.Capacity, -1);
}

void TestCatalog::mainBuildingPercent()
{
    TTestCatalog catalog(CatalogXml(
        "<Object Name=\"Главное здание\">"
        "<Level ID=\"1\" PROD=\"100\"/><Level ID=\"2\" PROD=\"96\"/><Level ID=\"2\" PROD=\"95\"/>"
        "<Level ID=\"20\" PROD=\"50\"/><Level ID=\"25\" PROD=\"10\"/><Level ID=\"0\" PROD=\"11\"/>"
        "</Object>"
        "<Object Name=\"главное здание\"><Level ID=\"3\" PROD=\"1\"/></Object>"));
    QVERIFY(catalog.Loaded);
    const TdmListObj &c = catalog.Catalog;
    QCOMPARE(c.Count(), 7); // levels outside 1..20 stay in the catalog
    QCOMPARE(c.MainBuildingPercent(1), 100);
    QCOMPARE(c.MainBuildingPercent(2), 95); // the later entry wins
    QCOMPARE(c.MainBuildingPercent(3), 0);  // another letter case is another building
    QCOMPARE(c.MainBuildingPercent(19), 0);
    QCOMPARE(c.MainBuildingPercent(20), 50);
    // Levels outside the table are clamped, never read outside it.
    QCOMPARE(c.MainBuildingPercent(0), 100);
    QCOMPARE(c.MainBuildingPercent(-5), 100);
    QCOMPARE(c.MainBuildingPercent(99), 50);
}

void TestCatalog::displayText_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("text");

    QTest::newRow("one digit") << 5 << QStringLiteral("Ферма ( 5)");
    QTest::newRow("nine") << 9 << QStringLiteral("Ферма ( 9)");
    QTest::newRow("ten") << 10 << QStringLiteral("Ферма (10)");
    QTest::newRow("zero") << 0 << QStringLiteral("Ферма ( 0)");
    QTest::newRow("minus one") << -1 << QStringLiteral("Ферма (-1)");
    QTest::newRow("three digits") << 100 << QStringLiteral("Ферма (100)");
}

void TestCatalog::displayText()
{
    QFETCH(int, level);
    QFETCH(QString, text);
    TLivaronObject object;
    object.Name = QStringLiteral("Ферма");
    object.Level = qint8(level);
    QCOMPARE(object.DisplayText(), text);
}

void TestCatalog::lookups()
{
    TTestCatalog catalog(CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\"/><Level ID=\"2\"/></Object>"
                                    "<Object Name=\"Wall\"><Level ID=\"2\"/><Level ID=\"1\"/></Object>"
                                    "<Object Name=\"Farm\"><Level ID=\"2\"/><Level ID=\"3\"/></Object>"));
    QVERIFY(catalog.Loaded);
    const TdmListObj &c = catalog.Catalog;
    QCOMPARE(c.FindByDisplayText(QStringLiteral("Farm ( 1)")), 0);
    QCOMPARE(c.FindByDisplayText(QStringLiteral("Farm ( 2)")), 1); // the first of two
    QCOMPARE(c.FindByDisplayText(QStringLiteral("farm ( 1)")), -1); // letter case counts
    QCOMPARE(c.FindByDisplayText(QStringLiteral("Farm (1)")), -1);
    QCOMPARE(c.FindByDisplayText(QString()), -1);

    QCOMPARE(c.FindNextLevel(0), 1);
    QCOMPARE(c.FindNextLevel(1), 5); // level 3 stands only in the second Farm object
    QCOMPARE(c.FindNextLevel(5), -1); // the top level
    QCOMPARE(c.FindNextLevel(3), 2);  // Wall 1 -> Wall 2 earlier in the file
    QCOMPARE(c.FindNextLevel(2), -1);
    QCOMPARE(c.FindNextLevel(-1), -1);
    QCOMPARE(c.FindNextLevel(c.Count()), -1);
}

void TestCatalog::textEncodings_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<QString>("name");

    const QString mainBuilding = QStringLiteral("Главное здание");
    const QByteArray name = mainBuilding.toUtf8();
    const QByteArray objects = "<Object Name=\"" + name + "\"><Level ID=\"1\" PROD=\"100\"/></Object>";
    QTest::newRow("plain UTF-8") << CatalogXml(objects) << mainBuilding;

    // The UTF-8 bytes of the name presented as Windows-1251 characters, in a
    // file that is itself UTF-8 (tests/data/catalog-cp1251-as-utf8.xml), and
    // the same bytes in a file declared as Windows-1251.
    QFile table(QStringLiteral(JOR_TEST_DATA_DIR "/catalog-cp1251-as-utf8.xml"));
    QVERIFY(table.open(QIODevice::ReadOnly));
    QTest::newRow("UTF-8 bytes shown as Windows-1251") << table.readAll() << mainBuilding;
    QTest::newRow("UTF-8 bytes in a Windows-1251 file")
        << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<JorLivaronObjectList>" + objects
                      + "</JorLivaronObjectList>")
        << mainBuilding;

    // "И" is D0 98 in UTF-8, and 0x98 is the one byte of Windows-1251 without
    // a letter: the parser carries it as U+0098.
    const QString withI = QStringLiteral("Изба Ивана");
    const QByteArray withIObjects = "<Object Name=\"" + withI.toUtf8() + "\"><Level ID=\"1\"/></Object>";
    QTest::newRow("И as UTF-8 bytes in a Windows-1251 file")
        << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n<JorLivaronObjectList>" + withIObjects
                      + "</JorLivaronObjectList>")
        << withI;
    QStringDecoder cp1251("windows-1251");
    QVERIFY(cp1251.isValid());
    const QString shownAsCp1251 = cp1251.decode(withI.toUtf8());
    QVERIFY(shownAsCp1251.contains(QChar(0x0098)));
    QTest::newRow("И as UTF-8 bytes shown as Windows-1251")
        << CatalogXml("<Object Name=\"" + shownAsCp1251.toUtf8() + "\"><Level ID=\"1\"/></Object>") << withI;
    QTest::newRow("И in plain UTF-8") << CatalogXml(withIObjects) << withI;
}

void TestCatalog::textEncodings()
{
    QFETCH(QByteArray, xml);
    QFETCH(QString, name);
    TTestCatalog catalog(xml);
    QVERIFY(catalog.Loaded);
    QCOMPARE(catalog.Catalog.Count(), 1);
    QCOMPARE(catalog.Catalog.Object(0).Name, name);
    QCOMPARE(catalog.Catalog.MainBuildingPercent(1), name == QStringLiteral("Главное здание") ? 100 : 0);
}

void TestCatalog::shippedCatalog()
{
    TRecordedMessages messages;
    QTemporaryDir dir;
    QVERIFY(QFile::copy(QStringLiteral(JOR_SHIPPED_CATALOG), dir.filePath(QStringLiteral("JorLivaronMng.xml"))));
    TdmListObj catalog;
    QVERIFY(catalog.LoadCatalog(dir.filePath(QStringLiteral("JorLivaronMng"))));
    QVERIFY(messages.Messages.isEmpty());
    QVERIFY(catalog.Count() > 300);

    const qint32 main2 = catalog.FindByDisplayText(QStringLiteral("Главное здание ( 2)"));
    QVERIFY(main2 >= 0);
    const TLivaronObject &m = catalog.Object(main2);
    QCOMPARE(QList<qint32>({m.Wood, m.Clay, m.Iron, m.Grain}), QList<qint32>({90, 50, 75, 25}));
    const qint32 farm2 = catalog.FindByDisplayText(QStringLiteral("Ферма ( 2)"));
    QVERIFY(farm2 >= 0);
    const TLivaronObject &f = catalog.Object(farm2);
    QCOMPARE(QList<qint32>({f.Wood, f.Clay, f.Iron, f.Grain}), QList<qint32>({115, 150, 115, 35}));
    QCOMPARE(catalog.MainBuildingPercent(1), 100);
    QCOMPARE(catalog.MainBuildingPercent(20), 50);
    for (const char *name : {"Лесопильный завод ( 1)", "Глиняный карьер ( 1)", "Железный рудник ( 1)",
                             "Склад (20)", "Амбар ( 1)", "Стена ( 1)"})
        QVERIFY2(catalog.FindByDisplayText(QString::fromUtf8(name)) >= 0, name);
    for (int level = 1; level <= 20; ++level)
        QVERIFY(catalog.MainBuildingPercent(level) > 0);
}

// A storage's capacity: the 32-bit CAPACITY where the catalog gives one,
// else PROD, as a catalog without the attribute always had it; the shipped
// catalog carries the capacities beyond PROD's 32767.
void TestCatalog::storageCapacity()
{
    TTestCatalog catalog(CatalogXml("<Object Name=\"Склад\">"
                                    "<Level ID=\"15\" PROD=\"31300\"/>"
                                    "<Level ID=\"16\" PROD=\"32767\" CAPACITY=\"37900\"/>"
                                    "</Object>"));
    QVERIFY(catalog.Loaded);
    QCOMPARE(StorageCapacity(catalog.Catalog.Object(0)), 31300);
    QCOMPARE(StorageCapacity(catalog.Catalog.Object(1)), 37900);

    TdmListObj shipped;
    QVERIFY(shipped.LoadCatalog(QStringLiteral(JOR_SHIPPED_CATALOG)));
    for (const QString &name : {QStringLiteral("Склад"), QStringLiteral("Амбар")}) {
        qint32 previous = 0;
        for (int level = 1; level <= 20; ++level) {
            const qint32 index = shipped.FindByDisplayText(MakeDisplayText(name, level));
            QVERIFY(index >= 0);
            const TLivaronObject &object = shipped.Object(index);
            const qint32 capacity = StorageCapacity(object);
            // Where PROD is not clamped the two agree; every level holds more.
            if (object.Prod < 32767)
                QCOMPARE(capacity, qint32(object.Prod));
            QVERIFY2(capacity > previous, qPrintable(object.DisplayText()));
            previous = capacity;
        }
        QCOMPARE(previous, 80000);
    }
}

void TestCatalog::secondsToText_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("showEndTime");
    QTest::addColumn<QString>("text");

    QTest::newRow("zero") << 0 << false << "00:00:00";
    QTest::newRow("59 seconds") << 59 << false << "00:00:59";
    QTest::newRow("3723") << 3723 << false << "01:02:03";
    QTest::newRow("hours of a day") << 86399 << false << "23:59:59";
    QTest::newRow("a whole day") << 86400 << false << "1 д 00:00:00";
    QTest::newRow("days in front of the hours") << 360000 << false << "4 д 04:00:00";
    QTest::newRow("four weeks and seven hours") << 28 * 86400 + 7 * 3600 << false << "28 д 07:00:00";
    QTest::newRow("largest") << 2147483647 << false << "24855 д 03:14:07";
    QTest::newRow("negative") << -59 << false << "-00:00:59";
    QTest::newRow("negative days") << -90000 << false << "-1 д 01:00:00";
    QTest::newRow("smallest") << int(-2147483647 - 1) << false << "-24855 д 03:14:08";
    QTest::newRow("one hour with end") << 3600 << true << "01:00:00 (22:30)";
    QTest::newRow("affordable now") << 0 << true << "00:00:00 (21:30)";
    // An end on another day carries its date, in another year the year too.
    QTest::newRow("past midnight") << 3 * 3600 << true << "03:00:00 (08.12 00:30)";
    QTest::newRow("a day and a minute") << 86460 << true << "1 д 00:01:00 (08.12 21:31)";
    QTest::newRow("negative with end") << -3600 << true << "-01:00:00 (20:30)";
    QTest::newRow("largest with end") << 2147483647 << true << "24855 д 03:14:07 (26.12.2094 00:44)";
}

void TestCatalog::secondsToText()
{
    QFETCH(int, seconds);
    QFETCH(bool, showEndTime);
    QFETCH(QString, text);
    TPinnedClock clock(QDateTime(QDate(2026, 12, 7), QTime(21, 30, 10)));
    QCOMPARE(TdmListObj::SecondsToText(seconds, showEndTime), text);
}

void TestCatalog::endClockWithoutSeconds()
{
    TPinnedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 5, 40)));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString text = TdmListObj::SecondsToText(60, true);
    QVERIFY2(text.startsWith(QStringLiteral("00:01:00 (9:06")), qPrintable(text));
    QVERIFY2(!text.contains(QStringLiteral(":40")), qPrintable(text));
    QLocale::setDefault(QLocale::c());
    QCOMPARE(TdmListObj::SecondsToText(60, true), QStringLiteral("00:01:00 (09:06)"));
}

void TestCatalog::textToSeconds_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("seconds");

    QTest::newRow("hh:mm:ss") << "01:02:03" << 3723;
    QTest::newRow("hours beyond 99") << "100:00:00" << 360000;
    QTest::newRow("seconds only") << "90" << 90;
    QTest::newRow("one colon reads seconds") << "12:30" << 43230;
    QTest::newRow("letters") << "a:b:c" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("five minutes short") << "0:05:00" << 300;
    QTest::newRow("one part bad") << "01:xx:03" << 3603;
    QTest::newRow("third colon spoils seconds") << "01:02:03:04" << 3720;
    QTest::newRow("negative part") << "-1:00:00" << -3600;
    QTest::newRow("hex part") << "$10:00:00" << 57600;
    QTest::newRow("clamped above") << "999999:00:00" << 2147483647;
    QTest::newRow("clamped below") << "-999999:00:00" << int(-2147483647 - 1);
    QTest::newRow("largest parts") << "2147483647:2147483647:2147483647" << 2147483647;
    QTest::newRow("with end clock text") << "01:00:00 (22:30)" << 3600;
}

void TestCatalog::textToSeconds()
{
    QFETCH(QString, text);
    QFETCH(int, seconds);
    QCOMPARE(TdmListObj::TextToSeconds(text), seconds);
}

QTEST_GUILESS_MAIN(TestCatalog)
#include "tst_catalog.moc"
