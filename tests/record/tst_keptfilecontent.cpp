// A village file keeps what it carries: every element, attribute, comment,
// processing instruction and text that the reader does not use, and every
// value of a known element that cannot be used, is written back after the
// known content of the element that held it, in the file's order; writing
// and reading again gives the same village and the same bytes.
#include "TestSupport.h"

#include "record/KeptFileContent.h"
#include "record/VillageData.h"
#include "record/VillageFile.h"

#include <QLocale>

class TestKeptFileContent : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void goneConstructionTakesItsAttributesWithIt();

private:
    // The text with the pinned moments put in: {saved} the moment of
    // writing, {date} the Date text, {ends} five minutes later.
    QByteArray WithMoments(QByteArray text) const;
    static QByteArray FileBytes(const QString &path);

    TdmListObj m_Catalog;
    const QDateTime m_Now = QDateTime(QDate(2026, 12, 7), QTime(9, 23, 21), Qt::UTC);
};

void TestKeptFileContent::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    QVERIFY(LoadShippedCatalog(m_Catalog).Ok);
}

QByteArray TestKeptFileContent::WithMoments(QByteArray text) const
{
    return text.replace("{saved}", m_Now.toString(Qt::ISODate).toUtf8())
        .replace("{date}", VillageFileDateText(m_Now).toUtf8())
        .replace("{ends}", m_Now.addSecs(300).toString(Qt::ISODate).toUtf8());
}

QByteArray TestKeptFileContent::FileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestKeptFileContent::roundTrip_data()
{
    QTest::addColumn<QByteArray>("file");     // after the declaration
    QTest::addColumn<QByteArray>("written");  // after the declaration
    QTest::addColumn<int>("notUnderstood");

    const QByteArray village = R"~(<Village Name="Север" Race="Галлы" MainLevel="3"/>)~";
    const QByteArray date = R"~(<Date Saved="{saved}">{date}</Date>)~";
    const QByteArray resources = R"~(<ResourceCollect Wood="" Clay="" Iron="" Grain=""/>)~"
                                 R"~(<ResourceAdd Wood="" Clay="" Iron="" Grain=""/>)~";
    const QByteArray known = date + village + resources;
    const auto root = [](const QByteArray &content) { return "<JorVillageData>" + content + "</JorVillageData>"; };

    QTest::newRow("unknown element under the root")
        << root(village + R"~(<Future a="1"><Sub> x </Sub></Future>)~")
        << root(known + R"~(<Future a="1"><Sub> x </Sub></Future>)~") << 0;
    QTest::newRow("carriage return, tab and line break by reference in kept text and attributes")
        << root(village + R"~(<Future a="x&#13;&#10;&#9;y">p&#13;q</Future>)~")
        << root(known + R"~(<Future a="x&#13;&#10;&#9;y">p&#13;q</Future>)~") << 0;
    QTest::newRow("unknown elements go after the known ones, in file order")
        << root("<A/>" + village + "<B/>") << root(known + "<A/><B/>") << 0;
    QTest::newRow("unknown element in Village")
        << root(R"~(<Village Name="Север" Race="Галлы" MainLevel="3"><Extra/></Village>)~")
        << root(date + R"~(<Village Name="Север" Race="Галлы" MainLevel="3"><Extra/></Village>)~" + resources) << 0;
    QTest::newRow("unknown element in Date")
        << root(R"~(<Date Saved="{saved}">old<Zone/></Date>)~" + village)
        << root(R"~(<Date Saved="{saved}">{date}<Zone/></Date>)~" + village + resources) << 0;
    QTest::newRow("unknown element in Queue")
        << root(village + R"~(<Queue><Plan x="1"/><Item>Ферма ( 2)</Item></Queue>)~")
        << root(known + R"~(<Queue><Item>Ферма ( 2)</Item><Plan x="1"/></Queue>)~") << 0;
    QTest::newRow("unknown element in a running Construction")
        << root(village + R"~(<Construction Name="Ферма ( 2)" Total="600" Ends="{ends}" By="me"><Note/></Construction>)~")
        << root(known + R"~(<Construction Name="Ферма ( 2)" Total="600" Ends="{ends}" By="me"><Note/></Construction>)~")
        << 0;
    QTest::newRow("unknown attribute on the root")
        << QByteArray(R"~(<JorVillageData version="2">)~" + village + "</JorVillageData>")
        << QByteArray(R"~(<JorVillageData version="2">)~" + known + "</JorVillageData>") << 0;
    QTest::newRow("unknown attribute on Village")
        << root(R"~(<Village Extra="1" Name="Север" Race="Галлы" MainLevel="3"/>)~")
        << root(date + R"~(<Village Name="Север" Race="Галлы" MainLevel="3" Extra="1"/>)~" + resources) << 0;
    QTest::newRow("unknown attribute on a resource element")
        << root(village + R"~(<ResourceCollect Wood="5" Gold="7"/>)~")
        << root(date + village + R"~(<ResourceCollect Wood="5" Clay="" Iron="" Grain="" Gold="7"/>)~"
                + R"~(<ResourceAdd Wood="" Clay="" Iron="" Grain=""/>)~")
        << 0;
    QTest::newRow("unknown attribute on Capacity without capacities")
        << root(village + R"~(<Capacity Silo="2"/>)~")
        << root(known + R"~(<Capacity Wood="" Clay="" Iron="" Grain="" Silo="2"/>)~") << 0;
    QTest::newRow("unknown attribute on Date") << root(R"~(<Date Zone="MSK" Saved="{saved}">x</Date>)~" + village)
                                               << root(R"~(<Date Saved="{saved}" Zone="MSK">{date}</Date>)~" + village + resources)
                                               << 0;
    QTest::newRow("unknown attribute on a Building, kept with its text")
        << root(village + R"~(<AvBuildings><Building>Ферма ( 1)</Building><Building Note="x">Склад ( 2)</Building></AvBuildings>)~")
        << root(known + R"~(<AvBuildings><Building Note="x">Склад ( 2)</Building><Building>Ферма ( 1)</Building></AvBuildings>)~")
        << 0;
    QTest::newRow("unknown attribute on Comments")
        << root(village + R"~(<Comments Lang="ru">Привет</Comments>)~")
        << root(known + R"~(<Comments Lang="ru">Привет</Comments>)~") << 0;
    QTest::newRow("comments before and after the root")
        << QByteArray("<!--a--><?tool x?>" + root(village) + "<!--b-->")
        << QByteArray("<!--a--><?tool x?>" + root(known) + "<!--b-->") << 0;
    QTest::newRow("comment in AvBuildings")
        << root(village + R"~(<AvBuildings><!--c--><Building>Ферма ( 1)</Building></AvBuildings>)~")
        << root(known + R"~(<AvBuildings><Building>Ферма ( 1)</Building><!--c--></AvBuildings>)~") << 0;
    QTest::newRow("processing instruction in the root")
        << root("<?tool data?>" + village) << root(known + "<?tool data?>") << 0;
    QTest::newRow("text in the root, joined as it will be written")
        << root("start" + village + "end") << root(known + "startend") << 0;
    QTest::newRow("CDATA in the root") << root(village + "<![CDATA[<x>]]>") << root(known + "<![CDATA[<x>]]>") << 0;
    QTest::newRow("building texts that differ in letter case only")
        << root(village + "<AvBuildings><Building>ФермА ( 2)</Building><Building>Ферма ( 2)</Building></AvBuildings>")
        << root(known + "<AvBuildings><Building>Ферма ( 2)</Building><Building>ФермА ( 2)</Building></AvBuildings>")
        << 0;
    QTest::newRow("construction with a negative total")
        << root(R"~(<Construction Name="Ферма ( 2)" Total="-5" Ends="{ends}"/>)~" + village)
        << root(known + R"~(<Construction Name="Ферма ( 2)" Total="-5" Ends="{ends}"/>)~") << 1;
    QTest::newRow("construction whose end is no date")
        << root(village + R"~(<Construction Name="Ферма ( 2)" Total="600" Ends="вчера"/>)~")
        << root(known + R"~(<Construction Name="Ферма ( 2)" Total="600" Ends="вчера"/>)~") << 1;
    QTest::newRow("empty queue item")
        << root(village + "<Queue><Item/><Item>Ферма ( 2)</Item></Queue>")
        << root(known + "<Queue><Item>Ферма ( 2)</Item><Item/></Queue>") << 1;
    QTest::newRow("queue item of blanks")
        << root(village + "<Queue><Item>  </Item></Queue>") << root(known + "<Queue><Item>  </Item></Queue>") << 1;
    QTest::newRow("queue item with markup")
        << root(village + "<Queue><Item>Ферма <b>( 2)</b></Item></Queue>")
        << root(known + "<Queue><Item>Ферма <b>( 2)</b></Item></Queue>") << 1;
    QTest::newRow("queue item with a comment")
        << root(village + "<Queue><Item>Ферма ( 2)<!--x--></Item></Queue>")
        << root(known + "<Queue><Item>Ферма ( 2)<!--x--></Item></Queue>") << 1;
}

void TestKeptFileContent::roundTrip()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, written);
    QFETCH(int, notUnderstood);

    const TPinnedClock clock(m_Now);
    const QByteArray declaration = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("village.vlgdat"));
    {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(declaration + WithMoments(file));
    }

    TVillageData first;
    first.FileName = path;
    QCOMPARE(ReadVillageFile(first, m_Catalog), (TFileResult{true, {}, path}));
    QCOMPARE(first.KeptFileContent.NotUnderstoodCount(), notUnderstood);

    const QString back = dir.filePath(QStringLiteral("back.vlgdat"));
    QVERIFY(WriteVillageFile(first, back).Ok);
    const QByteArray bytes = FileBytes(back);
    QCOMPARE(QString::fromUtf8(bytes), QString::fromUtf8(declaration + WithMoments(written)));

    // Read again, it is the same village, and it writes the same bytes.
    TVillageData second;
    second.FileName = back;
    QVERIFY(ReadVillageFile(second, m_Catalog).Ok);
    QCOMPARE(second.KeptFileContent, first.KeptFileContent);
    QCOMPARE(second.AvBuildings, first.AvBuildings);
    QCOMPARE(second.UnknownBuildings, first.UnknownBuildings);
    QCOMPARE(second.Queue, first.Queue);
    QCOMPARE(second.BuildTotal, first.BuildTotal);
    QVERIFY(WriteVillageFile(second, back).Ok);
    QCOMPARE(FileBytes(back), bytes);
}

void TestKeptFileContent::goneConstructionTakesItsAttributesWithIt()
{
    // A construction whose end has passed is over: it is cleared, and what
    // its element carried besides is not written to a construction that is
    // no more.
    const TPinnedClock clock(m_Now);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("village.vlgdat"));
    {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(R"~(<JorVillageData><Construction Name="Ферма ( 2)" Total="600" Ends="2026-12-07T09:00:00Z" By="me"/>)~"
                  R"~(</JorVillageData>)~");
    }
    TVillageData village;
    village.FileName = path;
    QVERIFY(ReadVillageFile(village, m_Catalog).Ok);
    QCOMPARE(village.BuildTotal, 0);
    QVERIFY(village.KeptFileContent.IsEmpty());
}

QTEST_GUILESS_MAIN(TestKeptFileContent)
#include "tst_keptfilecontent.moc"
