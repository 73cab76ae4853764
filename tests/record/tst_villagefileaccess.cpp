// Village files on disk: what is refused before a byte is read, a read that
// never blocks or goes past its limit, and the words for failed writes and
// for a file open already.
#include "TestSupport.h"

#include "record/VillageData.h"
#include "record/VillageFile.h"
#include "record/VillageFileAccess.h"

#include <QElapsedTimer>
#include <QLocale>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

class TestVillageFileAccess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void readBounded_data();
    void readBounded();
    void readerRefusesAtOnce_data();
    void readerRefusesAtOnce();
    void writeFailureReason_data();
    void writeFailureReason();
    void alreadyOpenNamesTheFile();

private:
    // Makes what kind names at path: "small" (a file of 10 bytes), "limit"
    // (exactly 64 bytes), "above" (65 bytes), "fifo", "zero" (a link to
    // /dev/zero), "folder".
    static bool Make(const QString &kind, const QString &path);
};

void TestVillageFileAccess::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
}

bool TestVillageFileAccess::Make(const QString &kind, const QString &path)
{
    if (kind == QLatin1String("fifo"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == QLatin1String("zero"))
        return QFile::link(QStringLiteral("/dev/zero"), path);
    if (kind == QLatin1String("folder"))
        return QDir().mkpath(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const qsizetype size = kind == QLatin1String("small") ? 10 : kind == QLatin1String("limit") ? 64 : 65;
    return file.write(QByteArray(size, 'x')) == size;
}

void TestVillageFileAccess::readBounded_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<qsizetype>("bytes"); // -1: refused

    QTest::newRow("small file") << QStringLiteral("small") << qsizetype(10);
    QTest::newRow("file of exactly the limit") << QStringLiteral("limit") << qsizetype(64);
    QTest::newRow("file one byte above the limit") << QStringLiteral("above") << qsizetype(-1);
    QTest::newRow("pipe without a writer") << QStringLiteral("fifo") << qsizetype(-1);
    QTest::newRow("link to /dev/zero") << QStringLiteral("zero") << qsizetype(-1);
    QTest::newRow("folder") << QStringLiteral("folder") << qsizetype(-1);
}

void TestVillageFileAccess::readBounded()
{
    QFETCH(QString, kind);
    QFETCH(qsizetype, bytes);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("village.vlgdat"));
    QVERIFY(Make(kind, path));

    // Told before reading, and again on the opened file, in the same words.
    const QString refusal = RefusalBeforeReading(path, 64);
    QCOMPARE(refusal.isEmpty(), bytes >= 0);
    const TBoundedRead read = ReadBounded(path, 64);
    QCOMPARE(read.Ok, bytes >= 0);
    QCOMPARE(read.Data.size(), std::max<qsizetype>(bytes, 0));
    QCOMPARE(read.Error, refusal);
}

void TestVillageFileAccess::readerRefusesAtOnce_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");

    QTest::newRow("pipe") << QStringLiteral("fifo") << QStringLiteral("Это не обычный файл (канал, устройство или сокет).");
    QTest::newRow("link to /dev/zero") << QStringLiteral("zero")
                                       << QStringLiteral("Это не обычный файл (канал, устройство или сокет).");
    QTest::newRow("17 MiB") << QStringLiteral("17 MiB")
                            << QStringLiteral("Файл слишком большой (17,0 МиБ); файл деревни не бывает больше 16 МиБ.");
}

void TestVillageFileAccess::readerRefusesAtOnce()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("village.vlgdat"));
    if (kind == QLatin1String("17 MiB")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(17LL * 1024 * 1024));
    } else {
        QVERIFY(Make(kind, path));
    }

    TTestCatalog catalog(CatalogXml(""));
    TVillageData village;
    village.FileName = path;
    QElapsedTimer timer;
    timer.start();
    const TFileResult result = ReadVillageFile(village, catalog.Catalog);
    QVERIFY(timer.elapsed() < 2000);
    QCOMPARE(result, (TFileResult{false, reason, path}));
    QVERIFY(!village.Modified);
}

void TestVillageFileAccess::writeFailureReason_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("systemText");
    QTest::addColumn<QString>("reason");

    QTest::newRow("disk full") << int(ENOSPC) << QStringLiteral("Неизвестная ошибка")
                               << QStringLiteral("Недостаточно места на диске");
    QTest::newRow("quota full") << int(EDQUOT) << QString() << QStringLiteral("Недостаточно места на диске");
    QTest::newRow("no access: the system's words") << int(EACCES) << QStringLiteral("Permission denied")
                                                    << QStringLiteral("Permission denied");
    QTest::newRow("no text: the error number's words")
        << int(EROFS) << QString() << QString::fromLocal8Bit(std::strerror(EROFS));
}

void TestVillageFileAccess::writeFailureReason()
{
    QFETCH(int, error);
    QFETCH(QString, systemText);
    QFETCH(QString, reason);

    QCOMPARE(WriteFailureReason(error, systemText), reason);
}

void TestVillageFileAccess::alreadyOpenNamesTheFile()
{
    QCOMPARE(AlreadyOpenMessage(QStringLiteral("/home/игрок/Северная.vlgdat")),
             QStringLiteral("Файл уже открыт!\r\n/home/игрок/Северная.vlgdat"));
}

QTEST_GUILESS_MAIN(TestVillageFileAccess)
#include "tst_villagefileaccess.moc"
