// The build queue's table: its texts made from the projection, the changes
// of the queue with the model's signals, and when to project again.
#include "QueueModel.h"

#include "rules/Planner.h"

#include "base/TimeText.h"
#include "models/ColumnWidth.h"
#include "catalog/dm_ListObjects.h"

namespace {

enum TColumn { NameColumn, StartColumn, WaitColumn, BuildColumn, EndColumn };

// How one list became another: one item inserted, removed or moved; any
// other change lays the rows out anew.
struct TQueueChange
{
    enum { Same, Insert, Remove, Move, Reset } Kind = Reset;
    int From = 0;
    int To = 0;
};

TQueueChange CompareQueues(const QList<TAvBuildingEntry> &before, const QList<TAvBuildingEntry> &after)
{
    const qsizetype common = std::min(before.size(), after.size());
    qsizetype first = 0;
    while (first < common && before.at(first) == after.at(first))
        ++first;
    if (first == before.size() && first == after.size())
        return {TQueueChange::Same};
    const auto sameRun = [](const QList<TAvBuildingEntry> &a, qsizetype aFrom, const QList<TAvBuildingEntry> &b,
                            qsizetype bFrom, qsizetype count) {
        return std::equal(a.begin() + aFrom, a.begin() + aFrom + count, b.begin() + bFrom);
    };
    if (after.size() == before.size() + 1 && sameRun(before, first, after, first + 1, before.size() - first))
        return {TQueueChange::Insert, int(first), int(first)};
    if (before.size() == after.size() + 1 && sameRun(before, first + 1, after, first, after.size() - first))
        return {TQueueChange::Remove, int(first), int(first)};
    if (before.size() == after.size()) {
        qsizetype last = before.size() - 1;
        while (last > first && before.at(last) == after.at(last))
            --last;
        const qsizetype span = last - first;
        // The item at `first` went down to `last`, or the one at `last` up.
        if (before.at(first) == after.at(last) && sameRun(before, first + 1, after, first, span))
            return {TQueueChange::Move, int(first), int(last)};
        if (before.at(last) == after.at(first) && sameRun(before, first, after, first + 1, span))
            return {TQueueChange::Move, int(last), int(first)};
    }
    return {TQueueChange::Reset};
}

} // namespace

TQueueModel::TQueueModel(const TPlanner &planner, QObject *parent)
    : QAbstractTableModel(parent)
    , m_Planner(planner)
    , m_Village(planner.Village())
    , m_Catalog(planner.Catalog())
    , m_Shown(m_Village.Queue)
{
    connect(&m_Village, &TVillageData::QueueChanged, this, &TQueueModel::FollowQueue);
    connect(&m_Planner, &TPlanner::Evaluated, this, &TQueueModel::PlannerEvaluated);
}

const TQueueProjection &TQueueModel::Projection() const
{
    return m_Planner.Evaluation().Queue;
}

const QDateTime &TQueueModel::ProjectedAt() const
{
    return m_Planner.Evaluation().At;
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
    return parent.isValid() ? 0 : int(m_Shown.size());
}

int TQueueModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(ColumnTitles().size());
}

QVariant TQueueModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const TAvBuildingEntry &entry = m_Shown.at(index.row());
    const TQueueProjection &projection = Projection();
    const QDateTime &at = ProjectedAt();
    const TProjectedItem *item =
        index.row() < projection.Items.size() ? &projection.Items.at(index.row()) : nullptr;
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
                return ClockText(at.addSecs(item->Start), at.date());
            if (column == WaitColumn)
                return DurationText(item->Wait);
            if (column == BuildColumn)
                return DurationText(item->Build);
            return ClockText(at.addSecs(item->End), at.date());
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
            return TdmListObj::NotInCatalogText();
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
    // The projection's clocks and spans change with every edit and tick; the
    // start may turn into "never and why" or waiting.
    if (orientation == Qt::Horizontal && role == WidthTemplatesRole) {
        switch (section) {
        case StartColumn:
            return QStringList{ClockWithDateTemplate(), NeverReasonText(TNeverReason::NoIncome),
                               NeverReasonText(TNeverReason::Capacity), WaitingText()};
        case WaitColumn:
        case BuildColumn:
            return QStringList{DurationTemplate()};
        case EndColumn:
            return QStringList{ClockWithDateTemplate()};
        default:
            break;
        }
    }
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
    const int rows = rowCount();
    if (sourceParent.isValid() || destinationParent.isValid() || count != 1 || sourceRow < 0
        || sourceRow >= rows || destinationChild < 0 || destinationChild > rows)
        return false;
    // Before its own place or the next one, the row stays where it is.
    if (destinationChild == sourceRow || destinationChild == sourceRow + 1)
        return false;
    // The record moves it; the rows follow its announcement.
    return m_Village.MoveQueueItem(sourceRow, destinationChild > sourceRow ? destinationChild - 1 : destinationChild);
}

bool TQueueModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || row < 0 || count < 1 || row > rowCount() - count)
        return false;
    for (int i = 0; i < count; ++i)
        m_Village.RemoveFromQueue(row);
    return true;
}

QStringList TQueueModel::ScheduledTexts() const
{
    QStringList texts;
    for (const TProjectedItem &item : Projection().Items) {
        if (item.IsScheduled())
            texts.append(m_Catalog.Object(item.CatalogIndex).DisplayText());
    }
    return texts;
}

void TQueueModel::FollowQueue()
{
    const QList<TAvBuildingEntry> &queue = m_Village.Queue;
    const TQueueChange change = CompareQueues(m_Shown, queue);
    switch (change.Kind) {
    case TQueueChange::Same:
        return;
    case TQueueChange::Insert:
        beginInsertRows({}, change.From, change.From);
        m_Shown = queue;
        endInsertRows();
        return;
    case TQueueChange::Remove:
        beginRemoveRows({}, change.From, change.From);
        m_Shown = queue;
        endRemoveRows();
        return;
    case TQueueChange::Move:
        beginMoveRows({}, change.From, change.From, {}, change.To > change.From ? change.To + 1 : change.To);
        m_Shown = queue;
        endMoveRows();
        return;
    case TQueueChange::Reset:
        beginResetModel();
        m_Shown = queue;
        endResetModel();
        return;
    }
}

void TQueueModel::PlannerEvaluated()
{
    if (!m_Shown.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    emit ProjectionChanged();
}
