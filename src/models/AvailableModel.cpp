// The texts, shortage and order of the table of available buildings, made
// from the planner's numbers when they are shown.
#include "AvailableModel.h"

#include "rules/Production.h"

#include "base/TextCompare.h"
#include "base/TimeText.h"
#include "models/ColumnWidth.h"
#include "catalog/dm_ListObjects.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr int NameColumn = 0;
constexpr int TimeColumn = 5;
constexpr int BuildColumn = 6;
constexpr int PaybackColumn = 7;
constexpr int ExchangeColumn = TAvailableModel::ExchangeColumn;

// Whether a time sorts as never: such rows stand last in either order.
bool IsNeverIn(const TAvailableEntry &entry, int column)
{
    return column == ExchangeColumn ? entry.Exchange.IsNever() : entry.Afford.IsNever();
}

bool IsCostColumn(int column)
{
    return column >= 1 && column <= 4;
}

TResourceKind CostKind(int column)
{
    return AllResourceKinds[std::size_t(column - 1)];
}

} // namespace

TAvailableModel::TAvailableModel(const TPlanner &planner, const TdmListObj &catalog, QObject *parent)
    : QAbstractTableModel(parent)
    , m_Planner(planner)
    , m_Catalog(catalog)
{
    m_Entries = m_Planner.Available();
    m_At = m_Planner.Evaluation().At;
    m_Rows = int(m_Entries.size());
    m_Order.resize(m_Rows);
    std::iota(m_Order.begin(), m_Order.end(), 0);
    connect(&m_Planner, &TPlanner::Evaluated, this, &TAvailableModel::PlannerChanged);
}

const QStringList &TAvailableModel::ColumnTitles()
{
    static const QStringList titles{QStringLiteral("Строение"),         ResourceName(TResourceKind::Wood),
                                    ResourceName(TResourceKind::Clay), ResourceName(TResourceKind::Iron),
                                    ResourceName(TResourceKind::Grain), QStringLiteral("Время"),
                                    QStringLiteral("Строить"),          QStringLiteral("Окупится"),
                                    QStringLiteral("С обменом")};
    return titles;
}

int TAvailableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_Rows;
}

Qt::ItemFlags TAvailableModel::flags(const QModelIndex &index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    if (Entry(index.row()).IsBlank())
        return Qt::ItemIsEnabled;
    return QAbstractTableModel::flags(index);
}

int TAvailableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(ColumnTitles().size());
}

const TAvailableEntry &TAvailableModel::Entry(int row) const
{
    return m_Entries.at(m_Order.at(row));
}

QString TAvailableModel::Text(const TAvailableEntry &entry, int column) const
{
    if (entry.IsBlank() || entry.CatalogIndex >= m_Catalog.Count())
        return {};
    const TLivaronObject &object = m_Catalog.Object(entry.CatalogIndex);
    if (column == NameColumn)
        return object.DisplayText();
    if (IsCostColumn(column))
        return QString::number(CostsOf(object)[KindIndex(CostKind(column))]);
    if (column == TimeColumn) {
        // Never affordable, and why; such rows sort last.
        if (entry.Afford.IsNever())
            return entry.Afford.NeverText();
        return DurationWithEndText(entry.Afford.Seconds, m_At);
    }
    // Only where trading at the market changes the time.
    if (column == ExchangeColumn && entry.Exchange != entry.Afford) {
        if (entry.Exchange.IsNever())
            return entry.Exchange.NeverText();
        return DurationWithEndText(entry.Exchange.Seconds, m_At);
    }
    if (column == BuildColumn)
        return DurationText(entry.BuildSeconds);
    if (column == PaybackColumn && entry.HasPayback())
        return DurationText(entry.Payback);
    return {};
}

qint64 TAvailableModel::SortValue(const TAvailableEntry &entry, int column) const
{
    if (entry.IsBlank() || entry.CatalogIndex >= m_Catalog.Count())
        return 0;
    if (IsCostColumn(column))
        return CostsOf(m_Catalog.Object(entry.CatalogIndex))[KindIndex(CostKind(column))];
    if (column == TimeColumn)
        return entry.Afford.Seconds;
    if (column == ExchangeColumn)
        return entry.Exchange.Seconds;
    if (column == BuildColumn)
        return entry.BuildSeconds;
    if (column == PaybackColumn)
        return entry.Payback;
    return 0;
}

QVariant TAvailableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const TAvailableEntry &entry = Entry(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return Text(entry, index.column());
    case Qt::ToolTipRole:
        // The name column gives up room first; its whole text stays at hand.
        return index.column() == NameColumn ? Text(entry, index.column()) : QString();
    case Qt::TextAlignmentRole:
        return index.column() == NameColumn ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    case ShortageRole:
        return IsCostColumn(index.column()) && entry.IsShort(CostKind(index.column()));
    case SortRole:
        return SortValue(entry, index.column());
    default:
        return {};
    }
}

QVariant TAvailableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnTitles().size())
        return ColumnTitles().at(section);
    // The waiting time ticks; the build time follows the main building's
    // level and the payback the incomes. (A reason why a building can never be afforded is measured when
    // the rows change: as a template it would take the names' room.)
    if (orientation == Qt::Horizontal && role == WidthTemplatesRole
        && (section == TimeColumn || section == ExchangeColumn))
        return QStringList{DurationWithEndTemplate()};
    if (orientation == Qt::Horizontal && role == WidthTemplatesRole
        && (section == BuildColumn || section == PaybackColumn))
        return QStringList{DurationTemplate()};
    return QAbstractTableModel::headerData(section, orientation, role);
}

void TAvailableModel::PlannerChanged()
{
    const QList<TAvailableEntry> &entries = m_Planner.Available();
    // The rows are places in the table: while their number stays (a tick
    // that grows a stock), they change in place and the selected row stays
    // selected; otherwise the table is laid out anew.
    const bool sameRows = entries.size() == m_Rows;
    if (!sameRows)
        beginResetModel();
    m_Entries = entries;
    m_At = m_Planner.Evaluation().At;
    m_Rows = int(m_Entries.size());
    m_Order.resize(m_Rows);
    std::iota(m_Order.begin(), m_Order.end(), 0);
    if (m_SortColumn >= 0)
        ApplyOrder();
    if (!sameRows)
        endResetModel();
    else if (m_Rows > 0)
        emit dataChanged(index(0, 0), index(m_Rows - 1, columnCount() - 1));
}

void TAvailableModel::sort(int column, Qt::SortOrder order)
{
    m_SortColumn = column >= 0 && column < columnCount() ? column : -1;
    m_SortOrder = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<int> plannerRows;
    plannerRows.reserve(before.size());
    for (const QModelIndex &index : before)
        plannerRows.append(m_Order.at(index.row()));

    std::iota(m_Order.begin(), m_Order.end(), 0);
    if (m_SortColumn >= 0)
        ApplyOrder();

    QList<int> shownRow(m_Order.size());
    for (int row = 0; row < m_Order.size(); ++row)
        shownRow[m_Order.at(row)] = row;
    QModelIndexList after;
    after.reserve(before.size());
    for (int i = 0; i < before.size(); ++i)
        after.append(index(shownRow.at(plannerRows.at(i)), before.at(i).column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void TAvailableModel::ApplyOrder()
{
    const QList<TAvailableEntry> &entries = m_Entries;
    const int column = m_SortColumn;
    const bool descending = m_SortOrder == Qt::DescendingOrder;
    std::stable_sort(m_Order.begin(), m_Order.end(), [&](int a, int b) {
        const TAvailableEntry &left = entries.at(a);
        const TAvailableEntry &right = entries.at(b);
        if (column == TimeColumn || column == ExchangeColumn) {
            const bool leftNever = IsNeverIn(left, column);
            const bool rightNever = IsNeverIn(right, column);
            if (leftNever != rightNever)
                return rightNever;
            if (leftNever)
                return false;
        }
        if (column == PaybackColumn) {
            // Buildings that pay nothing back stand last, in either order.
            if (left.HasPayback() != right.HasPayback())
                return left.HasPayback();
            if (!left.HasPayback())
                return false;
        }
        if (column == NameColumn) {
            const int compared = CompareText(Text(left, column), Text(right, column));
            return descending ? compared > 0 : compared < 0;
        }
        const qint64 l = SortValue(left, column);
        const qint64 r = SortValue(right, column);
        return descending ? l > r : l < r;
    });
}

bool TAvailableModel::ExchangeShown() const
{
    return std::any_of(m_Entries.begin(), m_Entries.end(),
                       [](const TAvailableEntry &entry) { return !entry.IsBlank() && entry.Exchange != entry.Afford; });
}

int TAvailableModel::PlannerRow(int row) const
{
    return row >= 0 && row < m_Order.size() ? m_Order.at(row) : -1;
}

QList<std::array<QString, 7>> TAvailableModel::DisplayRows() const
{
    QList<std::array<QString, 7>> rows;
    rows.reserve(m_Rows);
    for (int row = 0; row < m_Rows; ++row) {
        std::array<QString, 7> texts;
        for (int column = 0; column < int(texts.size()); ++column)
            texts[std::size_t(column)] = Text(Entry(row), column);
        rows.append(texts);
    }
    return rows;
}
