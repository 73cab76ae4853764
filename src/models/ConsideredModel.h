// The considered buildings of a village as a Qt list model: the known
// entries in their sorted order, then the building texts of the file that
// the catalog lacks, which are shown disabled (greyed) with the tooltip
// "Нет в каталоге" and take no part in planning. The village page's
// LstBoxItems shows it.
#pragma once

#include <QAbstractListModel>

class TVillageData;

class TConsideredModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum TRole {
        // qint32: the catalog index of a known entry, -1 for an unknown one.
        CatalogIndexRole = Qt::UserRole + 1,
    };

    explicit TConsideredModel(const TVillageData &village, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // Whether the row is a known entry (a position in AvBuildings).
    bool IsKnown(int row) const;
    // Follows the record: in place when the number of rows stays (an entry
    // moved on to its next level keeps its row and its selection), anew
    // otherwise.
    void Refresh();

private:
    const TVillageData &m_Village;
    int m_Rows = 0;
};
