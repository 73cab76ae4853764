// Saving survives faults: a save killed at any moment leaves the file as the
// old or the new village, never a mix or a torn file; a save to a path that
// cannot be written reports it and leaves what was there alone.

#include "TestSupport.h"

#include "rules/Planner.h"
#include "record/VillageData.h"
#include "record/VillageFile.h"

#include <QFile>
#include <QElapsedTimer>
#include <QTest>

#include <algorithm>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>

namespace {

// A catalog of 500 buildings at one level each.
QByteArray FiveHundredBuildings()
{
    QByteArray objects;
    for (int i = 0; i < 500; ++i)
        objects += "<Object Name=\"Строение " + QByteArray::number(i) + "\"><Level ID=\"1\" WOOD=\"10\"/></Object>";
    return CatalogXml(objects);
}

struct TVillage
{
    TVillageData Data;
    TPlanner Planner;
    explicit TVillage(const TdmListObj &catalog) : Planner(Data, catalog) {}
};

// A village of 500 considered buildings whose texts all carry `mark`.
void Fill(TVillageData &village, const TdmListObj &catalog, const QString &mark, const QString &path)
{
    QList<TAvBuildingEntry> entries;
    for (qint32 i = 0; i < catalog.Count(); ++i)
        entries.append({catalog.Object(i).DisplayText(), i});
    village.ReplaceAvBuildings(entries);
    village.SetName(mark);
    village.Comments = QString(mark + QStringLiteral(" ")).repeated(2000);
    for (TResourceKind kind : AllResourceKinds)
        village.SetResourceCollect(kind, mark);
    village.FileName = path;
}

} // namespace

class TestSaveFaults : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileSaving();
    void folderIsAFile();
};

void TestSaveFaults::killedWhileSaving()
{
    TRecordedMessages messages;
    TTestCatalog catalog(FiveHundredBuildings());
    QVERIFY(catalog.Loaded);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("village.vlgdat"));

    TVillage oldVillage(catalog.Catalog);
    Fill(oldVillage.Data, catalog.Catalog, QStringLiteral("old"), path);
    // One write's time sets how long the saving goes on before the kill, so
    // that a slow build or a busy machine still sees writes end.
    QElapsedTimer once;
    once.start();
    QVERIFY(WriteVillageFile(oldVillage.Data).Ok);
    const qint64 writeMicroseconds = std::max<qint64>(5000, once.nsecsElapsed() / 1000);
    TVillage newVillage(catalog.Catalog);
    Fill(newVillage.Data, catalog.Catalog, QStringLiteral("new"), path);

    int sawOld = 0;
    int sawNew = 0;
    for (int attempt = 0; attempt < 40; ++attempt) {
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            // Save over and over until killed.
            for (;;)
                WriteVillageFile(attempt % 2 ? newVillage.Data : oldVillage.Data);
        }
        usleep(useconds_t(200 + attempt * 997 % (4 * writeMicroseconds)));
        QCOMPARE(kill(child, SIGKILL), 0);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));

        TVillage read(catalog.Catalog);
        read.Data.FileName = path;
        const TFileResult result = ReadVillageFile(read.Data, catalog.Catalog);
        QVERIFY2(result.Ok, qPrintable(result.Error));
        const TVillageData &expected = read.Data.Name == QLatin1String("old") ? oldVillage.Data : newVillage.Data;
        QCOMPARE(read.Data.Name, expected.Name);
        QCOMPARE(read.Data.ResourceCollect, expected.ResourceCollect);
        QCOMPARE(read.Data.Comments, expected.Comments);
        QCOMPARE(read.Data.AvBuildings.size(), 500);
        (read.Data.Name == QLatin1String("old") ? sawOld : sawNew)++;
    }
    QVERIFY(messages.Messages.isEmpty());
    qInfo("old village read %d times, new village %d times", sawOld, sawNew);
    QVERIFY(sawNew > 0);
}

void TestSaveFaults::folderIsAFile()
{
    TTestCatalog catalog(CatalogXml("<Object Name=\"Ферма\"><Level ID=\"1\"/></Object>"));
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    {
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("what was here");
    }

    TVillage village(catalog.Catalog);
    village.Data.SetName(QStringLiteral("Столица"));
    village.Data.FileName = blocker + QStringLiteral("/village.vlgdat");
    const TFileResult result = WriteVillageFile(village.Data);
    QVERIFY(!result.Ok);
    QVERIFY2(result.Error.contains(village.Data.FileName), qPrintable(result.Error));
    QVERIFY(!result.Error.isEmpty());

    QFile file(blocker);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("what was here"));
    QCOMPARE(village.Data.FileName, blocker + QStringLiteral("/village.vlgdat"));
    QCOMPARE(village.Data.Name, QStringLiteral("Столица"));
}

QTEST_GUILESS_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
