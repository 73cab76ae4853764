// The selection dialog's check list over the candidate list.
#include "CandidateModel.h"

TCandidateModel::TCandidateModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

void TCandidateModel::FillFromCatalog(const TdmListObj &catalog)
{
    beginResetModel();
    m_Items.FillFromCatalog(catalog);
    endResetModel();
}

void TCandidateModel::SetChecks(TCheckMode mode)
{
    m_Items.SetChecks(mode);
    ChecksChanged();
}

void TCandidateModel::CheckByText(QStringView text)
{
    m_Items.CheckByText(text);
    ChecksChanged();
}

int TCandidateModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_Items.Count();
}

QVariant TCandidateModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const TCandidate &item = m_Items.Item(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return item.Entry.Text;
    case Qt::CheckStateRole:
        return int(item.Checked ? Qt::Checked : Qt::Unchecked);
    case CatalogIndexRole:
        return item.Entry.CatalogIndex;
    default:
        return {};
    }
}

bool TCandidateModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::CheckStateRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    // Two states only: a partly checked state counts as checked.
    m_Items.SetChecked(index.row(), value.toInt() != Qt::Unchecked);
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags TCandidateModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return QAbstractListModel::flags(index) | Qt::ItemIsUserCheckable;
}

void TCandidateModel::ChecksChanged()
{
    if (m_Items.Count() > 0)
        emit dataChanged(index(0), index(m_Items.Count() - 1), {Qt::CheckStateRole});
}
