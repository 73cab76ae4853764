// The village list finding the village that has a file: by the file's
// identity (symbolic links, "." and ".." resolved), worked out for each
// village when its file is named, and for the asked path once.

#include "TestSupport.h"

#include "app/VillageDocument.h"
#include "app/VillageList.h"
#include "record/VillageData.h"
#include "record/VillageFile.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestVillageList : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void findFile_data();
    void findFile();
    void findFileResolvesOnlyTheAskedPath();
    void findFileFollowsAnotherName();
    void sharedRace_data();
    void sharedRace();
    void watchesEachVillageFile_data();
    void watchesEachVillageFile();

private:
    QString MakeFile(const QString &name) const;

    QTemporaryDir m_Dir;
    std::unique_ptr<TTestCatalog> m_Catalog;
};

QString TestVillageList::MakeFile(const QString &name) const
{
    const QString path = m_Dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write("<JorVillageData/>");
    return path;
}

void TestVillageList::initTestCase()
{
    QVERIFY(m_Dir.isValid());
    m_Catalog = std::make_unique<TTestCatalog>(CatalogXml("<Object Name=\"Ферма\"><Level ID=\"1\"/></Object>"));
    QVERIFY(m_Catalog->Loaded);
    QVERIFY(QDir(m_Dir.path()).mkdir(QStringLiteral("sub")));
    MakeFile(QStringLiteral("a.vlgdat"));
    MakeFile(QStringLiteral("b.vlgdat"));
    QVERIFY(QFile::link(m_Dir.filePath(QStringLiteral("a.vlgdat")), m_Dir.filePath(QStringLiteral("link.vlgdat"))));
}

void TestVillageList::findFile_data()
{
    QTest::addColumn<QString>("asked"); // below the temporary folder
    QTest::addColumn<int>("found");     // the village's position; -1 for none
    QTest::addColumn<bool>("exceptFirst");

    QTest::newRow("same path") << "a.vlgdat" << 0 << false;
    QTest::newRow("through a folder and back") << "sub/../b.vlgdat" << 1 << false;
    QTest::newRow("through a symbolic link") << "link.vlgdat" << 0 << false;
    QTest::newRow("the village left out") << "a.vlgdat" << -1 << true;
    QTest::newRow("a file no village has") << "c.vlgdat" << -1 << false;
    QTest::newRow("letter case counts") << "A.vlgdat" << -1 << false;
    QTest::newRow("no path") << "" << -1 << false;
}

void TestVillageList::findFile()
{
    QFETCH(QString, asked);
    QFETCH(int, found);
    QFETCH(bool, exceptFirst);

    TVillageList villages(m_Catalog->Catalog);
    villages.Clock().stop();
    TVillageDocument *first = villages.Add();
    first->Village().SetFileName(m_Dir.filePath(QStringLiteral("a.vlgdat")));
    villages.Add()->Village().SetFileName(m_Dir.filePath(QStringLiteral("b.vlgdat")));
    villages.Add(); // a new village without a file

    const QString path = asked.isEmpty() ? QString() : m_Dir.filePath(asked);
    const TVillageDocument *document = villages.FindFile(path, exceptFirst ? first : nullptr);
    QCOMPARE(document, found < 0 ? nullptr : villages.At(found));
}

void TestVillageList::sharedRace_data()
{
    QTest::addColumn<QList<int>>("races"); // as SetRace takes them; -1: none chosen
    QTest::addColumn<int>("shared");       // -1: none

    QTest::newRow("no village open") << QList<int>{} << -1;
    QTest::newRow("none has a race") << QList<int>{-1, -1} << -1;
    QTest::newRow("all the same") << QList<int>{1, 1} << 1;
    QTest::newRow("the first race counts too") << QList<int>{0} << 0;
    QTest::newRow("a village without a race is passed over") << QList<int>{-1, 2, -1} << 2;
    QTest::newRow("two races: none shared") << QList<int>{0, 2} << -1;
}

void TestVillageList::sharedRace()
{
    QFETCH(QList<int>, races);
    QFETCH(int, shared);

    TVillageList villages(m_Catalog->Catalog);
    villages.Clock().stop();
    for (const int race : races)
        villages.Add()->Village().SetRace(race);
    QCOMPARE(villages.SharedRace().value_or(-1), shared);
}

void TestVillageList::findFileResolvesOnlyTheAskedPath()
{
    // Opening the twentieth file looks at the file system for that file
    // only, not again for each village open.
    TVillageList villages(m_Catalog->Catalog);
    villages.Clock().stop();
    for (int i = 0; i < 20; ++i)
        villages.Add()->Village().SetFileName(MakeFile(QStringLiteral("v%1.vlgdat").arg(i)));
    const qint64 before = VillageFileIdentityCount();
    QCOMPARE(villages.FindFile(m_Dir.filePath(QStringLiteral("v19.vlgdat"))), villages.At(19));
    QCOMPARE(villages.FindFile(m_Dir.filePath(QStringLiteral("new.vlgdat"))), nullptr);
    QCOMPARE(VillageFileIdentityCount(), before + 2);
}

void TestVillageList::findFileFollowsAnotherName()
{
    // A village saved under another name is found by that name only.
    TVillageList villages(m_Catalog->Catalog);
    villages.Clock().stop();
    TVillageDocument *document = villages.Add();
    document->Village().SetFileName(m_Dir.filePath(QStringLiteral("a.vlgdat")));
    const QString other = m_Dir.filePath(QStringLiteral("sub/saved.vlgdat"));
    QVERIFY(document->Write(other).Ok);
    QCOMPARE(villages.FindFile(other), document);
    QCOMPARE(villages.FindFile(m_Dir.filePath(QStringLiteral("a.vlgdat"))), nullptr);
}

void TestVillageList::watchesEachVillageFile_data()
{
    QTest::addColumn<int>("changed"); // the village whose file another program changes
    QTest::addColumn<bool>("moved");  // that village was given another file first

    QTest::newRow("the first of three") << 0 << false;
    QTest::newRow("the last of three") << 2 << false;
    QTest::newRow("a village given another file") << 1 << true;
}

void TestVillageList::watchesEachVillageFile()
{
    QFETCH(int, changed);
    QFETCH(bool, moved);

    TVillageList villages(m_Catalog->Catalog);
    villages.Clock().stop();
    for (int i = 0; i < 3; ++i) {
        TVillageDocument *document = villages.Add();
        document->Village().SetFileName(MakeFile(QStringLiteral("watched-%1.vlgdat").arg(i)));
        QVERIFY(document->Load().Ok);
    }
    TVillageDocument *document = villages.At(changed);
    if (moved) {
        document->Village().SetFileName(MakeFile(QStringLiteral("moved.vlgdat")));
        QVERIFY(document->Load().Ok);
    }
    // With edits not yet written, a change on disk is asked about.
    document->Village().SetComments(QStringLiteral("правка"));
    QSignalSpy asked(document, &TVillageDocument::FileChangedOutside);
    QFile file(document->Village().FileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Append));
    file.write("<!-- другая программа -->");
    file.close();
    QTRY_COMPARE(asked.size(), 1);
}

QTEST_GUILESS_MAIN(TestVillageList)
#include "tst_villagelist.moc"
