// A development plan: the order in which to raise a village's buildings to
// their target levels so that the last one ends soonest.
//
// The input is plain: the village's buildings at their current levels
// (slots; several fields of one kind are several slots), a target level per
// slot, three switches, and the start of the queue's projection (stocks,
// incomes, capacities, main level, speed, construction in progress). The
// steps are every level between a slot's current level and its target,
// each slot's levels in order.
//
// An order is counted exactly as the queue's projection counts it
// (QueueProjection.h): one construction at a time, a step starts when its
// costs are covered and the one before has ended, its effects count at its
// end. Inside the search the order is played by TPlanEvaluator, which keeps
// the projection's rules on precomputed figures and resumes from a saved
// prefix; the tests hold it equal to ProjectQueue on the played order.
//
// The switches add steps while an order is played: "Склад и Амбар по
// необходимости" raises the warehouse (or granary) one level at a time
// before a step whose cost exceeds its kind's known capacity at its start;
// "Ферма по необходимости" raises the lowest farm before a step whose
// upkeep would turn the grain income negative; "Главное здание, если
// ускоряет" tries the next main-building level at every place in the found
// order and keeps it where it shortens the plan, level after level.
//
// The search: up to ExactStepLimit steps, branch and bound over every order
// that keeps each slot's levels in order (exact); beyond, the best of the
// four simple rules (catalog order, cheapest first, lowest level first,
// shortest payback first) and of the order that takes the step ending
// soonest at each place, refined by moving one step at a time to another
// place while that ends the plan sooner (never later than any rule). Ties
// go to the order that leaves the larger stocks at the end.
//
// Used by the development-plan dialog, in a worker thread: the search can
// be cancelled through an atomic flag and reports its progress.
#pragma once

#include "rules/BuildingEffects.h"
#include "rules/QueueProjection.h"

#include <QDateTime>
#include <QDebug>
#include <QList>
#include <QString>

#include <array>
#include <atomic>
#include <functional>
#include <limits>
#include <vector>

class TdmListObj;

// A building of the village: any catalog entry of it (its name counts) and
// the level built, 0 for none yet.
struct TPlanSlot
{
    qint32 CatalogIndex = -1;
    qint32 Level = 0;

    friend bool operator==(const TPlanSlot &, const TPlanSlot &) = default;
};

QDebug operator<<(QDebug debug, const TPlanSlot &slot);

// The level a slot is to reach.
struct TPlanTarget
{
    qint32 Slot = -1;
    qint32 Level = 0;

    friend bool operator==(const TPlanTarget &, const TPlanTarget &) = default;
};

struct TPlanSwitches
{
    // "Склад и Амбар по необходимости"
    bool Storages = false;
    // "Ферма по необходимости"
    bool Farms = false;
    // "Главное здание, если ускоряет"
    bool MainBuilding = false;

    friend bool operator==(const TPlanSwitches &, const TPlanSwitches &) = default;
};

struct TPlanRequest
{
    // Where the plan starts; its queue is not read (the plan takes its place).
    TQueueProjectionInput Start;
    QList<TPlanSlot> Slots;
    QList<TPlanTarget> Targets;
    TPlanSwitches Switches;

    friend bool operator==(const TPlanRequest &, const TPlanRequest &) = default;
};

// One level of one slot. A slot at or beyond Slots' size is a building the
// village lacks that a switch added (a first warehouse, a granary, the
// main building).
struct TPlanStep
{
    qint32 Slot = -1;
    qint32 Level = 0;
    qint32 CatalogIndex = -1;
    // Added by a switch, not asked for by a target.
    bool Added = false;

    friend bool operator==(const TPlanStep &, const TPlanStep &) = default;
};

QDebug operator<<(QDebug debug, const TPlanStep &step);

// Up to this many steps the search is exact.
inline constexpr int ExactStepLimit = 9;

// The steps the targets give, slot after slot in target order, each slot's
// levels rising. A level the catalog lacks ends its slot's steps; a target
// at or below the current level, or of a slot that does not exist, gives
// none.
QList<TPlanStep> PlanSteps(const TdmListObj &catalog, const TPlanRequest &request);

// How an order came out.
struct TPlanOutcome
{
    // The end of the last step in seconds from now; PlanNever when a step
    // can never start.
    qint64 End = 0;
    // The four stocks at End, summed, in units × 3600.
    qint64 StocksLeft = 0;
    // The steps as played, with those a switch added.
    QList<TPlanStep> Played;

    bool IsReachable() const;
    // Sooner, or as soon with larger stocks.
    bool IsBetterThan(const TPlanOutcome &other) const;
};

inline constexpr qint64 PlanNever = std::numeric_limits<qint64>::max();

// The orders of the simple rules.
enum class TPlanRule { CatalogOrder, CheapestFirst, LowestLevelFirst, PaybackFirst };
inline constexpr std::array<TPlanRule, 4> AllPlanRules{TPlanRule::CatalogOrder, TPlanRule::CheapestFirst,
                                                        TPlanRule::LowestLevelFirst, TPlanRule::PaybackFirst};

// "в порядке каталога", "сначала дешёвые", "сначала низкие уровни",
// "сначала быстро окупаемые".
QString PlanRuleText(TPlanRule rule);

// Plays orders of one request. Figures of every level a slot can reach are
// looked up once, so that playing a step costs a few additions.
class TPlanEvaluator
{
public:
    TPlanEvaluator(const TdmListObj &catalog, const TPlanRequest &request);

    // The state of the village while an order is played.
    struct TState
    {
        TScaledAmounts Stocks{};
        TScaledAmounts Tops{};
        TResourceAmounts Incomes{};
        TResourceAmounts Capacities{};
        qint64 Now = 0;
        qint64 PreviousEnd = 0;
        qint32 MainLevel = 1;
        // The effects that count at PreviousEnd; none: nullptr.
        const TBuildingEffect *Pending = nullptr;
        std::vector<qint32> Levels;
        bool Failed = false;
    };

    TState Initial() const;
    // Plays one step with what the switches add before it; false (and the
    // state failed) when one can never start. Each step played is appended
    // to `played` when given.
    bool Play(TState &state, const TPlanStep &step, QList<TPlanStep> *played = nullptr) const;
    // The outcome of a whole order from the start.
    TPlanOutcome Evaluate(const QList<TPlanStep> &order, bool withPlayed = true) const;
    // The four stocks at the state's PreviousEnd, summed, scaled.
    static qint64 StocksAt(const TState &state);

    // The slots, with those a switch may add.
    qint32 SlotCount() const { return qint32(m_Slots.size()); }
    // The catalog index of a slot's level; -1 when the catalog lacks it.
    qint32 LevelIndex(qint32 slot, qint32 level) const;
    // The main-building slot (added when the village lacks one).
    qint32 MainSlot() const { return m_MainSlot; }
    // The least build time of an entry at any main level the plan may reach.
    qint64 LeastBuildSeconds(qint32 slot, qint32 level) const;
    // The wait of a level played first, without what a switch adds before
    // it; PlanNever when it can never start.
    qint64 FirstWait(qint32 slot, qint32 level) const;

private:
    struct TLevelFigures
    {
        qint32 CatalogIndex = -1;
        TScaledAmounts Costs{};
        TBuildingEffect Effect;
        qint32 Time = 0;
    };
    struct TSlotChain
    {
        qint32 Start = 0;
        // Levels 1.. as far as the catalog has them; index level − 1.
        std::vector<TLevelFigures> Levels;
        bool IsMain = false;
    };

    const TLevelFigures *Figures(qint32 slot, qint32 level) const;
    bool PlayLevel(TState &state, qint32 slot, qint32 level, bool added, int depth, QList<TPlanStep> *played) const;
    // The slot a switch raises before `figures` start; -1 for none.
    qint32 NeededSlot(const TState &state, const TLevelFigures &figures, qint32 slot) const;
    qint32 LowestSlot(const TState &state, const std::vector<qint32> &candidates) const;
    static void ApplyPending(TState &state);

    const TdmListObj &m_Catalog;
    TQueueProjectionInput m_Start;
    TPlanSwitches m_Switches;
    std::vector<TSlotChain> m_Slots;
    TBuildingEffect m_Running;
    std::vector<qint32> m_Warehouses;
    std::vector<qint32> m_Granaries;
    std::vector<qint32> m_Farms;
    qint32 m_MainSlot = -1;
    qint32 m_LeastPercent = 100;
};

// The order a simple rule gives: at each place the step of the rule among
// the next level of each slot.
QList<TPlanStep> OrderByRule(const TdmListObj &catalog, const TPlanRequest &request, const QList<TPlanStep> &steps,
                             TPlanRule rule);

// The search's cancel flag and progress (0..100), called from the thread
// that searches.
struct TPlanControl
{
    const std::atomic_bool *Cancel = nullptr;
    std::function<void(int)> Progress;
};

enum class TPlanMethod { Exact, LocalSearch };

struct TPlanResult
{
    bool Cancelled = false;
    // Why there is no plan, in the program's words; empty when there is one.
    QString Error;
    TPlanMethod Method = TPlanMethod::Exact;
    // The steps the targets give, in their own order.
    QList<TPlanStep> Steps;
    // The best order found, as played (with the steps the switches added).
    TPlanOutcome Best;
    // The ends of the simple rules, by AllPlanRules.
    std::array<qint64, 4> RuleEnds{};
    // No order ends sooner: the running construction, the least wait of a
    // first step and the sum of the steps' least build times.
    qint64 LowerBound = 0;
    // How many orders or partial orders were played.
    qint64 Evaluations = 0;

    bool HasPlan() const { return !Cancelled && Error.isEmpty() && Best.IsReachable(); }
};

TPlanResult FindDevelopmentPlan(const TdmListObj &catalog, const TPlanRequest &request,
                                const TPlanControl &control = {});

// The catalog indices of a played order, as the queue holds them.
QList<qint32> PlanQueue(const QList<TPlanStep> &played);

// "Импортируйте страницу «Обзор деревни» или заполните «Постройки»": what a
// village without built levels is told instead of a plan.
QString NoBuiltListText();

// What a plan is measured against: the same steps in the queue's order when
// the queue holds exactly the plan's steps (in any order), else the steps
// in the catalog's order.
struct TPlanComparison
{
    bool QueueOrder = false;
    // The end of that order, PlanNever when it never ends.
    qint64 End = PlanNever;
};

TPlanComparison ComparePlan(const TdmListObj &catalog, const TPlanRequest &request, const TPlanResult &result,
                            const QList<qint32> &queue);

// "Цель будет достигнута 14.12 03:20 — на 6 ч 10 мин раньше, чем в порядке
// очереди" (or "... каталога"); "— так же, как ..." when it is not sooner.
QString PlanSummaryText(qint64 planEnd, const TPlanComparison &comparison, const QDateTime &now);
