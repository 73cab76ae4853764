// Recovery after a crash: a village kept in the recovery folder comes back
// whole (with the file it had, or none), the keeper writes only villages
// with unwritten edits and removes what a save, a closed tab or a normal
// end leaves nothing to recover of, and the question names the villages.
#include "TestSupport.h"

#include "app/VillageDocument.h"
#include "app/VillageList.h"
#include "app/VillageRecovery.h"
#include "record/VillageData.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QSysInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>

class TestVillageRecovery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void storeWithoutFolderKeepsNothing();
    void keeperWritesUnwrittenVillagesOnly();
    void recoveredVillageIsUnsavedWithItsFile();
    void question_data();
    void question();
    void failedCopyKeepsTheOldOne_data();
    void failedCopyKeepsTheOldOne();
    void copiesOfARunWithTheSameIdStay();
    void originTakenOnlyForAVillageFile_data();
    void originTakenOnlyForAVillageFile();
    void changeSinceTheCrashIsAsked_data();
    void changeSinceTheCrashIsAsked();
    void leftoversOfEndedRunsRemoved_data();
    void leftoversOfEndedRunsRemoved();

private:
    static QStringList FilesIn(const QString &folder);

    TdmListObj m_Catalog;
};

void TestVillageRecovery::initTestCase()
{
    TRecordedMessages messages;
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_TEST_DATA_DIR "/overview_catalog.xml")));
}

QStringList TestVillageRecovery::FilesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void TestVillageRecovery::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("never saved") << QStringLiteral("Test") << QString();
    QTest::newRow("with the file it had") << QStringLiteral("Северная") << QStringLiteral("/дом/игрок/Северная.vlgdat");
    QTest::newRow("without a name") << QString() << QString();
}

void TestVillageRecovery::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(QString, fileName);

    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("state/recovery"));
    const TRecoveryStore store(folder);
    TVillageData village;
    village.SetName(name);
    village.SetFileName(fileName);
    village.SetComments(QStringLiteral("не потерять"));
    village.SetCapacity(TResourceKind::Wood, QStringLiteral("999"));
    QVERIFY(store.Write(QStringLiteral("41-1"), village).Ok);
    // Written again under the same key: still one village.
    QVERIFY(store.Write(QStringLiteral("41-1"), village).Ok);

    const QList<TRecoveredVillage> found = store.Found(m_Catalog);
    QCOMPARE(found, (QList<TRecoveredVillage>{{name, fileName, QDir(folder).filePath(QStringLiteral("41-1.vlgdat"))}}));
    TVillageData read;
    read.SetFileName(found.constFirst().RecoveryFile);
    QVERIFY(ReadVillageFile(read, m_Catalog).Ok);
    QCOMPARE(read.Comments, village.Comments);
    QCOMPARE(read.Capacity, village.Capacity);

    store.Remove(found.constFirst());
    QVERIFY(store.Found(m_Catalog).isEmpty());
    QCOMPARE(FilesIn(folder), QStringList());
}

void TestVillageRecovery::storeWithoutFolderKeepsNothing()
{
    // As in every test that sets no folder: nothing lands in the user's.
    QCOMPARE(RecoveryFolder(), QString());
    const TRecoveryStore store;
    TVillageData village;
    village.SetName(QStringLiteral("Test"));
    QVERIFY(store.Write(QStringLiteral("1-1"), village).Ok);
    QVERIFY(store.Found(m_Catalog).isEmpty());
    QVERIFY(!QFileInfo::exists(QStringLiteral("1-1.vlgdat")));
}

void TestVillageRecovery::keeperWritesUnwrittenVillagesOnly()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    TVillageList villages(m_Catalog);
    villages.Clock().stop();
    TVillageRecovery recovery(villages, TRecoveryStore(folder));
    QCOMPARE(recovery.Clock().interval(), 30 * 1000);
    QVERIFY(recovery.Clock().isActive());

    TVillageDocument *test = villages.Add();
    TVillageDocument *untouched = villages.Add();
    TVillageDocument *northern = villages.Add();
    test->Village().SetName(QStringLiteral("Test"));
    northern->Village().SetName(QStringLiteral("Северная"));
    QVERIFY(northern->Write(dir.filePath(QStringLiteral("Северная.vlgdat"))).Ok);
    northern->Village().SetComments(QStringLiteral("правка"));
    QVERIFY(!untouched->HasUnwrittenEdits());

    recovery.WriteNow();
    QList<TRecoveredVillage> found = recovery.Store().Found(m_Catalog);
    QCOMPARE(found.size(), 2);
    QCOMPARE(found.at(0).Name, QStringLiteral("Test"));
    QCOMPARE(found.at(0).FileName, QString());
    QCOMPARE(found.at(1).Name, QStringLiteral("Северная"));
    QCOMPARE(found.at(1).FileName, dir.filePath(QStringLiteral("Северная.vlgdat")));

    // A good save removes the village's recovery file at once.
    QVERIFY(northern->Write().Ok);
    found = recovery.Store().Found(m_Catalog);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.constFirst().Name, QStringLiteral("Test"));

    // So does closing its tab.
    villages.Remove(test);
    QVERIFY(recovery.Store().Found(m_Catalog).isEmpty());

    // A normal end removes everything.
    northern->Village().SetComments(QStringLiteral("ещё"));
    recovery.WriteNow();
    QCOMPARE(recovery.Store().Found(m_Catalog).size(), 1);
    recovery.Finish();
    QCOMPARE(FilesIn(folder), QStringList());
    QVERIFY(!recovery.Clock().isActive());
}

void TestVillageRecovery::recoveredVillageIsUnsavedWithItsFile()
{
    QTemporaryDir dir;
    const TRecoveryStore store(dir.filePath(QStringLiteral("recovery")));
    const QDateTime kept(QDate(2026, 3, 5), QTime(7, 0), Qt::UTC);
    const QString file = dir.filePath(QStringLiteral("Северная.vlgdat"));
    {
        TPinnedClock clock(kept);
        TVillageData village;
        village.SetName(QStringLiteral("Северная"));
        village.SetFileName(file);
        village.SetResourceCollect(TResourceKind::Wood, QStringLiteral("100"));
        village.SetResourceAdd(TResourceKind::Wood, QStringLiteral("60"));
        QVERIFY(store.Write(QStringLiteral("7-1"), village).Ok);
    }
    const QList<TRecoveredVillage> found = store.Found(m_Catalog);
    QCOMPARE(found.size(), 1);

    TPinnedClock clock(kept.addSecs(3600));
    TVillageDocument document(m_Catalog);
    QVERIFY(document.Recover(found.constFirst().RecoveryFile, found.constFirst().FileName).Ok);
    QCOMPARE(document.Village().Name, QStringLiteral("Северная"));
    QCOMPARE(document.Village().FileName, file);
    QVERIFY(document.HasUnwrittenEdits());
    // The stocks grew over the hour since the village was kept.
    QCOMPARE(document.Village().ResourceCollect[KindIndex(TResourceKind::Wood)], QStringLiteral("160"));
    // Saved, it goes to the file it had.
    QVERIFY(document.Write().Ok);
    QVERIFY(QFileInfo::exists(file));
    QVERIFY(!document.HasUnwrittenEdits());
}

void TestVillageRecovery::question_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("question");

    QTest::newRow("two villages") << QStringList{QStringLiteral("Test"), QStringLiteral("Северная")}
                                  << QString()
                                  << QStringLiteral("Программа была закрыта аварийно. Восстановить несохранённые "
                                                    "деревни: «Test», «Северная»?");
    QTest::newRow("one without a name") << QStringList{QString()} << QString()
                                        << QStringLiteral("Программа была закрыта аварийно. Восстановить "
                                                          "несохранённые деревни: без названия?");
    // The file each goes back to is named: an origin may be wrong.
    QTest::newRow("with its file") << QStringList{QStringLiteral("Северная")}
                                   << QStringLiteral("/дом/игрок/Северная.vlgdat")
                                   << QStringLiteral("Программа была закрыта аварийно. Восстановить несохранённые "
                                                     "деревни: «Северная» (/дом/игрок/Северная.vlgdat)?");
    QStringList twelve;
    for (int i = 1; i <= 12; ++i)
        twelve.append(QString::number(i));
    QTest::newRow("a few named, the rest counted")
        << twelve << QString()
        << QStringLiteral("Программа была закрыта аварийно. Восстановить несохранённые деревни: «1», «2», «3», "
                          "«4», «5», «6», «7», «8», «9», «10», и ещё 2?");
}

void TestVillageRecovery::question()
{
    QFETCH(QStringList, names);
    QFETCH(QString, fileName);
    QFETCH(QString, question);
    QList<TRecoveredVillage> villages;
    for (const QString &name : names)
        villages.append({name, villages.isEmpty() ? fileName : QString(), {}, {}});
    QCOMPARE(TRecoveryStore::Question(villages), question);
}

void TestVillageRecovery::failedCopyKeepsTheOldOne_data()
{
    QTest::addColumn<bool>("diskFull");

    QTest::newRow("the disk is full") << true;
    QTest::newRow("the copy's name is taken by a folder") << false;
}

void TestVillageRecovery::failedCopyKeepsTheOldOne()
{
    QFETCH(bool, diskFull);

    TSmallFileSystem disk;
    if (diskFull && !disk.Mounted)
        QSKIP("a small file system needs root");
    const QString folder = disk.FilePath(QStringLiteral("recovery"));
    const TRecoveryStore store(folder);
    TVillageData crashed;
    crashed.SetName(QStringLiteral("Северная"));
    crashed.SetComments(QStringLiteral("единственная копия"));
    QVERIFY(store.Write(QStringLiteral("0123456789abcdef-1"), crashed).Ok);
    const QList<TRecoveredVillage> found = store.Found(m_Catalog);
    QCOMPARE(found.size(), 1);

    TVillageList villages(m_Catalog);
    villages.Clock().stop();
    TVillageRecovery recovery(villages, store);
    QSignalSpy failed(&recovery, &TVillageRecovery::KeepingFailed);
    TVillageDocument *document = villages.Add();
    QVERIFY(document->Recover(found.constFirst().RecoveryFile, {}).Ok);
    const QString newCopy = QDir(folder).filePath(recovery.RunKey() + QStringLiteral("-1.vlgdat"));
    if (diskFull)
        QVERIFY(disk.Fill());
    else
        QVERIFY(QDir().mkpath(newCopy));

    recovery.TakeOver({{found.constFirst(), document}});
    // The only copy stays, and the player hears of it once.
    QCOMPARE(store.Found(m_Catalog), found);
    QCOMPARE(failed.size(), 1);
    const QString message = failed.constFirst().constFirst().toString();
    QVERIFY2(message.startsWith(QStringLiteral("Не удалось сохранить копию для восстановления: ")), qPrintable(message));
    if (diskFull)
        QVERIFY2(message.endsWith(QStringLiteral("Недостаточно места на диске")), qPrintable(message));
    QVERIFY(!recovery.WriteNow());
    QCOMPARE(failed.size(), 1);
    QCOMPARE(store.Found(m_Catalog), found);

    // With room again the new copy is written, and only then the old one goes.
    QVERIFY(diskFull ? disk.Free() : QDir().rmdir(newCopy));
    QVERIFY(recovery.WriteNow());
    const QList<TRecoveredVillage> now = store.Found(m_Catalog);
    QCOMPARE(now.size(), 1);
    QCOMPARE(now.constFirst().RecoveryFile, newCopy);
    TVillageData read;
    read.SetFileName(newCopy);
    QVERIFY(ReadVillageFile(read, m_Catalog).Ok);
    QCOMPARE(read.Comments, crashed.Comments);
}

void TestVillageRecovery::copiesOfARunWithTheSameIdStay()
{
    // A crashed run that had this run's process id (a container restarted,
    // the program as the first process of a namespace).
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    const TRecoveryStore store(folder);
    TVillageData crashed;
    crashed.SetName(QStringLiteral("Прежняя"));
    const QString oldKey = QStringLiteral("%1-1").arg(QCoreApplication::applicationPid());
    QVERIFY(store.Write(oldKey, crashed).Ok);

    TVillageList villages(m_Catalog);
    villages.Clock().stop();
    TVillageRecovery recovery(villages, store);
    villages.Add()->Village().SetName(QStringLiteral("Новая"));
    QVERIFY(recovery.WriteNow());
    QCOMPARE(store.Found(m_Catalog).size(), 2);
    recovery.Finish();
    QCOMPARE(FilesIn(folder), QStringList{oldKey + QStringLiteral(".vlgdat")});
    // Two keepers of one run do not share keys either.
    TVillageRecovery other(villages, store);
    QVERIFY(other.RunKey() != recovery.RunKey());
}

void TestVillageRecovery::originTakenOnlyForAVillageFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("taken");

    QTest::newRow("nothing there yet") << QStringLiteral("nothing") << true;
    QTest::newRow("a village file") << QStringLiteral("village") << true;
    QTest::newRow("a text file") << QStringLiteral("text") << false;
    QTest::newRow("a folder") << QStringLiteral("folder") << false;
    QTest::newRow("a pipe") << QStringLiteral("fifo") << false;
    QTest::newRow("a relative path") << QStringLiteral("relative") << false;
}

void TestVillageRecovery::originTakenOnlyForAVillageFile()
{
    QFETCH(QString, target);
    QFETCH(bool, taken);

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("target.vlgdat"));
    if (target == QStringLiteral("village")) {
        TVillageData other;
        other.SetName(QStringLiteral("Другая"));
        other.SetFileName(path);
        QVERIFY(WriteVillageFile(other).Ok);
    } else if (target == QStringLiteral("text")) {
        QFile text(path);
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("письмо, не деревня\n");
    } else if (target == QStringLiteral("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (target == QStringLiteral("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (target == QStringLiteral("relative")) {
        path = QStringLiteral("target.vlgdat");
    }
    const QByteArray before = QFileInfo(path).isFile() ? FileContents(path) : QByteArray();

    const TRecoveryStore store(dir.filePath(QStringLiteral("recovery")));
    TVillageData kept;
    kept.SetName(QStringLiteral("Северная"));
    kept.SetFileName(path);
    QVERIFY(store.Write(QStringLiteral("k-1"), kept).Ok);

    QElapsedTimer timer;
    timer.start();
    const QList<TRecoveredVillage> found = store.Found(m_Catalog);
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.constFirst().FileName, taken ? path : QString());
    if (!taken)
        QVERIFY(!TRecoveryStore::Question(found).contains(path));
    // A village given no file is saved only where the player chooses.
    TVillageDocument document(m_Catalog);
    QVERIFY(document.Recover(found.constFirst().RecoveryFile, found.constFirst().FileName,
                             found.constFirst().LastSeen).Ok);
    QCOMPARE(document.Village().FileName, taken ? path : QString());
    if (QFileInfo(path).isFile())
        QCOMPARE(FileContents(path), before);
}

void TestVillageRecovery::changeSinceTheCrashIsAsked_data()
{
    QTest::addColumn<bool>("changedSince");
    QTest::addColumn<bool>("madeSince");

    QTest::newRow("file as the crashed run left it") << false << false;
    QTest::newRow("file changed by another program since") << true << false;
    QTest::newRow("file made by another program since") << false << true;
}

void TestVillageRecovery::changeSinceTheCrashIsAsked()
{
    QFETCH(bool, changedSince);
    QFETCH(bool, madeSince);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("Северная.vlgdat"));
    const TRecoveryStore store(dir.filePath(QStringLiteral("recovery")));
    {
        // The run that crashed: its village, written to the file or not yet,
        // then changed and kept.
        TVillageList villages(m_Catalog);
        villages.Clock().stop();
        TVillageRecovery recovery(villages, store);
        TVillageDocument *document = villages.Add();
        document->Village().SetName(QStringLiteral("Северная"));
        if (madeSince)
            document->Village().SetFileName(file);
        else
            QVERIFY(document->Write(file).Ok);
        document->Village().SetComments(QStringLiteral("правка до сбоя"));
        QVERIFY(recovery.WriteNow());
        // Crashed: the copies stay.
    }
    QByteArray outside;
    if (changedSince || madeSince) {
        TVillageData other;
        other.SetName(QStringLiteral("Северная"));
        other.SetComments(QStringLiteral("правка другой программы"));
        QVERIFY(WriteVillageFile(other, file, &outside).Ok);
    }
    const QList<TRecoveredVillage> found = store.Found(m_Catalog);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.constFirst().FileName, file);

    TVillageDocument document(m_Catalog);
    QVERIFY(document.Recover(found.constFirst().RecoveryFile, file, found.constFirst().LastSeen).Ok);
    const bool outsideChange = changedSince || madeSince;
    QCOMPARE(document.FileChangedOnDisk(), outsideChange);
    // The other program's version is never replaced without the question.
    QCOMPARE(document.Write().Ok, !outsideChange);
    if (outsideChange)
        QCOMPARE(FileContents(file), outside);
}

void TestVillageRecovery::leftoversOfEndedRunsRemoved_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("stays");

    QTest::newRow("half-written copy of an ended run") << QStringLiteral("ended-1.vlgdat.Ab12Cd") << false;
    QTest::newRow("half-written origin of an ended run") << QStringLiteral("ended-1.origin.Zz09Yy") << false;
    QTest::newRow("origin without its village") << QStringLiteral("ended-2.origin") << false;
    QTest::newRow("lock of an ended run") << QStringLiteral("ended.lock") << false;
    QTest::newRow("copy of an ended run: offered") << QStringLiteral("ended-3.vlgdat") << true;
    QTest::newRow("half-written copy of a running run") << QStringLiteral("running-1.vlgdat.Ab12Cd") << true;
    QTest::newRow("origin of a running run's village") << QStringLiteral("running-2.origin") << true;
    QTest::newRow("a file of someone else's") << QStringLiteral("notes.txt") << true;
}

void TestVillageRecovery::leftoversOfEndedRunsRemoved()
{
    QFETCH(QString, name);
    QFETCH(bool, stays);

    QTemporaryDir dir;
    const QDir folder(dir.path());
    const TRecoveryStore store(dir.path());
    // A run that is going holds its lock; an ended one left its own.
    QLockFile running(folder.filePath(QStringLiteral("running.lock")));
    QVERIFY(running.tryLock(0));
    QProcess ended;
    ended.start(QStringLiteral("true"), {});
    QVERIFY(ended.waitForStarted());
    const qint64 endedId = ended.processId();
    QVERIFY(ended.waitForFinished());
    QFile endedLock(folder.filePath(QStringLiteral("ended.lock")));
    QVERIFY(endedLock.open(QIODevice::WriteOnly));
    endedLock.write(QByteArray::number(endedId) + "\nJorLivaronMng\n" + QSysInfo::machineHostName().toUtf8()
                    + "\n");
    endedLock.close();
    QFile planted(folder.filePath(name));
    if (!planted.exists()) {
        QVERIFY(planted.open(QIODevice::WriteOnly));
        planted.write("<JorVillageData/>");
        planted.close();
    }

    store.RemoveLeftovers();
    QCOMPARE(QFileInfo::exists(folder.filePath(name)), stays);
    QVERIFY(running.isLocked());
    QVERIFY(QFileInfo::exists(folder.filePath(QStringLiteral("running.lock"))));
    QVERIFY(!QFileInfo::exists(folder.filePath(QStringLiteral("ended.lock"))));
}

QTEST_GUILESS_MAIN(TestVillageRecovery)
#include "tst_villagerecovery.moc"
