// Tests of the catch-up on Open: the stocks advanced over the time since the
// file was written (nights, months, incomes at the 32-bit limits, capacities,
// a clock set back), the line the page shows, and a construction resumed or
// ended by the same gap through the village file.
#include "TestSupport.h"

#include "base/TimeText.h"
#include "rules/CatchUp.h"
#include "record/VillageData.h"
#include "record/VillageFile.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime SavedAt(QDate(2026, 12, 6), QTime(23, 30, 0), Qt::UTC);

QStringList Texts(const std::array<QString, 4> &texts)
{
    return QStringList(texts.begin(), texts.end());
}

} // namespace

class TestCatchUp : public QObject
{
    Q_OBJECT

private slots:
    void elapsedText_data();
    void elapsedText();
    void stocks_data();
    void stocks();
    void constructionThroughTheFile_data();
    void constructionThroughTheFile();
};

void TestCatchUp::elapsedText_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("expected");

    QTest::newRow("nothing") << qint64(0) << QStringLiteral("0 сек");
    QTest::newRow("under a minute") << qint64(59) << QStringLiteral("59 сек");
    QTest::newRow("a minute") << qint64(60) << QStringLiteral("1 мин");
    QTest::newRow("a night") << qint64(9 * 3600 + 12 * 60 + 30) << QStringLiteral("9 ч 12 мин");
    QTest::newRow("days, hours, minutes") << qint64(2 * 86400 + 3 * 3600 + 5 * 60) << QStringLiteral("2 дн 3 ч 5 мин");
    QTest::newRow("a day and minutes, no hours") << qint64(86400 + 120) << QStringLiteral("1 дн 2 мин");
    QTest::newRow("thirty days") << qint64(30) * 86400 << QStringLiteral("30 дн");
    QTest::newRow("the longest span of two moments")
        << std::numeric_limits<qint64>::max() << QStringLiteral("106751991167300 дн 15 ч 30 мин");
}

void TestCatchUp::elapsedText()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, expected);
    QCOMPARE(ElapsedText(seconds), expected);
}

void TestCatchUp::stocks_data()
{
    QTest::addColumn<QStringList>("stocks");
    QTest::addColumn<QStringList>("incomes");
    QTest::addColumn<QStringList>("capacities");
    QTest::addColumn<qint64>("seconds"); // from the saved moment to now
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("line");

    const QStringList unknown{QString(), QString(), QString(), QString()};
    const QString night = QStringLiteral("Запасы пересчитаны за 9 ч 12 мин с момента сохранения.");
    QTest::newRow("a night, no capacities")
        << QStringList{"100", "200", "0", "50"} << QStringList{"60", "40", "0", "-5"} << unknown
        << qint64(9 * 3600 + 12 * 60) << QStringList{"652", "568", "0", "4"} << night;
    QTest::newRow("a night, capped at the capacities, above-capacity stock kept")
        << QStringList{"100", "900", "10", "50"} << QStringList{"60", "40", "30", "100"}
        << QStringList{"500", "800", "", "800"} << qint64(9 * 3600 + 12 * 60)
        << QStringList{"500", "900", "286", "800"} << night;
    QTest::newRow("a month: negative income down to 0, not below")
        << QStringList{"100", "0", "-7", "1000"} << QStringList{"1", "-1", "-100", "-2000000"} << unknown
        << qint64(30) * 86400 << QStringList{"820", "0", "-7", "0"}
        << QStringLiteral("Запасы пересчитаны за 30 дн с момента сохранения.");
    QTest::newRow("a month of the largest income stops at 32 bits")
        << QStringList{"0", "2147483000", "0", "0"} << QStringList{"2147483647", "1", "0", "0"} << unknown
        << qint64(30) * 86400 << QStringList{"2147483647", "2147483647", "0", "0"}
        << QStringLiteral("Запасы пересчитаны за 30 дн с момента сохранения.");
    QTest::newRow("the lowest income empties the largest stock in an hour")
        << QStringList{"2147483647", "0", "0", "0"} << QStringList{"-2147483648", "0", "0", "0"} << unknown
        << qint64(3600) << QStringList{"0", "0", "0", "0"}
        << QStringLiteral("Запасы пересчитаны за 1 ч с момента сохранения.");
    QTest::newRow("exact rate: 1 per hour gives nothing in 59 minutes")
        << QStringList{"5", "5", "5", "5"} << QStringList{"1", "3600", "7", "0"} << unknown << qint64(3599)
        << QStringList{"5", "3604", "11", "5"} << QStringLiteral("Запасы пересчитаны за 59 мин с момента сохранения.");
    QTest::newRow("unchanged texts are kept as typed")
        << QStringList{"$10", "12a", "", " 7"} << QStringList{"0", "0", "", "x"} << unknown << qint64(3600)
        << QStringList{"$10", "12a", "", " 7"} << QString();
    QTest::newRow("a stock that is no number counts from 0")
        << QStringList{"12a", "0", "0", "0"} << QStringList{"10", "0", "0", "0"} << unknown << qint64(3600)
        << QStringList{"10", "0", "0", "0"} << QStringLiteral("Запасы пересчитаны за 1 ч с момента сохранения.");
    QTest::newRow("capacity of 0 holds nothing more")
        << QStringList{"0", "0", "0", "0"} << QStringList{"10", "10", "10", "10"}
        << QStringList{"0", "-1", "x", ""} << qint64(3600) << QStringList{"0", "10", "10", "10"}
        << QStringLiteral("Запасы пересчитаны за 1 ч с момента сохранения.");
    QTest::newRow("saved a few seconds ago")
        << QStringList{"0", "0", "0", "0"} << QStringList{"3600", "0", "0", "0"} << unknown << qint64(42)
        << QStringList{"42", "0", "0", "0"} << QStringLiteral("Запасы пересчитаны за 42 сек с момента сохранения.");
    QTest::newRow("no time passed: nothing to say")
        << QStringList{"0", "0", "0", "0"} << QStringList{"3600", "0", "0", "0"} << unknown << qint64(0)
        << QStringList{"0", "0", "0", "0"} << QString();
    QTest::newRow("no income at all: nothing to say after a night")
        << QStringList{"10", "20", "30", "40"} << QStringList{"0", "", "0", "0"} << unknown
        << qint64(9 * 3600 + 12 * 60) << QStringList{"10", "20", "30", "40"} << QString();
    QTest::newRow("one negative income is an income")
        << QStringList{"10", "20", "30", "40"} << QStringList{"0", "0", "0", "-3600"} << unknown << qint64(33)
        << QStringList{"10", "20", "30", "7"} << QStringLiteral("Запасы пересчитаны за 33 сек с момента сохранения.");
    QTest::newRow("saved moment in the future changes nothing")
        << QStringList{"0", "0", "0", "0"} << QStringList{"3600", "0", "0", "0"} << unknown << qint64(-1)
        << QStringList{"0", "0", "0", "0"}
        << QStringLiteral("Время сохранения файла позже текущего: запасы не пересчитаны.");
}

void TestCatchUp::stocks()
{
    QFETCH(QStringList, stocks);
    QFETCH(QStringList, incomes);
    QFETCH(QStringList, capacities);
    QFETCH(qint64, seconds);
    QFETCH(QStringList, expected);
    QFETCH(QString, line);

    TVillageData village;
    for (const TResourceKind kind : AllResourceKinds) {
        const qsizetype i = qsizetype(KindIndex(kind));
        village.SetResourceCollect(kind, stocks.at(i));
        village.SetResourceAdd(kind, incomes.at(i));
        village.SetCapacity(kind, capacities.at(i));
    }
    const QString name = village.Name;
    QCOMPARE(CatchUpSinceSaved(village, SavedAt, SavedAt.addSecs(seconds)), line);
    QCOMPARE(Texts(village.ResourceCollect), expected);
    QCOMPARE(Texts(village.ResourceAdd), incomes);
    QCOMPARE(Texts(village.Capacity), capacities);
    QVERIFY(!village.Modified);
}

void TestCatchUp::constructionThroughTheFile_data()
{
    QTest::addColumn<qint64>("closedFor");
    QTest::addColumn<QString>("construction");
    QTest::addColumn<QString>("wood");
    QTest::addColumn<QString>("line");

    QTest::newRow("opened at once: nothing to say")
        << qint64(0) << QStringLiteral("Склад 600/3600") << QStringLiteral("100") << QString();
    QTest::newRow("half an hour later: still running")
        << qint64(1800) << QStringLiteral("Склад 2400/3600") << QStringLiteral("130")
        << QStringLiteral("Запасы пересчитаны за 30 мин с момента сохранения.");
    QTest::newRow("one second before the end")
        << qint64(2999) << QStringLiteral("Склад 3599/3600") << QStringLiteral("149")
        << QStringLiteral("Запасы пересчитаны за 49 мин с момента сохранения.");
    QTest::newRow("a night later: ended and cleared, stocks capped")
        << qint64(9 * 3600) << QStringLiteral(" 0/0") << QStringLiteral("150")
        << QStringLiteral("Запасы пересчитаны за 9 ч с момента сохранения.");
    QTest::newRow("clock set back: nothing advanced")
        << qint64(-60) << QStringLiteral("Склад 540/3600") << QStringLiteral("100")
        << QStringLiteral("Время сохранения файла позже текущего: запасы не пересчитаны.");
}

void TestCatchUp::constructionThroughTheFile()
{
    QFETCH(qint64, closedFor);
    QFETCH(QString, construction);
    QFETCH(QString, wood);
    QFETCH(QString, line);

    TPinnedClock clock(SavedAt);
    TdmListObj catalog;
    QTemporaryDir dir;
    TVillageData written;
    written.SetResourceCollect(TResourceKind::Wood, QStringLiteral("100"));
    written.SetResourceAdd(TResourceKind::Wood, QStringLiteral("60"));
    written.SetCapacity(TResourceKind::Wood, QStringLiteral("150"));
    written.BuildName = QStringLiteral("Склад");
    written.BuildTotal = 3600;
    written.BuildElapsed = 600;
    written.FileName = dir.filePath(QStringLiteral("v.vlgdat"));
    QVERIFY(WriteVillageFile(written).Ok);

    clock.Now = SavedAt.addSecs(closedFor);
    TVillageData read;
    read.FileName = written.FileName;
    QDateTime saved;
    QVERIFY(ReadVillageFile(read, catalog, &saved).Ok);
    QCOMPARE(CatchUpSinceSaved(read, saved, CurrentDateTime()), line);
    QCOMPARE(QStringLiteral("%1 %2/%3").arg(read.BuildName).arg(read.BuildElapsed).arg(read.BuildTotal),
             construction);
    QCOMPARE(read.ResourceCollect[KindIndex(TResourceKind::Wood)], wood);
}

QTEST_GUILESS_MAIN(TestCatchUp)
#include "tst_catchup.moc"
