// The build queue of a village as a Qt table model: one row per queued
// building under the titles "Строение", "Начало", "Ожидание", "Строить",
// "Конец", with the start and end clocks, the waiting and build times of the
// queue's projection (QueueProjection), or why an item never starts and that
// the items behind it wait. It changes the record's queue for its view (add,
// remove, move, take the first) and recomputes the projection when the
// record changes: at once for the queue, once per pass of the event loop for
// stocks, incomes, capacities, the main level, the construction and the
// clock (the page's tick).
//
// The village page's sgQueue shows it; its chart takes Projection().
#pragma once

#include "rules/QueueProjection.h"
#include "record/VillageData.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QStringList>

#include <optional>

class TPlanner;
class TdmListObj;

class TQueueModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum TRole {
        // int: the TProjectedStatus of the row.
        StatusRole = Qt::UserRole + 1,
    };

    TQueueModel(TPlanner &planner, const TdmListObj &catalog, QObject *parent = nullptr);

    static const QStringList &ColumnTitles();
    // What "Начало" reads for an item behind one that never starts.
    static QString WaitingText();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override;
    // One row at a time (the record moves one entry); destinationChild is
    // the row it goes before, as Qt's views give it.
    bool moveRows(const QModelIndex &sourceParent, int sourceRow, int count, const QModelIndex &destinationParent,
                  int destinationChild) override;
    bool removeRows(int row, int count, const QModelIndex &parent = {}) override;

    // What "В очередь" adds for a chosen entry: the entry itself, or, when
    // the queue holds the same building already, the level after the highest
    // one queued; none when the catalog has no further level or the entry is
    // not in it.
    static std::optional<TAvBuildingEntry> EntryToEnqueue(const TdmListObj &catalog,
                                                          const QList<TAvBuildingEntry> &queue,
                                                          qint32 catalogIndex);
    // Appends EntryToEnqueue; false when there is none.
    bool Enqueue(qint32 catalogIndex);
    // "Строить" on the first item: the build command on it, then it leaves
    // the queue; false (nothing happens) when the first item is not in the
    // catalog or the queue is empty.
    bool BuildFirst();

    // The projection the rows show and the moment it counts from.
    const TQueueProjection &Projection() const { return m_Projection; }
    const QDateTime &ProjectedAt() const { return m_ProjectedAt; }
    // The catalog texts of the scheduled items, in queue order (the names of
    // a chart's markers).
    QStringList ScheduledTexts() const;
    // Projects the queue from the record now.
    void Recompute();
    // Asks for a recomputation at the next pass of the event loop; several
    // requests before it make one.
    void Invalidate();

signals:
    void ProjectionChanged();

private:
    void QueueChanged();
    void RecomputeIfDue();

    TPlanner &m_Planner;
    TVillageData &m_Village;
    const TdmListObj &m_Catalog;
    TQueueProjection m_Projection;
    QDateTime m_ProjectedAt;
    int m_Rows = 0;
    // Set while the model changes the queue itself, with its own signals.
    bool m_Changing = false;
    bool m_Due = false;
};
