// Number editors for the stock and income cells.
#include "ResourceDelegate.h"

#include "NumberEditors.h"

#include "village/InputRules.h"
#include "village/ResourceModel.h"

#include <QLineEdit>

QWidget *TResourceDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *field = qobject_cast<QLineEdit *>(editor)) {
        field->setObjectName(QStringLiteral("sgResEditor"));
        AttachInputRule(field, index.row() == TResourceModel::StockRow ? &AcceptStockText : &AcceptIncomeText);
    }
    return editor;
}
