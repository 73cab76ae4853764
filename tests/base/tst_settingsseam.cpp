// The settings seam: off until a file is named, that file used once it is,
// and the folder the file dialogs start in.
#include "base/SettingsSeam.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestSettingsSeam : public QObject
{
    Q_OBJECT

private slots:
    void offUntilAFileIsNamed();
    void changesOfOnePassWrittenOnce();
    void writtenWhenTheFileChanges();
    void storeSettingWritesOnlyChanges_data();
    void storeSettingWritesOnlyChanges();
    void dialogStartFolder_data();
    void dialogStartFolder();
};

void TestSettingsSeam::offUntilAFileIsNamed()
{
    QVERIFY(!OpenSettings());
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("sub/settings.conf"));
    QCOMPARE(SetSettingsFile(path), QString());
    OpenSettings()->setValue(QStringLiteral("Key"), 7);
    // Written at the next pass of the event loop.
    QCoreApplication::sendPostedEvents();
    QVERIFY(QFile::exists(path));
    QCOMPARE(OpenSettings()->value(QStringLiteral("Key")).toInt(), 7);
    QCOMPARE(SetSettingsFile(QString()), path);
    QVERIFY(!OpenSettings());
    QVERIFY(UserSettingsFile().endsWith(QStringLiteral("/jorlivaron/JorLivaronMng.conf")));
}

void TestSettingsSeam::changesOfOnePassWrittenOnce()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.conf"));
    const QString previous = SetSettingsFile(path);
    const qint64 before = SettingsWriteCount();

    // A start-up's worth of changes, each through a fresh look-up.
    for (int i = 0; i < 12; ++i)
        StoreSetting(*OpenSettings(), QStringLiteral("Key%1").arg(i % 4), i);
    QCOMPARE(SettingsWriteCount(), before);
    QVERIFY(!QFile::exists(path));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(SettingsWriteCount(), before + 1);
    QVERIFY(QFile::exists(path));

    // The same values again, and nothing at all: no write.
    for (int i = 8; i < 12; ++i)
        StoreSetting(*OpenSettings(), QStringLiteral("Key%1").arg(i % 4), i);
    QCoreApplication::sendPostedEvents();
    QVERIFY(FlushSettings());
    QCOMPARE(SettingsWriteCount(), before + 1);

    // A change written at once on request, and only once.
    StoreSetting(*OpenSettings(), QStringLiteral("Key0"), 100);
    QVERIFY(FlushSettings());
    QCoreApplication::sendPostedEvents();
    QCOMPARE(SettingsWriteCount(), before + 2);
    SetSettingsFile(previous);
    QCOMPARE(QSettings(path, QSettings::IniFormat).value(QStringLiteral("Key0")).toInt(), 100);
}

void TestSettingsSeam::writtenWhenTheFileChanges()
{
    // What is unwritten when the program turns to another file (or ends) is
    // written then.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.conf"));
    const QString previous = SetSettingsFile(path);
    const qint64 before = SettingsWriteCount();
    OpenSettings()->setValue(QStringLiteral("Window/Geometry"), QByteArray("\x01\x02"));
    SetSettingsFile(previous);
    QCOMPARE(SettingsWriteCount(), before + 1);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("Geometry"));
}

void TestSettingsSeam::storeSettingWritesOnlyChanges_data()
{
    QTest::addColumn<QByteArray>("stored"); // the line in the file; empty for none
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("written");

    QTest::newRow("absent") << QByteArray() << QVariant(true) << true;
    QTest::newRow("true as stored") << QByteArray("Key=true") << QVariant(true) << false;
    QTest::newRow("true over false") << QByteArray("Key=false") << QVariant(true) << true;
    QTest::newRow("number as stored") << QByteArray("Key=5") << QVariant(5) << false;
    QTest::newRow("another number") << QByteArray("Key=5") << QVariant(6) << true;
    QTest::newRow("list as stored") << QByteArray("Key=a, b") << QVariant(QStringList{"a", "b"}) << false;
    QTest::newRow("list of one as stored") << QByteArray("Key=a") << QVariant(QStringList{"a"}) << false;
    QTest::newRow("list in another order") << QByteArray("Key=a, b") << QVariant(QStringList{"b", "a"}) << true;
    QTest::newRow("bytes as stored") << QByteArray("Key=@ByteArray(xy)") << QVariant(QByteArray("xy")) << false;
    QTest::newRow("text of a number over a number") << QByteArray("Key=5") << QVariant(QStringLiteral("05")) << true;
}

void TestSettingsSeam::storeSettingWritesOnlyChanges()
{
    QFETCH(QByteArray, stored);
    QFETCH(QVariant, value);
    QFETCH(bool, written);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings.conf"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\n" + stored + "\n");
    file.close();
    const QString previous = SetSettingsFile(path);
    const qint64 before = SettingsWriteCount();
    StoreSetting(*OpenSettings(), QStringLiteral("Key"), value);
    QVERIFY(FlushSettings());
    QCOMPARE(SettingsWriteCount(), before + (written ? 1 : 0));
    SetSettingsFile(previous);
}

void TestSettingsSeam::dialogStartFolder_data()
{
    QTest::addColumn<QString>("remembered"); // below the temporary folder; "-" for none
    QTest::addColumn<bool>("kept");

    QTest::newRow("never chosen") << QStringLiteral("-") << false;
    QTest::newRow("existing folder") << QStringLiteral("villages") << true;
    QTest::newRow("folder gone since") << QStringLiteral("gone") << false;
    QTest::newRow("a file, not a folder") << QStringLiteral("file.vlgdat") << false;
}

void TestSettingsSeam::dialogStartFolder()
{
    QFETCH(QString, remembered);
    QFETCH(bool, kept);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("villages")));
    QFile file(dir.filePath(QStringLiteral("file.vlgdat")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();

    const QString path = remembered == QLatin1String("-") ? QString() : dir.filePath(remembered);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString fallback = QDir(documents).exists() && !documents.isEmpty() ? documents : QDir::homePath();
    QCOMPARE(DialogStartFolder(path), kept ? path : fallback);
}

QTEST_GUILESS_MAIN(TestSettingsSeam)
#include "tst_settingsseam.moc"
