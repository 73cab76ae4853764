// The construction planner of one village: its evaluation, the build
// command, moving a considered building on to its next level, queueing, and
// the one-second tick (automatic save, growth of the stocks, construction in
// progress).
//
// All arithmetic on numbers that come from texts is done in 64 bits and
// clamped to 32 bits, so that no input can overflow.
#include "Planner.h"

#include "base/Clock.h"
#include "base/NextPass.h"
#include "base/TextCompare.h"
#include "base/TimeText.h"
#include "base/WholeNumber.h"
#include "catalog/dm_ListObjects.h"
#include "rules/BuildingEffects.h"

#include <QStringList>

#include <algorithm>

namespace {

constexpr qint32 OneHour = 3600;
constexpr qint32 SavePeriod = 300;

} // namespace

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
    // Everything the evaluation reads. A main-building level typed counts
    // once it is a whole number (the record asks for it then): while the
    // field is being cleared and typed anew, the table stays.
    connect(&m_Village, &TVillageData::NameChanged, this, &TPlanner::Invalidate);
    connect(&m_Village, &TVillageData::ResourcesChanged, this, &TPlanner::Invalidate);
    connect(&m_Village, &TVillageData::AvBuildingsChanged, this, &TPlanner::Invalidate);
    connect(&m_Village, &TVillageData::QueueChanged, this, &TPlanner::Invalidate);
    connect(&m_Village, &TVillageData::BuiltChanged, this, &TPlanner::Invalidate);
    connect(&m_Village, &TVillageData::DeliveriesChanged, this, &TPlanner::Invalidate);
    connect(&m_Village, &TVillageData::ConstructionChanged, this, &TPlanner::Invalidate);
    connect(&m_Village, &TVillageData::HorizonChanged, this, &TPlanner::Invalidate);
    connect(&m_Village, &TVillageData::RecalculationRequested, this, &TPlanner::Invalidate);
    SetHorizon(TVillageData::OneHourHorizon);
}

QString TPlanner::RemainingText() const
{
    if (!m_ProgressTicked || m_Village.BuildTotal <= 0)
        return {};
    return DurationWithEndText(qint64(m_Village.BuildTotal) - m_Village.BuildElapsed, CurrentDateTime());
}

void TPlanner::SetTimelineWanted(bool wanted)
{
    if (wanted == m_TimelineWanted)
        return;
    m_TimelineWanted = wanted;
    Invalidate();
}

void TPlanner::Invalidate()
{
    m_Stale = true;
    m_Unannounced = true;
    if (m_Posted)
        return;
    m_Posted = true;
    CallAtNextPass(this, [this] { EvaluateIfDue(); });
}

void TPlanner::EvaluateIfDue()
{
    m_Posted = false;
    if (!m_Unannounced)
        return;
    Evaluation();
    m_Unannounced = false;
    emit Evaluated();
}

void TPlanner::Evaluate() const
{
    EvaluateVillage(m_Village, m_Catalog, CurrentDateTime(), m_TimelineWanted, m_Evaluation);
    m_Stale = false;
    ++m_EvaluationCount;
}

const TVillageEvaluation &TPlanner::Evaluation() const
{
    if (m_Stale)
        Evaluate();
    return m_Evaluation;
}

void TPlanner::RecalculateAvailable()
{
    Evaluate();
    m_Unannounced = false;
    emit Evaluated();
}

void TPlanner::SetHorizon(qint32 seconds)
{
    m_Village.SetHorizon(seconds);
    emit HorizonChanged(m_Village.Horizon);
    RecalculateAvailable();
}

QString TPlanner::HorizonTitle(qint32 seconds)
{
    return QStringLiteral("Доступны для строительства в течение ")
        + (seconds == TVillageData::TwoHourHorizon ? QStringLiteral("двух часов") : QStringLiteral("часа"));
}

QString TPlanner::ShortageQuestion(qint32 catalogIndex) const
{
    if (catalogIndex < 0 || catalogIndex >= m_Catalog.Count())
        return {};
    const TResourceAmounts costs = CostsOf(m_Catalog.Object(catalogIndex));
    QStringList missing;
    for (TResourceKind kind : AllResourceKinds) {
        const qint64 shortage = qint64(costs[KindIndex(kind)]) - m_Village.ResourceCollectValue(kind);
        if (shortage > 0)
            missing.append(ResourceName(kind).toLower() + u' ' + QString::number(shortage));
    }
    if (missing.isEmpty())
        return {};
    return QStringLiteral("Не хватает ресурсов: %1. Отметить строительство всё равно?")
        .arg(missing.join(QStringLiteral(", ")));
}

qint32 TPlanner::CatalogIndexOfRow(int row) const
{
    const QList<TAvailableEntry> &available = Available();
    return row >= 0 && row < available.size() ? available.at(row).CatalogIndex : -1;
}

void TPlanner::Build(int row)
{
    const QList<TAvailableEntry> &available = Available();
    if (row < 0 || row >= available.size())
        return;
    // A copy: building changes the village and so the table. On the blank
    // row every cost counts as 0 and the name is empty.
    const TAvailableEntry built = available.at(row);
    BuildObject(built.IsBlank() ? nullptr : &m_Catalog.Object(built.CatalogIndex), built.CatalogIndex,
                built.BuildSeconds);
}

std::optional<TExchangePlan> TPlanner::ExchangeFor(int row) const
{
    const QList<TAvailableEntry> &available = Available();
    if (row < 0 || row >= available.size() || available.at(row).IsBlank())
        return std::nullopt;
    return PlanExchangeWithArrivals(m_Village.Stocks(), m_Village.Incomes(), m_Village.Capacities(),
                                    CostsOf(m_Catalog.Object(available.at(row).CatalogIndex)),
                                    ArrivalsOf(m_Village, CurrentDateTime()));
}

bool TPlanner::Exchange(int row)
{
    const std::optional<TExchangePlan> plan = ExchangeFor(row);
    if (!plan || plan->Afford != TAffordTime(0) || plan->Moves == TExchangeMoves{})
        return false;
    std::array<std::optional<qint32>, 4> stocks{};
    for (std::size_t i = 0; i < stocks.size(); ++i)
        stocks[i] = ClampToInt32(m_Village.Stocks()[i] + plan->Moves[i]);
    m_Village.SetStocks(stocks);
    m_Village.SetModified(true);
    RecalculateAvailable();
    return true;
}

void TPlanner::BuildFromCatalog(qint32 catalogIndex)
{
    if (catalogIndex < 0 || catalogIndex >= m_Catalog.Count())
        return;
    const TLivaronObject &object = m_Catalog.Object(catalogIndex);
    BuildObject(&object, catalogIndex,
                BuildSecondsAt(m_Catalog, object.Time, m_Village.MainLevelValue(), m_Village.ServerSpeedValue()));
}

void TPlanner::BuildObject(const TLivaronObject *object, qint32 catalogIndex, qint32 buildSeconds)
{
    // A cost the catalog does not give, or a negative one, counts as 0, as
    // in the table and the queue: building never adds to a stock.
    const TResourceAmounts costs = object ? CostsOf(*object) : TResourceAmounts{};
    std::array<std::optional<qint32>, 4> stocks{};
    for (TResourceKind kind : AllResourceKinds) {
        const qint64 cost = costs[KindIndex(kind)];
        stocks[KindIndex(kind)] = ClampToInt32(qint64(m_Village.ResourceCollectValue(kind)) - cost);
    }
    m_Village.SetStocks(stocks);

    const QString name = object ? object->DisplayText() : QString();
    if (m_Village.BuildTotal == 0) {
        // A negative build time (only a catalog with negative times makes
        // one) starts nothing, like a build time of 0.
        m_ProgressTicked = false;
        m_Village.SetConstruction(name, std::max(0, buildSeconds), 0);
        emit ProgressChanged();
    }

    // Its costs are spent now: the queue's projection must not spend them
    // again.
    m_Village.TakeQueuedEntry(catalogIndex);
    MoveToNextLevel(name);
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

std::optional<TAvBuildingEntry> TPlanner::EntryToEnqueue(const TdmListObj &catalog,
                                                         const QList<TAvBuildingEntry> &queue, qint32 catalogIndex)
{
    if (catalogIndex < 0 || catalogIndex >= catalog.Count())
        return std::nullopt;
    const TLivaronObject &chosen = catalog.Object(catalogIndex);
    // The highest level of the same building that the queue holds, and
    // whether it holds the chosen entry itself.
    qint32 highest = -1;
    bool holdsChosen = false;
    for (const TAvBuildingEntry &queued : queue) {
        if (queued.CatalogIndex < 0 || queued.CatalogIndex >= catalog.Count())
            continue;
        holdsChosen = holdsChosen || queued.CatalogIndex == catalogIndex;
        const TLivaronObject &object = catalog.Object(queued.CatalogIndex);
        if (SameText(object.Name, chosen.Name) && (highest < 0 || object.Level > catalog.Object(highest).Level))
            highest = queued.CatalogIndex;
    }
    // A village has several fields of each kind, at levels of their own: a
    // field's level is queued as it is unless the queue holds it already. Any
    // other building stands once, so its next level comes after the highest
    // one queued.
    const bool laterLevel = IsResourceField(chosen.Name) ? holdsChosen
                                                         : highest >= 0 && catalog.Object(highest).Level >= chosen.Level;
    qint32 index = catalogIndex;
    if (laterLevel)
        index = catalog.FindNextLevel(highest);
    if (index < 0)
        return std::nullopt;
    return TAvBuildingEntry{catalog.Object(index).DisplayText(), index};
}

bool TPlanner::Enqueue(qint32 catalogIndex)
{
    const std::optional<TAvBuildingEntry> entry = EntryToEnqueue(m_Catalog, m_Village.Queue, catalogIndex);
    if (!entry)
        return false;
    m_Village.AppendToQueue(*entry);
    return true;
}

bool TPlanner::BuildFirstQueued()
{
    if (m_Village.Queue.isEmpty())
        return false;
    const qint32 index = m_Village.Queue.constFirst().CatalogIndex;
    if (index < 0 || index >= m_Catalog.Count())
        return false;
    BuildFromCatalog(index);
    return true;
}

void TPlanner::Tick()
{
    // The counter runs 1, 2, ..., 3600, 0, 1, ... Wide, so that a counter set
    // from outside cannot overflow; one out of its range starts over.
    const qint64 counter = qint64(m_Village.HourCounter) + 1;
    m_Village.SetHourCounter(ClampToInt32(counter));
    if (counter > 0 && counter % SavePeriod == 0 && !m_Village.FileName.isEmpty())
        emit AutoSaveDue();
    if (counter > OneHour || counter < 0)
        m_Village.SetHourCounter(0);
    AccrueResources();
    AdvanceProgress();
    emit Ticked();
}

void TPlanner::AccrueResources()
{
    bool changed = false;
    std::array<std::optional<qint32>, 4> stocks{};
    for (TResourceKind kind : AllResourceKinds) {
        const qint32 income = m_Village.ResourceAddValue(kind);
        const qint64 units = UnitsDueAt(m_Village.HourCounter, income);
        if (units == 0)
            continue;
        const qint32 stock = m_Village.ResourceCollectValue(kind);
        const qint32 grown = MoveStock(stock, income > 0 ? units : -units, m_Village.CapacityValue(kind));
        if (grown == stock)
            continue;
        stocks[KindIndex(kind)] = grown;
        changed = true;
    }
    if (!changed)
        return;
    m_Village.SetStocks(stocks);
    m_Village.SetModified(true);
}

void TPlanner::AdvanceProgress()
{
    if (m_Village.BuildTotal <= 0)
        return;
    // Elapsed stays below the total while a construction runs; a value set
    // from outside at or beyond it ends the construction without counting.
    const qint32 elapsed = m_Village.BuildElapsed < m_Village.BuildTotal ? m_Village.BuildElapsed + 1
                                                                           : m_Village.BuildElapsed;
    m_Village.SetConstruction(m_Village.BuildName, m_Village.BuildTotal, elapsed);
    QString ended;
    const bool finished = m_Village.BuildElapsed >= m_Village.BuildTotal;
    if (finished) {
        ended = m_Village.BuildName;
        m_Village.SetConstruction(QString(), 0, 0);
    }
    m_ProgressTicked = !finished;
    emit ProgressChanged();
    if (finished)
        emit ConstructionEnded(ended);
}
