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
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

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
    QTest::addColumn<QString>("question");

    QTest::newRow("two villages") << QStringList{QStringLiteral("Test"), QStringLiteral("Северная")}
                                  << QStringLiteral("Программа была закрыта аварийно. Восстановить несохранённые "
                                                    "деревни: «Test», «Северная»?");
    QTest::newRow("one without a name") << QStringList{QString()}
                                        << QStringLiteral("Программа была закрыта аварийно. Восстановить "
                                                          "несохранённые деревни: без названия?");
}

void TestVillageRecovery::question()
{
    QFETCH(QStringList, names);
    QFETCH(QString, question);
    QList<TRecoveredVillage> villages;
    for (const QString &name : names)
        villages.append({name, {}, {}});
    QCOMPARE(TRecoveryStore::Question(villages), question);
}

QTEST_GUILESS_MAIN(TestVillageRecovery)
#include "tst_villagerecovery.moc"
