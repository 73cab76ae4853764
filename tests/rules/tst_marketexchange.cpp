// The market's exchange 1:1: when the four stocks together cover the four
// costs together (growing, falling and capped kinds, whole units), why it
// can never happen, the amounts to move at that moment and their texts, and
// the search checked second by second against the stocks' own course.

#include "rules/Exchange.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>

namespace {
const TResourceAmounts Nothing{0, 0, 0, 0};
const TAffordTime NoIncome = TAffordTime::NeverFor(TNeverReason::NoIncome);
const TAffordTime BeyondCapacity = TAffordTime::NeverFor(TNeverReason::Capacity);

// Whole units of one kind after `second` seconds: the stock in a straight
// line, a growth stopped at the capacity, a fall stopped at 0.
qint64 UnitsAfter(qint32 stock, qint32 income, qint32 capacity, qint64 second)
{
    const qint64 start = qint64(stock) * SecondsPerHour;
    qint64 scaled = start + qint64(income) * second;
    if (income > 0)
        scaled = start >= ScaledTop(capacity) ? start : std::min(scaled, ScaledTop(capacity));
    else if (income < 0)
        scaled = start <= 0 ? start : std::max<qint64>(scaled, 0);
    return scaled >= 0 ? scaled / SecondsPerHour : -((-scaled + SecondsPerHour - 1) / SecondsPerHour);
}
} // namespace

class TestMarketExchange : public QObject
{
    Q_OBJECT

private slots:
    void planExchange_data();
    void planExchange();
    void adviceText_data();
    void adviceText();
    void firstCoveringSecondOfRandomVillages();
};

void TestMarketExchange::planExchange_data()
{
    QTest::addColumn<TResourceAmounts>("stocks");
    QTest::addColumn<TResourceAmounts>("incomes");
    QTest::addColumn<TResourceAmounts>("capacities");
    QTest::addColumn<TResourceAmounts>("costs");
    QTest::addColumn<TExchangePlan>("expected");

    QTest::newRow("each kind covers: now, nothing moves")
        << TResourceAmounts{100, 100, 100, 100} << Nothing << UnknownCapacities << TResourceAmounts{50, 50, 50, 50}
        << TExchangePlan{TAffordTime(0), {}};
    QTest::newRow("a surplus covers a shortage now")
        << TResourceAmounts{400, 0, 100, 100} << Nothing << UnknownCapacities << TResourceAmounts{100, 300, 100, 100}
        << TExchangePlan{TAffordTime(0), {-300, 300, 0, 0}};
    QTest::newRow("the largest surplus gives first")
        << TResourceAmounts{150, 0, 400, 0} << Nothing << UnknownCapacities << TResourceAmounts{0, 0, 0, 500}
        << TExchangePlan{TAffordTime(0), {-100, 0, -400, 500}};
    // Wood comes at one unit a second; clay has no income at all.
    QTest::newRow("a growing kind pays for one without income")
        << Nothing << TResourceAmounts{3600, 0, 0, 0} << UnknownCapacities << TResourceAmounts{100, 100, 0, 0}
        << TExchangePlan{TAffordTime(200), {-100, 100, 0, 0}};
    // Wood stops at 50 after 50 s; clay goes on at one unit a second.
    QTest::newRow("a capped kind stops adding")
        << Nothing << TResourceAmounts{3600, 3600, 0, 0} << TResourceAmounts{50, -1, -1, -1}
        << TResourceAmounts{0, 0, 0, 200} << TExchangePlan{TAffordTime(150), {-50, -150, 0, 200}};
    // Wood grows by two a second while grain falls by one to 0 at 100 s.
    QTest::newRow("a falling kind takes from the total")
        << TResourceAmounts{0, 0, 0, 100} << TResourceAmounts{7200, 0, 0, -3600} << UnknownCapacities
        << TResourceAmounts{0, 200, 0, 0} << TExchangePlan{TAffordTime(100), {-200, 200, 0, 0}};
    QTest::newRow("a falling total never suffices")
        << TResourceAmounts{100, 0, 0, 0} << TResourceAmounts{-3600, 0, 0, 0} << UnknownCapacities
        << TResourceAmounts{0, 150, 0, 0} << TExchangePlan{NoIncome, {}};
    QTest::newRow("the storages fill before the total suffices")
        << Nothing << TResourceAmounts{3600, 0, 0, 0} << TResourceAmounts{100, -1, -1, -1}
        << TResourceAmounts{0, 150, 0, 0} << TExchangePlan{NoIncome, {}};
    QTest::newRow("a cost above its kind's capacity")
        << TResourceAmounts{1000, 0, 0, 0} << Nothing << TResourceAmounts{-1, 100, -1, -1}
        << TResourceAmounts{0, 150, 0, 0} << TExchangePlan{BeyondCapacity, {}};
    QTest::newRow("a stock held above its capacity pays its own cost")
        << TResourceAmounts{0, 150, 0, 0} << Nothing << TResourceAmounts{-1, 100, -1, -1}
        << TResourceAmounts{0, 150, 0, 0} << TExchangePlan{TAffordTime(0), {}};
    QTest::newRow("a stock above its capacity falls below the cost first")
        << TResourceAmounts{0, 150, 0, 0} << TResourceAmounts{3600, -3600, 0, 0} << TResourceAmounts{-1, 100, -1, -1}
        << TResourceAmounts{100, 150, 0, 0} << TExchangePlan{BeyondCapacity, {}};
    // Half a unit a second each: at 1 s the total holds one unit, but in
    // halves that the market does not take.
    QTest::newRow("fractions of two kinds do not add up")
        << Nothing << TResourceAmounts{1800, 1800, 0, 0} << UnknownCapacities << TResourceAmounts{0, 0, 1, 0}
        << TExchangePlan{TAffordTime(2), {-1, 0, 1, 0}};
    QTest::newRow("no sooner than paying each kind from its own")
        << TResourceAmounts{0, 100, 0, 0} << TResourceAmounts{3600, 0, 0, 0} << UnknownCapacities
        << TResourceAmounts{100, 100, 0, 0} << TExchangePlan{TAffordTime(100), {}};
}

void TestMarketExchange::planExchange()
{
    QFETCH(TResourceAmounts, stocks);
    QFETCH(TResourceAmounts, incomes);
    QFETCH(TResourceAmounts, capacities);
    QFETCH(TResourceAmounts, costs);
    QFETCH(TExchangePlan, expected);
    QCOMPARE(PlanExchange(stocks, incomes, capacities, costs), expected);
}

void TestMarketExchange::adviceText_data()
{
    QTest::addColumn<TExchangePlan>("plan");
    QTest::addColumn<QString>("expected");

    QTest::newRow("due now") << TExchangePlan{TAffordTime(0), {-300, 0, 300, 0}}
                             << QStringLiteral("Склад ( 7): обменять сейчас: дерево −300, железо +300.");
    QTest::newRow("later, thousands grouped")
        << TExchangePlan{TAffordTime(1200), {0, 1200, -1000, -200}}
        << QStringLiteral("Склад ( 7): обменять через 00:20:00 (10:20): глина +1 200, железо −1 000, зерно −200.");
    QTest::newRow("nothing to move now") << TExchangePlan{TAffordTime(0), {}}
                                         << QStringLiteral("Склад ( 7): ресурсов хватает без обмена.");
    QTest::newRow("nothing to move later")
        << TExchangePlan{TAffordTime(60), {}}
        << QStringLiteral("Склад ( 7): обмен не ускорит постройку, ресурсы будут через 00:01:00 (10:01).");
    QTest::newRow("never") << TExchangePlan{BeyondCapacity, {}}
                           << QStringLiteral("Склад ( 7): и с обменом не хватит вместимости.");
}

void TestMarketExchange::adviceText()
{
    QFETCH(TExchangePlan, plan);
    QFETCH(QString, expected);
    QLocale::setDefault(QLocale::c());
    const QDateTime now(QDate(2026, 12, 7), QTime(10, 0));
    QCOMPARE(ExchangeAdviceText(QStringLiteral("Склад ( 7)"), plan, now), expected);
}

void TestMarketExchange::firstCoveringSecondOfRandomVillages()
{
    // Small villages whose answer lies within a few hours: the plan's second
    // is the first at which the whole units suffice, and its moves leave
    // every kind with its cost and within its capacity.
    QRandomGenerator random(20261207);
    constexpr qint64 Seconds = 4 * 3600;
    for (int round = 0; round < 200; ++round) {
        TResourceAmounts stocks{}, incomes{}, capacities{}, costs{};
        for (std::size_t i = 0; i < 4; ++i) {
            stocks[i] = random.bounded(0, 300);
            incomes[i] = random.bounded(-400, 2000);
            capacities[i] = random.bounded(0, 4) == 0 ? -1 : random.bounded(200, 800);
            costs[i] = random.bounded(0, 500);
        }
        const TExchangePlan plan = PlanExchange(stocks, incomes, capacities, costs);
        qint64 first = -1;
        for (qint64 second = 0; second <= Seconds && first < 0; ++second) {
            qint64 held = 0;
            for (std::size_t i = 0; i < 4; ++i)
                held += UnitsAfter(stocks[i], incomes[i], capacities[i], second) - costs[i];
            if (held >= 0)
                first = second;
        }
        // A cost above its capacity is met only by a stock that holds it.
        const bool aboveCapacity = std::ranges::any_of(std::array<std::size_t, 4>{0, 1, 2, 3}, [&](std::size_t i) {
            return IsKnownCapacity(capacities[i]) && costs[i] > capacities[i]
                && UnitsAfter(stocks[i], incomes[i], capacities[i], std::max<qint64>(first, 0)) < costs[i];
        });
        if (aboveCapacity) {
            QCOMPARE(plan.Afford, BeyondCapacity);
            continue;
        }
        if (first < 0) {
            QVERIFY2(plan.Afford.IsNever() || plan.Afford.Seconds > Seconds, qPrintable(QString::number(round)));
            continue;
        }
        QCOMPARE(plan.Afford, TAffordTime(first));
        qint64 moved = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            const qint64 after = UnitsAfter(stocks[i], incomes[i], capacities[i], first) + plan.Moves[i];
            QVERIFY(after >= costs[i]);
            QVERIFY(plan.Moves[i] <= 0 || !IsKnownCapacity(capacities[i]) || after <= capacities[i]);
            moved += plan.Moves[i];
        }
        QCOMPARE(moved, qint64(0));
    }
}

QTEST_GUILESS_MAIN(TestMarketExchange)
#include "tst_marketexchange.moc"
