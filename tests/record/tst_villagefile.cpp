// Tests of the village data file: what is written, byte for byte; reading
// back what was written; reading the committed sample files, including
// damaged ones; and the failures of both directions.
#include "TestSupport.h"

#include "rules/Planner.h"
#include "record/VillageData.h"
#include "record/VillageFile.h"
#include "record/VillageFileAccess.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QSignalSpy>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#endif

namespace {

// Ферма 1..3 (indices 0..2), Главное здание 1..2 (3..4), Склад 1..2 (5..6).
const QByteArray CatalogObjects =
    "<Object Name=\"Ферма\">"
    "<Level ID=\"1\" WOOD=\"10\" CLAY=\"10\" IRON=\"10\" GRAIN=\"10\" TIME=\"00:01:00\"/>"
    "<Level ID=\"2\" WOOD=\"20\" CLAY=\"20\" IRON=\"20\" GRAIN=\"20\" TIME=\"00:02:00\"/>"
    "<Level ID=\"3\" WOOD=\"30\" CLAY=\"30\" IRON=\"30\" GRAIN=\"30\" TIME=\"00:03:00\"/>"
    "</Object>"
    "<Object Name=\"Главное здание\">"
    "<Level ID=\"1\" WOOD=\"500\" CLAY=\"500\" IRON=\"500\" GRAIN=\"500\" TIME=\"00:10:00\" PROD=\"100\"/>"
    "<Level ID=\"2\" WOOD=\"900\" CLAY=\"900\" IRON=\"900\" GRAIN=\"900\" TIME=\"00:20:00\" PROD=\"96\"/>"
    "</Object>"
    "<Object Name=\"Склад\">"
    "<Level ID=\"1\" WOOD=\"100\" CLAY=\"100\" IRON=\"100\" GRAIN=\"100\" TIME=\"00:05:00\"/>"
    "<Level ID=\"2\" WOOD=\"200\" CLAY=\"200\" IRON=\"200\" GRAIN=\"200\" TIME=\"00:06:00\"/>"
    "</Object>";

const QString FreshVillage = QStringLiteral(
    "name=[] race=0 level=[1] stocks=[,,,] production=[,,,] buildings=[] comments=[]");
const QString SampleVillage = QStringLiteral(
    "name=[Застава] race=3 level=[123] stocks=[1500,12a,,-7] production=[60,40,30,20] "
    "buildings=[Главное здание ( 2)#4;Ферма ( 1)#0] comments=[Первая строка\\r\\nВторая]");
// Stands for "the parser's own message" in the reason column.
const QString ParserReason = QStringLiteral("<parser>");

QString DataPath(const QString &name)
{
    return QStringLiteral(JOR_TEST_DATA_DIR "/") + name;
}

QByteArray FileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString Escaped(QString text)
{
    return text.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
}

// All the persistent fields of a village on one line, so that a failing
// comparison shows the difference.
QString Describe(const TVillageData &village)
{
    QStringList buildings;
    for (const TAvBuildingEntry &entry : village.AvBuildings)
        buildings.append(entry.Text + u'#' + QString::number(entry.CatalogIndex));
    const QStringList stocks(village.ResourceCollect.begin(), village.ResourceCollect.end());
    const QStringList production(village.ResourceAdd.begin(), village.ResourceAdd.end());
    QString text =
        QStringLiteral("name=[%1] race=%2 level=[%3] stocks=[%4] production=[%5] buildings=[%6] comments=[%7]")
            .arg(Escaped(village.Name), QString::number(village.Race), village.MainLevel, stocks.join(u','),
                 production.join(u','), buildings.join(u';'), Escaped(village.Comments));
    if (!village.UnknownBuildings.isEmpty())
        text += QStringLiteral(" unknown=[%1]").arg(village.UnknownBuildings.join(u';'));
    return text;
}

// Capacities, queue and construction on one line.
QString DescribeAdditions(const TVillageData &village)
{
    QStringList queue;
    for (const TAvBuildingEntry &entry : village.Queue)
        queue.append(entry.Text + u'#' + QString::number(entry.CatalogIndex));
    const QStringList capacity(village.Capacity.begin(), village.Capacity.end());
    return QStringLiteral("capacity=[%1] queue=[%2] construction=[%3 %4/%5]")
        .arg(capacity.join(u','), queue.join(u';'), village.BuildName)
        .arg(village.BuildElapsed)
        .arg(village.BuildTotal);
}

// Every entry of the test catalog with this display text.
TAvBuildingEntry Entry(const TdmListObj &catalog, const QString &text)
{
    return {text, catalog.FindByDisplayText(text)};
}

} // namespace

class TestVillageFile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void villageFileExtension_data();
    void villageFileExtension();

    void dateText_data();
    void dateText();
    void writtenBytes_data();
    void writtenBytes();
    void roundTrip_data();
    void roundTrip();
    void longCommentRoundTrip();
    void writeReplacesPreviousFile();
    void writeFailsWhenFolderIsAFile();
    void failedWriteKeepsPreviousFile();
    void writeRefusesWhatTheReaderRefuses_data();
    void writeRefusesWhatTheReaderRefuses();
    void writeToAnotherPathLeavesTheRecord();
    void unknownBuildingsWrittenAfterTheKnown();
    void sameVillageFile_data();
    void sameVillageFile();

    void readSamples_data();
    void readSamples();
    void openFailureMessage_data();
    void openFailureMessage();
    void readLeavesTheRecalculationToTheCaller();
    void readKeepsWhatTheFileLacks();
    void buildingsAppliedAsOneChange_data();
    void buildingsAppliedAsOneChange();
    void failedReadForgetsTheName();
    void readRefusesDeepNesting();
    void readRefusesExpandingFiles_data();
    void readRefusesExpandingFiles();

    void newElementsRoundTrip_data();
    void newElementsRoundTrip();
    void olderFileReadsAndWritesAsBefore();
    void newElementsRead_data();
    void newElementsRead();
    void serverSpeed_data();
    void coordinates_data();
    void coordinates();
    void serverSpeed();
    void deliveries_data();
    void deliveries();

private:
    // Reads a village whose Village element ends with these attributes, and
    // writes it back; false when either fails.
    bool ReadAndWriteBack(const QByteArray &attributes, TVillageData &village, QByteArray &written) const;

    std::unique_ptr<TTestCatalog> m_Catalog;
};

void TestVillageFile::initTestCase()
{
    m_Catalog = std::make_unique<TTestCatalog>(CatalogXml(CatalogObjects));
    QVERIFY(m_Catalog->Loaded);
    QCOMPARE(m_Catalog->Catalog.Count(), 7);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

void TestVillageFile::cleanupTestCase()
{
    QLocale::setDefault(QLocale::c());
}

void TestVillageFile::dateText_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("expected");

    const QLocale russian(QLocale::Russian, QLocale::Russia);
    const QDate day(2024, 3, 5);
    QTest::newRow("Russian, morning")
        << russian << QDateTime(day, QTime(7, 8, 9), Qt::UTC) << QStringLiteral("05.03.2024 07:08:09");
    QTest::newRow("US English, afternoon")
        << QLocale(QLocale::English, QLocale::UnitedStates) << QDateTime(day, QTime(15, 8, 9), Qt::UTC)
        << QStringLiteral("05.03.2024 15:08:09");
    QTest::newRow("German, evening")
        << QLocale(QLocale::German, QLocale::Germany) << QDateTime(day, QTime(23, 59, 59), Qt::UTC)
        << QStringLiteral("05.03.2024 23:59:59");
    QTest::newRow("midnight: the date alone")
        << russian << QDateTime(day, QTime(0, 0, 0), Qt::UTC) << QStringLiteral("05.03.2024");
    QTest::newRow("midnight with milliseconds: the date alone")
        << russian << QDateTime(day, QTime(0, 0, 0, 500), Qt::UTC) << QStringLiteral("05.03.2024");
    // Every locale writes the same text, whatever its own date and time
    // formats (a comma or brackets around the zone, another script).
    QTest::newRow("Belarusian: zone after a comma")
        << QLocale(QLocale::Belarusian, QLocale::Belarus) << QDateTime(day, QTime(15, 8, 9), Qt::UTC)
        << QStringLiteral("05.03.2024 15:08:09");
    QTest::newRow("Catalan: zone in parentheses")
        << QLocale(QLocale::Catalan, QLocale::Spain) << QDateTime(day, QTime(15, 8, 9), Qt::UTC)
        << QStringLiteral("05.03.2024 15:08:09");
    QTest::newRow("Chinese, Hong Kong: zone in brackets")
        << QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::HongKong)
        << QDateTime(day, QTime(15, 8, 9), Qt::UTC) << QStringLiteral("05.03.2024 15:08:09");
    QTest::newRow("Nuer: zone in front")
        << QLocale(QLocale::Nuer, QLocale::SouthSudan) << QDateTime(day, QTime(15, 8, 9), Qt::UTC)
        << QStringLiteral("05.03.2024 15:08:09");
    QTest::newRow("one second after midnight")
        << russian << QDateTime(day, QTime(0, 0, 1), Qt::UTC) << QStringLiteral("05.03.2024 00:00:01");
}

void TestVillageFile::dateText()
{
    QFETCH(QLocale, locale);
    QFETCH(QDateTime, moment);
    QFETCH(QString, expected);

    QLocale::setDefault(locale);
    const QString text = VillageFileDateText(moment);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QCOMPARE(text, expected);
}

void TestVillageFile::writtenBytes_data()
{
    QTest::addColumn<bool>("small");
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QString>("expectedFile");

    QTest::newRow("small village") << true << QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9), Qt::UTC)
                                   << QStringLiteral("expected_small_village.vlgdat");
    QTest::newRow("new village, no race, saved at midnight")
        << false << QDateTime(QDate(2024, 3, 5), QTime(0, 0), Qt::UTC)
        << QStringLiteral("expected_new_village.vlgdat");
}

void TestVillageFile::writtenBytes()
{
    QFETCH(bool, small);
    QFETCH(QDateTime, now);
    QFETCH(QString, expectedFile);

    const TdmListObj &catalog = m_Catalog->Catalog;
    TPinnedClock clock(now);
    QTemporaryDir dir;
    TVillageData village;
    if (small) {
        village.SetName(QStringLiteral("Хутор"));
        village.SetRace(1);
        village.SetMainLevel(QStringLiteral("3"));
        village.ResourceCollect = {QStringLiteral("750"), QStringLiteral("600"), QString(), QStringLiteral("12a")};
        village.ResourceAdd = {QStringLiteral("60"), QStringLiteral("40"), QStringLiteral("30"), QStringLiteral("-5")};
        village.AddAvBuilding(Entry(catalog, QStringLiteral("Ферма ( 1)")));
        village.AddAvBuilding(Entry(catalog, QStringLiteral("Главное здание ( 2)")));
        // Typed without a line break after the last line.
        village.Comments = QStringLiteral("Первая\r\nвторая");
    }
    village.FileName = dir.filePath(QStringLiteral("village.vlgdat"));

    const TFileResult result = WriteVillageFile(village);
    QVERIFY2(result.Ok, qPrintable(result.Error));

    const QByteArray written = FileBytes(village.FileName);
    const QByteArray expected = FileBytes(DataPath(expectedFile));
    QVERIFY(!expected.isEmpty());
    QCOMPARE(written, expected);
    QVERIFY(!written.startsWith("\xEF\xBB\xBF"));
}

void TestVillageFile::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("comments");
    QTest::addColumn<QString>("expectedName");
    QTest::addColumn<QString>("expectedComments");

    const auto same = [](const char *row, const QString &name, const QString &comments) {
        QTest::newRow(row) << name << comments << name << comments;
    };
    same("plain texts", QStringLiteral("Застава"), QStringLiteral("Первая строка\r\nВторая строка"));
    same("blanks around name and comment lines", QStringLiteral("  Застава  "),
         QStringLiteral("  отступ\r\n  и ещё  "));
    same("tab, line breaks and quotes in the name", QStringLiteral("a\tb\r\nc \"d\" 'e'"), QStringLiteral("x"));
    same("markup characters", QStringLiteral("<&>]]>"), QStringLiteral("<b>&amp;</b> ]]> \"'"));
    same("comment of blanks only", QStringLiteral("Застава"), QStringLiteral("   "));
    same("comment of line breaks only", QStringLiteral("Застава"), QStringLiteral("\r\n\r\n"));
    same("comment ending in a line break", QStringLiteral("Застава"), QStringLiteral("строка\r\n"));
    same("characters beyond the basic plane", QStringLiteral("Замок \U0001F3F0"), QStringLiteral("\U0001F3F0"));
    same("empty name and comment", QString(), QString());
    QTest::newRow("bare LF and lone CR in the comment become CR LF")
        << QStringLiteral("Застава") << QStringLiteral("a\nb\rc") << QStringLiteral("Застава")
        << QStringLiteral("a\r\nb\r\nc");
    QTest::newRow("runs of mixed breaks: each one CR LF")
        << QStringLiteral("Застава") << QStringLiteral("\r\r\n\n\r") << QStringLiteral("Застава")
        << QStringLiteral("\r\n\r\n\r\n\r\n");
    QTest::newRow("characters a file cannot hold are dropped")
        << QStringLiteral("A\x01" "B\x1F") << QStringLiteral("x\x0By") << QStringLiteral("AB")
        << QStringLiteral("xy");
}

void TestVillageFile::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(QString, comments);
    QFETCH(QString, expectedName);
    QFETCH(QString, expectedComments);

    const TdmListObj &catalog = m_Catalog->Catalog;
    QTemporaryDir dir;
    TVillageData written;
    written.SetName(name);
    written.SetRace(2);
    written.SetMainLevel(QStringLiteral("123"));
    written.ResourceCollect = {QStringLiteral("1500"), QStringLiteral("12a"), QString(), QStringLiteral("-7")};
    written.ResourceAdd = {QStringLiteral("60"), QStringLiteral("$1F"), QStringLiteral("+5"), QStringLiteral("0")};
    written.AddAvBuilding(Entry(catalog, QStringLiteral("Склад ( 2)")));
    written.AddAvBuilding(Entry(catalog, QStringLiteral("Ферма ( 1)")));
    written.AddAvBuilding(Entry(catalog, QStringLiteral("Главное здание ( 2)")));
    written.Comments = comments;
    written.FileName = dir.filePath(QStringLiteral("round trip.vlgdat"));
    const QString before = Describe(written);

    const TFileResult writeResult = WriteVillageFile(written);
    QVERIFY2(writeResult.Ok, qPrintable(writeResult.Error));
    QCOMPARE(Describe(written), before);
    QVERIFY(written.Modified);

    TVillageData read;
    TPlanner planner(read, catalog);
    read.FileName = written.FileName;
    TRecordedMessages messages;
    const TFileResult readResult = ReadVillageFile(read, catalog);
    QVERIFY2(readResult.Ok, qPrintable(readResult.Error));
    QVERIFY(messages.Messages.isEmpty());

    QCOMPARE(read.Name, expectedName);
    QCOMPARE(read.Comments, expectedComments);
    QCOMPARE(read.Race, quint8(3));
    QCOMPARE(read.MainLevel, QStringLiteral("123"));
    QCOMPARE(read.ResourceCollect, written.ResourceCollect);
    QCOMPARE(read.ResourceAdd, written.ResourceAdd);
    QCOMPARE(read.AvBuildings, written.AvBuildings);
    QCOMPARE(read.FileName, written.FileName);
    QVERIFY(read.Modified);
}

void TestVillageFile::longCommentRoundTrip()
{
    // Three million empty lines, typed with bare LF: each line break becomes
    // CR LF in one pass over the text, not by moving the rest of it at every
    // break.
    const TdmListObj &catalog = m_Catalog->Catalog;
    QTemporaryDir dir;
    TVillageData written;
    written.FileName = dir.filePath(QStringLiteral("long.vlgdat"));
    written.Comments = QString(3000000, u'\n');

    // The processor time of this process, so that a busy machine does not
    // count.
    const auto cpuMs = [] {
        timespec now = {};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
        return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    };
    const qint64 start = cpuMs();
    QVERIFY(WriteVillageFile(written).Ok);
    TVillageData read;
    TPlanner planner(read, catalog);
    read.FileName = written.FileName;
    QVERIFY(ReadVillageFile(read, catalog).Ok);
    const qint64 elapsed = cpuMs() - start;
    qInfo("3,000,000 comment lines written and read in %lld ms of processor time", elapsed);

    QCOMPARE(read.Comments.size(), 6000000);
    QVERIFY(read.Comments == QStringLiteral("\r\n").repeated(3000000));
    QVERIFY2(elapsed < 3000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
}

void TestVillageFile::writeReplacesPreviousFile()
{
    QTemporaryDir dir;
    TVillageData village;
    village.FileName = dir.filePath(QStringLiteral("village.vlgdat"));
    village.SetName(QStringLiteral("Старое"));
    QVERIFY(WriteVillageFile(village).Ok);
    village.SetName(QStringLiteral("Новое"));
    QVERIFY(WriteVillageFile(village).Ok);

    const QByteArray bytes = FileBytes(village.FileName);
    QVERIFY(bytes.contains("Name=\"Новое\""));
    QVERIFY(!bytes.contains("Старое"));
    // Nothing is left beside the file.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("village.vlgdat")});
}

void TestVillageFile::writeFailsWhenFolderIsAFile()
{
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();

    TVillageData village;
    village.SetName(QStringLiteral("Застава"));
    village.FileName = dir.filePath(QStringLiteral("plain/village.vlgdat"));
    const QString before = Describe(village);
    TRecordedMessages messages;

    const TFileResult result = WriteVillageFile(village);
    QVERIFY(!result.Ok);
    const QStringList lines = result.Error.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0), QStringLiteral("Не удалось сохранить файл «%1».")
                              .arg(QDir::toNativeSeparators(village.FileName)));
    QVERIFY(!lines.at(1).trimmed().isEmpty());
    // The writer shows nothing itself and leaves the record alone.
    QVERIFY(messages.Messages.isEmpty());
    QCOMPARE(Describe(village), before);
    QCOMPARE(village.FileName, dir.filePath(QStringLiteral("plain/village.vlgdat")));
    QCOMPARE(QFileInfo(plain.fileName()).size(), 0);
}

void TestVillageFile::failedWriteKeepsPreviousFile()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    TVillageData village;
    village.SetName(QStringLiteral("Застава"));
    village.FileName = dir.filePath(QStringLiteral("village.vlgdat"));
    QVERIFY(WriteVillageFile(village).Ok);
    const QByteArray previous = FileBytes(village.FileName);
    QVERIFY(!previous.isEmpty());

    // A file size limit makes the next, much larger write fail half-way, as
    // a full disk would.
    village.Comments = QString(200000, u'ж');
    rlimit oldLimit{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &oldLimit), 0);
    rlimit smallLimit = oldLimit;
    smallLimit.rlim_cur = 4096;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &smallLimit), 0);
    const TFileResult result = WriteVillageFile(village);
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);

    QVERIFY(!result.Ok);
    QVERIFY(result.Error.contains(QDir::toNativeSeparators(village.FileName)));
    QCOMPARE(FileBytes(village.FileName), previous);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("village.vlgdat")});
#else
    QSKIP("needs a file size limit");
#endif
}

void TestVillageFile::writeRefusesWhatTheReaderRefuses_data()
{
    QTest::addColumn<QString>("comments");
    QTest::addColumn<bool>("written");

    // Each LF is written as CR LF: the file is about twice the text.
    QTest::newRow("line breaks fitting the limit") << QString(MaxVillageFileSize / 2 - 4096, u'\n') << true;
    QTest::newRow("line breaks growing past the limit") << QString(MaxVillageFileSize / 2 + 16, u'\n') << false;
    QTest::newRow("text above the limit") << QString(MaxVillageFileSize + 1, u'a') << false;
    // Two bytes of UTF-8 for each letter.
    QTest::newRow("letters growing past the limit") << QString(MaxVillageFileSize / 2 + 16, u'ж') << false;
}

void TestVillageFile::writeRefusesWhatTheReaderRefuses()
{
    QFETCH(QString, comments);
    QFETCH(bool, written);

    QTemporaryDir dir;
    TVillageData village;
    village.SetName(QStringLiteral("Застава"));
    village.FileName = dir.filePath(QStringLiteral("village.vlgdat"));
    QVERIFY(WriteVillageFile(village).Ok);
    const QByteArray previous = FileBytes(village.FileName);

    village.Comments = comments;
    const TFileResult result = WriteVillageFile(village);
    QCOMPARE(result.Ok, written);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("village.vlgdat")});
    TVillageData read;
    read.FileName = village.FileName;
    // Whatever the writer left, the reader takes.
    QVERIFY(ReadVillageFile(read, m_Catalog->Catalog).Ok);
    if (written) {
        QCOMPARE(read.Comments.size(), comments.size() * 2);
    } else {
        QVERIFY(result.Error.contains(QDir::toNativeSeparators(village.FileName)));
        QVERIFY(result.Error.contains(QStringLiteral("слишком большим")));
        QCOMPARE(FileBytes(village.FileName), previous);
    }
}

void TestVillageFile::writeToAnotherPathLeavesTheRecord()
{
    QTemporaryDir dir;
    TVillageData village;
    village.SetName(QStringLiteral("Застава"));
    village.FileName = dir.filePath(QStringLiteral("old.vlgdat"));
    const QString other = dir.filePath(QStringLiteral("other.vlgdat"));

    const TFileResult result = WriteVillageFile(village, other);
    QCOMPARE(result, (TFileResult{true, QString(), other}));
    QVERIFY(FileBytes(other).contains("Name=\"Застава\""));
    QCOMPARE(village.FileName, dir.filePath(QStringLiteral("old.vlgdat")));
    QVERIFY(!QFileInfo::exists(village.FileName));
}

void TestVillageFile::unknownBuildingsWrittenAfterTheKnown()
{
    // Read, then written back by the automatic save: the texts that the
    // catalog lacks stay, after the known ones, in the file's order.
    const TdmListObj &catalog = m_Catalog->Catalog;
    TVillageData village;
    village.FileName = DataPath(QStringLiteral("village_unknown_building.vlgdat"));
    QVERIFY(ReadVillageFile(village, catalog).Ok);
    QCOMPARE(village.UnknownBuildings, (QStringList{QStringLiteral("Башня ( 1)"), QStringLiteral("ферма ( 2)")}));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("back.vlgdat"));
    QVERIFY(WriteVillageFile(village, path).Ok);
    QVERIFY2(FileBytes(path).contains("<AvBuildings><Building>Склад ( 2)</Building><Building>Ферма ( 1)</Building>"
                                      "<Building>Башня ( 1)</Building><Building>ферма ( 2)</Building>"
                                      "</AvBuildings>"),
             FileBytes(path).constData());

    // A village with unknown texts only still writes them.
    TVillageData onlyUnknown;
    onlyUnknown.AddUnknownBuilding(QStringLiteral("Башня ( 1)"));
    onlyUnknown.AddUnknownBuilding(QStringLiteral("БАШНЯ ( 1)"));
    QVERIFY(WriteVillageFile(onlyUnknown, path).Ok);
    QVERIFY(FileBytes(path).contains("<AvBuildings><Building>Башня ( 1)</Building></AvBuildings>"));

    // Read again, they come back the same.
    TVillageData reread;
    reread.FileName = path;
    QVERIFY(ReadVillageFile(reread, catalog).Ok);
    QCOMPARE(reread.UnknownBuildings, QStringList{QStringLiteral("Башня ( 1)")});
    QVERIFY(reread.AvBuildings.isEmpty());

    // Choosing buildings anew keeps the texts the catalog lacks.
    village.ReplaceAvBuildings({Entry(catalog, QStringLiteral("Ферма ( 3)"))});
    QCOMPARE(village.UnknownBuildings.size(), 2);
}

void TestVillageFile::sameVillageFile_data()
{
    QTest::addColumn<QString>("first");  // relative to the folder
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("same");

    // The folder holds a.vlgdat, A.vlgdat, sub/ and link.vlgdat -> a.vlgdat.
    QTest::newRow("same text") << "a.vlgdat" << "a.vlgdat" << true;
    QTest::newRow("symbolic link") << "link.vlgdat" << "a.vlgdat" << true;
    QTest::newRow("dot") << "./a.vlgdat" << "a.vlgdat" << true;
    QTest::newRow("dot-dot") << "sub/../a.vlgdat" << "a.vlgdat" << true;
    QTest::newRow("letter case counts") << "A.vlgdat" << "a.vlgdat" << false;
    QTest::newRow("another file") << "a.vlgdat" << "sub/a.vlgdat" << false;
    QTest::newRow("missing file by dot-dot") << "sub/../gone.vlgdat" << "gone.vlgdat" << true;
    QTest::newRow("missing and existing") << "gone.vlgdat" << "a.vlgdat" << false;
    QTest::newRow("no file name") << "" << "" << false;
}

void TestVillageFile::sameVillageFile()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, same);

    QTemporaryDir dir;
    for (const QString &name : {QStringLiteral("a.vlgdat"), QStringLiteral("A.vlgdat")}) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    QVERIFY(QFile::link(dir.filePath(QStringLiteral("a.vlgdat")), dir.filePath(QStringLiteral("link.vlgdat"))));
    const auto inDir = [&dir](const QString &name) { return name.isEmpty() ? QString() : dir.path() + u'/' + name; };

    QCOMPARE(SameVillageFile(inDir(first), inDir(second)), same);
    QCOMPARE(SameVillageFile(inDir(second), inDir(first)), same);
}

void TestVillageFile::readSamples_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("nameKept");

    const QString noSingleText = QStringLiteral("Элемент «%1» не содержит единственного текстового значения!");

    QTest::newRow("without byte-order mark") << QStringLiteral("village_plain.vlgdat") << true << QString() << SampleVillage << true << true;
    QTest::newRow("with byte-order mark, bare LF in the comment")
        << QStringLiteral("village_bom.vlgdat") << true << QString() << SampleVillage << true << true;
    QTest::newRow("Comments before Village")
        << QStringLiteral("village_comments_first.vlgdat") << true << QString() << SampleVillage << true << true;
    QTest::newRow("indented, with an XML comment")
        << QStringLiteral("village_indented.vlgdat") << true << QString() << SampleVillage << true << true;
    QTest::newRow("no race: code 0, still modified")
        << QStringLiteral("village_no_race.vlgdat") << true << QString()
        << QStringLiteral("name=[Застава] race=0 level=[1] stocks=[1500,12a,,-7] production=[60,40,30,20] "
                          "buildings=[] comments=[]")
        << true << true;
    QTest::newRow("unknown and differently cased building texts kept apart, in order")
        << QStringLiteral("village_unknown_building.vlgdat") << true << QString()
        << QStringLiteral("name=[] race=0 level=[1] stocks=[,,,] production=[,,,] "
                          "buildings=[Склад ( 2)#6;Ферма ( 1)#0] comments=[] unknown=[Башня ( 1);ферма ( 2)]")
        << false << true;
    QTest::newRow("building listed twice yields one entry")
        << QStringLiteral("village_building_twice.vlgdat") << true << QString()
        << QStringLiteral("name=[] race=0 level=[1] stocks=[,,,] production=[,,,] "
                          "buildings=[Ферма ( 2)#1] comments=[]")
        << false << true;
    QTest::newRow("repeated elements: later values win, buildings accumulate")
        << QStringLiteral("village_repeated.vlgdat") << true << QString()
        << QStringLiteral("name=[Второе] race=1 level=[35] stocks=[,,,] production=[6,,,9] "
                          "buildings=[Склад ( 1)#5;Ферма ( 3)#2] comments=[]")
        << true << true;

    QTest::newRow("missing file keeps its name")
        << QStringLiteral("no such village.vlgdat") << false << QStringLiteral("Файл не найден!") << FreshVillage << false << true;
    QTest::newRow("empty file") << QStringLiteral("village_empty.vlgdat") << false << QStringLiteral("Файл пустой!")
                                << FreshVillage << false << false;
    QTest::newRow("byte-order mark and blanks only")
        << QStringLiteral("village_blanks.vlgdat") << false << QStringLiteral("Файл пустой!") << FreshVillage << false << false;
    QTest::newRow("root name in another letter case")
        << QStringLiteral("village_root_case.vlgdat") << false << QStringLiteral("Ошибка структуры файла!") << FreshVillage
        << false << false;
    QTest::newRow("not well-formed: nothing applied")
        << QStringLiteral("village_malformed.vlgdat") << false << ParserReason << FreshVillage << false << false;
    QTest::newRow("empty Building in the middle: what came before stays")
        << QStringLiteral("village_empty_building.vlgdat") << false << noSingleText.arg(QStringLiteral("Building"))
        << QStringLiteral("name=[Застава] race=3 level=[123] stocks=[1500,12a,,-7] production=[60,40,30,20] "
                          "buildings=[Ферма ( 1)#0] comments=[]")
        << true << false;
    QTest::newRow("Comments holding an element")
        << QStringLiteral("village_mixed_comments.vlgdat") << false << noSingleText.arg(QStringLiteral("Comments"))
        << QStringLiteral("name=[Застава] race=3 level=[123] stocks=[,,,] production=[,,,] buildings=[] comments=[]")
        << true << false;
}

void TestVillageFile::readSamples()
{
    QFETCH(QString, file);
    QFETCH(bool, ok);
    QFETCH(QString, reason);
    QFETCH(QString, expected);
    QFETCH(bool, modified);
    QFETCH(bool, nameKept);

    const TdmListObj &catalog = m_Catalog->Catalog;
    TVillageData village;
    TPlanner planner(village, catalog);
    QVERIFY(!village.Modified);
    village.FileName = DataPath(file);
    TRecordedMessages messages;

    const TFileResult result = ReadVillageFile(village, catalog);

    QCOMPARE(result.Ok, ok);
    if (reason == ParserReason) {
        const QStringList ownReasons{QStringLiteral("Файл не найден!"), QStringLiteral("Файл пустой!"),
                                     QStringLiteral("Ошибка структуры файла!")};
        QVERIFY(!result.Error.isEmpty());
        QVERIFY2(!ownReasons.contains(result.Error), qPrintable(result.Error));
        // The parser's message says where in the file it stopped.
        QVERIFY2(result.Error.contains(QStringLiteral("(строка 2, столбец ")), qPrintable(result.Error));
    } else {
        QCOMPARE(result.Error, reason);
    }
    QCOMPARE(Describe(village), expected);
    QCOMPARE(village.Modified, modified);
    QCOMPARE(village.FileName, nameKept ? DataPath(file) : QString());
    QCOMPARE(result.Path, DataPath(file));
    // The reader shows nothing; Open shows the failure.
    QVERIFY(messages.Messages.isEmpty());
}

void TestVillageFile::openFailureMessage_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("reason");
    QTest::newRow("root name in another letter case")
        << QStringLiteral("village_root_case.vlgdat") << QStringLiteral("Ошибка структуры файла!");
    QTest::newRow("missing file") << QStringLiteral("no such village.vlgdat") << QStringLiteral("Файл не найден!");
    QTest::newRow("empty file") << QStringLiteral("village_empty.vlgdat") << QStringLiteral("Файл пустой!");
    QTest::newRow("not well-formed") << QStringLiteral("village_malformed.vlgdat") << ParserReason;
}

void TestVillageFile::openFailureMessage()
{
    QFETCH(QString, file);
    QFETCH(QString, reason);
    const TdmListObj &catalog = m_Catalog->Catalog;
    TVillageData village;
    village.FileName = DataPath(file);

    const TFileResult result = ReadVillageFile(village, catalog);
    QVERIFY(!result.Ok);
    const QStringList lines = OpenFailureMessage(result).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 3);
    QCOMPARE(lines.at(0), QStringLiteral("Ошибка открытия файла!"));
    QCOMPARE(lines.at(1), QDir::toNativeSeparators(DataPath(file)));
    if (reason == ParserReason)
        QVERIFY2(lines.at(2).contains(QStringLiteral("строка 2")), qPrintable(lines.at(2)));
    else
        QCOMPARE(lines.at(2), reason);
}

void TestVillageFile::readLeavesTheRecalculationToTheCaller()
{
    // The level is already "123", so only the reader itself could
    // recalculate: after a whole and after a partial read the caller does.
    const TdmListObj &catalog = m_Catalog->Catalog;
    for (const QString &file : {QStringLiteral("village_plain.vlgdat"),
                                QStringLiteral("village_empty_building.vlgdat")}) {
        TVillageData village;
        village.MainLevel = QStringLiteral("123");
        TPlanner planner(village, catalog);
        QSignalSpy spy(&planner, &TPlanner::Evaluated);
        village.FileName = DataPath(file);
        ReadVillageFile(village, catalog);
        QCOMPARE(spy.count(), 0);
        QVERIFY(!village.AvBuildings.isEmpty());
    }
}

void TestVillageFile::buildingsAppliedAsOneChange_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("known");
    QTest::addColumn<int>("unknown");

    QTest::newRow("known buildings") << QStringLiteral("village_plain.vlgdat") << 2 << 0;
    QTest::newRow("known and unknown buildings") << QStringLiteral("village_unknown_building.vlgdat") << 2 << 2;
}

void TestVillageFile::buildingsAppliedAsOneChange()
{
    QFETCH(QString, file);
    QFETCH(int, known);
    QFETCH(int, unknown);

    // However many buildings a file lists, the page's list is told once
    // for those the catalog knows and once for those it does not.
    const TdmListObj &catalog = m_Catalog->Catalog;
    TVillageData village;
    QSignalSpy spy(&village, &TVillageData::AvBuildingsChanged);
    village.FileName = DataPath(file);
    QVERIFY(ReadVillageFile(village, catalog).Ok);
    QCOMPARE(village.AvBuildings.size(), known);
    QCOMPARE(village.UnknownBuildings.size(), unknown);
    QCOMPARE(spy.count(), 1 + (unknown > 0 ? 1 : 0));
}

void TestVillageFile::readKeepsWhatTheFileLacks()
{
    const TdmListObj &catalog = m_Catalog->Catalog;
    TVillageData village;
    TPlanner planner(village, catalog);
    village.SetName(QStringLiteral("Своё имя"));
    village.ResourceAdd = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")};
    village.Comments = QStringLiteral("набрано");
    village.AddAvBuilding(Entry(catalog, QStringLiteral("Главное здание ( 1)")));
    village.FileName = DataPath(QStringLiteral("village_unknown_building.vlgdat"));

    QVERIFY(ReadVillageFile(village, catalog).Ok);
    QCOMPARE(Describe(village),
             QStringLiteral("name=[Своё имя] race=0 level=[1] stocks=[,,,] production=[1,2,3,4] "
                            "buildings=[Главное здание ( 1)#3;Склад ( 2)#6;Ферма ( 1)#0] comments=[набрано] "
                            "unknown=[Башня ( 1);ферма ( 2)]"));
}

void TestVillageFile::failedReadForgetsTheName()
{
    // While Open's box is open the page's timer keeps running; by then the
    // automatic save must already have no file to write to. The result
    // still names the file for the box.
    const TdmListObj &catalog = m_Catalog->Catalog;
    TVillageData village;
    village.FileName = DataPath(QStringLiteral("village_malformed.vlgdat"));

    const TFileResult result = ReadVillageFile(village, catalog);
    QVERIFY(!result.Ok);
    QCOMPARE(village.FileName, QString());
    QCOMPARE(result.Path, DataPath(QStringLiteral("village_malformed.vlgdat")));
}

void TestVillageFile::readRefusesDeepNesting()
{
    const TdmListObj &catalog = m_Catalog->Catalog;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deep.vlgdat"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("<JorVillageData><Village Name=\"Глубокая\"/>" + QByteArray("<a>").repeated(100000)
               + QByteArray("</a>").repeated(100000) + "</JorVillageData>");
    file.close();

    TVillageData village;
    TPlanner planner(village, catalog);
    village.FileName = path;
    TRecordedMessages messages;
    const TFileResult result = ReadVillageFile(village, catalog);
    QVERIFY(!result.Ok);
    QCOMPARE(result.Error, QStringLiteral("Слишком глубокая вложенность элементов!"));
    // Refused while parsing: nothing was applied.
    QCOMPARE(village.Name, QString());
    QCOMPARE(village.FileName, QString());
}

void TestVillageFile::readRefusesExpandingFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("expected");

    const QByteArray start = "<?xml version=\"1.0\" encoding=\"utf-8\"?>";
    const QByteArray village = "<Village Name=\"Застава\"/>";
    const QString read = QStringLiteral(
        "name=[Застава] race=0 level=[1] stocks=[,,,] production=[,,,] buildings=[] comments=[]");
    const QString doctype = QStringLiteral("Определение типа документа (DOCTYPE) не допускается!");
    const QString crowded = QStringLiteral("Слишком много атрибутов у элемента!");
    const auto attributes = [](int count) {
        QByteArray text;
        for (int i = 0; i < count; ++i)
            text += " a" + QByteArray::number(i) + "=\"\"";
        return text;
    };

    // 1 MB that an entity would expand into 2.5 GB of comment text.
    const QByteArray entity = "<!DOCTYPE JorVillageData [<!ENTITY a \"" + QByteArray(4000, 'a') + "\">]>";
    QTest::newRow("document type with an entity")
        << start + entity + "<JorVillageData>" + village + "<Comments>" + QByteArray("&a;").repeated(330000)
               + "</Comments></JorVillageData>"
        << doctype << FreshVillage;
    QTest::newRow("document type alone")
        << start + "<!DOCTYPE JorVillageData><JorVillageData>" + village + "</JorVillageData>" << doctype
        << FreshVillage;

    // 2 MB of attributes on one element: the XML reader would compare each
    // with every one before it.
    QTest::newRow("200,000 attributes on one element")
        << start + "<JorVillageData>" + village + "<Other" + attributes(200000) + "/></JorVillageData>"
        << crowded << FreshVillage;
    QTest::newRow("65 attributes on one element")
        << start + "<JorVillageData>" + village + "<Other" + attributes(65) + "/></JorVillageData>" << crowded
        << FreshVillage;
    QTest::newRow("64 attributes on one element are read")
        << start + "<JorVillageData>" + village + "<Other" + attributes(64) + "/></JorVillageData>" << QString()
        << read;
    QTest::newRow("= signs in values, comments and text are no attributes")
        << start + "<!--" + QByteArray(100, '=') + "--><JorVillageData><Village Name=\"" + QByteArray(100, '=')
               + "\" a='>" + QByteArray(100, '=') + "'/><Comments>" + QByteArray(100, '=')
               + "<![CDATA[" + QByteArray(100, '=') + "]]><?pi " + QByteArray(100, '=')
               + "?></Comments></JorVillageData>"
        << QStringLiteral("Элемент «Comments» не содержит единственного текстового значения!")
        << QStringLiteral("name=[%1] race=0 level=[1] stocks=[,,,] production=[,,,] buildings=[] comments=[]")
               .arg(QString(100, u'='));

    // Read by its bytes, "м" and "н" of UTF-16 would pass for "<" and "=".
    const QString sixteen = QStringLiteral("<JorVillageData><Village Name=\"Застава\"/><Comments>м%1</Comments>"
                                           "</JorVillageData>")
                                .arg(QString(100, u'н'));
    QStringEncoder encoder(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    QTest::newRow("UTF-16 file looked at in its characters")
        << QByteArray(encoder.encode(sixteen)) << QString()
        << QStringLiteral("name=[Застава] race=0 level=[1] stocks=[,,,] production=[,,,] buildings=[] comments=[м%1]")
               .arg(QString(100, u'н'));
}

void TestVillageFile::readRefusesExpandingFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QFETCH(QString, expected);

    const TdmListObj &catalog = m_Catalog->Catalog;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("crafted.vlgdat"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    TVillageData village;
    TPlanner planner(village, catalog);
    village.FileName = path;
    TRecordedMessages messages;
    QElapsedTimer timer;
    timer.start();
    const TFileResult result = ReadVillageFile(village, catalog);
    const qint64 elapsed = timer.elapsed();

    QCOMPARE(result, (TFileResult{reason.isEmpty(), reason, path}));
    QCOMPARE(Describe(village), expected);
    QVERIFY(messages.Messages.isEmpty());
    QVERIFY2(elapsed < 2000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
}

void TestVillageFile::villageFileExtension_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");

    QTest::newRow("no extension") << "/home/p/Застава" << "/home/p/Застава.vlgdat";
    QTest::newRow("a dot inside the name") << "/home/p/Св. Анна" << "/home/p/Св. Анна.vlgdat";
    QTest::newRow("already there") << "/home/p/Застава.vlgdat" << "/home/p/Застава.vlgdat";
    QTest::newRow("already there in capitals") << "/home/p/Застава.VLGDAT" << "/home/p/Застава.VLGDAT";
    QTest::newRow("another extension") << "/home/p/village.xml" << "/home/p/village.xml.vlgdat";
    QTest::newRow("dot in the folder only") << "/home/p.d/Застава" << "/home/p.d/Застава.vlgdat";
    QTest::newRow("nothing chosen") << "" << "";
}

void TestVillageFile::villageFileExtension()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(WithVillageFileExtension(path), expected);
}

void TestVillageFile::newElementsRoundTrip_data()
{
    QTest::addColumn<QStringList>("capacity"); // four texts
    QTest::addColumn<QStringList>("queue");
    QTest::addColumn<qint32>("buildTotal");
    QTest::addColumn<qint32>("buildElapsed");
    QTest::addColumn<qint64>("readAfter"); // seconds between writing and reading
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QByteArray>("written"); // a piece of the file

    using TTexts = QStringList;
    const TTexts none{QString(), QString(), QString(), QString()};
    QTest::newRow("one capacity known: all four written")
        << TTexts{QString(), QString(), QString(), QStringLiteral("900")} << QStringList() << 0 << 0 << qint64(0)
        << QStringLiteral("capacity=[,,,900] queue=[] construction=[ 0/0]")
        << QByteArray("<ResourceAdd Wood=\"60\" Clay=\"40\" Iron=\"30\" Grain=\"20\"/>"
                      "<Capacity Wood=\"\" Clay=\"\" Iron=\"\" Grain=\"900\"/><Comments>");
    QTest::newRow("a capacity that is no number is kept as typed")
        << TTexts{QStringLiteral("8x"), QString(), QString(), QString()} << QStringList() << 0 << 0 << qint64(0)
        << QStringLiteral("capacity=[8x,,,] queue=[] construction=[ 0/0]")
        << QByteArray("<Capacity Wood=\"8x\" Clay=\"\" Iron=\"\" Grain=\"\"/>");
    QTest::newRow("queue: order, a next level after its building, an unknown text in its place")
        << none
        << QStringList{QStringLiteral("Склад ( 1)"), QStringLiteral("Башня ( 1)"), QStringLiteral("Склад ( 2)"),
                       QStringLiteral("Склад ( 1)")}
        << 0 << 0 << qint64(0)
        << QStringLiteral("capacity=[,,,] queue=[Склад ( 1)#5;Башня ( 1)#-1;Склад ( 2)#6;Склад ( 1)#5] "
                          "construction=[ 0/0]")
        << QByteArray("Grain=\"20\"/><Queue><Item>Склад ( 1)</Item><Item>Башня ( 1)</Item>"
                      "<Item>Склад ( 2)</Item><Item>Склад ( 1)</Item></Queue><Comments>");
    QTest::newRow("construction read at once resumes where it was")
        << none << QStringList() << 600 << 100 << qint64(0)
        << QStringLiteral("capacity=[,,,] queue=[] construction=[Склад ( 2) 100/600]")
        << QByteArray("<Construction Name=\"Склад ( 2)\" Total=\"600\" Ends=\"2026-12-07T09:31:41Z\"/>");
    QTest::newRow("construction read at its end is cleared")
        << none << QStringList() << 600 << 100 << qint64(500)
        << QStringLiteral("capacity=[,,,] queue=[] construction=[ 0/0]") << QByteArray();
    QTest::newRow("clock set back an hour: the construction starts afresh")
        << none << QStringList() << 600 << 100 << qint64(-3600)
        << QStringLiteral("capacity=[,,,] queue=[] construction=[Склад ( 2) 0/600]") << QByteArray();
}

void TestVillageFile::newElementsRoundTrip()
{
    QFETCH(QStringList, capacity);
    QFETCH(QStringList, queue);
    QFETCH(qint32, buildTotal);
    QFETCH(qint32, buildElapsed);
    QFETCH(qint64, readAfter);
    QFETCH(QString, expected);
    QFETCH(QByteArray, written);

    const TdmListObj &catalog = m_Catalog->Catalog;
    const QDateTime writtenAt(QDate(2026, 12, 7), QTime(9, 23, 21), Qt::UTC);
    TPinnedClock clock(writtenAt);
    QTemporaryDir dir;
    TVillageData village;
    village.ResourceAdd = {QStringLiteral("60"), QStringLiteral("40"), QStringLiteral("30"), QStringLiteral("20")};
    QCOMPARE(capacity.size(), 4);
    std::copy(capacity.begin(), capacity.end(), village.Capacity.begin());
    for (const QString &text : queue)
        village.AppendToQueue({text, catalog.FindByDisplayText(text)});
    if (buildTotal > 0)
        village.BuildName = QStringLiteral("Склад ( 2)");
    village.BuildTotal = buildTotal;
    village.BuildElapsed = buildElapsed;
    village.Comments = QStringLiteral("x");
    village.FileName = dir.filePath(QStringLiteral("additions.vlgdat"));
    QVERIFY(WriteVillageFile(village).Ok);
    const QByteArray bytes = FileBytes(village.FileName);
    QVERIFY2(bytes.contains(written), bytes.constData());
    QVERIFY2(bytes.contains("<Date Saved=\"2026-12-07T09:23:21Z\">"), bytes.constData());

    clock.Now = writtenAt.addSecs(readAfter);
    TVillageData read;
    read.FileName = village.FileName;
    QDateTime saved;
    const TFileResult result = ReadVillageFile(read, catalog, &saved);
    QVERIFY2(result.Ok, qPrintable(result.Error));
    QCOMPARE(saved, writtenAt);
    QCOMPARE(DescribeAdditions(read), expected);
}

void TestVillageFile::olderFileReadsAndWritesAsBefore()
{
    // A file of the form without the Saved moment, capacities, queue and
    // construction: it reads as before, and writing it back adds the
    // moment only.
    const TdmListObj &catalog = m_Catalog->Catalog;
    TPinnedClock clock(QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9), Qt::UTC));
    TVillageData village;
    village.FileName = DataPath(QStringLiteral("village_plain.vlgdat"));
    QDateTime saved = clock.Now;
    QVERIFY(ReadVillageFile(village, catalog, &saved).Ok);
    QVERIFY(!saved.isValid());
    QCOMPARE(Describe(village), SampleVillage);
    QCOMPARE(DescribeAdditions(village), QStringLiteral("capacity=[,,,] queue=[] construction=[ 0/0]"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("back.vlgdat"));
    QVERIFY(WriteVillageFile(village, path).Ok);
    const QByteArray bytes = FileBytes(path);
    QVERIFY2(bytes.contains("<JorVillageData><Date Saved=\"2024-03-05T07:08:09Z\">05.03.2024 07:08:09</Date>"
                            "<Village "),
             bytes.constData());
    for (const char *element : {"<Capacity", "<Queue", "<Construction", "ServerSpeed"})
        QVERIFY2(!bytes.contains(element), element);

    TVillageData reread;
    reread.FileName = path;
    QVERIFY(ReadVillageFile(reread, catalog, &saved).Ok);
    QCOMPARE(saved, clock.Now);
    QCOMPARE(Describe(reread), SampleVillage);
}

void TestVillageFile::newElementsRead_data()
{
    QTest::addColumn<QByteArray>("elements"); // after the Village element
    QTest::addColumn<QDateTime>("saved");
    QTest::addColumn<QString>("expected");

    const QDateTime none;
    const QDateTime writtenAt(QDate(2026, 12, 7), QTime(9, 23, 21), Qt::UTC);
    const QString nothing = QStringLiteral("capacity=[,,,] queue=[] construction=[ 0/0]");
    QTest::newRow("Saved read") << QByteArray() << writtenAt << nothing;
    QTest::newRow("Saved with an offset: the same moment")
        << QByteArray("<Date Saved=\"2026-12-07T12:23:21+03:00\">x</Date>") << writtenAt << nothing;
    QTest::newRow("Saved malformed") << QByteArray("<Date Saved=\"вчера\">x</Date>") << none << nothing;
    QTest::newRow("Saved on a day that does not exist")
        << QByteArray("<Date Saved=\"2026-02-30T09:23:21Z\"/>") << none << nothing;
    QTest::newRow("construction total of letters ignored")
        << QByteArray("<Construction Name=\"Склад ( 2)\" Total=\"abc\" Ends=\"2026-12-07T10:00:00Z\"/>") << none
        << nothing;
    QTest::newRow("construction total beyond 32 bits ignored")
        << QByteArray("<Construction Name=\"Склад ( 2)\" Total=\"4294967296\" Ends=\"2026-12-07T10:00:00Z\"/>")
        << none << nothing;
    QTest::newRow("construction end malformed ignored")
        << QByteArray("<Construction Name=\"Склад ( 2)\" Total=\"600\" Ends=\"скоро\"/>") << none << nothing;
    QTest::newRow("construction without a name ignored")
        << QByteArray("<Construction Total=\"600\" Ends=\"2026-12-07T09:28:21Z\"/>") << none << nothing;
    QTest::newRow("construction far in the future, largest total")
        << QByteArray("<Construction Name=\"Склад ( 2)\" Total=\"2147483647\" Ends=\"9999-12-31T23:59:59Z\"/>")
        << none << QStringLiteral("capacity=[,,,] queue=[] construction=[Склад ( 2) 0/2147483647]");
    QTest::newRow("construction read: 5 minutes left of 10")
        << QByteArray("<Construction Name=\"Склад ( 2)\" Total=\"600\" Ends=\"2026-12-07T09:28:21Z\"/>") << none
        << QStringLiteral("capacity=[,,,] queue=[] construction=[Склад ( 2) 300/600]");
    QTest::newRow("capacity attributes missing stay empty")
        << QByteArray("<Capacity Clay=\"800\"/>") << none
        << QStringLiteral("capacity=[,800,,] queue=[] construction=[ 0/0]");
    QTest::newRow("queue: empty items and other elements passed over")
        << QByteArray("<Queue><Item/><Item>   </Item><Building>Ферма ( 1)</Building>текст"
                      "<Item>Ферма ( 2)</Item><Item><b>x</b></Item></Queue>")
        << none << QStringLiteral("capacity=[,,,] queue=[Ферма ( 2)#1] construction=[ 0/0]");
    QTest::newRow("queue: a text in other letter case is unknown, kept as written")
        << QByteArray("<Queue><Item>ферма ( 2)</Item></Queue>") << none
        << QStringLiteral("capacity=[,,,] queue=[ферма ( 2)#-1] construction=[ 0/0]");
}

void TestVillageFile::newElementsRead()
{
    QFETCH(QByteArray, elements);
    QFETCH(QDateTime, saved);
    QFETCH(QString, expected);

    const TdmListObj &catalog = m_Catalog->Catalog;
    TPinnedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 23, 21), Qt::UTC));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hand.vlgdat"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const QByteArray date = saved.isValid() ? QByteArray("<Date Saved=\"2026-12-07T09:23:21Z\">x</Date>")
                                            : QByteArray();
    file.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<JorVillageData>" + date
               + "<Village Name=\"Застава\"/>" + elements + "<Comments>c</Comments></JorVillageData>");
    file.close();

    TVillageData village;
    village.FileName = path;
    QDateTime readSaved;
    const TFileResult result = ReadVillageFile(village, catalog, &readSaved);
    QVERIFY2(result.Ok, qPrintable(result.Error));
    QCOMPARE(readSaved, saved);
    QCOMPARE(DescribeAdditions(village), expected);
    // The elements after the new ones are still read.
    QCOMPARE(village.Comments, QStringLiteral("c"));
}

// The server's speed: an optional attribute of Village that older files lack
// (speed 1, and written back without it); a value is written back as it
// was read, a speed no server runs counting as 1.
void TestVillageFile::serverSpeed_data()
{
    QTest::addColumn<QByteArray>("attribute");
    QTest::addColumn<qint32>("speed");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("absent: speed 1, not written") << QByteArray() << 1 << QByteArray("MainLevel=\"1\"/>");
    QTest::newRow("speed 3") << QByteArray(" ServerSpeed=\"3\"") << 3
                             << QByteArray("MainLevel=\"1\" ServerSpeed=\"3\"/>");
    QTest::newRow("speed 1 given stays given") << QByteArray(" ServerSpeed=\"1\"") << 1
                                               << QByteArray("MainLevel=\"1\" ServerSpeed=\"1\"/>");
    QTest::newRow("no server's speed: 1, kept as written") << QByteArray(" ServerSpeed=\"4\"") << 1
                                                          << QByteArray("MainLevel=\"1\" ServerSpeed=\"4\"/>");
}

bool TestVillageFile::ReadAndWriteBack(const QByteArray &attributes, TVillageData &village,
                                       QByteArray &written) const
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("village.vlgdat"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<JorVillageData><Village Name=\"Застава\" Race=\"\" "
               "MainLevel=\"1\""
               + attributes + "/></JorVillageData>");
    file.close();
    village.FileName = path;
    if (!ReadVillageFile(village, m_Catalog->Catalog).Ok || !WriteVillageFile(village, path).Ok)
        return false;
    written = FileBytes(path);
    return true;
}

void TestVillageFile::serverSpeed()
{
    QFETCH(QByteArray, attribute);
    QFETCH(qint32, speed);
    QFETCH(QByteArray, written);

    TVillageData village;
    QByteArray bytes;
    QVERIFY(ReadAndWriteBack(attribute, village, bytes));
    QCOMPARE(village.ServerSpeedValue(), speed);
    QVERIFY2(bytes.contains(written), bytes.constData());
}

void TestVillageFile::coordinates_data()
{
    QTest::addColumn<QByteArray>("attribute");
    QTest::addColumn<QString>("coordinates");
    QTest::addColumn<QByteArray>("written");

    QTest::newRow("absent: none, not written") << QByteArray() << QString() << QByteArray("MainLevel=\"1\"/>");
    QTest::newRow("a place") << QByteArray(" Coordinates=\"-12|34\"") << QStringLiteral("-12|34")
                             << QByteArray("MainLevel=\"1\" Coordinates=\"-12|34\"/>");
    QTest::newRow("after the speed") << QByteArray(" ServerSpeed=\"3\" Coordinates=\"0|0\"") << QStringLiteral("0|0")
                                     << QByteArray("ServerSpeed=\"3\" Coordinates=\"0|0\"/>");
    QTest::newRow("no place: kept as written") << QByteArray(" Coordinates=\"где-то\"") << QStringLiteral("где-то")
                                               << QByteArray("MainLevel=\"1\" Coordinates=\"где-то\"/>");
    QTest::newRow("typed traders after the place")
        << QByteArray(" Traders=\"12\" Coordinates=\"5|5\"") << QStringLiteral("5|5")
        << QByteArray("MainLevel=\"1\" Coordinates=\"5|5\" Traders=\"12\"/>");
}

void TestVillageFile::coordinates()
{
    QFETCH(QByteArray, attribute);
    QFETCH(QString, coordinates);
    QFETCH(QByteArray, written);

    TVillageData village;
    QByteArray bytes;
    QVERIFY(ReadAndWriteBack(attribute, village, bytes));
    QCOMPARE(village.Coordinates, coordinates);
    QVERIFY2(bytes.contains(written), bytes.constData());
    QCOMPARE(bytes.count("Coordinates="), attribute.count("Coordinates="));
    QCOMPARE(bytes.count("Traders="), attribute.count("Traders="));
    // Read, not only kept: the record has the traders the file typed.
    QCOMPARE(village.Traders, attribute.contains("Traders=") ? QStringLiteral("12") : QString());
}

void TestVillageFile::deliveries_data()
{
    QTest::addColumn<QByteArray>("element");
    QTest::addColumn<QList<TDelivery>>("expected");
    QTest::addColumn<int>("notUnderstood");

    const QDateTime half(QDate(2026, 12, 7), QTime(10, 30), Qt::UTC);
    const QDateTime eleven(QDate(2026, 12, 7), QTime(11, 0), Qt::UTC);
    const QByteArray good = "<Delivery Arrives=\"2026-12-07T10:30:00Z\" Wood=\"300\" Clay=\"0\" Iron=\"1200\" Grain=\"0\"/>";
    QTest::newRow("two deliveries, in order of arrival")
        << QByteArray("<Deliveries>" + good
                      + "<Delivery Arrives=\"2026-12-07T11:00:00Z\" Wood=\"0\" Clay=\"5\" Iron=\"0\" Grain=\"0\"/>"
                        "</Deliveries>")
        << QList<TDelivery>{{{300, 0, 1200, 0}, half}, {{0, 5, 0, 0}, eleven}} << 0;
    QTest::newRow("one without a moment is kept as read")
        << QByteArray("<Deliveries>" + good + "<Delivery Wood=\"1\" Clay=\"0\" Iron=\"0\" Grain=\"0\"/></Deliveries>")
        << QList<TDelivery>{{{300, 0, 1200, 0}, half}} << 1;
    QTest::newRow("a negative amount is kept as read")
        << QByteArray("<Deliveries>" + good
                      + "<Delivery Arrives=\"2026-12-07T11:00:00Z\" Wood=\"-1\" Clay=\"0\" Iron=\"0\" Grain=\"0\"/>"
                        "</Deliveries>")
        << QList<TDelivery>{{{300, 0, 1200, 0}, half}} << 1;
}

void TestVillageFile::deliveries()
{
    // Read into the village, and written back byte for byte.
    QFETCH(QByteArray, element);
    QFETCH(QList<TDelivery>, expected);
    QFETCH(int, notUnderstood);

    TPinnedClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC));
    QTemporaryDir dir;
    TVillageData plain;
    plain.FileName = dir.filePath(QStringLiteral("village.vlgdat"));
    QVERIFY(WriteVillageFile(plain).Ok);
    QByteArray bytes = FileBytes(plain.FileName);
    QVERIFY(!bytes.contains("<Deliveries"));
    bytes.insert(bytes.lastIndexOf("</JorVillageData>"), element);
    QFile file(plain.FileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    TVillageData village;
    village.FileName = plain.FileName;
    QVERIFY(ReadVillageFile(village, m_Catalog->Catalog).Ok);
    QCOMPARE(village.Deliveries, expected);
    QCOMPARE(village.KeptFileContent.NotUnderstoodCount(), notUnderstood);
    QVERIFY(WriteVillageFile(village).Ok);
    QCOMPARE(FileBytes(village.FileName), bytes);
}

QTEST_GUILESS_MAIN(TestVillageFile)
#include "tst_villagefile.moc"

