// The editors and look of the resource table (sgRes): a stock or capacity
// cell takes a whole number of 0 or more, an income cell one that may be
// negative; anything else is refused with the warning sound. A stock cell
// whose storage is full within an hour is amber, one whose storage is full
// red (the model's FullnessRole). An open editor keeps what the player
// types: the stocks that grow under it do not refill it. The village page
// sets it on sgRes.
#pragma once

#include <QStyledItemDelegate>

class TResourceDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // Fills a new editor from the cell once; later calls (the view makes
    // one for each change of the cell while the editor is open) leave it.
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
