// The village's built list as a Qt table model, "Постройки": the building,
// its level (editable) and what it gives at that level (production per hour
// at the village's speed, capacity, upkeep, culture points per day, from
// BuiltFigures). Rows are ordered as the game's page orders them: the
// fields first, then the other buildings, each group in the record's order.
// An entry the catalog does not know shows "не распознано" in the figures.
// Every change goes to the record, which makes it one undo step.
//
// The village page's built panel shows it; it also gives "В очередь" the
// very field of a row.
#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QStringList>

#include <optional>

class TdmListObj;
class TVillageData;
struct TAvBuildingEntry;

class TBuiltModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum TColumn { NameColumn, LevelColumn, ProductionColumn, CapacityColumn, UpkeepColumn, CultureColumn, ColumnCount };

    TBuiltModel(TVillageData &village, const TdmListObj &catalog, QObject *parent = nullptr);

    static const QStringList &ColumnTitles();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A level typed in the level column: a whole number of 0 or more (one the
    // catalog lacks is kept, not recognised); anything else is refused.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // The position in the record's built list of a model row; -1 for none.
    int Position(int row) const;
    // The model row that shows a position of the record; -1 for none.
    int RowOf(int position) const;
    // Adds the building of this name at level 1 (after the others).
    void AddBuilding(const QString &name);
    // Removes the building of a row; false for no row.
    bool RemoveRow(int row);
    // The next level of the building of a row, as "В очередь" queues it:
    // that very building's level + 1; none when the row's building is not
    // recognised or the catalog has no next level.
    std::optional<TAvBuildingEntry> NextLevelOf(int row) const;

    // The names of the catalog's buildings, in catalog order, for choosing
    // one to add.
    QStringList BuildingNames() const;

private:
    void Refresh();

    TVillageData &m_Village;
    const TdmListObj &m_Catalog;
    // Model row -> position in the record.
    QList<int> m_Order;
};
