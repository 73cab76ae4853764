// The construction planner of one village page: which considered buildings
// are affordable now or within the horizon (one or two hours of production),
// at what cost and build time; the build command; moving a considered
// building on to its next level; and the one-second tick that grows the
// stocks, advances the construction in progress and decides when the
// village file is due for its automatic save.
//
// It works on one TVillageData and the read-only catalog. The village page
// shows its table and progress and supplies the automatic save.
#pragma once

#include "VillageData.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <array>

class TdmListObj;

// The time to afford of a kind whose stock falls short while its hourly
// income is 0 or negative: the stock never covers the cost.
constexpr qint64 NeverAffordable = -1;

// What "Время" reads for a building that can never be afforded.
inline const QString NeverAffordableText = QStringLiteral("не накопится");

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

// One row of the table of available buildings: "Строение", "Дерево",
// "Глина", "Железо", "Зерно", "Время", "Строить".
using TAvailableRow = std::array<QString, 7>;

class TPlanner : public QObject
{
    Q_OBJECT

public:
    // Binds to the village's recalculation requests and sets the horizon to
    // one hour (which fills the table with its blank row).
    TPlanner(TVillageData &village, const TdmListObj &catalog, QObject *parent = nullptr);

    static inline const QStringList ColumnTitles{
        QStringLiteral("Строение"), QStringLiteral("Дерево"), QStringLiteral("Глина"),
        QStringLiteral("Железо"), QStringLiteral("Зерно"), QStringLiteral("Время"),
        QStringLiteral("Строить")};

    // Rebuilds the table of available buildings from the record and catalog.
    void RecalculateAvailable();
    // Seconds until the stock of kind covers cost (SecondsToAfford with the
    // kind's stock and income); wide, so that no value overflows. The kind
    // is one of the four by its type, so there is no unknown kind to report.
    qint64 TimeToAfford(TResourceKind kind, qint32 cost) const;
    // 3600 or 7200 (any other value counts as 3600); retitles the table,
    // then recalculates.
    void SetHorizon(qint32 seconds);
    // "Доступны для строительства в течение часа" / "... двух часов".
    static QString HorizonTitle(qint32 seconds);

    // The build command on data row `row` (0-based) of the table; a row
    // outside the table does nothing.
    void Build(int row);
    // Moves the considered entry with this text on to the building's next level.
    void AdvanceToNextLevel(const QString &text);

    // The one-second tick: counter, automatic save when due, accrual, progress.
    void Tick();
    // Each kind grows by UnitsDueAt units at the current counter; a negative
    // income takes as many away, down to 0 but not below. A stock that
    // changes sets Modified and recalculates.
    void AccrueResources();
    // One second of the construction in progress; at its end it is cleared.
    void AdvanceProgress();

    // Never empty: one blank row when nothing qualifies.
    const QList<TAvailableRow> &Available() const { return m_Available; }
    // Remaining time of the construction in progress, with its end clock.
    const QString &RemainingText() const { return m_RemainingText; }

    TVillageData &Village() const { return m_Village; }

signals:
    void AvailableChanged();
    void HorizonChanged(qint32 seconds);
    void ProgressChanged();
    void AutoSaveDue();

private:
    // The list change of AdvanceToNextLevel without its recalculation; true
    // when the list changed.
    bool MoveToNextLevel(const QString &text);

    // The display text and the four cost texts of a catalog entry, made on
    // first use (the catalog never changes).
    using TEntryTexts = std::array<QString, 5>;
    const TEntryTexts &EntryTexts(qint32 catalogIndex);

    TVillageData &m_Village;
    const TdmListObj &m_Catalog;
    QList<TAvailableRow> m_Available;
    QString m_RemainingText;
    QList<TEntryTexts> m_EntryTexts;
    // "Строить" texts by build time in seconds, kept between recalculations.
    QHash<qint32, QString> m_BuildTexts;
};
