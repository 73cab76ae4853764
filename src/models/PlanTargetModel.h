// The targets of a development plan as a table: one row per building of the
// village under "Строение", "Уровень", "Цель"; the target is edited in place,
// from the building's current level up to the highest level the catalog
// has. "Все поля до уровня N" sets every resource field's target at once.
//
// The development-plan dialog shows it; Targets() goes into the request.
#pragma once

#include "rules/DevelopmentPlan.h"

#include <QAbstractTableModel>

class TdmListObj;

class TPlanTargetModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum TColumn { NameColumn, LevelColumn, TargetColumn, ColumnCount };

    explicit TPlanTargetModel(const TdmListObj &catalog, QObject *parent = nullptr);

    // The buildings; every target starts at the current level.
    void SetSlots(const QList<TPlanSlot> &buildings);
    const QList<TPlanSlot> &Slots() const { return m_Slots; }
    // The targets above their current level, row by row.
    QList<TPlanTarget> Targets() const;
    // A target within the current level and the highest level; false for a
    // row outside the table.
    bool SetTarget(int row, qint32 level);
    // Every resource field's target to `level` (within its bounds).
    void SetAllFieldsTo(qint32 level);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    const TdmListObj &m_Catalog;
    QList<TPlanSlot> m_Slots;
    QList<qint32> m_Targets;
    // The highest level the catalog has per row.
    QList<qint32> m_Highest;
};
