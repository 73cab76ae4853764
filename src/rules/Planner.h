// The construction planner of one village: its evaluation (the table of
// buildings affordable within the horizon, the queue's projection, the
// storages, the snapshot for the notifications), the build command, moving
// a considered building on to its next level, queueing a building, and the
// one-second tick that grows the stocks, advances the construction in
// progress and decides when the village file is due for its automatic save.
//
// It works on one TVillageData, which it asks to change, and the read-only
// catalog. Every change of the record marks the evaluation stale; a new one
// is made once, when it is next read or at the next pass of the event loop,
// whatever number of fields changed, and announced with Evaluated. The
// village document owns it; the models read its evaluation.
#pragma once

#include "record/VillageData.h"
#include "rules/Evaluation.h"
#include "rules/Exchange.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class TdmListObj;
struct TLivaronObject;

// How many units an hourly income moves on the tick at which the hour
// counter stands at `counter`: the number of multiples k x (3600 / |income|),
// k >= 0, in the window [counter - 1/2, counter + 1/2). Exact, in integers
// and constant time; 0 for an income of 0 and for a negative counter.
qint64 UnitsDueAt(qint32 counter, qint32 income);

class TPlanner : public QObject
{
    Q_OBJECT

public:
    // Follows the village's changes and sets the horizon to one hour.
    TPlanner(TVillageData &village, const TdmListObj &catalog, QObject *parent = nullptr);

    // Evaluates the village now and announces it.
    void RecalculateAvailable();
    // The latest evaluation; made first when the village changed since.
    const TVillageEvaluation &Evaluation() const;
    // How many evaluations were made: one per change of the village.
    int EvaluationCount() const { return m_EvaluationCount; }

    // 3600 or 7200 (any other value counts as 3600); the table follows.
    void SetHorizon(qint32 seconds);
    // "Доступны для строительства в течение часа" / "... двух часов".
    static QString HorizonTitle(qint32 seconds);

    // What the build command asks before it spends more than the stocks
    // hold: "Не хватает ресурсов: дерево 265, глина 151. Отметить
    // строительство всё равно?" (the whole units missing of each short kind,
    // costs counted as the table counts them); empty when the stocks cover
    // the costs, and for an entry outside the catalog. The player may have
    // built it in the game with stocks the planner did not know.
    QString ShortageQuestion(qint32 catalogIndex) const;
    // The catalog entry of row `row` of the table; -1 for the blank row and
    // a row outside the table.
    qint32 CatalogIndexOfRow(int row) const;

    // The build command on row `row` (0-based, in the planner's order) of
    // the table; a row outside the table does nothing.
    void Build(int row);
    // The same command for a catalog entry that need not be in the table
    // (the first item of the build queue); an index outside the catalog
    // does nothing.
    void BuildFromCatalog(qint32 catalogIndex);
    // "Обменять..." on row `row` (planner order) of the table: the market's
    // exchange for that building from the stocks as they are; none for a row
    // outside the table and for the blank row.
    std::optional<TExchangePlan> ExchangeFor(int row) const;
    // Records the exchange of that row as done at the market: the stocks
    // move as it says. Only an exchange due now that moves something; false
    // (nothing happens) otherwise.
    bool Exchange(int row);
    // Moves the considered entry with this text on to the building's next level.
    void AdvanceToNextLevel(const QString &text);

    // What "В очередь" adds for a chosen entry: the entry itself, or the
    // level after the highest one of that building queued: for a resource
    // field when the queue holds the chosen entry itself, for any other
    // building when it holds that level or a higher one; none when the
    // catalog has no further level or the entry is not in it.
    static std::optional<TAvBuildingEntry> EntryToEnqueue(const TdmListObj &catalog,
                                                          const QList<TAvBuildingEntry> &queue,
                                                          qint32 catalogIndex);
    // Appends EntryToEnqueue to the queue; false when there is none.
    bool Enqueue(qint32 catalogIndex);
    // "Строить" on the queue's first item: the build command on it (which
    // takes it off the queue); false (nothing happens) when the queue is
    // empty or its first item is not in the catalog.
    bool BuildFirstQueued();

    // The one-second tick: counter, automatic save when due, accrual, progress.
    void Tick();
    // Each kind grows by UnitsDueAt units at the current counter, up to its
    // known capacity (a stock already above it stays as it is); a negative
    // income takes as many away, down to 0 but not below. A stock that
    // changes sets Modified.
    void AccrueResources();
    // One second of the construction in progress; at its end it is cleared.
    void AdvanceProgress();

    // Never empty: one blank row when nothing qualifies. In the order of
    // the considered list.
    const QList<TAvailableEntry> &Available() const { return Evaluation().Available; }
    // Remaining time of the construction in progress, with its end clock;
    // empty while none runs and until the first tick after a start.
    QString RemainingText() const;
    // Whether the evaluation plays the queue's stock timeline through (for
    // a chart that is shown); without it the projection is cheaper.
    void SetTimelineWanted(bool wanted);

    TVillageData &Village() const { return m_Village; }
    const TdmListObj &Catalog() const { return m_Catalog; }

signals:
    // A new evaluation is there (at most once per pass of the event loop,
    // or at once from RecalculateAvailable).
    void Evaluated();
    void HorizonChanged(qint32 seconds);
    void ProgressChanged();
    void AutoSaveDue();
    // A construction came to its end on this tick; its name as it stood.
    void ConstructionEnded(const QString &name);
    // The tick is over: the stocks have grown and the construction advanced.
    void Ticked();

private:
    // Marks the evaluation stale and asks for one at the next pass of the
    // event loop.
    void Invalidate();
    void EvaluateIfDue();
    void Evaluate() const;
    // The list change of AdvanceToNextLevel; true when the list changed.
    bool MoveToNextLevel(const QString &text);
    // The build command on an entry (none: the blank row, costs 0).
    void BuildObject(const TLivaronObject *object, qint32 catalogIndex, qint32 buildSeconds);

    TVillageData &m_Village;
    const TdmListObj &m_Catalog;
    mutable TVillageEvaluation m_Evaluation;
    mutable bool m_Stale = true;
    mutable int m_EvaluationCount = 0;
    // An evaluation not announced yet, and whether its announcement is posted.
    mutable bool m_Unannounced = false;
    bool m_Posted = false;
    bool m_TimelineWanted = false;
    // Set by the tick while a construction runs.
    bool m_ProgressTicked = false;
};
