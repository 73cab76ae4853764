// The list of considered buildings, known and unknown to the catalog.
#include "ConsideredModel.h"

#include "record/VillageData.h"

#include "catalog/dm_ListObjects.h"

TConsideredModel::TConsideredModel(const TVillageData &village, QObject *parent)
    : QAbstractListModel(parent)
    , m_Village(village)
{
    m_Rows = int(m_Village.AvBuildings.size() + m_Village.UnknownBuildings.size());
    connect(&m_Village, &TVillageData::AvBuildingsChanged, this, &TConsideredModel::Refresh);
}

int TConsideredModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_Rows;
}

bool TConsideredModel::IsKnown(int row) const
{
    return row >= 0 && row < m_Village.AvBuildings.size();
}

QVariant TConsideredModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int row = index.row();
    const int known = int(m_Village.AvBuildings.size());
    if (row < known) {
        if (role == Qt::DisplayRole)
            return m_Village.AvBuildings.at(row).Text;
        if (role == CatalogIndexRole)
            return m_Village.AvBuildings.at(row).CatalogIndex;
        return {};
    }
    if (row - known >= m_Village.UnknownBuildings.size())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_Village.UnknownBuildings.at(row - known);
    case Qt::ToolTipRole:
        return TdmListObj::NotInCatalogText();
    case CatalogIndexRole:
        return -1;
    default:
        return {};
    }
}

Qt::ItemFlags TConsideredModel::flags(const QModelIndex &index) const
{
    // Unknown buildings are greyed and cannot be chosen for a command.
    if (!index.isValid() || !IsKnown(index.row()))
        return Qt::NoItemFlags;
    return QAbstractListModel::flags(index);
}

void TConsideredModel::Refresh()
{
    const int rows = int(m_Village.AvBuildings.size() + m_Village.UnknownBuildings.size());
    if (rows == m_Rows) {
        if (rows > 0)
            emit dataChanged(index(0), index(rows - 1));
        return;
    }
    beginResetModel();
    m_Rows = rows;
    endResetModel();
}
