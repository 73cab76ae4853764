// Whether the settings file can be used, and the one message when it
// cannot.
#include "TestSupport.h"

#include "base/SettingsAccess.h"
#include "base/SettingsSeam.h"

#include <sys/stat.h>
#include <unistd.h>

class TestSettingsAccess : public QObject
{
    Q_OBJECT

private slots:
    void settingsProblem_data();
    void settingsProblem();
    void reportedOnce();
};

void TestSettingsAccess::settingsProblem_data()
{
    QTest::addColumn<QString>("setup");   // what the folder holds
    QTest::addColumn<QString>("problem"); // with %1 for the settings path

    QTest::newRow("usable file") << QStringLiteral("file") << QString();
    QTest::newRow("no file yet") << QStringLiteral("nothing") << QString();
    QTest::newRow("folder in place of the file") << QStringLiteral("folder") << QStringLiteral("на месте файла «%1» папка");
    QTest::newRow("its folder cannot be made") << QStringLiteral("file in place of the folder")
                                              << QStringLiteral("в «%1» нельзя записать");
    // Refused without opening it: a pipe would hold the start for ever.
    QTest::newRow("pipe in place of the file") << QStringLiteral("pipe") << QStringLiteral("«%1» — не обычный файл");
    QTest::newRow("file without read access")
        << QStringLiteral("unreadable") << QStringLiteral("файл «%1» не читается (Permission denied)");
}

void TestSettingsAccess::settingsProblem()
{
    QFETCH(QString, setup);
    QFETCH(QString, problem);

    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("jorlivaron/JorLivaronMng.conf"));
    if (setup == QLatin1String("file") || setup == QLatin1String("unreadable")) {
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("jorlivaron"))));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[General]\nRecentFiles=/a.vlgdat\n");
        file.close();
        if (setup == QLatin1String("unreadable")) {
            if (::geteuid() == 0)
                QSKIP("The superuser reads every file.");
            QVERIFY(file.setPermissions(QFileDevice::WriteOwner));
        }
    } else if (setup == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(path));
    } else if (setup == QLatin1String("pipe")) {
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("jorlivaron"))));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        // The settings stay off rather than wait on it.
        const QString previous = SetSettingsFile(path);
        QCOMPARE(OpenSettings(), nullptr);
        SetSettingsFile(previous);
    } else if (setup == QLatin1String("file in place of the folder")) {
        QFile file(dir.filePath(QStringLiteral("jorlivaron")));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

    QCOMPARE(SettingsProblem(path), problem.isEmpty() ? QString() : problem.arg(path));
}

void TestSettingsAccess::reportedOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("JorLivaronMng.conf"));
    QVERIFY(QDir().mkpath(path));
    TRecordedMessages messages;
    const QString previous = SetSettingsFile(path);
    ResetSettingsProblemReport();

    QVERIFY(ReportSettingsProblemOnce());
    QVERIFY(!ReportSettingsProblemOnce());
    QCOMPARE(messages.Texts(),
             QStringList{QStringLiteral("Настройки недоступны: на месте файла «%1» папка; "
                                        "сессия и настройки не сохранятся.")
                             .arg(path)});
    QCOMPARE(messages.Messages.constFirst().first, TMessageKind::Warning);
    SetSettingsFile(previous);
    ResetSettingsProblemReport();
}

QTEST_GUILESS_MAIN(TestSettingsAccess)
#include "tst_settingsaccess.moc"
