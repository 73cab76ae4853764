// The resource table as a Qt model: the row "Накоплено" (stocks) and the row
// "Поступление, в час" (hourly incomes) of the four kinds. Typed values go
// to the record's hand-edit operations, which set Modified and recalculate;
// a text that is no acceptable number is refused. The village page's sgRes
// shows and edits it.
#pragma once

#include <QAbstractTableModel>

class TVillageData;

class TResourceModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum TRow { StockRow = 0, IncomeRow = 1 };

    explicit TResourceModel(TVillageData &village, QObject *parent = nullptr);

    // What a cell of the row takes: stocks a whole number of 0 or more,
    // incomes one that may be negative, digits only, within 32 bits; the
    // empty text too (it counts as 0).
    static bool Accepts(int row, QStringView text);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void RecordChanged();

    TVillageData &m_Village;
};
