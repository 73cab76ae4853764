// The editors and look of the resource table (sgRes): a stock or capacity
// cell takes a whole number of 0 or more, an income cell one that may be
// negative; anything else is refused with the warning sound. A stock cell
// whose storage is full within an hour is amber, one whose storage is full
// red (the model's FullnessRole). The village page sets it on sgRes.
#pragma once

#include <QStyledItemDelegate>

class TResourceDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
