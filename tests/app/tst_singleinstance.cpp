// One running program per user: the first start listens, a stale socket or
// the lock of a program that died is taken over, a later start hands its
// files to the running program and ends with 0; --help, --version and a
// wrong option are answered without a display. The process-level tests start the built program with
// runtime, configuration and home folders of their own, so that they never
// meet a copy the user runs.
#include "app/SingleInstance.h"
#include "app/RecentFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <unistd.h>

Q_DECLARE_METATYPE(TInstanceRole)

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void firstStartListens_data();
    void firstStartListens();
    void messagesOfLaterStarts_data();
    void messagesOfLaterStarts();
    void missingFilesNamedTogether_data();
    void missingFilesNamedTogether();
    void idleConnectionsAreClosed_data();
    void idleConnectionsAreClosed();
    void onlyAPrivateFolderHoldsTheSocket_data();
    void onlyAPrivateFolderHoldsTheSocket();
    void secondStartForwardsItsFileAndEnds_data();
    void secondStartForwardsItsFileAndEnds();
    void helpAndVersionNeedNoDisplay_data();
    void helpAndVersionNeedNoDisplay();

private:
    // An environment whose runtime, configuration and home folders lie in
    // dir.
    static QProcessEnvironment Environment(const QTemporaryDir &dir);
};

QProcessEnvironment TestSingleInstance::Environment(const QTemporaryDir &dir)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"runtime", "config", "home"})
        QDir(dir.path()).mkpath(QString::fromLatin1(name));
    QFile::setPermissions(dir.filePath(QStringLiteral("runtime")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // No session bus: nothing of the desktop reaches the test's programs.
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));
    return environment;
}

void TestSingleInstance::firstStartListens_data()
{
    QTest::addColumn<QString>("leftOver"); // "", "socket", "dead lock"

    QTest::newRow("nothing left over") << QString();
    QTest::newRow("stale socket of a crashed program") << QStringLiteral("socket");
    QTest::newRow("lock of a program that died") << QStringLiteral("dead lock");
}

void TestSingleInstance::firstStartListens()
{
    QFETCH(QString, leftOver);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path();
    if (leftOver == QLatin1String("socket") || leftOver == QLatin1String("dead lock")) {
        // What a program killed while it listened leaves behind.
        QFile socket(TSingleInstance::SocketPath(folder));
        QVERIFY(socket.open(QIODevice::WriteOnly));
    }
    if (leftOver == QLatin1String("dead lock")) {
        QProcess finished;
        finished.start(QStringLiteral("true"));
        QVERIFY(finished.waitForFinished());
        const qint64 deadPid = finished.processId() > 0 ? finished.processId() : 999999;
        QFile lock(TSingleInstance::LockPath(folder));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(deadPid) + "\n" + QCoreApplication::applicationName().toUtf8() + "\n"
                   + QSysInfo::machineHostName().toUtf8() + "\n");
    }

    TSingleInstance instance(folder);
    QCOMPARE(instance.Start({}, 2000), TInstanceRole::Primary);
    QVERIFY2(instance.Error().isEmpty(), qPrintable(instance.Error()));

    // A later start of this user finds the lock taken, and cannot listen.
    QLockFile other(TSingleInstance::LockPath(folder));
    QVERIFY(!other.tryLock(0));
    QLocalServer second;
    QVERIFY(!second.listen(TSingleInstance::SocketPath(folder)));
}

void TestSingleInstance::messagesOfLaterStarts_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<bool>("taken");
    QTest::addColumn<QStringList>("files");

    const auto withLength = [](const QByteArray &payload, quint32 length) {
        QByteArray message(4, '\0');
        qToBigEndian(length, message.data());
        return message + payload;
    };
    const QByteArray two = QStringLiteral("/home/игрок/Северная.vlgdat").toUtf8() + '\0' + "/tmp/b.vlgdat";
    QTest::newRow("two files") << withLength(two, quint32(two.size())) << true
                               << QStringList{QStringLiteral("/home/игрок/Северная.vlgdat"), QStringLiteral("/tmp/b.vlgdat")};
    QTest::newRow("no files: show yourself") << withLength({}, 0) << true << QStringList();
    // A flood of NULs is no flood of empty names: nothing but "show yourself".
    QTest::newRow("a mebibyte of NULs: no empty names")
        << withLength(QByteArray(TSingleInstance::MaxMessageSize, '\0'), quint32(TSingleInstance::MaxMessageSize))
        << true << QStringList();
    QByteArray many;
    QStringList taken;
    for (int i = 0; i < TSingleInstance::MaxFilesPerMessage + 100; ++i) {
        const QString name = QStringLiteral("/tmp/%1.vlgdat").arg(i);
        many += (i > 0 ? QByteArray(1, '\0') : QByteArray()) + name.toUtf8();
        if (i < TSingleInstance::MaxFilesPerMessage)
            taken.append(name);
    }
    QTest::newRow("more names than are taken") << withLength(many, quint32(many.size())) << true << taken;
    QTest::newRow("longer than any command line: dropped unread")
        << withLength("x", quint32(TSingleInstance::MaxMessageSize + 1)) << false << QStringList();
}

void TestSingleInstance::messagesOfLaterStarts()
{
    QFETCH(QByteArray, message);
    QFETCH(bool, taken);
    QFETCH(QStringList, files);

    QTemporaryDir dir;
    TSingleInstance instance(dir.path());
    QCOMPARE(instance.Start({}, 2000), TInstanceRole::Primary);
    QSignalSpy received(&instance, &TSingleInstance::FilesReceived);

    QLocalSocket socket;
    socket.connectToServer(TSingleInstance::SocketPath(dir.path()));
    QVERIFY(socket.waitForConnected(2000));
    socket.write(message);
    if (taken) {
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.constFirst().constFirst().toStringList(), files);
        QTRY_COMPARE(socket.bytesAvailable(), qint64(1));
        QCOMPARE(socket.read(1), QByteArray("1"));
    } else {
        QTRY_COMPARE(socket.state(), QLocalSocket::UnconnectedState);
        QCOMPARE(received.count(), 0);
    }
}

void TestSingleInstance::missingFilesNamedTogether_data()
{
    QTest::addColumn<int>("present");
    QTest::addColumn<int>("missing");
    QTest::addColumn<QString>("lastLine");

    QTest::newRow("all there") << 2 << 0 << QString();
    QTest::newRow("one of three missing") << 2 << 1 << QStringLiteral("/нет/0.vlgdat");
    QTest::newRow("a few named, the rest counted") << 0 << 1000 << QStringLiteral("и ещё 990");
}

void TestSingleInstance::missingFilesNamedTogether()
{
    QFETCH(int, present);
    QFETCH(int, missing);
    QFETCH(QString, lastLine);

    QTemporaryDir dir;
    QStringList files;
    QStringList gone;
    for (int i = 0; i < missing; ++i)
        gone.append(QStringLiteral("/нет/%1.vlgdat").arg(i));
    for (int i = 0; i < present; ++i) {
        const QString file = dir.filePath(QStringLiteral("%1.vlgdat").arg(i));
        QFile made(file);
        QVERIFY(made.open(QIODevice::WriteOnly));
        files.append(file);
    }
    files += gone;
    QCOMPARE(TSingleInstance::MissingFiles(files), gone);
    if (missing == 0)
        return;
    const QStringList lines = TSingleInstance::MissingFilesMessage(gone).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.constFirst(), QStringLiteral("Файлы не найдены:"));
    QCOMPARE(lines.size(), 1 + std::min(missing, TSingleInstance::MaxNamedMissing) + (missing > TSingleInstance::MaxNamedMissing ? 1 : 0));
    QCOMPARE(lines.constLast(), lastLine);
}

void TestSingleInstance::idleConnectionsAreClosed_data()
{
    QTest::addColumn<QByteArray>("sent");

    QTest::newRow("nothing sent") << QByteArray();
    QTest::newRow("half a length") << QByteArray(2, '\0');
    QTest::newRow("a length and part of its message") << QByteArray("\0\0\0\x10/tmp", 8);
}

void TestSingleInstance::idleConnectionsAreClosed()
{
    QFETCH(QByteArray, sent);

    QTemporaryDir dir;
    TSingleInstance instance(dir.path());
    QCOMPARE(instance.Start({}, 2000), TInstanceRole::Primary);
    QSignalSpy received(&instance, &TSingleInstance::FilesReceived);
    QLocalSocket idle;
    idle.connectToServer(TSingleInstance::SocketPath(dir.path()));
    QVERIFY(idle.waitForConnected(2000));
    idle.write(sent);
    idle.flush();
    QTRY_COMPARE_WITH_TIMEOUT(idle.state(), QLocalSocket::UnconnectedState, TSingleInstance::ConnectionTimeoutMs + 3000);
    QCOMPARE(received.count(), 0);
    // The program still listens.
    QLocalSocket later;
    later.connectToServer(TSingleInstance::SocketPath(dir.path()));
    QVERIFY(later.waitForConnected(2000));
    later.write(QByteArray(4, '\0'));
    QTRY_COMPARE(received.count(), 1);
}

void TestSingleInstance::onlyAPrivateFolderHoldsTheSocket_data()
{
    QTest::addColumn<QString>("folder"); // "private", "open", "foreign", "link", "none"
    QTest::addColumn<TInstanceRole>("role");

    QTest::newRow("a folder of the user's, mode 0700") << QStringLiteral("private") << TInstanceRole::Primary;
    QTest::newRow("a folder others may enter") << QStringLiteral("open") << TInstanceRole::Alone;
    QTest::newRow("another user's folder") << QStringLiteral("foreign") << TInstanceRole::Alone;
    QTest::newRow("a link to a private folder") << QStringLiteral("link") << TInstanceRole::Alone;
    QTest::newRow("no runtime folder at all") << QStringLiteral("none") << TInstanceRole::Alone;
}

void TestSingleInstance::onlyAPrivateFolderHoldsTheSocket()
{
    QFETCH(QString, folder);
    QFETCH(TInstanceRole, role);

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("runtime"));
    QVERIFY(QDir().mkpath(path));
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    if (folder == QLatin1String("open")) {
        QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                | QFileDevice::ReadOther | QFileDevice::WriteOther
                                                | QFileDevice::ExeOther));
    } else if (folder == QLatin1String("foreign")) {
        if (::geteuid() != 0)
            QSKIP("Only the superuser gives a folder to another user.");
        QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    } else if (folder == QLatin1String("link")) {
        const QString link = dir.filePath(QStringLiteral("link"));
        QVERIFY(QFile::link(path, link));
        path = link;
    } else if (folder == QLatin1String("none")) {
        path.clear();
    }

    TSingleInstance instance(path);
    QCOMPARE(instance.Start({}, 2000), role);
    if (role == TInstanceRole::Alone) {
        QVERIFY2(instance.Error().startsWith(QStringLiteral("Программа работает без передачи файлов")),
                 qPrintable(instance.Error()));
        // Nothing of the program's lands there.
        QVERIFY(!QFileInfo::exists(TSingleInstance::SocketPath(dir.filePath(QStringLiteral("runtime")))));
        QVERIFY(!QFileInfo::exists(TSingleInstance::LockPath(dir.filePath(QStringLiteral("runtime")))));
    }
}

void TestSingleInstance::secondStartForwardsItsFileAndEnds_data()
{
    QTest::addColumn<bool>("withFile");

    QTest::newRow("a village file") << true;
    QTest::newRow("no file: show yourself") << false;
}

void TestSingleInstance::secondStartForwardsItsFileAndEnds()
{
    QFETCH(bool, withFile);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QProcessEnvironment environment = Environment(dir);
    const QString village = dir.filePath(QStringLiteral("Северная.vlgdat"));
    {
        QFile file(village);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<JorVillageData>"
                   "<Village Name=\"Северная\" Race=\"Галлы\" MainLevel=\"3\"/></JorVillageData>");
    }

    QProcess first;
    first.setProcessEnvironment(environment);
    first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    first.start(QStringLiteral(JOR_PROGRAM), {});
    QVERIFY(first.waitForStarted());
    const QString socket = TSingleInstance::SocketPath(dir.filePath(QStringLiteral("runtime")));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket), 20000);

    QProcess second;
    second.setProcessEnvironment(environment);
    second.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    second.start(QStringLiteral(JOR_PROGRAM), withFile ? QStringList{village} : QStringList());
    QVERIFY(second.waitForFinished(20000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);

    if (withFile) {
        // The running program opened the file as Open does: it went to the
        // top of its recent files.
        const QString settingsFile = dir.filePath(QStringLiteral("config/jorlivaron/JorLivaronMng.conf"));
        QTRY_COMPARE_WITH_TIMEOUT(
            QSettings(settingsFile, QSettings::IniFormat).value(TRecentFiles::SettingsKey).toStringList(),
            QStringList{village}, 20000);
    }

    first.kill();
    QVERIFY(first.waitForFinished());
}

void TestSingleInstance::helpAndVersionNeedNoDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outputStart"); // of standard output, or of standard error for a code of 1

    QTest::newRow("--version") << QStringList{QStringLiteral("--version")} << 0 << QStringLiteral("JorLivaronMng ");
    QTest::newRow("--help") << QStringList{QStringLiteral("--help")} << 0
                            << QStringLiteral("Usage: %1 [options] [FILE...]\n").arg(QStringLiteral(JOR_PROGRAM));
    QTest::newRow("an unknown option") << QStringList{QStringLiteral("--bogus"), QStringLiteral("a.vlgdat")} << 1
                                       << QStringLiteral("Неизвестный параметр «--bogus».\n");
    QTest::newRow("an unknown option after the toolkit's own")
        << QStringList{QStringLiteral("-style"), QStringLiteral("fusion"), QStringLiteral("-q")} << 1
        << QStringLiteral("Неизвестный параметр «-q».\n");
}

void TestSingleInstance::helpAndVersionNeedNoDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, outputStart);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QProcessEnvironment environment = Environment(dir);
    // The X11 platform with no display to reach.
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));

    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(JOR_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), exitCode);
    const QString output = QString::fromLocal8Bit(exitCode == 0 ? program.readAllStandardOutput()
                                                                : program.readAllStandardError());
    QVERIFY2(output.startsWith(outputStart), qPrintable(output));
    // It never looked for a running program.
    QVERIFY(!QFileInfo::exists(TSingleInstance::LockPath(dir.filePath(QStringLiteral("runtime")))));
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
