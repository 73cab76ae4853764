// The built table; see BuiltModel.h.
#include "BuiltModel.h"

#include "base/WholeNumber.h"
#include "catalog/dm_ListObjects.h"
#include "record/KeptFileContent.h"
#include "record/VillageData.h"
#include "rules/BuildingEffects.h"
#include "rules/BuiltFigures.h"

#include <QSet>

TBuiltModel::TBuiltModel(TVillageData &village, const TdmListObj &catalog, QObject *parent)
    : QAbstractTableModel(parent)
    , m_Village(village)
    , m_Catalog(catalog)
{
    connect(&m_Village, &TVillageData::BuiltChanged, this, &TBuiltModel::Refresh);
    connect(&m_Village, &TVillageData::ServerSpeedChanged, this, &TBuiltModel::Refresh);
    Refresh();
}

const QStringList &TBuiltModel::ColumnTitles()
{
    static const QStringList titles{QStringLiteral("Постройка"),   QStringLiteral("Уровень"),
                                    QStringLiteral("Производство"), QStringLiteral("Вместимость"),
                                    QStringLiteral("Содержание"),   QStringLiteral("Культура")};
    return titles;
}

int TBuiltModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_Order.size());
}

int TBuiltModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

int TBuiltModel::Position(int row) const
{
    return row >= 0 && row < m_Order.size() ? m_Order.at(row) : -1;
}

int TBuiltModel::RowOf(int position) const
{
    return int(m_Order.indexOf(position));
}

QVariant TBuiltModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int position = Position(index.row());
    if (position < 0 || position >= m_Village.Built.size())
        return {};
    const TBuiltBuilding &building = m_Village.Built.at(position);
    if (role == Qt::EditRole && index.column() == LevelColumn)
        return building.Level;
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case NameColumn:
        return building.Name;
    case LevelColumn:
        return building.Level;
    default:
        break;
    }
    if (!building.IsRecognised())
        return index.column() == ProductionColumn ? NotUnderstoodMark() : QString();
    const TBuiltFigures figures = BuiltFiguresOf(m_Catalog, building.CatalogIndex, m_Village.ServerSpeedValue());
    switch (index.column()) {
    case ProductionColumn:
        return figures.Kind ? QStringLiteral("%1 %2").arg(figures.Production).arg(ResourceName(*figures.Kind).toLower())
                            : QString();
    case CapacityColumn:
        return figures.Capacity >= 0 ? QString::number(figures.Capacity) : QString();
    case UpkeepColumn:
        return figures.Upkeep != 0 ? QString::number(figures.Upkeep) : QString();
    case CultureColumn:
        return figures.Culture != 0 ? QString::number(figures.Culture) : QString();
    default:
        return {};
    }
}

QVariant TBuiltModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnTitles().size())
        return ColumnTitles().at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TBuiltModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == LevelColumn)
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool TBuiltModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid) || index.column() != LevelColumn)
        return false;
    const int position = Position(index.row());
    const std::optional<qint32> level = ParseWholeNumber(value.toString());
    if (position < 0 || !level || *level < 0)
        return false;
    const QString name = m_Village.Built.at(position).Name;
    return m_Village.ReplaceBuiltAt(position, BuiltBuildingOf(m_Catalog, name, QString::number(*level)));
}

void TBuiltModel::AddBuilding(const QString &name)
{
    if (!name.isEmpty())
        m_Village.AddBuilt(BuiltBuildingOf(m_Catalog, name, QStringLiteral("1")));
}

bool TBuiltModel::RemoveRow(int row)
{
    return m_Village.RemoveBuilt(Position(row));
}

std::optional<TAvBuildingEntry> TBuiltModel::NextLevelOf(int row) const
{
    const int position = Position(row);
    if (position < 0 || position >= m_Village.Built.size())
        return std::nullopt;
    const qint32 next = m_Catalog.FindNextLevel(m_Village.Built.at(position).CatalogIndex);
    if (next < 0)
        return std::nullopt;
    return TAvBuildingEntry{m_Catalog.Object(next).DisplayText(), next};
}

QStringList TBuiltModel::BuildingNames() const
{
    QStringList names;
    QSet<QString> seen;
    for (const TLivaronObject &object : m_Catalog.Objects()) {
        if (!seen.contains(object.Name)) {
            seen.insert(object.Name);
            names.append(object.Name);
        }
    }
    return names;
}

void TBuiltModel::Refresh()
{
    // Fields first, then the rest, each in the record's order.
    QList<int> order;
    for (int pass = 0; pass < 2; ++pass) {
        for (int position = 0; position < m_Village.Built.size(); ++position) {
            if (IsResourceField(m_Village.Built.at(position).Name) == (pass == 0))
                order.append(position);
        }
    }
    if (order.size() == m_Order.size()) {
        m_Order = order;
        if (!order.isEmpty())
            emit dataChanged(index(0, 0), index(int(order.size()) - 1, ColumnCount - 1));
        return;
    }
    beginResetModel();
    m_Order = order;
    endResetModel();
}
