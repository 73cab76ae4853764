// The targets of a development plan; see PlanTargetModel.h.
#include "PlanTargetModel.h"

#include "rules/BuildingEffects.h"

#include "catalog/dm_ListObjects.h"

#include <algorithm>

TPlanTargetModel::TPlanTargetModel(const TdmListObj &catalog, QObject *parent)
    : QAbstractTableModel(parent), m_Catalog(catalog)
{
}

void TPlanTargetModel::SetSlots(const QList<TPlanSlot> &buildings)
{
    beginResetModel();
    m_Slots = buildings;
    m_Targets.clear();
    m_Highest.clear();
    for (const TPlanSlot &slot : buildings) {
        qint32 highest = slot.Level;
        if (slot.CatalogIndex >= 0 && slot.CatalogIndex < m_Catalog.Count()) {
            const QString &name = m_Catalog.Object(slot.CatalogIndex).Name;
            while (highest < 127 && m_Catalog.FindByDisplayText(MakeDisplayText(name, highest + 1)) >= 0)
                ++highest;
        }
        m_Targets.append(slot.Level);
        m_Highest.append(highest);
    }
    endResetModel();
}

QList<TPlanTarget> TPlanTargetModel::Targets() const
{
    QList<TPlanTarget> targets;
    for (qsizetype row = 0; row < m_Slots.size(); ++row) {
        if (m_Targets.at(row) > m_Slots.at(row).Level)
            targets.append({qint32(row), m_Targets.at(row)});
    }
    return targets;
}

bool TPlanTargetModel::SetTarget(int row, qint32 level)
{
    if (row < 0 || row >= m_Slots.size())
        return false;
    const qint32 bounded = std::clamp(level, m_Slots.at(row).Level, std::max(m_Slots.at(row).Level, m_Highest.at(row)));
    if (bounded != m_Targets.at(row)) {
        m_Targets[row] = bounded;
        const QModelIndex cell = index(row, TargetColumn);
        emit dataChanged(cell, cell);
    }
    return true;
}

void TPlanTargetModel::SetAllFieldsTo(qint32 level)
{
    for (qsizetype row = 0; row < m_Slots.size(); ++row) {
        const qint32 at = m_Slots.at(row).CatalogIndex;
        if (at >= 0 && at < m_Catalog.Count() && IsResourceField(m_Catalog.Object(at).Name))
            SetTarget(int(row), level);
    }
}

int TPlanTargetModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_Slots.size());
}

int TPlanTargetModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TPlanTargetModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const TPlanSlot &slot = m_Slots.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        switch (index.column()) {
        case NameColumn:
            return slot.CatalogIndex >= 0 && slot.CatalogIndex < m_Catalog.Count()
                       ? m_Catalog.Object(slot.CatalogIndex).Name
                       : QString();
        case LevelColumn:
            return slot.Level;
        case TargetColumn:
            return m_Targets.at(index.row());
        }
    }
    if (role == Qt::TextAlignmentRole)
        return index.column() == NameColumn ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    return {};
}

bool TPlanTargetModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || index.column() != TargetColumn || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    bool ok = false;
    const int level = value.toInt(&ok);
    return ok && SetTarget(index.row(), level);
}

QVariant TPlanTargetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList titles{QStringLiteral("Строение"), QStringLiteral("Уровень"), QStringLiteral("Цель")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles.size())
        return titles.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TPlanTargetModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == TargetColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}
