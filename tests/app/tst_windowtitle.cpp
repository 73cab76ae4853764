// The main window's title text: village name, file name and caption, with the
// placeholder for the changed marker where Qt expects it.
#include "app/WindowTitle.h"

#include <QTest>

class TestWindowTitle : public QObject
{
    Q_OBJECT

private slots:
    void title_data();
    void title();
};

void TestWindowTitle::title_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("title");

    QTest::newRow("name and file")
        << QStringLiteral("Северная") << QStringLiteral("/home/игрок/Северная.vlgdat")
        << QStringLiteral("Северная — Северная.vlgdat[*] — Менеджер для игры Ливарон");
    QTest::newRow("name only, never saved")
        << QStringLiteral("Северная") << QString() << QStringLiteral("Северная[*] — Менеджер для игры Ливарон");
    QTest::newRow("file only, nameless village")
        << QString() << QStringLiteral("/tmp/x.vlgdat") << QStringLiteral("x.vlgdat[*] — Менеджер для игры Ливарон");
    QTest::newRow("neither") << QString() << QString() << QStringLiteral("Менеджер для игры Ливарон[*]");
    QTest::newRow("relative file name") << QStringLiteral("A") << QStringLiteral("B.vlgdat")
                                        << QStringLiteral("A — B.vlgdat[*] — Менеджер для игры Ливарон");
    QTest::newRow("placeholder in the name shown as text")
        << QStringLiteral("[*]Юг") << QString() << QStringLiteral("[*][*]Юг[*] — Менеджер для игры Ливарон");
    QTest::newRow("placeholder in the file name shown as text")
        << QStringLiteral("Юг") << QStringLiteral("/v/Юг[*].vlgdat")
        << QStringLiteral("Юг — Юг[*][*].vlgdat[*] — Менеджер для игры Ливарон");
    QTest::newRow("folder path without a file") << QStringLiteral("Юг") << QStringLiteral("/v/")
                                                << QStringLiteral("Юг[*] — Менеджер для игры Ливарон");
}

void TestWindowTitle::title()
{
    QFETCH(QString, name);
    QFETCH(QString, fileName);
    QFETCH(QString, title);
    QCOMPARE(WindowTitle(name, fileName), title);
}

QTEST_GUILESS_MAIN(TestWindowTitle)
#include "tst_windowtitle.moc"
