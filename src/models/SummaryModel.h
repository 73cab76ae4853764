// "Все деревни": one row per open village with its coming events: the next
// building it can afford (among the considered and queued ones) and when,
// the construction in progress and its end, the storage that needs the
// player first (a stock that runs out before any other, else the first to
// run full) and when, and the end of its build queue. The rows are ordered by the
// soonest of these events; villages without any come last. The model keeps
// numbers, read from each village's evaluation; data() makes the texts, with
// the end clocks counted from the moment of the last Refresh (the program's
// clock).
//
// The window of all villages shows it and calls Refresh once per second with
// the open villages.
#pragma once

#include "catalog/ResourceKind.h"

#include <QAbstractTableModel>
#include <QDebug>
#include <QList>
#include <QDateTime>
#include <QHash>

#include <optional>

class TdmListObj;
class TPlanner;
class TVillageData;
struct TVillageEvaluation;

// One village's coming events, in seconds from now.
struct TSummaryRow
{
    // Which village the row shows; only compared, never read here.
    const TVillageData *Village = nullptr;
    QString Name;
    QString NextBuilding;
    std::optional<qint64> NextBuildingSeconds;
    QString Construction;
    std::optional<qint64> ConstructionSeconds;
    // The storage shown and when: one that runs out (a negative income), the
    // soonest of those, else the one full soonest.
    std::optional<TResourceKind> FullStorage;
    std::optional<qint64> FullStorageSeconds;
    // Whether FullStorage runs out rather than fills.
    bool RunsOut = false;
    // The end of the last queued building; none when the queue is empty.
    std::optional<qint64> QueueEndSeconds;
    // Set when a queued building can never start: the reason's text.
    QString QueueNever;
    // The name with its letter case folded, for the order of equal events
    // (empty: folded when compared).
    QString SortName;

    // The soonest of the events above; none when there is none.
    std::optional<qint64> SoonestEvent() const;

    friend bool operator==(const TSummaryRow &, const TSummaryRow &) = default;
};

QDebug operator<<(QDebug debug, const TSummaryRow &row);

// The row of one village from its evaluation: building times as the
// notifications see them (capacities counted), the storage that runs out
// soonest (one empty already counts as 0) or, when none shrinks, the one
// full soonest (one full already counts as 0; the first kind on a tie), the
// queue's end from its projection.
TSummaryRow SummarizeVillage(const TVillageData &village, const TVillageEvaluation &evaluation);
// The same with the village evaluated now.
TSummaryRow SummarizeVillage(const TVillageData &village, const TdmListObj &catalog);

// Whether row `a` goes before row `b`: the sooner event first, rows without
// an event last, then by name (letter case ignored).
bool ComesBefore(const TSummaryRow &a, const TSummaryRow &b);

class TSummaryModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum TColumn {
        NameColumn,
        NextBuildingColumn,
        NextBuildingTimeColumn,
        ConstructionColumn,
        ConstructionEndColumn,
        FullStorageColumn,
        FullStorageTimeColumn,
        QueueEndColumn,
        ColumnCount
    };

    enum TRole {
        // True on the storage cells of a stock that runs out: the window
        // shows them in the shortage colour.
        RunsOutRole = Qt::UserRole + 1,
    };

    explicit TSummaryModel(QObject *parent = nullptr);

    // Summarises the villages again, from the evaluations their planners
    // hold, and orders the rows. The same villages
    // in the same order change the data only; the same villages in another
    // order move the rows (a layout change, so that a selection follows its
    // village); another set of villages resets the model.
    void Refresh(const QList<const TPlanner *> &villages);

    const QList<TSummaryRow> &Rows() const { return m_Rows; }
    // The village of a row; null outside the table.
    const TVillageData *VillageAt(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // "заполнен" for a storage that is full already.
    static QString FullNowText();
    // "пусто" for a stock that has run out.
    static QString EmptyNowText();
    // "опустеет " before the time until a stock runs out.
    static QString RunsOutPrefix();

private:
    QString Text(const TSummaryRow &row, int column) const;
    QString TimeText(qint64 seconds) const;

    QList<TSummaryRow> m_Rows;
    QDateTime m_Now;
    // The folded names of the last Refresh, by name.
    QHash<QString, QString> m_FoldedNames;
};
