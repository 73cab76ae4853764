// The start-up sequence: the catalog beside the executable decides whether
// the main window runs, and the exit status; the command line names files or
// ends the program at once.

#include "TestSupport.h"

#include "Version.h"
#include "app/StartUp.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTest>
#include <QTranslator>

class TestStartUp : public QObject
{
    Q_OBJECT

private slots:
    void startUp_data();
    void startUp();
    void commandLine_data();
    void commandLine();
    void toolkitOptionsLeftOut_data();
    void toolkitOptionsLeftOut();
    void qtSpeaksRussian();
};

void TestStartUp::startUp_data()
{
    QTest::addColumn<QByteArray>("catalog"); // null: no catalog file at all
    QTest::addColumn<bool>("windowRuns");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("messages");

    const QString closing = QStringLiteral("\r\nПрограмма будет закрыта!");
    QTest::newRow("no catalog") << QByteArray() << false << 1
                                << QStringList{QStringLiteral("Не найден файл со списком объектов.") + closing};
    QTest::newRow("empty catalog") << QByteArray("") << false << 1
                                   << QStringList{QStringLiteral("Файл со списком объектов пустой.") + closing};
    QTest::newRow("not well-formed") << QByteArray("<JorLivaronObjectList>") << false << 1 << QStringList();
    QTest::newRow("value of letters") << CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\" WOOD=\"abc\"/></Object>")
                                      << false << 1 << QStringList();
    QTest::newRow("good catalog") << CatalogXml("<Object Name=\"Farm\"><Level ID=\"1\"/></Object>") << true << 7
                                  << QStringList();
    QTest::newRow("catalog without entries") << CatalogXml("") << true << 7 << QStringList();
}

void TestStartUp::startUp()
{
    QFETCH(QByteArray, catalog);
    QFETCH(bool, windowRuns);
    QFETCH(int, status);
    QFETCH(QStringList, messages);

    QTemporaryDir dir;
    const QString exe = dir.filePath(QStringLiteral("JorLivaronMng"));
    if (!catalog.isNull()) {
        QFile file(exe + QStringLiteral(".xml"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(catalog);
    }

    TRecordedMessages recorded;
    bool ran = false;
    int entries = -1;
    const int result = RunStartUp(exe, [&] {
        ran = true;
        entries = dmListObj ? dmListObj->Count() : -1;
        return 7;
    });
    QCOMPARE(ran, windowRuns);
    QCOMPARE(result, status);
    QCOMPARE(recorded.Texts(), messages);
    if (windowRuns)
        QCOMPARE(entries, catalog.contains("Farm") ? 1 : 0);
    QCOMPARE(dmListObj, nullptr);
}

void TestStartUp::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("files"); // relative to the current folder
    QTest::addColumn<bool>("exitNow");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("output"); // contained in the output, or empty
    QTest::addColumn<QString>("error");  // contained in the error, or empty

    const QString absolute = QDir::rootPath() + QStringLiteral("villages/Северная.vlgdat");
    QTest::newRow("nothing") << QStringList() << QStringList() << false << 0 << QString() << QString();
    QTest::newRow("two files in order")
        << QStringList{QStringLiteral("b.vlgdat"), QStringLiteral("a.vlgdat")}
        << QStringList{QStringLiteral("b.vlgdat"), QStringLiteral("a.vlgdat")} << false << 0 << QString() << QString();
    QTest::newRow("absolute path kept") << QStringList{absolute} << QStringList{absolute} << false << 0 << QString()
                                        << QString();
    QTest::newRow("file named like an option after --")
        << QStringList{QStringLiteral("--"), QStringLiteral("--version")} << QStringList{QStringLiteral("--version")}
        << false << 0 << QString() << QString();
    QTest::newRow("empty argument skipped") << QStringList{QString()} << QStringList() << false << 0 << QString()
                                            << QString();
    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << QStringList() << true << 0
                          << QStringLiteral("FILE") << QString();
    QTest::newRow("short help") << QStringList{QStringLiteral("-h"), QStringLiteral("a.vlgdat")} << QStringList()
                                << true << 0 << QStringLiteral("--version") << QString();
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << QStringList() << true << 0
                             << QStringLiteral("JorLivaronMng " JOR_VERSION "\n") << QString();
    QTest::newRow("unknown long option") << QStringList{QStringLiteral("--bogus"), QStringLiteral("a.vlgdat")}
                                         << QStringList() << true << 1 << QString()
                                         << QStringLiteral("Неизвестный параметр «--bogus».");
    QTest::newRow("unknown short option") << QStringList{QStringLiteral("-q")} << QStringList() << true << 1
                                          << QString() << QStringLiteral("Неизвестный параметр «-q».");
}

void TestStartUp::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, files);
    QFETCH(bool, exitNow);
    QFETCH(int, status);
    QFETCH(QString, output);
    QFETCH(QString, error);

    const TCommandLine result = ReadCommandLine(QStringList{QStringLiteral("JorLivaronMng")} + arguments);
    QStringList expectedFiles;
    for (const QString &file : files)
        expectedFiles.append(QDir::current().absoluteFilePath(file));
    QCOMPARE(result.Files, expectedFiles);
    QCOMPARE(result.ExitNow, exitNow);
    QCOMPARE(result.ExitStatus, status);
    QCOMPARE(result.Output.isEmpty(), output.isEmpty());
    QVERIFY2(result.Output.contains(output), qPrintable(result.Output));
    QCOMPARE(result.Error.isEmpty(), error.isEmpty());
    QVERIFY2(result.Error.contains(error), qPrintable(result.Error));
}

void TestStartUp::toolkitOptionsLeftOut_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("kept");

    QTest::newRow("a value in the next argument") << QStringList{"-platform", "offscreen", "a.vlgdat"}
                                                  << QStringList{"a.vlgdat"};
    QTest::newRow("two dashes and an equals sign") << QStringList{"--style=fusion", "--reverse", "--bogus"}
                                                   << QStringList{"--bogus"};
    QTest::newRow("the program's options stay") << QStringList{"-h", "--version", "-q"}
                                                << QStringList{"-h", "--version", "-q"};
    QTest::newRow("nothing after --") << QStringList{"--", "-style", "x.vlgdat"}
                                      << QStringList{"--", "-style", "x.vlgdat"};
    QTest::newRow("a value missing at the end") << QStringList{"b.vlgdat", "-display"} << QStringList{"b.vlgdat"};
}

void TestStartUp::toolkitOptionsLeftOut()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, kept);

    const QString program = QStringLiteral("JorLivaronMng");
    QCOMPARE(WithoutToolkitOptions(QStringList{program} + arguments), QStringList{program} + kept);
}

void TestStartUp::qtSpeaksRussian()
{
    // Whatever the system's language: the locale here is an English one.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFileInfo::exists(folder + QStringLiteral("/qtbase_ru.qm")))
        QSKIP("Qt's Russian translation is not installed on this machine");

    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    QVERIFY(InstallQtTranslation());
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    QCOMPARE(QCoreApplication::translate("QFileSystemModel", "Date Modified"), QStringLiteral("Дата изменения"));
    // Once is enough: a second call installs nothing more.
    QVERIFY(InstallQtTranslation());
    QCOMPARE(QCoreApplication::instance()->findChildren<QTranslator *>().size(), 1);
    QLocale::setDefault(QLocale::c());
}

QTEST_GUILESS_MAIN(TestStartUp)
#include "tst_startup.moc"
