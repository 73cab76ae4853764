// The construction planner of one village page: the table of buildings
// affordable within the horizon, the build command, moving a considered
// building on to its next level, and the one-second tick (automatic save,
// growth of the stocks, construction in progress).
//
// All arithmetic on numbers that come from texts is done in 64 bits and
// clamped to 32 bits, so that no input can overflow.
#include "Planner.h"

#include "catalog/Clock.h"
#include "catalog/WholeNumber.h"
#include "catalog/dm_ListObjects.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <limits>

namespace {

constexpr qint32 OneHour = 3600;
constexpr qint32 TwoHours = 7200;
constexpr qint32 SavePeriod = 300;

// The four kinds of resource field, of which a village has several: building
// one adds its next level to the considered list and keeps the current one.
bool IsResourceField(const QString &name)
{
    return name == QStringLiteral("Глиняный карьер") || name == QStringLiteral("Ферма")
        || name == QStringLiteral("Железный рудник") || name == QStringLiteral("Лесопильный завод");
}

// The "Время" texts of one recalculation: the time to afford with the clock
// time at which it ends, at the one moment of the recalculation. Formatting
// the end clock reads the clock and the locale, and the clock shows hours and
// minutes only, so it is formatted once per end minute; each distinct time
// is formatted once.
class TTimeTexts
{
public:
    TTimeTexts()
        : m_Now(CurrentDateTime().time())
        , m_NowSecond(m_Now.msecsSinceStartOfDay() / 1000)
    {
    }

    QString Text(qint32 seconds)
    {
        auto known = m_ByTime.constFind(seconds);
        if (known != m_ByTime.constEnd())
            return *known;
        const qint64 endMinute = ((m_NowSecond + seconds) % SecondsPerDay + SecondsPerDay) % SecondsPerDay / 60;
        QString text;
        QHash<qint64, QString> &clockByMinute = ClockByMinute();
        auto clock = clockByMinute.constFind(endMinute);
        if (clock == clockByMinute.constEnd()) {
            // From the moment of the recalculation, not a fresh reading of
            // the clock: the text is kept under the minute worked out from
            // that moment, for this and every later recalculation.
            text = TdmListObj::SecondsToText(seconds, true, m_Now);
            const qsizetype durationLength = TdmListObj::SecondsToText(seconds, false).size();
            clockByMinute.insert(endMinute, text.mid(durationLength));
        } else {
            text = TdmListObj::SecondsToText(seconds, false) + *clock;
        }
        m_ByTime.insert(seconds, text);
        return text;
    }

private:
    // The end clock texts by minute of the day, shared by all planners for
    // as long as the locale stays the same (the text depends on nothing
    // else), so that a tick seldom formats a clock time.
    static QHash<qint64, QString> &ClockByMinute()
    {
        static QHash<qint64, QString> texts;
        static QLocale locale = QLocale::c();
        if (!(QLocale() == locale)) {
            texts.clear();
            locale = QLocale();
        }
        return texts;
    }

    static constexpr qint64 SecondsPerDay = 86400;
    QTime m_Now;
    qint64 m_NowSecond;
    QHash<qint32, QString> m_ByTime;
};

} // namespace

qint64 SecondsToAfford(qint32 stock, qint32 income, qint32 cost)
{
    if (stock >= cost)
        return 0;
    if (income <= 0)
        return NeverAffordable;
    // Exact integer arithmetic in 64 bits: the shortage is below 2^33, so
    // the product stays below 2^45.
    const qint64 shortage = (qint64(cost) - stock) * OneHour;
    return (shortage + income - 1) / income;
}

qint32 BuildSeconds(qint32 baseTime, qint32 percent)
{
    return ClampToInt32(qint64(baseTime) * percent) / 100;
}

qint64 UnitsDueAt(qint32 counter, qint32 income)
{
    if (income == 0 || counter < 0)
        return 0;
    // k x 3600 / n lies in [c - 1/2, c + 1/2) exactly when 7200 k lies in
    // [n (2c - 1), n (2c + 1)). With n <= 2^31 and 2c + 1 < 2^32 the products
    // stay below 2^63.
    const qint64 n = income < 0 ? -qint64(income) : qint64(income);
    const qint64 c = counter;
    // How many k >= 0 have 7200 k below bound.
    const auto multiplesBelow = [](qint64 bound) -> qint64 {
        return bound > 0 ? (bound - 1) / (2 * OneHour) + 1 : 0;
    };
    return multiplesBelow(n * (2 * c + 1)) - multiplesBelow(n * (2 * c - 1));
}

TPlanner::TPlanner(TVillageData &village, const TdmListObj &catalog, QObject *parent)
    : QObject(parent)
    , m_Village(village)
    , m_Catalog(catalog)
{
    connect(&m_Village, &TVillageData::RecalculationRequested, this, &TPlanner::RecalculateAvailable);
    SetHorizon(OneHour);
}

qint64 TPlanner::TimeToAfford(TResourceKind kind, qint32 cost) const
{
    return SecondsToAfford(m_Village.ResourceCollectValue(kind), m_Village.ResourceAddValue(kind), cost);
}

void TPlanner::RecalculateAvailable()
{
    m_Available.clear();
    const auto &considered = m_Village.AvBuildings;
    if (!considered.isEmpty()) {
        const qint32 percent = m_Catalog.MainBuildingPercent(m_Village.MainLevelValue());
        const qint64 horizon = m_Village.Horizon;
        std::array<qint32, 4> stocks{};
        std::array<qint32, 4> incomes{};
        for (TResourceKind kind : AllResourceKinds) {
            stocks[KindIndex(kind)] = m_Village.ResourceCollectValue(kind);
            incomes[KindIndex(kind)] = m_Village.ResourceAddValue(kind);
        }

        TTimeTexts timeTexts;
        const qint32 catalogCount = m_Catalog.Count();
        if (m_EntryTexts.size() != catalogCount)
            m_EntryTexts.resize(catalogCount);
        m_Available.reserve(considered.size());

        for (const TAvBuildingEntry &entry : considered) {
            if (entry.CatalogIndex < 0 || entry.CatalogIndex >= catalogCount)
                continue;
            const TLivaronObject &object = m_Catalog.Object(entry.CatalogIndex);
            qint64 time = 0;
            bool never = false;
            bool withinHorizon = true;
            for (TResourceKind kind : AllResourceKinds) {
                const std::size_t i = KindIndex(kind);
                const qint64 seconds = SecondsToAfford(stocks[i], incomes[i], object.Cost(kind));
                // A kind that never accrues keeps the row listed (its
                // shortage shows in colour) unless another kind takes longer
                // than the horizon.
                never = never || seconds == NeverAffordable;
                time = std::max(time, seconds);
                if (time > horizon) {
                    withinHorizon = false;
                    break;
                }
            }
            if (!withinHorizon)
                continue;

            const qint32 buildSeconds = BuildSeconds(object.Time, percent);
            auto buildText = m_BuildTexts.constFind(buildSeconds);
            if (buildText == m_BuildTexts.constEnd())
                buildText = m_BuildTexts.insert(buildSeconds, TdmListObj::SecondsToText(buildSeconds, false));

            const TEntryTexts &texts = EntryTexts(entry.CatalogIndex);
            m_Available.append(TAvailableRow{texts[0], texts[1], texts[2], texts[3], texts[4],
                                             never ? NeverAffordableText : timeTexts.Text(ClampToInt32(time)),
                                             *buildText});
        }
    }
    if (m_Available.isEmpty())
        m_Available.append(TAvailableRow{});
    emit AvailableChanged();
}

const TPlanner::TEntryTexts &TPlanner::EntryTexts(qint32 catalogIndex)
{
    TEntryTexts &texts = m_EntryTexts[catalogIndex];
    if (texts[0].isNull()) {
        const TLivaronObject &object = m_Catalog.Object(catalogIndex);
        texts = TEntryTexts{object.DisplayText(), QString::number(object.Wood), QString::number(object.Clay),
                            QString::number(object.Iron), QString::number(object.Grain)};
    }
    return texts;
}

void TPlanner::SetHorizon(qint32 seconds)
{
    m_Village.Horizon = seconds == TwoHours ? TwoHours : OneHour;
    emit HorizonChanged(m_Village.Horizon);
    RecalculateAvailable();
}

QString TPlanner::HorizonTitle(qint32 seconds)
{
    return QStringLiteral("Доступны для строительства в течение ")
        + (seconds == TwoHours ? QStringLiteral("двух часов") : QStringLiteral("часа"));
}

void TPlanner::Build(int row)
{
    if (row < 0 || row >= m_Available.size())
        return;
    // A copy: the recalculation at the end replaces the table.
    const TAvailableRow built = m_Available.at(row);

    for (TResourceKind kind : AllResourceKinds) {
        const std::size_t i = KindIndex(kind);
        const qint64 stock = qint64(m_Village.ResourceCollectValue(kind)) - WholeNumberOr(built[1 + i], 0);
        m_Village.ResourceCollect[i] = QString::number(ClampToInt32(stock));
    }
    emit m_Village.ResourcesChanged();

    if (m_Village.BuildTotal == 0) {
        m_Village.BuildName = built[0];
        // A build-time text that reads back as a negative duration (only a
        // catalog with negative times can make one) starts nothing, like a
        // duration of 0.
        m_Village.BuildTotal = std::max(0, TdmListObj::TextToSeconds(built[6]));
        m_Village.BuildElapsed = 0;
        emit ProgressChanged();
    }

    MoveToNextLevel(built[0]);
    RecalculateAvailable();
}

void TPlanner::AdvanceToNextLevel(const QString &text)
{
    if (MoveToNextLevel(text))
        RecalculateAvailable();
}

bool TPlanner::MoveToNextLevel(const QString &text)
{
    const int position = m_Village.IndexOfAvBuilding(text);
    if (position < 0)
        return false;
    const qint32 current = m_Village.AvBuildings.at(position).CatalogIndex;
    const qint32 next = m_Catalog.FindNextLevel(current);
    if (next < 0)
        return false;
    const TAvBuildingEntry entry{m_Catalog.Object(next).DisplayText(), next};
    if (m_Village.IndexOfAvBuilding(entry.Text) >= 0)
        return false;
    if (IsResourceField(m_Catalog.Object(current).Name))
        m_Village.AddAvBuilding(entry);
    else
        m_Village.ReplaceAvBuildingAt(position, entry);
    return true;
}

void TPlanner::Tick()
{
    // The counter runs 1, 2, ..., 3600, 0, 1, ... Wide, so that a counter set
    // from outside cannot overflow; one out of its range starts over.
    const qint64 counter = qint64(m_Village.HourCounter) + 1;
    m_Village.HourCounter = ClampToInt32(counter);
    if (counter > 0 && counter % SavePeriod == 0 && !m_Village.FileName.isEmpty())
        emit AutoSaveDue();
    if (counter > OneHour || counter < 0)
        m_Village.HourCounter = 0;
    AccrueResources();
    AdvanceProgress();
}

void TPlanner::AccrueResources()
{
    bool changed = false;
    for (TResourceKind kind : AllResourceKinds) {
        const qint32 income = m_Village.ResourceAddValue(kind);
        const qint64 units = UnitsDueAt(m_Village.HourCounter, income);
        if (units == 0)
            continue;
        const qint32 stock = m_Village.ResourceCollectValue(kind);
        // A positive income adds up to the largest 32-bit value; a negative
        // one takes away down to 0 but never below (a stock already below 0
        // stays as it is).
        qint32 grown = stock;
        if (income > 0)
            grown = ClampToInt32(qint64(stock) + units);
        else if (stock > 0)
            grown = qint32(std::max<qint64>(0, qint64(stock) - units));
        if (grown == stock)
            continue;
        m_Village.ResourceCollect[KindIndex(kind)] = QString::number(grown);
        changed = true;
    }
    if (!changed)
        return;
    m_Village.Modified = true;
    emit m_Village.ResourcesChanged();
    RecalculateAvailable();
}

void TPlanner::AdvanceProgress()
{
    if (m_Village.BuildTotal <= 0)
        return;
    // Elapsed stays below the total while a construction runs; a value set
    // from outside at or beyond it ends the construction without counting.
    if (m_Village.BuildElapsed < m_Village.BuildTotal)
        ++m_Village.BuildElapsed;
    if (m_Village.BuildElapsed >= m_Village.BuildTotal) {
        m_Village.BuildTotal = 0;
        m_Village.BuildElapsed = 0;
        m_Village.BuildName.clear();
        m_RemainingText.clear();
    } else {
        const qint64 remaining = qint64(m_Village.BuildTotal) - m_Village.BuildElapsed;
        m_RemainingText = TdmListObj::SecondsToText(ClampToInt32(remaining), true);
    }
    emit ProgressChanged();
}
