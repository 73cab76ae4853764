// The summary of all open villages; see SummaryModel.h.
#include "SummaryModel.h"

#include "models/ResourceModel.h"
#include "record/VillageData.h"
#include "rules/Planner.h"

#include "base/Clock.h"
#include "base/TextCompare.h"
#include "base/TimeText.h"
#include "models/ColumnWidth.h"

#include <QHash>

#include <algorithm>
#include <utility>
#include <vector>
#include <limits>

namespace {

// The smaller of two optional times; a missing one never wins.
std::optional<qint64> Sooner(std::optional<qint64> a, std::optional<qint64> b)
{
    if (!a)
        return b;
    if (!b)
        return a;
    return std::min(*a, *b);
}

} // namespace

std::optional<qint64> TSummaryRow::SoonestEvent() const
{
    return Sooner(Sooner(NextBuildingSeconds, ConstructionSeconds), Sooner(FullStorageSeconds, QueueEndSeconds));
}

QDebug operator<<(QDebug debug, const TSummaryRow &row)
{
    QDebugStateSaver saver(debug);
    debug.nospace() << "TSummaryRow(" << row.Name << ", next " << row.NextBuilding << ' '
                    << row.NextBuildingSeconds.value_or(-1) << ", building " << row.Construction << ' '
                    << row.ConstructionSeconds.value_or(-1) << ", full "
                    << (row.FullStorage ? int(KindIndex(*row.FullStorage)) : -1) << ' '
                    << row.FullStorageSeconds.value_or(-1) << ", queue " << row.QueueEndSeconds.value_or(-1) << ' '
                    << row.QueueNever << ')';
    return debug;
}

TSummaryRow SummarizeVillage(const TVillageData &village, const TdmListObj &catalog)
{
    return SummarizeVillage(village, EvaluateVillage(village, catalog, CurrentDateTime()));
}

TSummaryRow SummarizeVillage(const TVillageData &village, const TVillageEvaluation &evaluation)
{
    TSummaryRow row;
    row.Village = &village;
    row.Name = village.Name;

    const TVillageSnapshot &snapshot = evaluation.Snapshot;
    for (const TBuildingSnapshot &building : snapshot.Buildings) {
        if (!building.Afford.IsNever()
            && (!row.NextBuildingSeconds || building.Afford.Seconds < *row.NextBuildingSeconds)) {
            row.NextBuilding = building.Text;
            row.NextBuildingSeconds = building.Afford.Seconds;
        }
    }
    // A stock that runs out comes first: an empty granary starves the
    // troops, a full storage only wastes.
    for (TResourceKind kind : AllResourceKinds) {
        const TStorageSnapshot &storage = snapshot.Storages[KindIndex(kind)];
        const std::optional<qint64> seconds = storage.Empty ? std::optional<qint64>(0) : storage.SecondsToEmpty;
        if (seconds && (!row.FullStorageSeconds || *seconds < *row.FullStorageSeconds)) {
            row.FullStorage = kind;
            row.FullStorageSeconds = seconds;
            row.RunsOut = true;
        }
    }
    for (TResourceKind kind : AllResourceKinds) {
        if (row.RunsOut)
            break;
        const TStorageSnapshot &storage = snapshot.Storages[KindIndex(kind)];
        const std::optional<qint64> seconds = storage.Full ? std::optional<qint64>(0) : storage.SecondsToFull;
        if (seconds && (!row.FullStorageSeconds || *seconds < *row.FullStorageSeconds)) {
            row.FullStorage = kind;
            row.FullStorageSeconds = seconds;
        }
    }

    const qint64 remaining = qint64(village.BuildTotal) - village.BuildElapsed;
    if (village.BuildTotal > 0 && remaining > 0) {
        row.Construction = village.BuildName;
        row.ConstructionSeconds = remaining;
    }

    if (!village.Queue.isEmpty()) {
        const TQueueProjection &projection = evaluation.Queue;
        for (const TProjectedItem &item : projection.Items) {
            if (item.Status == TProjectedStatus::Never) {
                row.QueueNever = NeverReasonText(item.Never);
                break;
            }
        }
        if (row.QueueNever.isEmpty() && projection.QueueEnd > 0)
            row.QueueEndSeconds = projection.QueueEnd;
    }
    return row;
}

namespace {

// ComesBefore with each row's soonest event already worked out.
bool ComesBefore(const TSummaryRow &a, std::optional<qint64> first, const TSummaryRow &b,
                 std::optional<qint64> second)
{
    if (first.has_value() != second.has_value())
        return first.has_value();
    if (first && *first != *second)
        return *first < *second;
    // CompareText's order; with the folded names at hand, without folding
    // letter by letter at each comparison.
    if (!a.SortName.isEmpty() && !b.SortName.isEmpty())
        return a.SortName < b.SortName;
    return CompareText(a.Name, b.Name) < 0;
}

} // namespace

bool ComesBefore(const TSummaryRow &a, const TSummaryRow &b)
{
    return ComesBefore(a, a.SoonestEvent(), b, b.SoonestEvent());
}

TSummaryModel::TSummaryModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void TSummaryModel::Refresh(const QList<const TPlanner *> &villages)
{
    QList<TSummaryRow> rows;
    rows.reserve(villages.size());
    QHash<QString, QString> folded;
    for (const TPlanner *village : villages) {
        TSummaryRow row = SummarizeVillage(village->Village(), village->Evaluation());
        // A name is folded again only when it changed.
        const auto known = m_FoldedNames.constFind(row.Name);
        row.SortName = known != m_FoldedNames.constEnd() ? *known : row.Name.toCaseFolded();
        folded.insert(row.Name, row.SortName);
        rows.append(std::move(row));
    }
    m_FoldedNames = std::move(folded);
    // Each row's soonest event worked out once, not at each comparison.
    std::vector<std::pair<std::optional<qint64>, qsizetype>> order;
    order.reserve(std::size_t(rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i)
        order.emplace_back(rows.at(i).SoonestEvent(), i);
    std::stable_sort(order.begin(), order.end(), [&rows](const auto &a, const auto &b) {
        return ComesBefore(rows.at(a.second), a.first, rows.at(b.second), b.first);
    });
    QList<TSummaryRow> sorted;
    sorted.reserve(rows.size());
    for (const auto &place : order)
        sorted.append(std::move(rows[place.second]));
    rows = std::move(sorted);
    m_Now = CurrentDateTime();

    const auto villageOf = [](const TSummaryRow &row) { return row.Village; };
    QList<const TVillageData *> before;
    QList<const TVillageData *> after;
    std::transform(m_Rows.cbegin(), m_Rows.cend(), std::back_inserter(before), villageOf);
    std::transform(rows.cbegin(), rows.cend(), std::back_inserter(after), villageOf);

    if (before == after) {
        m_Rows = std::move(rows);
        if (!m_Rows.isEmpty())
            emit dataChanged(index(0, 0), index(int(m_Rows.size()) - 1, ColumnCount - 1));
        return;
    }
    QList<const TVillageData *> beforeSet = before;
    QList<const TVillageData *> afterSet = after;
    std::sort(beforeSet.begin(), beforeSet.end());
    std::sort(afterSet.begin(), afterSet.end());
    if (beforeSet != afterSet) {
        beginResetModel();
        m_Rows = std::move(rows);
        endResetModel();
        return;
    }
    emit layoutAboutToBeChanged();
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (const QModelIndex &old : persistent)
        moved.append(index(int(after.indexOf(before.at(old.row()))), old.column()));
    m_Rows = std::move(rows);
    changePersistentIndexList(persistent, moved);
    emit layoutChanged();
}

const TVillageData *TSummaryModel::VillageAt(int row) const
{
    return row >= 0 && row < m_Rows.size() ? m_Rows.at(row).Village : nullptr;
}

int TSummaryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_Rows.size());
}

int TSummaryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString TSummaryModel::FullNowText()
{
    // The page's word for it.
    return TResourceModel::FullNowText();
}

QString TSummaryModel::EmptyNowText()
{
    return QStringLiteral("пусто");
}

QString TSummaryModel::RunsOutPrefix()
{
    return QStringLiteral("опустеет ");
}

QString TSummaryModel::TimeText(qint64 seconds) const
{
    return DurationWithEndText(std::max<qint64>(seconds, 0), m_Now);
}

QString TSummaryModel::Text(const TSummaryRow &row, int column) const
{
    switch (column) {
    case NameColumn:
        return row.Name;
    case NextBuildingColumn:
        return row.NextBuilding;
    case NextBuildingTimeColumn:
        return row.NextBuildingSeconds ? TimeText(*row.NextBuildingSeconds) : QString();
    case ConstructionColumn:
        return row.Construction;
    case ConstructionEndColumn:
        return row.ConstructionSeconds ? TimeText(*row.ConstructionSeconds) : QString();
    case FullStorageColumn:
        return row.FullStorage ? ResourceName(*row.FullStorage) : QString();
    case FullStorageTimeColumn:
        if (!row.FullStorageSeconds)
            return {};
        if (row.RunsOut)
            return *row.FullStorageSeconds == 0 ? EmptyNowText() : RunsOutPrefix() + TimeText(*row.FullStorageSeconds);
        return *row.FullStorageSeconds == 0 ? FullNowText() : TimeText(*row.FullStorageSeconds);
    case QueueEndColumn:
        if (!row.QueueNever.isEmpty())
            return row.QueueNever;
        return row.QueueEndSeconds ? TimeText(*row.QueueEndSeconds) : QString();
    default:
        return {};
    }
}

QVariant TSummaryModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const TSummaryRow &row = m_Rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return Text(row, index.column());
    case Qt::ToolTipRole:
        return index.column() == NameColumn ? row.Name : QString();
    case RunsOutRole:
        return row.RunsOut && (index.column() == FullStorageColumn || index.column() == FullStorageTimeColumn);
    case Qt::TextAlignmentRole:
        return (index.column() == NameColumn || index.column() == NextBuildingColumn
                || index.column() == ConstructionColumn || index.column() == FullStorageColumn)
                   ? int(Qt::AlignLeft | Qt::AlignVCenter)
                   : int(Qt::AlignCenter);
    default:
        return {};
    }
}

QVariant TSummaryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The times tick; the queue's end may turn into "never and why".
    if (orientation == Qt::Horizontal && role == WidthTemplatesRole) {
        switch (section) {
        case NextBuildingTimeColumn:
        case ConstructionEndColumn:
            return QStringList{DurationWithEndTemplate()};
        case FullStorageTimeColumn:
            return QStringList{DurationWithEndTemplate(), FullNowText(), RunsOutPrefix() + DurationWithEndTemplate(),
                               EmptyNowText()};
        case QueueEndColumn:
            return QStringList{DurationWithEndTemplate(), NeverReasonText(TNeverReason::NoIncome),
                               NeverReasonText(TNeverReason::Capacity)};
        default:
            return {};
        }
    }
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList titles{QStringLiteral("Деревня"),   QStringLiteral("Можно строить"),
                                    QStringLiteral("Время"),     QStringLiteral("Строительство"),
                                    QStringLiteral("Окончание"), QStringLiteral("Склад"),
                                    QStringLiteral("Через"),     QStringLiteral("Очередь до")};
    return section >= 0 && section < titles.size() ? titles.at(section) : QVariant();
}
