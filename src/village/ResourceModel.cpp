// The stocks and hourly incomes of a village as an editable table.
#include "ResourceModel.h"

#include "InputRules.h"
#include "VillageData.h"

TResourceModel::TResourceModel(TVillageData &village, QObject *parent)
    : QAbstractTableModel(parent)
    , m_Village(village)
{
    connect(&m_Village, &TVillageData::ResourcesChanged, this, &TResourceModel::RecordChanged);
}

bool TResourceModel::Accepts(int row, QStringView text)
{
    if (row == StockRow)
        return AcceptStockText(text);
    if (row == IncomeRow)
        return AcceptIncomeText(text);
    return false;
}

int TResourceModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

int TResourceModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(AllResourceKinds.size());
}

QVariant TResourceModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const std::size_t kind = std::size_t(index.column());
    return index.row() == StockRow ? m_Village.ResourceCollect[kind] : m_Village.ResourceAdd[kind];
}

bool TResourceModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    const QString text = value.toString();
    if (!Accepts(index.row(), text))
        return false;
    const TResourceKind kind = AllResourceKinds[std::size_t(index.column())];
    if (index.row() == StockRow)
        m_Village.EditResourceCollect(kind, text);
    else
        m_Village.EditResourceAdd(kind, text);
    return true;
}

QVariant TResourceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList kinds{QStringLiteral("Дерево"), QStringLiteral("Глина"), QStringLiteral("Железо"),
                                   QStringLiteral("Зерно")};
    static const QStringList rows{QStringLiteral("Накоплено"), QStringLiteral("Поступление, в час")};
    const QStringList &titles = orientation == Qt::Horizontal ? kinds : rows;
    return section >= 0 && section < titles.size() ? QVariant(titles.at(section)) : QVariant();
}

Qt::ItemFlags TResourceModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void TResourceModel::RecordChanged()
{
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DisplayRole, Qt::EditRole});
}
