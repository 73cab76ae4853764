// The resource table as a Qt model: the rows "Накоплено" (stocks),
// "Поступление, в час" (hourly incomes) and "Вместимость" (storage
// capacities, empty while unknown) of the four kinds, which the player edits,
// and the read-only row "Заполнится" (when each storage runs full, or, for a
// negative income, when the stock runs out). Typed
// values go to the record's hand-edit operations, which set Modified and
// recalculate; a text that is no acceptable number is refused. The stock
// cells tell through FullnessRole how near their storage is to full. The
// village page's sgRes shows and edits it.
#pragma once

#include "rules/Deliveries.h"

#include <QAbstractTableModel>
#include <QDateTime>

class TVillageData;

class TResourceModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum TRow { StockRow = 0, IncomeRow = 1, CapacityRow = 2, FullRow = 3 };

    enum TRole {
        // TFullness (as int) of a stock cell; none for the other rows.
        FullnessRole = Qt::UserRole + 1,
        // bool: a cell of "Заполнится" that tells a stock running out.
        RunningOutRole,
    };

    // How near a storage is to full: its stock at or above a known
    // capacity, or full within an hour at its income.
    enum class TFullness { Room = 0, FullWithinHour = 1, Full = 2 };

    // Within this many seconds a storage counts as full soon.
    static constexpr qint64 SoonSeconds = 3600;

    // The rule for one kind: Full when the capacity is known and the stock
    // is at or above it (whatever the income); FullWithinHour when the
    // income fills it in SoonSeconds or less; Room otherwise.
    static TFullness Fullness(qint32 stock, qint32 income, qint32 capacity);
    // What "Заполнится" reads for one kind: with a negative income "пусто"
    // when the stock is at 0 or below, else "опустеет " and the time until
    // it runs out with its end clock ("опустеет 01:23:45 (10:47)"); "полон"
    // when Full; the time until full with its end clock counted from now
    // ("01:23:45 (10:47)"); empty when the capacity is unknown or the
    // income is 0. The times count from the exact stock at the hour counter
    // (ExactScaledStock); deliveries on their way to this kind count at their
    // arrival.
    static QString FullText(qint32 stock, qint32 income, qint32 capacity, const QDateTime &now,
                            qint32 counter = 0, const TArrivals &arrivals = {},
                            TResourceKind kind = TResourceKind::Wood);
    // "полон": a storage full now, wherever the program says so.
    static QString FullNowText();

    explicit TResourceModel(TVillageData &village, QObject *parent = nullptr);

    // What a cell of the row takes: stocks and capacities a whole number of
    // 0 or more, incomes one that may be negative, digits only, within 32
    // bits; the empty text too (a stock or income of 0, an unknown
    // capacity). The row "Заполнится" takes nothing.
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
