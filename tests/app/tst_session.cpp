// The session: which tabs' files are kept at exit and which tab is shown,
// the round trip through the settings, and the files that have gone by the
// next start.
#include "app/Session.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestSession : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fromTabs_data();
    void fromTabs();
    void saveAndLoad();
    void loadRejectsABadShownTab_data();
    void loadRejectsABadShownTab();
    void takeMissing_data();
    void takeMissing();

private:
    // Names "a".."e" stand for existing files in the temporary folder, "gone"
    // for one that does not exist, "fifo" for a pipe and "folder" for a
    // folder; "" stays empty.
    QStringList Paths(const QStringList &names) const;

    std::unique_ptr<QTemporaryDir> m_Dir;
};

void TestSession::init()
{
    m_Dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_Dir->isValid());
    for (const char *name : {"a", "b", "c", "d", "e"}) {
        QFile file(m_Dir->filePath(QString::fromLatin1(name)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(::mkfifo(QFile::encodeName(m_Dir->filePath(QStringLiteral("fifo"))).constData(), 0600) == 0);
    QVERIFY(QDir(m_Dir->path()).mkdir(QStringLiteral("folder")));
}

QStringList TestSession::Paths(const QStringList &names) const
{
    QStringList paths;
    for (const QString &name : names)
        paths.append(name.isEmpty() ? QString() : m_Dir->filePath(name));
    return paths;
}

void TestSession::fromTabs_data()
{
    QTest::addColumn<QStringList>("tabs");
    QTest::addColumn<int>("shownTab");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("current");

    QTest::newRow("all tabs with files") << QStringList{"a", "b", "c"} << 1 << QStringList{"a", "b", "c"} << 1;
    QTest::newRow("tab order kept, not name order") << QStringList{"c", "a", "b"} << 0 << QStringList{"c", "a", "b"}
                                                    << 0;
    QTest::newRow("one empty tab only") << QStringList{""} << 0 << QStringList() << -1;
    QTest::newRow("no tabs") << QStringList() << -1 << QStringList() << -1;
    QTest::newRow("tab without file skipped") << QStringList{"a", "", "b"} << 2 << QStringList{"a", "b"} << 1;
    QTest::newRow("shown tab without file: the one before is shown")
        << QStringList{"a", "b", "", "c"} << 2 << QStringList{"a", "b", "c"} << 1;
    QTest::newRow("shown first tab without file: the one after is shown")
        << QStringList{"", "", "a", "b"} << 0 << QStringList{"a", "b"} << 0;
    QTest::newRow("file gone since opening skipped") << QStringList{"a", "gone", "b"} << 1 << QStringList{"a", "b"}
                                                     << 0;
    QTest::newRow("same file in two tabs kept once") << QStringList{"a", "b", "a"} << 2 << QStringList{"a", "b"} << 1;
}

void TestSession::fromTabs()
{
    QFETCH(QStringList, tabs);
    QFETCH(int, shownTab);
    QFETCH(QStringList, files);
    QFETCH(int, current);

    const TSession session = TSession::FromTabs(Paths(tabs), shownTab);
    QCOMPARE(session.Files, Paths(files));
    QCOMPARE(session.Current, current);
}

void TestSession::saveAndLoad()
{
    const QString path = m_Dir->filePath(QStringLiteral("settings.conf"));
    TSession session;
    session.Files = QStringList{QStringLiteral("/home/игрок/Северная.vlgdat"), QStringLiteral("/v/a, b;c.vlgdat")};
    session.Current = 1;
    {
        QSettings settings(path, QSettings::IniFormat);
        session.Save(settings);
    }
    QSettings settings(path, QSettings::IniFormat);
    QCOMPARE(TSession::Load(settings), session);
}

void TestSession::loadRejectsABadShownTab_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("current");

    QTest::newRow("nothing stored") << QVariant() << -1;
    QTest::newRow("in range") << QVariant(1) << 1;
    QTest::newRow("past the files") << QVariant(2) << -1;
    QTest::newRow("negative") << QVariant(-5) << -1;
    QTest::newRow("not a number") << QVariant(QStringLiteral("zwei")) << -1;
    QTest::newRow("beyond 32 bits") << QVariant(QStringLiteral("4294967297")) << -1;
}

void TestSession::loadRejectsABadShownTab()
{
    QFETCH(QVariant, stored);
    QFETCH(int, current);
    QSettings settings(m_Dir->filePath(QStringLiteral("settings.conf")), QSettings::IniFormat);
    settings.setValue(QStringLiteral("Session/Files"), QStringList{QStringLiteral("/a"), QStringLiteral("/b")});
    if (stored.isValid())
        settings.setValue(QStringLiteral("Session/Current"), stored);
    const TSession session = TSession::Load(settings);
    QCOMPARE(session.Files.size(), 2);
    QCOMPARE(session.Current, current);
}

void TestSession::takeMissing_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<int>("storedCurrent");
    QTest::addColumn<QStringList>("missing");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("current");

    QTest::newRow("none missing") << QStringList{"a", "b"} << 1 << QStringList() << QStringList{"a", "b"} << 1;
    QTest::newRow("shown file kept, one before it gone")
        << QStringList{"gone", "a", "b"} << 2 << QStringList{"gone"} << QStringList{"a", "b"} << 1;
    QTest::newRow("shown file gone: the one before is shown")
        << QStringList{"a", "b", "gone", "c"} << 2 << QStringList{"gone"} << QStringList{"a", "b", "c"} << 1;
    QTest::newRow("all gone") << QStringList{"gone", "gone2"} << 0 << QStringList{"gone", "gone2"} << QStringList()
                              << -1;
    QTest::newRow("empty name dropped without a word") << QStringList{"", "a"} << 1 << QStringList()
                                                       << QStringList{"a"} << 0;
    QTest::newRow("a pipe and a folder are not gone: Open says why they are refused")
        << QStringList{"fifo", "gone", "folder", "a"} << 2 << QStringList{"gone"}
        << QStringList{"fifo", "folder", "a"} << 1;
    QTest::newRow("no shown tab stored: the first is shown") << QStringList{"a", "b"} << -1 << QStringList()
                                                             << QStringList{"a", "b"} << 0;
}

void TestSession::takeMissing()
{
    QFETCH(QStringList, stored);
    QFETCH(int, storedCurrent);
    QFETCH(QStringList, missing);
    QFETCH(QStringList, files);
    QFETCH(int, current);

    TSession session;
    session.Files = Paths(stored);
    session.Current = storedCurrent;
    QCOMPARE(session.TakeMissing(), Paths(missing));
    QCOMPARE(session.Files, Paths(files));
    QCOMPARE(session.Current, current);
}

QTEST_GUILESS_MAIN(TestSession)
#include "tst_session.moc"
