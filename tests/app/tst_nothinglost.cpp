// Nothing lost, through the built program itself: another program's later
// save of an open village file is never written over (an untouched village
// writes nothing when told to end; one with edits asks first), a second copy
// of the program on a file the first one holds does not write it, and after
// kill -9 the next start offers the unsaved villages back. The programs run
// with runtime, configuration, data and home folders of their own and answer
// their questions through JOR_TEST_ANSWERS (UiSeams.h), which writes each
// question to standard error.
#include "TestSupport.h"

#include "app/VillageFileGuard.h"
#include "app/VillageRecovery.h"
#include "record/VillageData.h"
#include "record/VillageFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>

namespace {

// The program's state folders under root, and the answers it gives.
QProcessEnvironment Environment(const QString &root, const QString &answers)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"runtime", "config", "data", "home"})
        QDir(root).mkpath(QString::fromLatin1(name));
    QFile::setPermissions(QDir(root).filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), QDir(root).filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QDir(root).filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), QDir(root).filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("HOME"), QDir(root).filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
    environment.insert(QStringLiteral("JOR_TEST_ANSWERS"), answers);
    return environment;
}

// Where the program of that root keeps its recovery files.
QString RecoveryFolderOf(const QString &root)
{
    return QDir(root).filePath(QStringLiteral("data/jorlivaron/JorLivaronMng/recovery"));
}

QString WoodCapacity(const TdmListObj &catalog, const QString &path)
{
    TVillageData village;
    village.SetFileName(path);
    if (!ReadVillageFile(village, catalog).Ok)
        return QStringLiteral("<unreadable>");
    return village.Capacity[KindIndex(TResourceKind::Wood)];
}

bool WriteNorthern(const QString &path, const QString &capacity)
{
    TVillageData village;
    village.SetName(QStringLiteral("Северная"));
    village.SetRace(1);
    village.SetCapacity(TResourceKind::Wood, capacity);
    return WriteVillageFile(village, path).Ok;
}

// The village a crashed program of that root left: "Северная" on path with
// capacity 850, as the player had typed it.
bool LeaveUnsavedVillage(const QString &root, const QString &path)
{
    TVillageData village;
    village.SetName(QStringLiteral("Северная"));
    village.SetRace(1);
    village.SetFileName(path);
    village.SetCapacity(TResourceKind::Wood, QStringLiteral("850"));
    return TRecoveryStore(RecoveryFolderOf(root)).Write(QStringLiteral("1-1"), village).Ok;
}

// Waits up to 30 seconds (a sanitized build starts slowly) for ready.
bool WaitFor(const std::function<bool()> &ready)
{
    for (int i = 0; i < 1200 && !ready(); ++i)
        QTest::qWait(25);
    return ready();
}

// The recovery files of that root other than those a test left ("1-1").
QStringList OwnRecoveryFiles(const QString &root)
{
    QStringList files = QDir(RecoveryFolderOf(root)).entryList({QStringLiteral("*.vlgdat")}, QDir::Files);
    files.removeAll(QStringLiteral("1-1.vlgdat"));
    return files;
}

// Starts the program and waits until it holds the lock of `held` (when
// given): then it has opened its files, and it takes the system's request
// to end.
bool Start(QProcess &program, const QProcessEnvironment &environment, const QStringList &files, const QString &held)
{
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(JOR_PROGRAM), files);
    if (!program.waitForStarted())
        return false;
    if (held.isEmpty())
        return true;
    if (!WaitFor([&held] { return QFileInfo::exists(TVillageFileGuard::LockPath(held)); }))
        return false;
    // The rest of the start-up after the files.
    QTest::qWait(300);
    return true;
}

// Asks the program to end as Ctrl+C in its terminal does, which ends it as
// Файл → Выход; its standard error.
QString End(QProcess &program)
{
    ::kill(pid_t(program.processId()), SIGINT);
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished();
    }
    return QString::fromUtf8(program.readAllStandardError());
}

} // namespace

class TestNothingLost : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void laterSaveOfAnotherProgramSurvives_data();
    void laterSaveOfAnotherProgramSurvives();
    void secondProgramOnAHeldFileWritesNothing();
    void killedProgramsVillagesOffered_data();
    void killedProgramsVillagesOffered();

private:
    TdmListObj m_Catalog;
};

void TestNothingLost::initTestCase()
{
    TRecordedMessages messages;
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_TEST_DATA_DIR "/overview_catalog.xml")));
}

void TestNothingLost::laterSaveOfAnotherProgramSurvives_data()
{
    QTest::addColumn<bool>("edited");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<QString>("capacity"); // the file's at the end
    QTest::addColumn<bool>("asked");

    QTest::newRow("untouched village writes nothing") << false << QString() << QStringLiteral("999") << false;
    QTest::newRow("edited village, answer Загрузить")
        << true << QStringLiteral("Восстановить|Загрузить") << QStringLiteral("999") << true;
    QTest::newRow("edited village, answer Оставить мои")
        << true << QStringLiteral("Восстановить|Оставить мои") << QStringLiteral("850") << true;
}

void TestNothingLost::laterSaveOfAnotherProgramSurvives()
{
    QFETCH(bool, edited);
    QFETCH(QString, answers);
    QFETCH(QString, capacity);
    QFETCH(bool, asked);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Северная.vlgdat"));
    QVERIFY(WriteNorthern(path, QStringLiteral("800")));
    const QString root = dir.filePath(QStringLiteral("first"));
    QDir().mkpath(root);
    if (edited)
        QVERIFY(LeaveUnsavedVillage(root, path));

    QProcess program;
    QVERIFY(Start(program, Environment(root, answers), edited ? QStringList() : QStringList{path}, path));
    // Another program saves the village later.
    QVERIFY(WriteNorthern(path, QStringLiteral("999")));
    QTest::qWait(300);
    const QString errors = End(program);
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    QCOMPARE(WoodCapacity(m_Catalog, path), capacity);
    QCOMPARE(errors.contains(QStringLiteral("question: Файл «Северная.vlgdat» изменён другой программой.")), asked);
    QVERIFY(!QFileInfo::exists(TVillageFileGuard::LockPath(path)));
    // A normal end leaves nothing to recover.
    QCOMPARE(QDir(RecoveryFolderOf(root)).entryList(QDir::Files), QStringList());
}

void TestNothingLost::secondProgramOnAHeldFileWritesNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Северная.vlgdat"));
    QVERIFY(WriteNorthern(path, QStringLiteral("800")));
    const QString firstRoot = dir.filePath(QStringLiteral("first"));
    const QString secondRoot = dir.filePath(QStringLiteral("second"));
    QDir().mkpath(firstRoot);
    QDir().mkpath(secondRoot);
    // The second program (another user, another machine) has the village
    // with the player's edits.
    QVERIFY(LeaveUnsavedVillage(secondRoot, path));

    QProcess first;
    QVERIFY(Start(first, Environment(firstRoot, QString()), {path}, path));
    QProcess second;
    QVERIFY(Start(second, Environment(secondRoot, QStringLiteral("Восстановить|Да")), {}, QString()));
    // The village is back: kept under the second program's own key.
    QVERIFY(WaitFor([&secondRoot] { return !OwnRecoveryFiles(secondRoot).isEmpty(); }));
    const QByteArray before = [&path] {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    // Told to end, the second program asks for another file (cancelled)
    // and then whether to end without saving ("Да").
    const QString errors = End(second);
    QVERIFY2(errors.contains(QStringLiteral("save: Сохранить как")), qPrintable(errors));
    QVERIFY2(errors.contains(QStringLiteral("question: Не сохранены деревни: «Северная».")), qPrintable(errors));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(WoodCapacity(m_Catalog, path), QStringLiteral("800"));
    // The first program still holds the file.
    QVERIFY(QFileInfo::exists(TVillageFileGuard::LockPath(path)));
    End(first);
    QCOMPARE(WoodCapacity(m_Catalog, path), QStringLiteral("800"));
}

void TestNothingLost::killedProgramsVillagesOffered_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("kill -9") << int(SIGKILL);
    // The system's request to end waits for nobody.
    QTest::newRow("logout (SIGTERM)") << int(SIGTERM);
    QTest::newRow("terminal gone (SIGHUP)") << int(SIGHUP);
}

void TestNothingLost::killedProgramsVillagesOffered()
{
    QFETCH(int, signal);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Северная.vlgdat"));
    QVERIFY(WriteNorthern(path, QStringLiteral("800")));
    const QString root = dir.filePath(QStringLiteral("user"));
    QDir().mkpath(root);
    QVERIFY(LeaveUnsavedVillage(root, path));

    // The village comes back unsaved in the first program, which is killed.
    QProcess killed;
    QVERIFY(Start(killed, Environment(root, QStringLiteral("Восстановить")), {}, path));
    QVERIFY(WaitFor([&root] {
        return !OwnRecoveryFiles(root).isEmpty()
            && !QFileInfo::exists(QDir(RecoveryFolderOf(root)).filePath(QStringLiteral("1-1.vlgdat")));
    }));
    ::kill(pid_t(killed.processId()), signal);
    QVERIFY(killed.waitForFinished(5000));
    const QString firstErrors = QString::fromUtf8(killed.readAllStandardError());
    if (signal != SIGKILL) {
        QCOMPARE(killed.exitStatus(), QProcess::NormalExit);
        // Nothing asked after the recovery offer, nothing saved.
        QCOMPARE(firstErrors.count(QStringLiteral("question: ")), 1);
        QVERIFY2(!firstErrors.contains(QStringLiteral("save: ")), qPrintable(firstErrors));
        QCOMPARE(WoodCapacity(m_Catalog, path), QStringLiteral("800"));
    }
    const QString question = QStringLiteral(
        "question: Программа была закрыта аварийно. Восстановить несохранённые деревни: «Северная» (%1)?")
                                 .arg(path);
    QVERIFY2(firstErrors.contains(question), qPrintable(firstErrors));
    // What it kept is its own now: the file of the run before is gone.
    const QStringList kept = QDir(RecoveryFolderOf(root)).entryList({QStringLiteral("*.vlgdat")}, QDir::Files);
    QCOMPARE(kept.size(), 1);
    QVERIFY(kept.constFirst() != QStringLiteral("1-1.vlgdat"));
    // A killed program's lock stayed behind.
    QCOMPARE(QFileInfo::exists(TVillageFileGuard::LockPath(path)), signal == SIGKILL);

    // The next start offers the village again and takes over the lock.
    QProcess next;
    QVERIFY(Start(next, Environment(root, QStringLiteral("Удалить")), {path}, QString()));
    // Answered: the village's files are gone.
    QVERIFY(WaitFor([&root] { return QDir(RecoveryFolderOf(root)).entryList(QDir::Files).isEmpty(); }));
    const QString errors = End(next);
    QVERIFY2(errors.contains(question), qPrintable(errors));
    QCOMPARE(QDir(RecoveryFolderOf(root)).entryList(QDir::Files), QStringList());
    QCOMPARE(WoodCapacity(m_Catalog, path), QStringLiteral("800"));
    QVERIFY(!QFileInfo::exists(TVillageFileGuard::LockPath(path)));
}

QTEST_GUILESS_MAIN(TestNothingLost)
#include "tst_nothinglost.moc"
