// The account's culture and the next village: the values the player types
// and their settings, the forecast over the open villages, and the watch
// that tells once when the moment comes (the clock pinned).

#include "TestSupport.h"

#include "app/AccountCulture.h"
#include "app/VillageDocument.h"
#include "app/VillageList.h"
#include "app/NextVillageWatch.h"

#include <QSettings>
#include <QSignalSpy>
#include <QTimeZone>

namespace {

const QDateTime Noon(QDate(2026, 12, 7), QTime(12, 0), QTimeZone::utc());
constexpr qint64 Day = 86400;

TAccountCulture Account(qint64 points, qint64 agoSeconds, qint64 needed)
{
    return {points, Noon.addSecs(-agoSeconds), needed};
}

// One village per text: its built list ("Главное здание 10") and, after a
// "+", a construction in progress and its seconds to go ("Главное здание
// ( 2) 3600").
void OpenVillages(TVillageList &villages, const QStringList &texts)
{
    for (const QString &text : texts) {
        TVillageData &village = villages.Add()->Village();
        const QStringList parts = text.split(u'+');
        village.SetBuilt(BuiltList(villages.Catalog(), parts.constFirst()));
        if (parts.size() > 1) {
            const QString construction = parts.at(1).trimmed();
            const qsizetype blank = construction.lastIndexOf(u' ');
            village.SetConstruction(construction.first(blank), construction.sliced(blank + 1).toInt(), 0);
        }
    }
}

} // namespace

Q_DECLARE_METATYPE(TAccountCulture)
Q_DECLARE_METATYPE(TCultureForecast)

class TestNextVillage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void typed_data();
    void typed();
    void settings_data();
    void settings();
    void forecast_data();
    void forecast();
    void watch_data();
    void watch();
    void retypedValues();

private:
    TdmListObj m_Catalog;
    QTemporaryDir m_Dir;
};

void TestNextVillage::initTestCase()
{
    QVERIFY(m_Catalog.LoadCatalog(QStringLiteral(JOR_SHIPPED_CATALOG)));
    QVERIFY(m_Dir.isValid());
}

void TestNextVillage::typed_data()
{
    QTest::addColumn<TAccountCulture>("kept");
    QTest::addColumn<qint64>("points");
    QTest::addColumn<qint64>("needed");
    QTest::addColumn<TAccountCulture>("expected");

    const TAccountCulture kept = Account(500, Day, 900);
    QTest::newRow("new points take the moment") << kept << qint64(620) << qint64(900) << Account(620, 0, 900);
    QTest::newRow("only the need typed keeps the points' moment")
        << kept << qint64(500) << qint64(1200) << Account(500, Day, 1200);
    QTest::newRow("first values take the moment")
        << TAccountCulture() << qint64(0) << qint64(900) << Account(0, 0, 900);
    QTest::newRow("zeros into nothing stay never typed")
        << TAccountCulture() << qint64(0) << qint64(0) << TAccountCulture();
    QTest::newRow("out of range held to the range")
        << kept << qint64(-5) << qint64(TAccountCulture::MaxPoints + 1) << Account(0, 0, TAccountCulture::MaxPoints);
}

void TestNextVillage::typed()
{
    QFETCH(TAccountCulture, kept);
    QFETCH(qint64, points);
    QFETCH(qint64, needed);
    QFETCH(TAccountCulture, expected);
    QCOMPARE(kept.Typed(points, needed, Noon), expected);
}

void TestNextVillage::settings_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<TAccountCulture>("expected");

    const qint64 noon = Noon.toSecsSinceEpoch();
    QTest::newRow("as saved") << "[Culture]\nPoints=500\nTypedAt=" + QByteArray::number(noon) + "\nNeeded=900\n"
                              << TAccountCulture{500, QDateTime::fromSecsSinceEpoch(noon), 900};
    QTest::newRow("none") << QByteArray() << TAccountCulture();
    QTest::newRow("points without their moment are not kept")
        << QByteArrayLiteral("[Culture]\nPoints=500\nNeeded=900\n") << TAccountCulture{0, {}, 900};
    QTest::newRow("damaged values read as never typed")
        << "[Culture]\nPoints=много\nTypedAt=" + QByteArray::number(noon) + "\nNeeded=-3\n" << TAccountCulture();
    QTest::newRow("a moment past the year 9999 is refused")
        << QByteArrayLiteral("[Culture]\nPoints=5\nTypedAt=9223372036854775807\nNeeded=9\n")
        << TAccountCulture{0, {}, 9};
    QTest::newRow("points above the most are refused")
        << "[Culture]\nPoints=1000000000\nTypedAt=" + QByteArray::number(noon) + "\nNeeded=1000000000\n"
        << TAccountCulture();
}

void TestNextVillage::settings()
{
    QFETCH(QByteArray, file);
    QFETCH(TAccountCulture, expected);
    const QString path = m_Dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".conf"));
    QFile written(path);
    QVERIFY(written.open(QIODevice::WriteOnly));
    written.write(file);
    written.close();
    const TAccountCulture loaded = TAccountCulture::Load(QSettings(path, QSettings::IniFormat));
    QCOMPARE(loaded, expected);

    // What is read is written back as it was read.
    const QString copy = path + QStringLiteral(".copy");
    {
        QSettings settings(copy, QSettings::IniFormat);
        loaded.Save(settings);
    }
    QCOMPARE(TAccountCulture::Load(QSettings(copy, QSettings::IniFormat)), loaded);
}

void TestNextVillage::forecast_data()
{
    QTest::addColumn<QStringList>("villages");
    QTest::addColumn<TAccountCulture>("account");
    QTest::addColumn<TCultureForecast>("expected");

    // Главное здание 10 gives 6 a day, 2 gives 2, Склад 4 gives 3.
    const QStringList two{QStringLiteral("Главное здание 10"), QStringLiteral("Склад 4; Главное здание 2")};
    QTest::newRow("the villages' culture added up")
        << two << Account(0, 0, 11) << TCultureForecast{11, 0, true, Day};
    QTest::newRow("the points grown since they were typed")
        << QStringList{QStringLiteral("Главное здание 10")} << Account(100, Day, 112)
        << TCultureForecast{6, 106, true, Day};
    QTest::newRow("reached already") << two << Account(500, 0, 400) << TCultureForecast{11, 500, true, 0};
    QTest::newRow("no built list, no culture")
        << QStringList{QString()} << Account(0, 0, 10) << TCultureForecast{0, 0, true, std::nullopt};
    QTest::newRow("not typed: the culture only") << two << TAccountCulture() << TCultureForecast{11, 0, false, {}};
    // 1 a day for an hour, then 2 a day: 3600 + (2 × 86400 − 3600) / 2.
    QTest::newRow("a construction adds from its end")
        << QStringList{QStringLiteral("Главное здание 1 + Главное здание ( 2) 3600")} << Account(0, 0, 2)
        << TCultureForecast{1, 0, true, 88200};
    // Nothing grows until the other village's construction ends.
    QTest::newRow("a construction in another village counts")
        << QStringList{QString(), QStringLiteral("+ Главное здание ( 1) 600")} << Account(0, 0, 1)
        << TCultureForecast{0, 0, true, 600 + Day};
}

void TestNextVillage::forecast()
{
    QFETCH(QStringList, villages);
    QFETCH(TAccountCulture, account);
    QFETCH(TCultureForecast, expected);
    TVillageList list(m_Catalog);
    OpenVillages(list, villages);
    QCOMPARE(ForecastNextVillage(account, list.Planners(), m_Catalog, Noon), expected);
}

void TestNextVillage::watch_data()
{
    QTest::addColumn<QString>("built");
    QTest::addColumn<TAccountCulture>("account");
    QTest::addColumn<bool>("enabled");
    // Seconds the clock goes on before each tick, and how many times the
    // watch has told after it.
    QTest::addColumn<QList<qint64>>("steps");
    QTest::addColumn<QList<int>>("told");

    const QString six = QStringLiteral("Главное здание 10");
    QTest::newRow("told once when the moment comes")
        << six << Account(0, 0, 6) << true << QList<qint64>{0, Day - 1, 1, 60} << QList<int>{0, 0, 1, 1};
    QTest::newRow("a clock that jumps past the moment tells once")
        << six << Account(0, 0, 6) << true << QList<qint64>{0, 30 * Day, 60} << QList<int>{0, 1, 1};
    QTest::newRow("reached before the first tick is not told")
        << six << Account(6, 0, 6) << true << QList<qint64>{0, 60} << QList<int>{0, 0};
    QTest::newRow("switched off tells nothing")
        << six << Account(0, 0, 6) << false << QList<qint64>{0, Day, 60} << QList<int>{0, 0, 0};
    QTest::newRow("no culture, nothing told")
        << QString() << Account(0, 0, 6) << true << QList<qint64>{0, 300 * Day} << QList<int>{0, 0};
    QTest::newRow("not typed, nothing told")
        << six << TAccountCulture() << true << QList<qint64>{0, 300 * Day} << QList<int>{0, 0};
}

void TestNextVillage::watch()
{
    QFETCH(QString, built);
    QFETCH(TAccountCulture, account);
    QFETCH(bool, enabled);
    QFETCH(QList<qint64>, steps);
    QFETCH(QList<int>, told);
    TPinnedClock clock(Noon);
    TVillageList list(m_Catalog);
    OpenVillages(list, {built});
    TNextVillageWatch &watch = list.NextVillage();
    // The settings are off in the test: nothing to fail.
    QVERIFY(watch.SetAccount(account));
    watch.SetEnabled(enabled);
    QSignalSpy spy(&watch, &TNextVillageWatch::NextVillageReady);
    QList<int> counts;
    for (const qint64 step : steps) {
        clock.Now = clock.Now.addSecs(step);
        list.Tick();
        counts.append(int(spy.count()));
    }
    QCOMPARE(counts, told);
}

// New values are taken as they stand: reached at once is not told, and a
// moment moved later is told again when it comes.
void TestNextVillage::retypedValues()
{
    TPinnedClock clock(Noon);
    TVillageList list(m_Catalog);
    OpenVillages(list, {QStringLiteral("Главное здание 10")});
    TNextVillageWatch &watch = list.NextVillage();
    QSignalSpy changed(&watch, &TNextVillageWatch::AccountChanged);
    QSignalSpy told(&watch, &TNextVillageWatch::NextVillageReady);
    watch.SetAccount(Account(0, 0, 6));
    list.Tick();
    clock.Now = clock.Now.addSecs(Day);
    list.Tick();
    QCOMPARE(told.count(), 1);

    // A higher need moves the moment a day on; the points keep their moment.
    watch.SetAccount(watch.Account().Typed(0, 12, clock.Now));
    QCOMPARE(watch.Account(), Account(0, 0, 12));
    QCOMPARE(watch.Forecast().Seconds, std::optional<qint64>(Day));
    list.Tick();
    clock.Now = clock.Now.addSecs(Day);
    list.Tick();
    QCOMPARE(told.count(), 2);

    watch.SetAccount(watch.Account().Typed(100, 6, clock.Now));
    list.Tick();
    QCOMPARE(told.count(), 2);
    QCOMPARE(changed.count(), 3);
    // The same values again change nothing.
    watch.SetAccount(watch.Account());
    QCOMPARE(changed.count(), 3);
}

QTEST_GUILESS_MAIN(TestNextVillage)
#include "tst_nextvillage.moc"
