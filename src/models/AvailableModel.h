// The table of available buildings as a Qt model: the evaluation's rows (numbers)
// shown as the texts "Строение", "Дерево", "Глина", "Железо", "Зерно",
// "Время", "Строить", "Окупится" (for a resource field, the time until
// its added production pays back its costs) and "С обменом" (the time with
// the market's exchange 1:1, where it differs from "Время"), with the shortage of each cost
// as a role, and sorting by a column's value. The village page's sgCalc shows it; tests read its
// texts row by row with DisplayRows().
#pragma once

#include "rules/Planner.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QList>
#include <QStringList>

#include <array>

class TdmListObj;

class TAvailableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum TRole {
        // bool: the cost of this column exceeds the stock of its kind.
        ShortageRole = Qt::UserRole + 1,
        // The number the column sorts by (qint64).
        SortRole,
    };

    TAvailableModel(const TPlanner &planner, const TdmListObj &catalog, QObject *parent = nullptr);

    // "С обменом", the last column.
    static constexpr int ExchangeColumn = 8;
    // Whether any row's time with the exchange differs from its "Время":
    // an empty column need not take the table's room.
    bool ExchangeShown() const;

    static const QStringList &ColumnTitles();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // The blank row of a table without buildings cannot be selected: there
    // is nothing to build or copy on it.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Orders the rows by a column: names by text, costs and times by value,
    // the buildings that never become affordable last in either order (by
    // "Время"), those that pay nothing back last (by "Окупится"); equal
    // values keep the planner's order ("С обменом" as "Время"). The order holds through later
    // recalculations; column -1 brings back the planner's order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // The planner's row (for the build command) shown at a model row; -1
    // when there is none.
    int PlannerRow(int row) const;
    // The display texts of the columns "Строение" to "Строить" of every row
    // in the shown order.
    QList<std::array<QString, 7>> DisplayRows() const;

private:
    void PlannerChanged();
    void ApplyOrder();
    const TAvailableEntry &Entry(int row) const;
    QString Text(const TAvailableEntry &entry, int column) const;
    qint64 SortValue(const TAvailableEntry &entry, int column) const;

    const TPlanner &m_Planner;
    const TdmListObj &m_Catalog;
    // The rows and their moment as the last evaluation gave them: the view
    // sees them change only with the model's own signals.
    QList<TAvailableEntry> m_Entries;
    QDateTime m_At;
    int m_Rows = 0;
    // Shown row -> planner row.
    QList<int> m_Order;
    int m_SortColumn = -1;
    Qt::SortOrder m_SortOrder = Qt::AscendingOrder;
};
