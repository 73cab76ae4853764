// The build queue of a village as a Qt table model: one row per queued
// building under the titles "Строение", "Начало", "Ожидание", "Строить",
// "Конец", with the start and end clocks, the waiting and build times of the
// queue's projection in the village's evaluation, or why an item never
// starts and that the items behind it wait. Rows follow the record's queue
// with insert, remove and move signals where the change is one of those
// (so that a selection follows its item), and their texts follow each new
// evaluation in place. A row dragged to another place or removed in the
// view goes to the record.
//
// The village page's sgQueue shows it; its chart takes Projection().
#pragma once

#include "record/VillageData.h"
#include "rules/QueueProjection.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QStringList>


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

    TQueueModel(const TPlanner &planner, QObject *parent = nullptr);

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

    // The projection the rows show and the moment it counts from.
    const TQueueProjection &Projection() const;
    const QDateTime &ProjectedAt() const;
    // The catalog texts of the scheduled items, in queue order (the names of
    // a chart's markers).
    QStringList ScheduledTexts() const;

signals:
    void ProjectionChanged();

private:
    void FollowQueue();
    void PlannerEvaluated();

    const TPlanner &m_Planner;
    TVillageData &m_Village;
    const TdmListObj &m_Catalog;
    // The queue as the rows show it, to tell what a change of it was.
    QList<TAvBuildingEntry> m_Shown;
};
