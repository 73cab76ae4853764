// The stocks, hourly incomes and capacities of a village as an editable
// table, with the time until each storage is full.
#include "ResourceModel.h"

#include "record/InputRules.h"
#include "record/KeptFileContent.h"
#include "rules/Production.h"
#include "record/VillageData.h"

#include "base/Clock.h"
#include "base/TimeText.h"
#include "catalog/dm_ListObjects.h"

TResourceModel::TResourceModel(TVillageData &village, QObject *parent)
    : QAbstractTableModel(parent)
    , m_Village(village)
{
    connect(&m_Village, &TVillageData::ResourcesChanged, this, &TResourceModel::RecordChanged);
    connect(&m_Village, &TVillageData::DeliveriesChanged, this, &TResourceModel::RecordChanged);
}

bool TResourceModel::Accepts(int row, QStringView text)
{
    if (row == StockRow || row == CapacityRow)
        return AcceptStockText(text);
    if (row == IncomeRow)
        return AcceptIncomeText(text);
    return false;
}

namespace {

bool IsFull(qint32 stock, qint32 capacity)
{
    return IsKnownCapacity(capacity) && stock >= capacity;
}

} // namespace

TResourceModel::TFullness TResourceModel::Fullness(qint32 stock, qint32 income, qint32 capacity)
{
    if (IsFull(stock, capacity))
        return TFullness::Full;
    const std::optional<qint64> seconds = SecondsToFull(stock, income, capacity);
    return seconds && *seconds <= SoonSeconds ? TFullness::FullWithinHour : TFullness::Room;
}

QString TResourceModel::FullNowText()
{
    return QStringLiteral("полон");
}

QString TResourceModel::FullText(qint32 stock, qint32 income, qint32 capacity, const QDateTime &now,
                                 qint32 counter, const TArrivals &arrivals, TResourceKind kind)
{
    // Timed from the exact stock, so that the clock stands as the seconds pass.
    const qint64 exact = ExactScaledStock(stock, income, capacity, counter);
    if (const std::optional<qint64> empty = SecondsToEmptyScaled(exact, income)) {
        if (*empty == 0)
            return QStringLiteral("пусто");
        return QStringLiteral("опустеет ") + DurationWithEndText(*empty, now);
    }
    if (IsFull(stock, capacity))
        return FullNowText();
    const std::optional<qint64> seconds = SecondsToFullWithArrivalsScaled(exact, income, capacity, kind, arrivals);
    if (!seconds)
        return {};
    return DurationWithEndText(*seconds, now);
}

int TResourceModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 4;
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
    const TResourceKind kind = AllResourceKinds[std::size_t(index.column())];
    if (role == RunningOutRole)
        return index.row() == FullRow && m_Village.ResourceAddValue(kind) < 0;
    if (role == FullnessRole) {
        if (index.row() != StockRow)
            return {};
        return int(Fullness(m_Village.ResourceCollectValue(kind), m_Village.ResourceAddValue(kind),
                            m_Village.CapacityValue(kind)));
    }
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const std::size_t column = std::size_t(index.column());
    switch (index.row()) {
    case StockRow:
        return m_Village.ResourceCollect[column];
    case IncomeRow:
        return m_Village.ResourceAdd[column];
    case CapacityRow:
        // A capacity that is no number the program can plan with (letters,
        // below 0, beyond 32 bits) counts as unknown: the cell says so, and
        // its editor still holds the text, kept as the file had it.
        if (role == Qt::DisplayRole && !m_Village.Capacity[column].isEmpty()
            && !IsKnownCapacity(m_Village.CapacityValue(kind)))
            return NotUnderstoodMark();
        return m_Village.Capacity[column];
    default:
        return FullText(m_Village.ResourceCollectValue(kind), m_Village.ResourceAddValue(kind),
                        m_Village.CapacityValue(kind), CurrentDateTime(), m_Village.HourCounter,
                        ArrivalsOf(m_Village, CurrentDateTime()), kind);
    }
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
    else if (index.row() == IncomeRow)
        m_Village.EditResourceAdd(kind, text);
    else
        m_Village.EditCapacity(kind, text);
    return true;
}

QVariant TResourceModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList kinds{ResourceName(TResourceKind::Wood), ResourceName(TResourceKind::Clay),
                                   ResourceName(TResourceKind::Iron), ResourceName(TResourceKind::Grain)};
    static const QStringList rows{QStringLiteral("Накоплено"), QStringLiteral("Поступление, в час"),
                                  QStringLiteral("Вместимость"), QStringLiteral("Заполнится")};
    const QStringList &titles = orientation == Qt::Horizontal ? kinds : rows;
    return section >= 0 && section < titles.size() ? QVariant(titles.at(section)) : QVariant();
}

Qt::ItemFlags TResourceModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (index.row() == FullRow)
        return QAbstractTableModel::flags(index);
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void TResourceModel::RecordChanged()
{
    static const QList<int> roles{Qt::DisplayRole, Qt::EditRole, FullnessRole, RunningOutRole};
    emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), roles);
}
