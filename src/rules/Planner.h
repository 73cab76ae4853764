// The construction planner of one village page: which considered buildings
// are affordable now or within the horizon (one or two hours of production),
// at what cost and build time; the build command; moving a considered
// building on to its next level; and the one-second tick that grows the
// stocks, advances the construction in progress and decides when the
// village file is due for its automatic save.
//
// It works on one TVillageData, which it asks to change, and the read-only
// catalog. Its table holds numbers; TAvailableModel makes the texts the
// village page shows. The page shows its progress and supplies the automatic
// save.
#pragma once

#include "record/VillageData.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTime>

#include <array>

class TdmListObj;
struct TLivaronObject;

// The time to afford of a kind whose stock falls short while its hourly
// income is 0 or negative: the stock never covers the cost.
constexpr qint64 NeverAffordable = -1;

// Seconds until stock covers cost with this hourly income: 0 when it does
// already; NeverAffordable for a shortage with an income of 0 or below;
// otherwise the exact ceiling of the shortage times 3600 over the income.
qint64 SecondsToAfford(qint32 stock, qint32 income, qint32 cost);

// The build time of a catalog entry at a build-time percentage: the 32-bit
// product Time x percent (clamped to the signed 32-bit range), divided by
// 100 truncating toward zero.
qint32 BuildSeconds(qint32 baseTime, qint32 percent);

// How many units an hourly income moves on the tick at which the hour
// counter stands at `counter`: the number of multiples k x (3600 / |income|),
// k >= 0, in the window [counter - 1/2, counter + 1/2). Exact, in integers
// and constant time; 0 for an income of 0 and for a negative counter.
qint64 UnitsDueAt(qint32 counter, qint32 income);

// One row of the table of available buildings, as numbers. The texts of
// its columns "Строение" ... "Строить" are made where it is shown
// (TAvailableModel).
struct TAvailableEntry
{
    // The catalog entry; -1 for the blank row of a table without buildings.
    qint32 CatalogIndex = -1;
    // Until the four stocks cover the costs; NeverAffordable when a
    // shortage has no income or a cost exceeds its kind's known capacity.
    qint64 SecondsToAfford = 0;
    // Never affordable because a cost exceeds its kind's known capacity
    // (named before a missing income).
    bool BeyondCapacity = false;
    qint32 BuildSeconds = 0;
    // Bit KindIndex(kind) is set where the cost exceeds the stock.
    quint8 ShortKinds = 0;

    bool IsBlank() const { return CatalogIndex < 0; }
    bool IsShort(TResourceKind kind) const { return ShortKinds & (1u << KindIndex(kind)); }

    friend bool operator==(const TAvailableEntry &, const TAvailableEntry &) = default;
};

QDebug operator<<(QDebug debug, const TAvailableEntry &entry);

class TPlanner : public QObject
{
    Q_OBJECT

public:
    // Binds to the village's recalculation requests and sets the horizon to
    // one hour (which fills the table with its blank row).
    TPlanner(TVillageData &village, const TdmListObj &catalog, QObject *parent = nullptr);

    // Rebuilds the table of available buildings from the record and catalog.
    void RecalculateAvailable();
    // SecondsToAfford with the stock and income of kind. The kind is one of
    // the four by its type, so there is no unknown kind to report.
    qint64 TimeToAfford(TResourceKind kind, qint32 cost) const;
    // 3600 or 7200 (any other value counts as 3600); retitles the table,
    // then recalculates.
    void SetHorizon(qint32 seconds);
    // "Доступны для строительства в течение часа" / "... двух часов".
    static QString HorizonTitle(qint32 seconds);

    // The build command on row `row` (0-based, in the planner's order) of
    // the table; a row outside the table does nothing.
    void Build(int row);
    // The same command for a catalog entry that need not be in the table
    // (the first item of the build queue), with its build time at the
    // main-building level; an index outside the catalog does nothing.
    void BuildFromCatalog(qint32 catalogIndex);
    // Moves the considered entry with this text on to the building's next level.
    void AdvanceToNextLevel(const QString &text);

    // The one-second tick: counter, automatic save when due, accrual, progress.
    void Tick();
    // Each kind grows by UnitsDueAt units at the current counter, up to its
    // known capacity (a stock already above it stays as it is); a negative
    // income takes as many away, down to 0 but not below. A stock that
    // changes sets Modified and recalculates.
    void AccrueResources();
    // One second of the construction in progress; at its end it is cleared.
    void AdvanceProgress();

    // Never empty: one blank row when nothing qualifies. In the order of
    // the considered list.
    const QList<TAvailableEntry> &Available() const { return m_Available; }
    // The time of day of the last recalculation, from which the end clocks
    // of "Время" count.
    QTime RecalculatedAt() const { return m_RecalculatedAt; }
    // Remaining time of the construction in progress, with its end clock.
    const QString &RemainingText() const { return m_RemainingText; }

    TVillageData &Village() const { return m_Village; }

signals:
    void AvailableChanged();
    void HorizonChanged(qint32 seconds);
    void ProgressChanged();
    void AutoSaveDue();
    // A construction came to its end on this tick; its name as it stood.
    void ConstructionEnded(const QString &name);
    // The tick is over: the stocks have grown and the construction advanced.
    void Ticked();

private:
    // The list change of AdvanceToNextLevel without its recalculation; true
    // when the list changed.
    bool MoveToNextLevel(const QString &text);
    // The build command on an entry (none: the blank row, costs 0).
    void BuildObject(const TLivaronObject *object, qint32 buildSeconds);

    TVillageData &m_Village;
    const TdmListObj &m_Catalog;
    QList<TAvailableEntry> m_Available;
    QTime m_RecalculatedAt;
    QString m_RemainingText;
};
