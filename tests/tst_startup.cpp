// The start-up sequence: the catalog beside the executable decides whether
// the main window runs, and the exit status.

#include "TestSupport.h"

#include "catalog/StartUp.h"

#include <QCoreApplication>
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
