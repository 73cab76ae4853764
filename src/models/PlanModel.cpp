// The steps of a development plan; see PlanModel.h.
#include "PlanModel.h"

#include "models/QueueModel.h"

#include "base/TimeText.h"
#include "catalog/dm_ListObjects.h"


namespace {
enum TColumn { NameColumn, StartColumn, WaitColumn, BuildColumn, EndColumn };
}

TPlanModel::TPlanModel(const TdmListObj &catalog, QObject *parent) : QAbstractTableModel(parent), m_Catalog(catalog)
{
}

void TPlanModel::SetPlan(const QList<TPlanStep> &played, const TQueueProjection &projection, const QDateTime &at)
{
    beginResetModel();
    m_Steps = played;
    m_Projection = projection;
    m_At = at;
    endResetModel();
}

void TPlanModel::Clear()
{
    SetPlan({}, {}, {});
}

int TPlanModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_Steps.size());
}

int TPlanModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(TQueueModel::ColumnTitles().size());
}

QVariant TPlanModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const TPlanStep &step = m_Steps.at(index.row());
    const TProjectedItem *item =
        index.row() < m_Projection.Items.size() ? &m_Projection.Items.at(index.row()) : nullptr;
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (column == NameColumn) {
            const QString text = step.CatalogIndex >= 0 && step.CatalogIndex < m_Catalog.Count()
                                     ? m_Catalog.Object(step.CatalogIndex).DisplayText()
                                     : QString();
            return step.Added ? QStringLiteral("+ ") + text : text;
        }
        if (!item)
            return QString();
        if (!item->IsScheduled())
            return column == StartColumn && item->Status == TProjectedStatus::Never ? NeverReasonText(item->Never)
                                                                                   : QString();
        if (column == StartColumn)
            return ClockText(m_At.addSecs(item->Start), m_At.date());
        if (column == WaitColumn)
            return DurationText(item->Wait);
        if (column == BuildColumn)
            return DurationText(item->Build);
        return ClockText(m_At.addSecs(item->End), m_At.date());
    case Qt::ToolTipRole:
        return step.Added && column == NameColumn ? QStringLiteral("Добавлено переключателем плана") : QVariant();
    case Qt::TextAlignmentRole:
        return column == NameColumn ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    default:
        return {};
    }
}

QVariant TPlanModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    const QStringList &titles = TQueueModel::ColumnTitles();
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < titles.size())
        return titles.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}
