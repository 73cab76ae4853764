// The editors of the resource table (sgRes): a stock cell takes a whole
// number of 0 or more, an income cell one that may be negative; anything
// else is refused with the warning sound. The village page sets it on sgRes.
#pragma once

#include <QStyledItemDelegate>

class TResourceDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
