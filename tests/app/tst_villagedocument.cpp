// One open village and its file: which operations leave edits unwritten
// (every change the player makes) and which do not (Open, the catch-up, the
// tick); the lock beside the file, taken over from a program that died and
// read-only while another program holds it; a file changed by another
// program read again or asked about, never overwritten unasked; and the
// program's own writes not taken for another program's.
#include "TestSupport.h"

#include "app/VillageDocument.h"
#include "app/VillageFileGuard.h"
#include "app/VillageHistory.h"
#include "app/VillageList.h"
#include "import/OverviewImport.h"
#include "notify/VillageWatch.h"
#include "record/VillageData.h"
#include "record/VillageFile.h"
#include "record/VillageState.h"
#include "rules/Planner.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSaveFile>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

const QDateTime SavedAt(QDate(2026, 3, 5), QTime(7, 8, 9), Qt::UTC);

QByteArray Bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Another program's save: the village written in place of the file, as an
// atomic write does.
bool WriteAsAnotherProgram(const QString &path, const QString &capacity)
{
    TVillageData village;
    village.SetName(QStringLiteral("Северная"));
    village.SetRace(1);
    village.SetCapacity(TResourceKind::Wood, capacity);
    return WriteVillageFile(village, path).Ok;
}

using TChange = std::function<void(TVillageDocument &)>;

} // namespace

Q_DECLARE_METATYPE(TChange)

class TestVillageDocument : public QObject
{
    Q_OBJECT

private slots:
    void saveSettlesFileNameAndFailureFlag_data();
    void saveSettlesFileNameAndFailureFlag();
    void initTestCase();
    void init();
    void cleanup();

    void unwrittenEdits_data();
    void unwrittenEdits();
    void failedWriteKeepsTheEdits();
    void deliveryArrivesAsOneStep();

    void lock_data();
    void lock();
    void lockFollowsTheFile();
    void openingReadsTheFileOnce_data();
    void openingReadsTheFileOnce();

    void changedOnDisk_data();
    void changedOnDisk();
    void writeRefusedAfterAnOutsideChange();
    void outsideWriteDuringTheSaveIsKept();
    void halfWrittenFileLeavesTheVillage();
    void automaticSaveWaitsForTheAnswer();
    void automaticSaveWritesOnlyEdits_data();
    void importLineGoesWithItsStep_data();
    void importLineGoesWithItsStep();
    void undoNotifiesNothing();
    void automaticSaveWritesOnlyEdits();
    void watchedFileReadAgainAfterEachReplace();

private:
    // A village with a race, stocks, incomes, a capacity and two considered
    // buildings, written at SavedAt to the file "Северная.vlgdat" and read
    // into the document an hour later, so that its stocks caught up.
    QString OpenWrittenVillage(TVillageDocument &document);

    TdmListObj m_Catalog;
    std::unique_ptr<QTemporaryDir> m_Dir;
    std::unique_ptr<TPinnedClock> m_Clock;
};

void TestVillageDocument::initTestCase()
{
    TRecordedMessages messages;
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_TEST_DATA_DIR "/overview_catalog.xml")));
    QVERIFY(!OverviewExampleLines().isEmpty());
}

void TestVillageDocument::init()
{
    m_Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Dir->isValid());
    m_Clock = std::make_unique<TPinnedClock>(SavedAt);
}

void TestVillageDocument::cleanup()
{
    m_Clock.reset();
    m_Dir.reset();
}

QString TestVillageDocument::OpenWrittenVillage(TVillageDocument &document)
{
    const QString path = m_Dir->filePath(QStringLiteral("Северная.vlgdat"));
    TVillageData written;
    written.SetName(QStringLiteral("Северная"));
    written.SetRace(0);
    for (const TResourceKind kind : AllResourceKinds) {
        written.SetResourceCollect(kind, QStringLiteral("100"));
        written.SetResourceAdd(kind, QStringLiteral("36"));
    }
    written.SetCapacity(TResourceKind::Wood, QStringLiteral("800"));
    written.ChooseAvBuildings({{QStringLiteral("Ферма (10)"), m_Catalog.FindByDisplayText(QStringLiteral("Ферма (10)"))},
                               {QStringLiteral("Склад ( 2)"), m_Catalog.FindByDisplayText(QStringLiteral("Склад ( 2)"))}});
    if (!WriteVillageFile(written, path).Ok)
        return {};
    m_Clock->Now = SavedAt.addSecs(3600);
    document.Village().SetFileName(path);
    if (!document.Load().Ok)
        return {};
    Settle();
    return path;
}

void TestVillageDocument::unwrittenEdits_data()
{
    QTest::addColumn<TChange>("change");
    QTest::addColumn<bool>("unwritten");

    const auto entry = [this](const char *text) {
        const QString display = QString::fromUtf8(text);
        return TAvBuildingEntry{display, m_Catalog.FindByDisplayText(display)};
    };
    // Writing clears the edits of a change, so that undo and redo are seen
    // on their own.
    const auto written = [](TVillageDocument &d) {
        Settle();
        QVERIFY(d.Write().Ok);
        QVERIFY(!d.HasUnwrittenEdits());
    };

    QTest::newRow("name") << TChange([](TVillageDocument &d) { d.Village().SetName(QStringLiteral("Южная")); }) << true;
    QTest::newRow("race") << TChange([](TVillageDocument &d) { d.Village().SetRace(2); }) << true;
    QTest::newRow("main level") << TChange([](TVillageDocument &d) { d.Village().SetMainLevel(QStringLiteral("7")); })
                                << true;
    QTest::newRow("server speed")
        << TChange([](TVillageDocument &d) { d.Village().SetServerSpeed(QStringLiteral("3")); }) << true;
    QTest::newRow("typed stock")
        << TChange([](TVillageDocument &d) { d.Village().EditResourceCollect(TResourceKind::Iron, QStringLiteral("5")); })
        << true;
    QTest::newRow("income")
        << TChange([](TVillageDocument &d) { d.Village().EditResourceAdd(TResourceKind::Grain, QStringLiteral("-4")); })
        << true;
    QTest::newRow("capacity")
        << TChange([](TVillageDocument &d) { d.Village().EditCapacity(TResourceKind::Clay, QStringLiteral("900")); })
        << true;
    QTest::newRow("comments")
        << TChange([](TVillageDocument &d) { d.Village().SetComments(QStringLiteral("строить\nферму")); }) << true;
    QTest::newRow("considered list")
        << TChange([entry](TVillageDocument &d) { d.Village().ChooseAvBuildings({entry("Ферма ( 1)")}); }) << true;
    QTest::newRow("queue") << TChange([entry](TVillageDocument &d) { d.Village().AppendToQueue(entry("Склад ( 2)")); })
                           << true;
    QTest::newRow("build command") << TChange([](TVillageDocument &d) { d.Planner().Build(0); }) << true;
    QTest::newRow("a delivery typed") << TChange([](TVillageDocument &d) {
        QVERIFY(d.Village().AddDelivery({{5, 0, 0, 0}, CurrentDateTime().addSecs(600)}));
    }) << true;
    QTest::newRow("import (dialog, clipboard or drop)")
        << TChange([](TVillageDocument &d) { QVERIFY(d.Import(OverviewExampleLines()).Accepted); }) << true;
    QTest::newRow("undo") << TChange([written](TVillageDocument &d) {
        const TVillageState before = d.History().Settled();
        d.Village().SetComments(QStringLiteral("x"));
        written(d);
        d.History().Apply(before);
    }) << true;
    QTest::newRow("redo") << TChange([written](TVillageDocument &d) {
        const TVillageState before = d.History().Settled();
        d.Village().SetComments(QStringLiteral("x"));
        Settle();
        const TVillageState after = d.History().Settled();
        d.History().Apply(before);
        written(d);
        d.History().Apply(after);
    }) << true;

    QTest::newRow("nothing") << TChange([](TVillageDocument &) {}) << false;
    QTest::newRow("the tick's growth") << TChange([](TVillageDocument &d) {
        for (int i = 0; i < 120; ++i)
            d.Tick();
        QVERIFY(d.Village().ResourceCollectValue(TResourceKind::Wood) > 100);
    }) << false;
    QTest::newRow("a construction runs on and ends with the tick") << TChange([](TVillageDocument &d) {
        d.Village().SetConstruction(QStringLiteral("Склад ( 2)"), 3, 0);
        QVERIFY(d.Write().Ok);
        for (int i = 0; i < 4; ++i)
            d.Tick();
        QCOMPARE(d.Village().BuildTotal, 0);
    }) << false;
    QTest::newRow("open with the catch-up of a day") << TChange([](TVillageDocument &d) {
        TPinnedClock later(SavedAt.addDays(1));
        QVERIFY(d.Load().Ok);
        QVERIFY(d.InfoLine().startsWith(QStringLiteral("Запасы пересчитаны")));
    }) << false;
    QTest::newRow("a write after changes") << TChange([written](TVillageDocument &d) {
        d.Village().SetName(QStringLiteral("Южная"));
        d.Village().SetComments(QStringLiteral("x"));
        written(d);
    }) << false;
    QTest::newRow("open after changes") << TChange([](TVillageDocument &d) {
        d.Village().SetName(QStringLiteral("Южная"));
        Settle();
        QVERIFY(d.Load().Ok);
    }) << false;
}

void TestVillageDocument::unwrittenEdits()
{
    QFETCH(TChange, change);
    QFETCH(bool, unwritten);

    TVillageDocument document(m_Catalog);
    QSignalSpy announced(&document, &TVillageDocument::UnwrittenEditsChanged);
    QVERIFY(!OpenWrittenVillage(document).isEmpty());
    // Open, with its catch-up, is no edit.
    QVERIFY(document.InfoLine().startsWith(QStringLiteral("Запасы пересчитаны за 1 ч")));
    QVERIFY(!document.HasUnwrittenEdits());
    QVERIFY(announced.isEmpty());

    change(document);
    Settle();
    QCOMPARE(document.HasUnwrittenEdits(), unwritten);
    if (unwritten)
        QCOMPARE(announced.constLast().constFirst().toBool(), true);
}

void TestVillageDocument::deliveryArrivesAsOneStep()
{
    // Written with the village, read back with it; it arrives at the tick
    // after its moment, capped at the wood's capacity of 800.
    TVillageDocument document(m_Catalog);
    QVERIFY(!OpenWrittenVillage(document).isEmpty());
    const TDelivery delivery{{1000, 50, 0, 0}, CurrentDateTime().addSecs(2)};
    QVERIFY(document.Village().AddDelivery(delivery));
    Settle();
    QVERIFY(document.Write().Ok);
    QVERIFY(document.Load().Ok);
    QCOMPARE(document.Village().Deliveries, QList<TDelivery>{delivery});
    const TResourceAmounts before = document.Village().Stocks();
    QSignalSpy steps(&document.History(), &TVillageHistory::StepMade);

    m_Clock->Now = m_Clock->Now.addSecs(1);
    document.Tick();
    Settle();
    QVERIFY(steps.isEmpty());
    m_Clock->Now = m_Clock->Now.addSecs(1);
    document.Tick();
    Settle();
    QCOMPARE(document.Village().ResourceCollectValue(TResourceKind::Wood), 800);
    // (The tick may have grown the clay by a unit meanwhile.)
    QVERIFY(document.Village().ResourceCollectValue(TResourceKind::Clay) - before[1] >= 50);
    QVERIFY(document.Village().ResourceCollectValue(TResourceKind::Clay) - before[1] <= 51);
    QVERIFY(document.Village().Deliveries.isEmpty());
    QCOMPARE(document.InfoLine(), QStringLiteral("Прибыла поставка: дерево 1 000, глина 50."));
    QCOMPARE(steps.size(), 1);
    const TVillageStep step = steps.at(0).at(0).value<TVillageStep>();
    QCOMPARE(step.Name, QStringLiteral("поставку"));
    // Undone, the delivery is on its way again.
    document.History().Apply(step.Before);
    QCOMPARE(document.Village().Deliveries, QList<TDelivery>{delivery});
}

void TestVillageDocument::failedWriteKeepsTheEdits()
{
    TVillageDocument document(m_Catalog);
    const QString path = OpenWrittenVillage(document);
    QVERIFY(!path.isEmpty());
    document.Village().SetComments(QStringLiteral("x"));
    QVERIFY(document.HasUnwrittenEdits());
    QVERIFY(!document.Write(m_Dir->filePath(QStringLiteral("missing/other.vlgdat"))).Ok);
    QVERIFY(document.HasUnwrittenEdits());
    QCOMPARE(document.Village().FileName, path);
    QVERIFY(document.Write().Ok);
    QVERIFY(!document.HasUnwrittenEdits());
}

void TestVillageDocument::lock_data()
{
    QTest::addColumn<QString>("holder"); // "", "live", "dead", "other machine"
    QTest::addColumn<bool>("readOnly");

    QTest::newRow("no lock") << QString() << false;
    QTest::newRow("held by a running program") << QStringLiteral("live") << true;
    QTest::newRow("left by a program that died") << QStringLiteral("dead") << false;
    QTest::newRow("held on another machine") << QStringLiteral("other machine") << true;
    // A program restarted in a container gets the crashed run's id again.
    QTest::newRow("left under an id a later process took") << QStringLiteral("reused") << false;
}

void TestVillageDocument::lock()
{
    QFETCH(QString, holder);
    QFETCH(bool, readOnly);

    TVillageDocument probe(m_Catalog);
    const QString path = OpenWrittenVillage(probe);
    QVERIFY(!path.isEmpty());
    const QString lockPath = TVillageFileGuard::LockPath(path);
    QCOMPARE(lockPath, m_Dir->filePath(QStringLiteral(".Северная.vlgdat.lock")));
    probe.Village().SetFileName(QString());
    QVERIFY(!QFileInfo::exists(lockPath));

    // Another program of this machine holds the lock as QLockFile does:
    // process id, program, machine.
    QLockFile live(lockPath);
    if (holder == QLatin1String("live")) {
        QVERIFY(live.tryLock(0));
    } else if (!holder.isEmpty()) {
        qint64 pid = QCoreApplication::applicationPid();
        QByteArray host = QSysInfo::machineHostName().toUtf8();
        QByteArray program = "JorLivaronMng";
        if (holder == QLatin1String("reused")) {
            // This very process, as QLockFile names it.
            program = QCoreApplication::applicationName().toUtf8();
        } else if (holder == QLatin1String("dead")) {
            QProcess ended;
            ended.start(QStringLiteral("true"), {});
            QVERIFY(ended.waitForStarted());
            pid = ended.processId();
            QVERIFY(ended.waitForFinished());
        } else {
            host = "another-machine.example";
        }
        QFile file(lockPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(pid) + "\n" + program + "\n" + host + "\n");
        file.flush();
        // Written an hour before this process started.
        if (holder == QLatin1String("reused"))
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        file.close();
    }

    TVillageDocument document(m_Catalog);
    QSignalSpy changed(&document, &TVillageDocument::ReadOnlyChanged);
    document.Village().SetFileName(path);
    QVERIFY(document.Load().Ok);
    QCOMPARE(document.IsReadOnly(), readOnly);
    QCOMPARE(changed.size(), readOnly ? 1 : 0);

    const QByteArray before = Bytes(path);
    document.Village().SetComments(QStringLiteral("правка"));
    const TFileResult written = document.Write();
    QCOMPARE(written.Ok, !readOnly);
    if (readOnly) {
        QVERIFY(written.Error.contains(TVillageDocument::ReadOnlyNotice()));
        QCOMPARE(Bytes(path), before);
        QVERIFY(document.HasUnwrittenEdits());
        // Written elsewhere, the village is its own again.
        const QString copy = m_Dir->filePath(QStringLiteral("copy.vlgdat"));
        QVERIFY(document.Write(copy).Ok);
        QVERIFY(!document.IsReadOnly());
        QCOMPARE(changed.size(), 2);
        QVERIFY(QFileInfo::exists(TVillageFileGuard::LockPath(copy)));
    } else {
        QVERIFY(Bytes(path) != before);
        // The lock is this program's now, and goes with the village.
        QLockFile other(lockPath);
        QVERIFY(!other.tryLock(0));
        // It holds what QLockFile writes for this process, whichever way
        // it was made, so that QLockFile and older runs read it.
        QLockFile reference(m_Dir->filePath(QStringLiteral("reference.lock")));
        QVERIFY(reference.tryLock(0));
        QCOMPARE(Bytes(lockPath), Bytes(reference.fileName()));
    }
}

void TestVillageDocument::lockFollowsTheFile()
{
    TVillageDocument document(m_Catalog);
    const QString path = OpenWrittenVillage(document);
    QVERIFY(!path.isEmpty());
    const QString copy = m_Dir->filePath(QStringLiteral("copy.vlgdat"));
    QVERIFY(QFileInfo::exists(TVillageFileGuard::LockPath(path)));
    QVERIFY(document.Write(copy).Ok);
    QVERIFY(!QFileInfo::exists(TVillageFileGuard::LockPath(path)));
    QVERIFY(QFileInfo::exists(TVillageFileGuard::LockPath(copy)));
    {
        TVillageDocument other(m_Catalog);
        other.Village().SetFileName(copy);
        QVERIFY(other.Load().Ok);
        QVERIFY(other.IsReadOnly());
    }
    document.Village().SetFileName(QString());
    QVERIFY(!QFileInfo::exists(TVillageFileGuard::LockPath(copy)));
}

void TestVillageDocument::openingReadsTheFileOnce_data()
{
    QTest::addColumn<QByteArray>("content"); // none: a village written here
    QTest::addColumn<bool>("ok");
    QTest::newRow("a village file") << QByteArray() << true;
    QTest::newRow("no village file") << QByteArray("<html/>") << false;
}

void TestVillageDocument::openingReadsTheFileOnce()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, ok);
    const QString path = m_Dir->filePath(QStringLiteral("Северная.vlgdat"));
    if (content.isEmpty()) {
        TVillageData village;
        village.SetName(QStringLiteral("Северная"));
        QVERIFY(WriteVillageFile(village, path).Ok);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    TVillageDocument document(m_Catalog);
    const qint64 reads = FileStampReadCount();
    QCOMPARE(document.Open(path).Ok, ok);
    // The stamp comes from the bytes the reader read; a file that is no
    // village file gives the village no file name, and is not read again.
    QCOMPARE(FileStampReadCount() - reads, 0);
    QCOMPARE(document.Village().FileName.isEmpty(), !ok);
    if (!document.Village().FileName.isEmpty()) {
        QVERIFY(!document.FileChangedOnDisk());
        QCOMPARE(document.FileLastSeen(), FileStampNow(path));
    }
}

void TestVillageDocument::changedOnDisk_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<bool>("outside");

    QTest::newRow("own write, no edits") << false << false;
    QTest::newRow("own write, edits") << true << false;
    QTest::newRow("another program's write, no edits: read again") << false << true;
    QTest::newRow("another program's write, edits: asked") << true << true;
}

void TestVillageDocument::changedOnDisk()
{
    QFETCH(bool, edited);
    QFETCH(bool, outside);

    TVillageDocument document(m_Catalog);
    const QString path = OpenWrittenVillage(document);
    QVERIFY(!path.isEmpty());
    QSignalSpy asked(&document, &TVillageDocument::FileChangedOutside);
    QVERIFY(!document.FileChangedOnDisk());
    document.Village().SetComments(QStringLiteral("первая"));
    QVERIFY(document.Write().Ok);
    if (outside)
        QVERIFY(WriteAsAnotherProgram(path, QStringLiteral("999")));
    if (edited)
        document.Village().SetComments(QStringLiteral("вторая"));
    const QString lineBefore = document.InfoLine();

    QCOMPARE(document.FileChangedOnDisk(), outside);
    document.CheckFileOnDisk();
    QCOMPARE(asked.size(), outside && edited ? 1 : 0);
    const bool readAgain = outside && !edited;
    QCOMPARE(document.Village().Capacity[KindIndex(TResourceKind::Wood)],
             readAgain ? QStringLiteral("999") : QStringLiteral("800"));
    QCOMPARE(document.HasUnwrittenEdits(), edited);
    if (readAgain) {
        QCOMPARE(document.InfoLine(), QStringLiteral("Файл изменён другой программой и загружен заново."));
        // What the other program's file leaves out is not kept from before.
        QCOMPARE(document.Village().Comments, QString());
        QCOMPARE(document.Village().AvBuildings.size(), 0);
        QVERIFY(!document.FileChangedOnDisk());
    } else {
        QCOMPARE(document.InfoLine(), lineBefore);
    }
}

void TestVillageDocument::writeRefusedAfterAnOutsideChange()
{
    TVillageDocument document(m_Catalog);
    const QString path = OpenWrittenVillage(document);
    QVERIFY(!path.isEmpty());
    document.Village().SetComments(QStringLiteral("моя"));
    QVERIFY(WriteAsAnotherProgram(path, QStringLiteral("999")));
    const QByteArray theirs = Bytes(path);

    const TFileResult refused = document.Write();
    QVERIFY(!refused.Ok);
    QVERIFY(refused.Error.contains(QStringLiteral("изменён другой программой")));
    QCOMPARE(Bytes(path), theirs);
    QVERIFY(document.HasUnwrittenEdits());
    QCOMPARE(document.FileChangedQuestion(),
             QStringLiteral("Файл «Северная.vlgdat» изменён другой программой. Загрузить его (ваши изменения будут "
                            "потеряны) или оставить ваши?"));

    // "Оставить мои": the next write goes over the other program's file.
    document.KeepMine();
    QVERIFY(document.Write().Ok);
    QVERIFY(Bytes(path) != theirs);
    QVERIFY(!document.HasUnwrittenEdits());

    // "Загрузить": the other program's village, the edits gone.
    document.Village().SetComments(QStringLiteral("ещё"));
    QVERIFY(WriteAsAnotherProgram(path, QStringLiteral("999")));
    QVERIFY(document.Reload().Ok);
    QCOMPARE(document.Village().Capacity[KindIndex(TResourceKind::Wood)], QStringLiteral("999"));
    QVERIFY(!document.HasUnwrittenEdits());
}

void TestVillageDocument::outsideWriteDuringTheSaveIsKept()
{
    TVillageDocument document(m_Catalog);
    const QString path = OpenWrittenVillage(document);
    QVERIFY(!path.isEmpty());
    QSignalSpy asked(&document, &TVillageDocument::FileChangedOutside);
    QSignalSpy failed(&document, &TVillageDocument::AutoSaveFailed);
    document.Village().SetComments(QStringLiteral("моя"));

    // Another program saves after the look at the file, while this one is
    // being written.
    QByteArray theirs;
    const TBeforeReplaceHook previous = SetBeforeReplaceHook([&theirs, &path](const QString &written) {
        if (written == path && theirs.isEmpty() && WriteAsAnotherProgram(path, QStringLiteral("999")))
            theirs = Bytes(path);
    });
    const TFileResult result = document.Write();
    SetBeforeReplaceHook(previous);

    QVERIFY(!theirs.isEmpty());
    QVERIFY(!result.Ok);
    QVERIFY(result.ChangedOutside);
    QCOMPARE(Bytes(path), theirs);
    // Asked as for any change made outside; no write failure.
    QCOMPARE(asked.size(), 1);
    QCOMPARE(failed.size(), 0);
    QVERIFY(!document.Village().LastWriteFailed);
    QVERIFY(document.HasUnwrittenEdits());
    QCOMPARE(QDir(m_Dir->path()).entryList({QStringLiteral("Северная.vlgdat*")}, QDir::Files),
             QStringList{QStringLiteral("Северная.vlgdat")});
}

void TestVillageDocument::halfWrittenFileLeavesTheVillage()
{
    TVillageDocument document(m_Catalog);
    const QString path = OpenWrittenVillage(document);
    QVERIFY(!path.isEmpty());
    const QByteArray whole = Bytes(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(whole.left(whole.size() / 2));
    file.close();

    document.CheckFileOnDisk();
    QCOMPARE(document.Village().Name, QStringLiteral("Северная"));
    QCOMPARE(document.Village().FileName, path);
    QCOMPARE(document.Village().AvBuildings.size(), 2);
    // Whole again, it is read.
    QVERIFY(WriteAsAnotherProgram(path, QStringLiteral("999")));
    document.CheckFileOnDisk();
    QCOMPARE(document.Village().Capacity[KindIndex(TResourceKind::Wood)], QStringLiteral("999"));
}

void TestVillageDocument::automaticSaveWaitsForTheAnswer()
{
    TRecordedMessages messages;
    TVillageDocument document(m_Catalog);
    const QString path = OpenWrittenVillage(document);
    QVERIFY(!path.isEmpty());
    QSignalSpy asked(&document, &TVillageDocument::FileChangedOutside);
    document.Village().SetComments(QStringLiteral("моя"));
    QVERIFY(WriteAsAnotherProgram(path, QStringLiteral("999")));
    const QByteArray theirs = Bytes(path);

    // The automatic save is due at the next tick.
    document.Village().SetHourCounter(299); // the automatic save comes every 300 ticks
    document.Tick();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(Bytes(path), theirs);
    QVERIFY(messages.Messages.isEmpty());

    // Without edits, it reads the other program's file instead.
    QVERIFY(document.Reload().Ok);
    QVERIFY(WriteAsAnotherProgram(path, QStringLiteral("777")));
    document.Village().SetHourCounter(299); // the automatic save comes every 300 ticks
    document.Tick();
    QCOMPARE(asked.size(), 1);
    QCOMPARE(document.Village().Capacity[KindIndex(TResourceKind::Wood)], QStringLiteral("777"));
}

void TestVillageDocument::automaticSaveWritesOnlyEdits_data()
{
    QTest::addColumn<bool>("edited");

    QTest::newRow("a file left alone stays byte for byte") << false;
    QTest::newRow("a file with an edit is written") << true;
}

void TestVillageDocument::automaticSaveWritesOnlyEdits()
{
    QFETCH(bool, edited);

    TVillageDocument document(m_Catalog);
    const QString path = OpenWrittenVillage(document);
    QVERIFY(!path.isEmpty());
    const QByteArray before = Bytes(path);
    if (edited)
        document.Village().SetComments(QStringLiteral("моя"));
    m_Clock->Now = m_Clock->Now.addSecs(600);

    // Five minutes of ticks: the stocks grow, the automatic save comes.
    const qint32 stockBefore = document.Village().ResourceCollectValue(TResourceKind::Wood);
    for (int tick = 0; tick < 300; ++tick)
        document.Tick();
    QVERIFY(document.Village().ResourceCollectValue(TResourceKind::Wood) > stockBefore);
    QCOMPARE(Bytes(path) != before, edited);
    QVERIFY(!document.HasUnwrittenEdits());
}

void TestVillageDocument::importLineGoesWithItsStep_data()
{
    QTest::addColumn<bool>("redo");

    QTest::newRow("undone: the line before it") << false;
    QTest::newRow("redone: its own line") << true;
}

void TestVillageDocument::importLineGoesWithItsStep()
{
    QFETCH(bool, redo);

    TVillageDocument document(m_Catalog);
    QVERIFY(!OpenWrittenVillage(document).isEmpty());
    const QString openLine = document.InfoLine();
    const TVillageState before = document.History().Settled();
    QVERIFY(document.Import(OverviewExampleLines()).Accepted);
    const QString importLine = document.InfoLine();
    QVERIFY(importLine.startsWith(QStringLiteral("Импортировано: ")));
    const TVillageState after = document.History().Settled();

    document.History().Apply(before);
    QCOMPARE(document.InfoLine(), openLine);
    if (redo) {
        document.History().Apply(after);
        QCOMPARE(document.InfoLine(), importLine);
    }
}

void TestVillageDocument::undoNotifiesNothing()
{
    TVillageDocument document(m_Catalog);
    QVERIFY(!OpenWrittenVillage(document).isEmpty());
    QSignalSpy told(&document.Watch(), &TVillageWatch::NotificationsReady);
    // The first tick notes what is true: both buildings are affordable.
    document.Tick();
    const TVillageState before = document.History().Settled();
    // A mistaken build spends what both needed.
    const int row = document.Planner().Evaluation().Available.first().CatalogIndex
                            == m_Catalog.FindByDisplayText(QStringLiteral("Ферма (10)"))
                        ? 0
                        : 1;
    document.Planner().Build(row);
    QVERIFY(document.Village().ResourceCollectValue(TResourceKind::Wood) < 30);
    document.Tick();
    document.Tick();
    told.clear();

    // Undone, the stocks are back and both are affordable again: the
    // player knows, nothing is told.
    document.History().Apply(before);
    QCOMPARE(document.Village().ResourceCollectValue(TResourceKind::Wood),
             before.ResourceCollect[KindIndex(TResourceKind::Wood)].toInt());
    document.Tick();
    document.Tick();
    QCOMPARE(told.size(), 0);
}

void TestVillageDocument::watchedFileReadAgainAfterEachReplace()
{
    TVillageList villages(m_Catalog);
    villages.Clock().stop();
    TVillageDocument *document = villages.Add();
    const QString path = OpenWrittenVillage(*document);
    QVERIFY(!path.isEmpty());
    // The program's own writes are no news.
    document->Village().SetComments(QStringLiteral("моя"));
    QVERIFY(document->Write().Ok);
    QTest::qWait(200);
    QCOMPARE(document->Village().Comments, QStringLiteral("моя"));

    for (const QString &capacity : {QStringLiteral("999"), QStringLiteral("1200")}) {
        QVERIFY(WriteAsAnotherProgram(path, capacity));
        QTRY_COMPARE(document->Village().Capacity[KindIndex(TResourceKind::Wood)], capacity);
        QVERIFY(document->InfoLine().startsWith(QStringLiteral("Файл изменён другой программой")));
    }
}

void TestVillageDocument::saveSettlesFileNameAndFailureFlag_data()
{
    QTest::addColumn<QString>("fileName"); // relative to the folder; empty: none
    QTest::addColumn<bool>("failedBefore");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("fileNameAfter");

    // "blocker" is a plain file, so nothing can be written below it.
    QTest::newRow("first save") << QString() << false << "new.vlgdat" << true << "new.vlgdat";
    QTest::newRow("failed first save leaves no file name")
        << QString() << false << "blocker/new.vlgdat" << false << QString();
    QTest::newRow("failed save as keeps the old name")
        << "old.vlgdat" << false << "blocker/new.vlgdat" << false << "old.vlgdat";
    QTest::newRow("save as") << "old.vlgdat" << false << "new.vlgdat" << true << "new.vlgdat";
    QTest::newRow("failed save to its own file") << "blocker/old.vlgdat" << false << "blocker/old.vlgdat" << false
                                                 << "blocker/old.vlgdat";
    QTest::newRow("a good write clears an earlier failure")
        << "old.vlgdat" << true << "old.vlgdat" << true << "old.vlgdat";
}

void TestVillageDocument::saveSettlesFileNameAndFailureFlag()
{
    QFETCH(QString, fileName);
    QFETCH(bool, failedBefore);
    QFETCH(QString, target);
    QFETCH(bool, ok);
    QFETCH(QString, fileNameAfter);

    QTemporaryDir dir;
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const auto inDir = [&dir](const QString &name) { return name.isEmpty() ? QString() : dir.filePath(name); };

    TVillageDocument document(m_Catalog);
    TVillageData &village = document.Village();
    village.SetName(QStringLiteral("Север/Юг"));
    village.FileName = inDir(fileName);
    village.SetLastWriteFailed(failedBefore);

    const TFileResult result = document.Write(inDir(target));
    QCOMPARE(result.Ok, ok);
    QCOMPARE(result.Path, inDir(target));
    QCOMPARE(village.FileName, inDir(fileNameAfter));
    QCOMPARE(village.LastWriteFailed, !ok);
    QCOMPARE(QFileInfo::exists(inDir(target)), ok);
    // Changed and not stored: unsaved.
    QCOMPARE(village.IsUnsaved(), !ok);
}

QTEST_GUILESS_MAIN(TestVillageDocument)
#include "tst_villagedocument.moc"
