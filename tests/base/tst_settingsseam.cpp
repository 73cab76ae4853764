// The settings seam: off until a file is named, that file used once it is,
// and the folder the file dialogs start in.
#include "base/SettingsSeam.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class TestSettingsSeam : public QObject
{
    Q_OBJECT

private slots:
    void offUntilAFileIsNamed();
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
    QVERIFY(QFile::exists(path));
    QCOMPARE(OpenSettings()->value(QStringLiteral("Key")).toInt(), 7);
    QCOMPARE(SetSettingsFile(QString()), path);
    QVERIFY(!OpenSettings());
    QVERIFY(UserSettingsFile().endsWith(QStringLiteral("/jorlivaron/JorLivaronMng.conf")));
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
