// A development plan; see DevelopmentPlan.h.
//
// TPlanEvaluator plays a step as ProjectQueue plays a queued item (the same
// helpers: TimeToAffordScaled, BuildSecondsAt, BuildingEffect, CapacityAfter,
// IncomeAfter, ScaledTop), without the timeline and on figures looked up
// once: tst_developmentplan holds the two equal on generated plans.
#include "DevelopmentPlan.h"

#include "rules/BuildingEffects.h"

#include "base/TimeText.h"
#include "catalog/dm_ListObjects.h"

#include <QElapsedTimer>
#include <QHash>

#include <algorithm>

namespace {

// The search of a large plan stops improving after this long.
constexpr qint64 SearchBudgetMs = 250;
// How deep the steps a switch adds may call for further added steps.
constexpr int MostAddedDepth = 8;
// The highest level a catalog entry holds (8 bits).
constexpr qint32 HighestLevel = 127;

qint64 AddSeconds(qint64 a, qint64 b)
{
    return a > PlanNever - b ? PlanNever : a + b;
}

// The projection's AdvanceTo without the timeline: stocks grow to their
// tops or fall to 0.
void AdvanceTo(TPlanEvaluator::TState &state, qint64 until)
{
    if (until <= state.Now)
        return;
    const qint64 span = until - state.Now;
    for (std::size_t i = 0; i < state.Stocks.size(); ++i) {
        const qint64 income = state.Incomes[i];
        qint64 &scaled = state.Stocks[i];
        qint64 bound = 0;
        qint64 gap = 0;
        if (income > 0 && scaled < state.Tops[i]) {
            bound = state.Tops[i];
            gap = bound - scaled;
        } else if (income < 0 && scaled > 0) {
            gap = scaled;
        } else {
            continue;
        }
        const qint64 rate = income < 0 ? -income : income;
        const qint64 secondsToBound = gap / rate + (gap % rate != 0 ? 1 : 0);
        if (span >= secondsToBound)
            scaled = bound;
        else
            scaled += income > 0 ? span * rate : -span * rate;
    }
    state.Now = until;
}

qint64 TotalCost(const TLivaronObject &object)
{
    qint64 total = 0;
    for (qint32 cost : CostsOf(object))
        total += cost;
    return total;
}

// The steps grouped by slot, each group's levels rising, groups in the
// order of their first step.
QList<QList<TPlanStep>> GroupBySlot(const QList<TPlanStep> &steps)
{
    QList<QList<TPlanStep>> groups;
    QHash<qint32, qsizetype> groupOf;
    for (const TPlanStep &step : steps) {
        const auto found = groupOf.constFind(step.Slot);
        if (found == groupOf.constEnd()) {
            groupOf.insert(step.Slot, groups.size());
            groups.append({step});
        } else {
            groups[*found].append(step);
        }
    }
    return groups;
}

} // namespace

QDebug operator<<(QDebug debug, const TPlanSlot &slot)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TPlanSlot(#" << slot.CatalogIndex << ", level " << slot.Level << ')';
    return debug;
}

QDebug operator<<(QDebug debug, const TPlanStep &step)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TPlanStep(slot " << step.Slot << ", level " << step.Level << ", #" << step.CatalogIndex
                    << (step.Added ? ", added" : "") << ')';
    return debug;
}

bool TPlanOutcome::IsReachable() const
{
    return End != PlanNever;
}

bool TPlanOutcome::IsBetterThan(const TPlanOutcome &other) const
{
    if (End != other.End)
        return End < other.End;
    return IsReachable() && StocksLeft > other.StocksLeft;
}

QString PlanRuleText(TPlanRule rule)
{
    switch (rule) {
    case TPlanRule::CatalogOrder:
        return QStringLiteral("в порядке каталога");
    case TPlanRule::CheapestFirst:
        return QStringLiteral("сначала дешёвые");
    case TPlanRule::LowestLevelFirst:
        return QStringLiteral("сначала низкие уровни");
    case TPlanRule::PaybackFirst:
        return QStringLiteral("сначала быстро окупаемые");
    }
    return {};
}

QList<TPlanStep> PlanSteps(const TdmListObj &catalog, const TPlanRequest &request)
{
    // Per slot the highest target, slots in the order of their first target.
    QList<qint32> slotOrder;
    QHash<qint32, qint32> highest;
    for (const TPlanTarget &target : request.Targets) {
        if (target.Slot < 0 || target.Slot >= request.Slots.size())
            continue;
        const auto found = highest.find(target.Slot);
        if (found == highest.end()) {
            slotOrder.append(target.Slot);
            highest.insert(target.Slot, target.Level);
        } else {
            *found = std::max(*found, target.Level);
        }
    }
    QList<TPlanStep> steps;
    for (qint32 slot : std::as_const(slotOrder)) {
        const TPlanSlot &built = request.Slots.at(slot);
        if (built.CatalogIndex < 0 || built.CatalogIndex >= catalog.Count())
            continue;
        const QString &name = catalog.Object(built.CatalogIndex).Name;
        const qint32 target = std::min(highest.value(slot), HighestLevel);
        for (qint32 level = std::max(built.Level, 0) + 1; level <= target; ++level) {
            const qint32 index = catalog.FindByDisplayText(MakeDisplayText(name, level));
            if (index < 0)
                break;
            steps.append({slot, level, index, false});
        }
    }
    return steps;
}

// --- The evaluator ---------------------------------------------------------

TPlanEvaluator::TPlanEvaluator(const TdmListObj &catalog, const TPlanRequest &request)
    : m_Catalog(catalog), m_Start(request.Start), m_Switches(request.Switches)
{
    const qint32 speed = m_Start.ServerSpeed;
    QHash<QString, std::vector<TLevelFigures>> chains;
    const auto chainOf = [&](const QString &name) {
        auto found = chains.find(name);
        if (found != chains.end())
            return *found;
        std::vector<TLevelFigures> levels;
        for (qint32 level = 1; level <= HighestLevel; ++level) {
            const qint32 index = catalog.FindByDisplayText(MakeDisplayText(name, level));
            if (index < 0)
                break;
            TLevelFigures figures;
            figures.CatalogIndex = index;
            figures.Costs = ScaledAmounts(CostsOf(catalog.Object(index)));
            figures.Effect = BuildingEffect(catalog, index, speed);
            figures.Time = catalog.Object(index).Time;
            levels.push_back(figures);
        }
        chains.insert(name, levels);
        return levels;
    };
    const auto addSlot = [&](const QString &name, qint32 level) {
        TSlotChain slot;
        slot.Start = std::max(level, 0);
        slot.Levels = chainOf(name);
        slot.IsMain = name == MainBuildingName;
        m_Slots.push_back(std::move(slot));
        return qint32(m_Slots.size()) - 1;
    };
    for (const TPlanSlot &slot : request.Slots) {
        const bool known = slot.CatalogIndex >= 0 && slot.CatalogIndex < catalog.Count();
        const QString name = known ? catalog.Object(slot.CatalogIndex).Name : QString();
        const qint32 index = addSlot(name, slot.Level);
        if (name == WarehouseName)
            m_Warehouses.push_back(index);
        else if (name == GranaryName)
            m_Granaries.push_back(index);
        else if (FieldKind(name) == TResourceKind::Grain)
            m_Farms.push_back(index);
        else if (name == MainBuildingName && m_MainSlot < 0)
            m_MainSlot = index;
    }
    // A village without a storage gets its first one when a switch asks.
    if (m_Switches.Storages && m_Warehouses.empty())
        m_Warehouses.push_back(addSlot(WarehouseName, 0));
    if (m_Switches.Storages && m_Granaries.empty())
        m_Granaries.push_back(addSlot(GranaryName, 0));
    if (m_MainSlot < 0)
        m_MainSlot = addSlot(MainBuildingName, m_Start.MainLevel);

    // The least build-time percentage of the main levels the plan may reach.
    qint32 highestMain = m_Start.MainLevel;
    if (m_Switches.MainBuilding)
        highestMain = HighestLevel;
    for (const TPlanTarget &target : request.Targets) {
        if (target.Slot >= 0 && target.Slot < qint32(m_Slots.size()) && m_Slots[std::size_t(target.Slot)].IsMain)
            highestMain = std::max(highestMain, target.Level);
    }
    // Levels beyond 1..20 count as the nearest end.
    highestMain = std::min(highestMain, 20);
    m_LeastPercent = catalog.MainBuildingPercent(m_Start.MainLevel);
    for (qint32 level = std::max(m_Start.MainLevel, 1); level <= highestMain; ++level)
        m_LeastPercent = std::min(m_LeastPercent, catalog.MainBuildingPercent(level));

    if (m_Start.RunningRemaining > 0)
        m_Running = BuildingEffect(catalog, m_Start.RunningIndex, speed);
}

const TPlanEvaluator::TLevelFigures *TPlanEvaluator::Figures(qint32 slot, qint32 level) const
{
    if (slot < 0 || slot >= qint32(m_Slots.size()) || level < 1)
        return nullptr;
    const std::vector<TLevelFigures> &levels = m_Slots[std::size_t(slot)].Levels;
    if (level > qint32(levels.size()))
        return nullptr;
    return &levels[std::size_t(level - 1)];
}

qint32 TPlanEvaluator::LevelIndex(qint32 slot, qint32 level) const
{
    const TLevelFigures *figures = Figures(slot, level);
    return figures ? figures->CatalogIndex : -1;
}

qint64 TPlanEvaluator::LeastBuildSeconds(qint32 slot, qint32 level) const
{
    const TLevelFigures *figures = Figures(slot, level);
    if (!figures)
        return 0;
    return AtServerSpeed(std::max(BuildSeconds(figures->Time, m_LeastPercent), 0), m_Start.ServerSpeed);
}

TPlanEvaluator::TState TPlanEvaluator::Initial() const
{
    TState state;
    for (std::size_t i = 0; i < state.Stocks.size(); ++i) {
        state.Stocks[i] = qint64(m_Start.Stocks[i]) * SecondsPerHour;
        state.Tops[i] = ScaledTop(m_Start.Capacities[i]);
    }
    state.Incomes = m_Start.Incomes;
    state.Capacities = m_Start.Capacities;
    state.PreviousEnd = std::max(m_Start.RunningRemaining, 0);
    state.MainLevel = m_Start.MainLevel;
    state.Pending = m_Start.RunningRemaining > 0 ? &m_Running : nullptr;
    state.Levels.reserve(m_Slots.size());
    for (const TSlotChain &slot : m_Slots)
        state.Levels.push_back(slot.Start);
    return state;
}

void TPlanEvaluator::ApplyPending(TState &state)
{
    const TBuildingEffect *effect = state.Pending;
    state.Pending = nullptr;
    if (!effect || (!effect->ChangesIncome() && effect->StorageKinds == 0))
        return;
    AdvanceTo(state, state.PreviousEnd);
    for (TResourceKind kind : AllResourceKinds) {
        const std::size_t i = KindIndex(kind);
        state.Incomes[i] = IncomeAfter(state.Incomes[i], effect->IncomeChange[i]);
        if (!effect->ChangesCapacity(kind))
            continue;
        const qint32 after = CapacityAfter(state.Capacities[i], *effect);
        if (after == state.Capacities[i])
            continue;
        state.Capacities[i] = after;
        state.Tops[i] = ScaledTop(after);
    }
}

qint32 TPlanEvaluator::LowestSlot(const TState &state, const std::vector<qint32> &candidates) const
{
    qint32 lowest = -1;
    for (qint32 slot : candidates) {
        const qint32 level = state.Levels[std::size_t(slot)];
        if (!Figures(slot, level + 1))
            continue;
        if (lowest < 0 || level < state.Levels[std::size_t(lowest)])
            lowest = slot;
    }
    return lowest;
}

qint32 TPlanEvaluator::NeededSlot(const TState &state, const TLevelFigures &figures, qint32 slot) const
{
    if (m_Switches.Storages) {
        for (TResourceKind kind : AllResourceKinds) {
            const std::size_t i = KindIndex(kind);
            const qint32 capacity = state.Capacities[i];
            if (!IsKnownCapacity(capacity) || figures.Costs[i] <= qint64(capacity) * SecondsPerHour)
                continue;
            const qint32 storage = LowestSlot(state, kind == TResourceKind::Grain ? m_Granaries : m_Warehouses);
            if (storage >= 0)
                return storage;
        }
    }
    if (m_Switches.Farms) {
        const std::size_t grain = KindIndex(TResourceKind::Grain);
        const qint32 change = figures.Effect.IncomeChange[grain];
        if (change < 0 && IncomeAfter(state.Incomes[grain], change) < 0) {
            const qint32 farm = LowestSlot(state, m_Farms);
            if (farm >= 0 && farm != slot)
                return farm;
        }
    }
    return -1;
}

bool TPlanEvaluator::PlayLevel(TState &state, qint32 slot, qint32 level, bool added, int depth,
                               QList<TPlanStep> *played) const
{
    if (state.Failed)
        return false;
    if (slot < 0 || slot >= qint32(m_Slots.size())) {
        state.Failed = true;
        return false;
    }
    std::size_t at = std::size_t(slot);
    // The levels below come first.
    while (state.Levels[at] < level - 1) {
        if (!PlayLevel(state, slot, state.Levels[at] + 1, added, depth, played))
            return false;
    }
    if (state.Levels[at] >= level)
        return true;
    const TLevelFigures *figures = Figures(slot, level);
    if (!figures) {
        state.Failed = true;
        return false;
    }
    ApplyPending(state);
    AdvanceTo(state, state.PreviousEnd);
    if (depth < MostAddedDepth) {
        // Each round raises a slot by one level, and slots have few levels.
        for (;;) {
            const qint32 needed = NeededSlot(state, *figures, slot);
            if (needed < 0)
                break;
            if (!PlayLevel(state, needed, state.Levels[std::size_t(needed)] + 1, true, depth + 1, played))
                return false;
            if (state.Levels[at] >= level)
                return true;
            ApplyPending(state);
            AdvanceTo(state, state.PreviousEnd);
        }
    }
    const TAffordTime wait = TimeToAffordScaled(state.Stocks, state.Incomes, state.Tops, figures->Costs);
    if (wait.IsNever()) {
        state.Failed = true;
        return false;
    }
    const qint64 start = AddSeconds(state.PreviousEnd, wait.Seconds);
    AdvanceTo(state, start);
    for (std::size_t i = 0; i < state.Stocks.size(); ++i)
        state.Stocks[i] -= figures->Costs[i];
    const qint64 build = BuildSecondsAt(m_Catalog, figures->Time, state.MainLevel, m_Start.ServerSpeed);
    if (m_Slots[at].IsMain)
        state.MainLevel = level;
    state.PreviousEnd = AddSeconds(start, build);
    state.Pending = &figures->Effect;
    state.Levels[at] = level;
    if (played)
        played->append({slot, level, figures->CatalogIndex, added});
    return true;
}

bool TPlanEvaluator::Play(TState &state, const TPlanStep &step, QList<TPlanStep> *played) const
{
    return PlayLevel(state, step.Slot, step.Level, step.Added, 0, played);
}

qint64 TPlanEvaluator::StocksAt(const TState &state)
{
    TState at = state;
    AdvanceTo(at, at.PreviousEnd);
    qint64 total = 0;
    for (qint64 stock : at.Stocks)
        total += stock;
    return total;
}

TPlanOutcome TPlanEvaluator::Evaluate(const QList<TPlanStep> &order, bool withPlayed) const
{
    TPlanOutcome outcome;
    TState state = Initial();
    for (const TPlanStep &step : order) {
        if (!Play(state, step, withPlayed ? &outcome.Played : nullptr))
            break;
    }
    outcome.End = state.Failed ? PlanNever : state.PreviousEnd;
    outcome.StocksLeft = state.Failed ? 0 : StocksAt(state);
    return outcome;
}

// --- The simple rules ------------------------------------------------------

QList<TPlanStep> OrderByRule(const TdmListObj &catalog, const TPlanRequest &request, const QList<TPlanStep> &steps,
                             TPlanRule rule)
{
    const auto key = [&](const TPlanStep &step) -> qint64 {
        if (step.CatalogIndex < 0 || step.CatalogIndex >= catalog.Count())
            return PlanNever;
        switch (rule) {
        case TPlanRule::CatalogOrder:
            return step.CatalogIndex;
        case TPlanRule::CheapestFirst:
            return TotalCost(catalog.Object(step.CatalogIndex));
        case TPlanRule::LowestLevelFirst:
            return step.Level;
        case TPlanRule::PaybackFirst:
            return PaybackSeconds(catalog, step.CatalogIndex, request.Start.ServerSpeed).value_or(PlanNever);
        }
        return PlanNever;
    };
    const QList<QList<TPlanStep>> groups = GroupBySlot(steps);
    std::vector<qsizetype> next(std::size_t(groups.size()), 0);
    QList<TPlanStep> order;
    order.reserve(steps.size());
    while (order.size() < steps.size()) {
        qsizetype chosen = -1;
        qint64 chosenKey = 0;
        for (qsizetype g = 0; g < groups.size(); ++g) {
            if (next[std::size_t(g)] >= groups[g].size())
                continue;
            const TPlanStep &step = groups[g][next[std::size_t(g)]];
            const qint64 k = key(step);
            const TPlanStep *best = chosen < 0 ? nullptr : &groups[chosen][next[std::size_t(chosen)]];
            if (!best || k < chosenKey || (k == chosenKey && step.CatalogIndex < best->CatalogIndex)) {
                chosen = g;
                chosenKey = k;
            }
        }
        order.append(groups[chosen][next[std::size_t(chosen)]++]);
    }
    return order;
}

// --- The search ------------------------------------------------------------

namespace {

class TPlanSearch
{
public:
    TPlanSearch(const TPlanEvaluator &evaluator, const TPlanControl &control, TPlanResult &result)
        : m_Evaluator(evaluator), m_Control(control), m_Result(result)
    {
        m_Clock.start();
    }

    bool Cancelled() const { return m_Control.Cancel && m_Control.Cancel->load(std::memory_order_relaxed); }
    void Report(int percent) const
    {
        if (m_Control.Progress)
            m_Control.Progress(std::clamp(percent, 0, 100));
    }

    // Branch and bound over every order that keeps each group's levels in
    // order; `best` holds the best order known and its outcome.
    void Exact(const QList<TPlanStep> &steps, QList<TPlanStep> &best, TPlanOutcome &bestOutcome)
    {
        m_Groups = GroupBySlot(steps);
        m_Next.assign(std::size_t(m_Groups.size()), 0);
        m_Remaining = 0;
        for (const TPlanStep &step : steps)
            m_Remaining += m_Evaluator.LeastBuildSeconds(step.Slot, step.Level);
        m_States.assign(std::size_t(steps.size()) + 1, m_Evaluator.Initial());
        m_Order.clear();
        m_Total = steps.size();
        m_Best = &best;
        m_BestOutcome = &bestOutcome;
        Branch(0);
    }

    // Moves one step at a time to another place while the plan ends sooner
    // (or as soon with larger stocks), until no move helps, the budget is
    // spent or the search is cancelled.
    void Improve(QList<TPlanStep> &order, TPlanOutcome &outcome)
    {
        const qsizetype n = order.size();
        if (n < 2)
            return;
        std::vector<TPlanEvaluator::TState> prefix;
        const auto playPrefixes = [&]() {
            prefix.assign(std::size_t(n) + 1, m_Evaluator.Initial());
            for (qsizetype p = 0; p < n; ++p) {
                prefix[std::size_t(p) + 1] = prefix[std::size_t(p)];
                m_Evaluator.Play(prefix[std::size_t(p) + 1], order[p]);
            }
        };
        playPrefixes();
        QList<TPlanStep> candidate;
        TPlanEvaluator::TState state;
        qsizetype quiet = 0; // steps tried in a row without a gain
        for (qsizetype i = 0; quiet < n; i = (i + 1) % n, ++quiet) {
            if (Cancelled() || m_Clock.elapsed() > SearchBudgetMs)
                return;
            Report(int(m_Clock.elapsed() * 100 / SearchBudgetMs));
            for (qsizetype j = 0; j < n; ++j) {
                if (j == i || !MayMove(order, i, j))
                    continue;
                candidate = order;
                candidate.move(i, j);
                const qsizetype from = std::min(i, j);
                state = prefix[std::size_t(from)];
                bool cut = false;
                for (qsizetype p = from; p < n && !cut; ++p) {
                    if (!m_Evaluator.Play(state, candidate[p]) || state.PreviousEnd > outcome.End)
                        cut = true;
                }
                ++m_Result.Evaluations;
                if (cut || state.Failed)
                    continue;
                TPlanOutcome tried{state.PreviousEnd, TPlanEvaluator::StocksAt(state), {}};
                if (!tried.IsBetterThan(outcome))
                    continue;
                order = candidate;
                outcome = tried;
                playPrefixes();
                quiet = 0;
            }
        }
    }

    qint64 ElapsedMs() const { return m_Clock.elapsed(); }

private:
    // Whether the step at i may stand at j without passing a level of its
    // own slot.
    static bool MayMove(const QList<TPlanStep> &order, qsizetype i, qsizetype j)
    {
        const qint32 slot = order[i].Slot;
        const qsizetype low = std::min(i, j + (j > i ? 1 : 0));
        const qsizetype high = std::max(i, j + (j > i ? 1 : 0));
        for (qsizetype p = low; p < high; ++p) {
            if (p != i && order[p].Slot == slot)
                return false;
        }
        return true;
    }

    void Branch(qsizetype depth)
    {
        if (m_Stopped)
            return;
        if (((++m_Result.Evaluations & 1023) == 0 || depth == 0) && Cancelled()) {
            m_Stopped = true;
            return;
        }
        const TPlanEvaluator::TState &state = m_States[std::size_t(depth)];
        if (depth == m_Total) {
            const TPlanOutcome outcome{state.PreviousEnd, TPlanEvaluator::StocksAt(state), {}};
            if (outcome.IsBetterThan(*m_BestOutcome)) {
                *m_Best = m_Order;
                *m_BestOutcome = outcome;
            }
            return;
        }
        for (qsizetype g = 0; g < m_Groups.size(); ++g) {
            const qsizetype at = m_Next[std::size_t(g)];
            if (at >= m_Groups[g].size() || IsRepeat(g))
                continue;
            const TPlanStep &step = m_Groups[g][at];
            TPlanEvaluator::TState &child = m_States[std::size_t(depth) + 1];
            child = state;
            const qint64 least = m_Evaluator.LeastBuildSeconds(step.Slot, step.Level);
            m_Remaining -= least;
            if (m_Evaluator.Play(child, step) && AddSeconds(child.PreviousEnd, m_Remaining) <= m_BestOutcome->End) {
                ++m_Next[std::size_t(g)];
                m_Order.append(step);
                Branch(depth + 1);
                m_Order.removeLast();
                --m_Next[std::size_t(g)];
            }
            m_Remaining += least;
            if (depth == 0)
                Report(int((g + 1) * 99 / m_Groups.size()));
        }
    }

    // A group whose remaining steps are the same levels of the same
    // building as an earlier group's gives the same orders: only the
    // first is tried.
    bool IsRepeat(qsizetype g) const
    {
        const qsizetype at = m_Next[std::size_t(g)];
        for (qsizetype h = 0; h < g; ++h) {
            const qsizetype other = m_Next[std::size_t(h)];
            if (m_Groups[h].size() - other != m_Groups[g].size() - at)
                continue;
            bool same = true;
            for (qsizetype k = 0; same && other + k < m_Groups[h].size(); ++k)
                same = m_Groups[h][other + k].CatalogIndex == m_Groups[g][at + k].CatalogIndex;
            if (same)
                return true;
        }
        return false;
    }

    const TPlanEvaluator &m_Evaluator;
    const TPlanControl &m_Control;
    TPlanResult &m_Result;
    QElapsedTimer m_Clock;

    QList<QList<TPlanStep>> m_Groups;
    std::vector<qsizetype> m_Next;
    std::vector<TPlanEvaluator::TState> m_States;
    QList<TPlanStep> m_Order;
    qsizetype m_Total = 0;
    qint64 m_Remaining = 0;
    QList<TPlanStep> *m_Best = nullptr;
    TPlanOutcome *m_BestOutcome = nullptr;
    bool m_Stopped = false;
};

// The order that takes, at each place, the next level (of any building)
// whose step ends soonest: a start for the search beside the rules.
QList<TPlanStep> SoonestFirst(const TPlanEvaluator &evaluator, const QList<TPlanStep> &steps)
{
    const QList<QList<TPlanStep>> groups = GroupBySlot(steps);
    std::vector<qsizetype> next(std::size_t(groups.size()), 0);
    TPlanEvaluator::TState state = evaluator.Initial();
    TPlanEvaluator::TState tried;
    QList<TPlanStep> order;
    while (order.size() < steps.size()) {
        qsizetype chosen = -1;
        qint64 soonest = PlanNever;
        for (qsizetype g = 0; g < groups.size(); ++g) {
            if (next[std::size_t(g)] >= groups[g].size())
                continue;
            tried = state;
            const bool played = evaluator.Play(tried, groups[g][next[std::size_t(g)]]);
            if (chosen < 0 || (played && tried.PreviousEnd < soonest)) {
                chosen = g;
                soonest = played ? tried.PreviousEnd : PlanNever;
            }
        }
        const TPlanStep &step = groups[chosen][next[std::size_t(chosen)]++];
        evaluator.Play(state, step);
        order.append(step);
    }
    return order;
}

// The least wait of a step that may come first: a first level of a group,
// or, with a switch on, the next level of any slot (one it may add).
qint64 LeastFirstWait(const TPlanEvaluator &evaluator, const QList<TPlanStep> &steps, const TPlanSwitches &switches)
{
    qint64 least = PlanNever;
    for (const QList<TPlanStep> &group : GroupBySlot(steps))
        least = std::min(least, evaluator.FirstWait(group.constFirst().Slot, group.constFirst().Level));
    if (switches.Storages || switches.Farms || switches.MainBuilding) {
        const TPlanEvaluator::TState start = evaluator.Initial();
        for (qint32 slot = 0; slot < evaluator.SlotCount(); ++slot)
            least = std::min(least, evaluator.FirstWait(slot, start.Levels[std::size_t(slot)] + 1));
    }
    return least == PlanNever ? 0 : least;
}

// The next main-building level tried at every place of the order; kept
// where the plan ends soonest if it ends sooner, level after level.
void AddMainLevels(const TPlanEvaluator &evaluator, TPlanSearch &search, QList<TPlanStep> &order,
                   TPlanOutcome &outcome, qint64 &evaluations)
{
    const qint32 slot = evaluator.MainSlot();
    for (;;) {
        qint32 level = evaluator.Initial().Levels[std::size_t(slot)];
        for (const TPlanStep &step : std::as_const(order)) {
            if (step.Slot == slot)
                level = std::max(level, step.Level);
        }
        ++level;
        const qint32 index = evaluator.LevelIndex(slot, level);
        if (index < 0 || search.Cancelled())
            return;
        const TPlanStep step{slot, level, index, true};
        QList<TPlanStep> best;
        TPlanOutcome bestOutcome = outcome;
        for (qsizetype at = 0; at <= order.size(); ++at) {
            QList<TPlanStep> tried = order;
            tried.insert(at, step);
            const TPlanOutcome triedOutcome = evaluator.Evaluate(tried, false);
            ++evaluations;
            if (triedOutcome.IsBetterThan(bestOutcome)) {
                best = tried;
                bestOutcome = triedOutcome;
            }
        }
        if (best.isEmpty() || bestOutcome.End >= outcome.End)
            return;
        order = best;
        outcome = bestOutcome;
    }
}

} // namespace

qint64 TPlanEvaluator::FirstWait(qint32 slot, qint32 level) const
{
    const TLevelFigures *figures = Figures(slot, level);
    if (!figures)
        return PlanNever;
    TState state = Initial();
    ApplyPending(state);
    AdvanceTo(state, state.PreviousEnd);
    const TAffordTime wait = TimeToAffordScaled(state.Stocks, state.Incomes, state.Tops, figures->Costs);
    return wait.IsNever() ? PlanNever : wait.Seconds;
}

TPlanResult FindDevelopmentPlan(const TdmListObj &catalog, const TPlanRequest &request, const TPlanControl &control)
{
    TPlanResult result;
    if (request.Slots.isEmpty()) {
        result.Error = NoBuiltListText();
        return result;
    }
    result.Steps = PlanSteps(catalog, request);
    if (result.Steps.isEmpty()) {
        result.Error = QStringLiteral("Цели не выше построенных уровней: строить нечего");
        return result;
    }
    const TPlanEvaluator evaluator(catalog, request);
    TPlanSearch search(evaluator, control, result);
    search.Report(0);

    // The simple rules and the soonest step first; the best of them is
    // where the search starts.
    QList<TPlanStep> best;
    TPlanOutcome bestOutcome{PlanNever, 0, {}};
    for (std::size_t r = 0; r < AllPlanRules.size(); ++r) {
        const QList<TPlanStep> order = OrderByRule(catalog, request, result.Steps, AllPlanRules[r]);
        const TPlanOutcome outcome = evaluator.Evaluate(order, false);
        ++result.Evaluations;
        result.RuleEnds[r] = outcome.End;
        if (best.isEmpty() || outcome.IsBetterThan(bestOutcome)) {
            best = order;
            bestOutcome = outcome;
        }
    }
    {
        const QList<TPlanStep> order = SoonestFirst(evaluator, result.Steps);
        const TPlanOutcome outcome = evaluator.Evaluate(order, false);
        ++result.Evaluations;
        if (outcome.IsBetterThan(bestOutcome)) {
            best = order;
            bestOutcome = outcome;
        }
    }
    qint64 leastBuilds = 0;
    for (const TPlanStep &step : std::as_const(result.Steps))
        leastBuilds += evaluator.LeastBuildSeconds(step.Slot, step.Level);
    result.LowerBound = std::max<qint64>(request.Start.RunningRemaining, 0)
                        + LeastFirstWait(evaluator, result.Steps, request.Switches) + leastBuilds;

    if (result.Steps.size() <= ExactStepLimit) {
        result.Method = TPlanMethod::Exact;
        search.Exact(result.Steps, best, bestOutcome);
    } else {
        result.Method = TPlanMethod::LocalSearch;
        search.Improve(best, bestOutcome);
    }
    if (request.Switches.MainBuilding && bestOutcome.IsReachable())
        AddMainLevels(evaluator, search, best, bestOutcome, result.Evaluations);
    if (search.Cancelled()) {
        result.Cancelled = true;
        return result;
    }
    result.Best = evaluator.Evaluate(best);
    if (!result.Best.IsReachable())
        result.Error = QStringLiteral("Цель не достигается: в любом порядке один из шагов никогда не начнётся "
                                      "(не накопится или не хватит вместимости)");
    search.Report(100);
    return result;
}

QList<qint32> PlanQueue(const QList<TPlanStep> &played)
{
    QList<qint32> queue;
    queue.reserve(played.size());
    for (const TPlanStep &step : played)
        queue.append(step.CatalogIndex);
    return queue;
}

TPlanComparison ComparePlan(const TdmListObj &catalog, const TPlanRequest &request, const TPlanResult &result,
                            const QList<qint32> &queue)
{
    TPlanComparison comparison;
    QList<qint32> planned = PlanQueue(result.Best.Played);
    QList<qint32> queued = queue;
    std::sort(planned.begin(), planned.end());
    std::sort(queued.begin(), queued.end());
    if (!planned.isEmpty() && planned == queued) {
        TQueueProjectionInput input = request.Start;
        input.Queue = queue;
        input.WithTimeline = false;
        const TQueueProjection projection = ProjectQueue(catalog, input);
        const bool all = std::all_of(projection.Items.cbegin(), projection.Items.cend(),
                                     [](const TProjectedItem &item) { return item.IsScheduled(); });
        comparison.QueueOrder = true;
        comparison.End = all ? projection.QueueEnd : PlanNever;
        return comparison;
    }
    comparison.End = result.RuleEnds[0];
    return comparison;
}

QString PlanSummaryText(qint64 planEnd, const TPlanComparison &comparison, const QDateTime &now)
{
    const QString reached = QStringLiteral("Цель будет достигнута %1").arg(ClockText(now.addSecs(planEnd), now.date()));
    const QString order = comparison.QueueOrder ? QStringLiteral("в порядке очереди")
                                                : QStringLiteral("в порядке каталога");
    if (comparison.End == PlanNever)
        return QStringLiteral("%1 — %2 она не достигается").arg(reached, order);
    if (comparison.End <= planEnd)
        return QStringLiteral("%1 — так же, как %2").arg(reached, order);
    return QStringLiteral("%1 — на %2 раньше, чем %3").arg(reached, ElapsedText(comparison.End - planEnd), order);
}

QString NoBuiltListText()
{
    return QStringLiteral("Импортируйте страницу «Обзор деревни» или заполните «Постройки»");
}
