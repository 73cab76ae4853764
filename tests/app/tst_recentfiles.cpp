// The recent files list: newest first, each file once, at most ten, kept in
// the settings and cleaned when read back from a hand-edited file.
#include "app/RecentFiles.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestRecentFiles : public QObject
{
    Q_OBJECT

private slots:
    void add_data();
    void add();
    void remove_data();
    void remove();
    void loadCleansAHandEditedList_data();
    void loadCleansAHandEditedList();
};

namespace {

QStringList Numbered(int from, int to)
{
    QStringList files;
    for (int i = from; i <= to; ++i)
        files.append(QStringLiteral("/v/%1.vlgdat").arg(i));
    return files;
}

} // namespace

void TestRecentFiles::add_data()
{
    QTest::addColumn<QStringList>("added"); // in the order of use
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("none") << QStringList() << QStringList();
    QTest::newRow("newest first") << QStringList{"/a", "/b", "/c"} << QStringList{"/c", "/b", "/a"};
    QTest::newRow("used again moves to the front") << QStringList{"/a", "/b", "/c", "/a"}
                                                   << QStringList{"/a", "/c", "/b"};
    QTest::newRow("same file twice in a row") << QStringList{"/a", "/a"} << QStringList{"/a"};
    QTest::newRow("letter case makes another file") << QStringList{"/a", "/A"} << QStringList{"/A", "/a"};
    QTest::newRow("empty name ignored") << QStringList{"/a", QString()} << QStringList{"/a"};

    QStringList eleven = Numbered(1, 11);
    QStringList newestTen = Numbered(2, 11);
    std::reverse(newestTen.begin(), newestTen.end());
    QTest::newRow("eleventh pushes out the oldest") << eleven << newestTen;

    QStringList tenThenFirstAgain = Numbered(1, 10) << QStringLiteral("/v/1.vlgdat");
    QStringList firstThenRest = Numbered(2, 10);
    std::reverse(firstThenRest.begin(), firstThenRest.end());
    firstThenRest.prepend(QStringLiteral("/v/1.vlgdat"));
    QTest::newRow("oldest used again at the limit stays, nothing falls off") << tenThenFirstAgain << firstThenRest;
}

void TestRecentFiles::add()
{
    QFETCH(QStringList, added);
    QFETCH(QStringList, expected);
    TRecentFiles recent;
    for (const QString &file : added)
        recent.Add(file);
    QCOMPARE(recent.Files(), expected);
    QVERIFY(recent.Files().size() <= TRecentFiles::MaxCount);
}

void TestRecentFiles::remove_data()
{
    QTest::addColumn<QString>("removed");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("middle") << QStringLiteral("/b") << true << QStringList{"/c", "/a"};
    QTest::newRow("not listed") << QStringLiteral("/d") << false << QStringList{"/c", "/b", "/a"};
    QTest::newRow("other letter case is not the file") << QStringLiteral("/B") << false
                                                       << QStringList{"/c", "/b", "/a"};
}

void TestRecentFiles::remove()
{
    QFETCH(QString, removed);
    QFETCH(bool, found);
    QFETCH(QStringList, expected);
    TRecentFiles recent;
    for (const char *file : {"/a", "/b", "/c"})
        recent.Add(QString::fromLatin1(file));
    QCOMPARE(recent.Remove(removed), found);
    QCOMPARE(recent.Files(), expected);
}

void TestRecentFiles::loadCleansAHandEditedList_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("nothing stored") << QVariant() << QStringList();
    QTest::newRow("one text") << QVariant(QStringLiteral("/a")) << QStringList{"/a"};
    QTest::newRow("repeats and empty names dropped")
        << QVariant(QStringList{"/a", QString(), "/b", "/a"}) << QStringList{"/a", "/b"};
    QTest::newRow("more than ten cut to the newest ten") << QVariant(Numbered(1, 14)) << Numbered(1, 10);
}

void TestRecentFiles::loadCleansAHandEditedList()
{
    QFETCH(QVariant, stored);
    QFETCH(QStringList, expected);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QSettings settings(dir.filePath(QStringLiteral("settings.conf")), QSettings::IniFormat);
    if (stored.isValid())
        settings.setValue(TRecentFiles::SettingsKey, stored);
    TRecentFiles recent;
    recent.Add(QStringLiteral("/left over"));
    recent.Load(settings);
    QCOMPARE(recent.Files(), expected);
}

QTEST_GUILESS_MAIN(TestRecentFiles)
#include "tst_recentfiles.moc"
