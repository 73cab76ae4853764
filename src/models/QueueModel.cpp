// The build queue's table: its texts made from the projection, the changes
// of the queue with the model's signals, and when to project again.
#include "QueueModel.h"

#include "models/ConsideredModel.h"
#include "rules/Planner.h"
#include "base/Clock.h"
#include "base/TextCompare.h"
#include "base/WholeNumber.h"
#include "catalog/dm_ListObjects.h"

#include <QScopedValueRollback>

namespace {

enum TColumn { NameColumn, StartColumn, WaitColumn, BuildColumn, EndColumn };

QString Duration(qint64 seconds)
{
    return TdmListObj::SecondsToText(ClampToInt32(seconds), false);
}

} // namespace

TQueueModel::TQueueModel(TPlanner &planner, const TdmListObj &catalog, QObject *parent)
    : QAbstractTableModel(parent)
    , m_Planner(planner)
    , m_Village(planner.Village())
    , m_Catalog(catalog)
{
    m_Rows = int(m_Village.Queue.size());
    connect(&m_Village, &TVillageData::QueueChanged, this, &TQueueModel::QueueChanged);
    connect(&m_Village, &TVillageData::ResourcesChanged, this, &TQueueModel::Invalidate);
    connect(&m_Village, &TVillageData::MainLevelChanged, this, &TQueueModel::Invalidate);
    connect(&m_Planner, &TPlanner::ProgressChanged, this, &TQueueModel::Invalidate);
    connect(&m_Planner, &TPlanner::HorizonChanged, this, &TQueueModel::Invalidate);
    Recompute();
}

const QStringList &TQueueModel::ColumnTitles()
{
    static const QStringList titles{QStringLiteral("Строение"), QStringLiteral("Начало"), QStringLiteral("Ожидание"),
                                    QStringLiteral("Строить"), QStringLiteral("Конец")};
    return titles;
}

QString TQueueModel::WaitingText()
{
    return QStringLiteral("ждёт");
}

int TQueueModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_Rows;
}

int TQueueModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(ColumnTitles().size());
}

QVariant TQueueModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid) || index.row() >= m_Village.Queue.size())
        return {};
    const TAvBuildingEntry &entry = m_Village.Queue.at(index.row());
    // The projection follows the queue at once; the guard holds while the
    // queue is being changed from outside.
    const TProjectedItem *item =
        index.row() < m_Projection.Items.size() ? &m_Projection.Items.at(index.row()) : nullptr;
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        if (column == NameColumn)
            return entry.Text;
        if (!item)
            return QString();
        switch (item->Status) {
        case TProjectedStatus::Scheduled:
            if (column == StartColumn)
                return TdmListObj::ClockText(m_ProjectedAt.addSecs(ClampToInt32(item->Start)), m_ProjectedAt.date());
            if (column == WaitColumn)
                return Duration(item->Wait);
            if (column == BuildColumn)
                return Duration(item->Build);
            return TdmListObj::ClockText(m_ProjectedAt.addSecs(ClampToInt32(item->End)), m_ProjectedAt.date());
        case TProjectedStatus::Never:
            return column == StartColumn ? NeverReasonText(item->Never) : QString();
        case TProjectedStatus::Blocked:
            return column == StartColumn ? WaitingText() : QString();
        case TProjectedStatus::NotInCatalog:
            return QString();
        }
        return QString();
    case Qt::ToolTipRole:
        if (item && item->Status == TProjectedStatus::NotInCatalog)
            return TConsideredModel::UnknownToolTip();
        return column == NameColumn ? entry.Text : QString();
    case Qt::TextAlignmentRole:
        return column == NameColumn ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    case StatusRole:
        return item ? int(item->Status) : int(TProjectedStatus::NotInCatalog);
    default:
        return {};
    }
}

QVariant TQueueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnTitles().size())
        return ColumnTitles().at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TQueueModel::flags(const QModelIndex &index) const
{
    // Rows are dragged whole; a drop lands between rows, never on one.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return QAbstractTableModel::flags(index) | Qt::ItemIsDragEnabled;
}

Qt::DropActions TQueueModel::supportedDropActions() const
{
    return Qt::MoveAction;
}

bool TQueueModel::moveRows(const QModelIndex &sourceParent, int sourceRow, int count,
                           const QModelIndex &destinationParent, int destinationChild)
{
    if (sourceParent.isValid() || destinationParent.isValid() || count != 1 || sourceRow < 0
        || sourceRow >= m_Rows || destinationChild < 0 || destinationChild > m_Rows)
        return false;
    // Before its own place or the next one, the row stays where it is.
    if (destinationChild == sourceRow || destinationChild == sourceRow + 1)
        return false;
    const int to = destinationChild > sourceRow ? destinationChild - 1 : destinationChild;
    if (!beginMoveRows({}, sourceRow, sourceRow, {}, destinationChild))
        return false;
    {
        const QScopedValueRollback changing(m_Changing, true);
        m_Village.MoveQueueItem(sourceRow, to);
    }
    endMoveRows();
    Recompute();
    return true;
}

bool TQueueModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count < 1 || row > m_Rows - count)
        return false;
    beginRemoveRows({}, row, row + count - 1);
    {
        const QScopedValueRollback changing(m_Changing, true);
        for (int i = 0; i < count; ++i)
            m_Village.RemoveFromQueue(row);
        m_Rows = int(m_Village.Queue.size());
    }
    endRemoveRows();
    Recompute();
    return true;
}

std::optional<TAvBuildingEntry> TQueueModel::EntryToEnqueue(const TdmListObj &catalog,
                                                             const QList<TAvBuildingEntry> &queue,
                                                             qint32 catalogIndex)
{
    if (catalogIndex < 0 || catalogIndex >= catalog.Count())
        return std::nullopt;
    const TLivaronObject &chosen = catalog.Object(catalogIndex);
    // The highest level of the same building that the queue holds.
    qint32 highest = -1;
    for (const TAvBuildingEntry &queued : queue) {
        if (queued.CatalogIndex < 0 || queued.CatalogIndex >= catalog.Count())
            continue;
        const TLivaronObject &object = catalog.Object(queued.CatalogIndex);
        if (SameText(object.Name, chosen.Name)
            && (highest < 0 || object.Level > catalog.Object(highest).Level))
            highest = queued.CatalogIndex;
    }
    qint32 index = catalogIndex;
    if (highest >= 0 && catalog.Object(highest).Level >= chosen.Level)
        index = catalog.FindNextLevel(highest);
    if (index < 0)
        return std::nullopt;
    return TAvBuildingEntry{catalog.Object(index).DisplayText(), index};
}

bool TQueueModel::Enqueue(qint32 catalogIndex)
{
    const std::optional<TAvBuildingEntry> entry = EntryToEnqueue(m_Catalog, m_Village.Queue, catalogIndex);
    if (!entry)
        return false;
    beginInsertRows({}, m_Rows, m_Rows);
    {
        const QScopedValueRollback changing(m_Changing, true);
        m_Village.AppendToQueue(*entry);
        m_Rows = int(m_Village.Queue.size());
    }
    endInsertRows();
    Recompute();
    return true;
}

bool TQueueModel::BuildFirst()
{
    if (m_Village.Queue.isEmpty())
        return false;
    const qint32 index = m_Village.Queue.constFirst().CatalogIndex;
    if (index < 0 || index >= m_Catalog.Count())
        return false;
    beginRemoveRows({}, 0, 0);
    {
        const QScopedValueRollback changing(m_Changing, true);
        TAvBuildingEntry taken;
        m_Village.TakeFirstQueueItem(taken);
        m_Rows = int(m_Village.Queue.size());
    }
    endRemoveRows();
    m_Planner.BuildFromCatalog(index);
    Recompute();
    return true;
}

QStringList TQueueModel::ScheduledTexts() const
{
    QStringList texts;
    for (const TProjectedItem &item : m_Projection.Items) {
        if (item.IsScheduled())
            texts.append(m_Catalog.Object(item.CatalogIndex).DisplayText());
    }
    return texts;
}

void TQueueModel::Recompute()
{
    m_Due = false;
    m_Projection = ProjectQueue(m_Catalog, QueueInputOf(m_Village, m_Village.Horizon));
    m_ProjectedAt = CurrentDateTime();
    if (m_Rows > 0)
        emit dataChanged(index(0, 0), index(m_Rows - 1, columnCount() - 1));
    emit ProjectionChanged();
}

void TQueueModel::Invalidate()
{
    if (m_Due)
        return;
    m_Due = true;
    QMetaObject::invokeMethod(this, &TQueueModel::RecomputeIfDue, Qt::QueuedConnection);
}

void TQueueModel::RecomputeIfDue()
{
    if (m_Due)
        Recompute();
}

void TQueueModel::QueueChanged()
{
    if (m_Changing)
        return;
    // Changed from outside (the file reader): the rows are laid out anew.
    beginResetModel();
    m_Rows = int(m_Village.Queue.size());
    endResetModel();
    Recompute();
}
