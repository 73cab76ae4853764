// Number editors for the stock, income and capacity cells; the colours of
// a storage that is full or nearly so, and of a stock that runs out.
#include "ui/page/ResourceDelegate.h"

#include "ui/widgets/NumberEditors.h"
#include "ui/widgets/ReadableColours.h"

#include "record/InputRules.h"
#include "models/ResourceModel.h"

#include <QLineEdit>

QWidget *TResourceDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                         const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *field = qobject_cast<QLineEdit *>(editor)) {
        field->setObjectName(QStringLiteral("sgResEditor"));
        AttachInputRule(field, index.row() == TResourceModel::IncomeRow ? &AcceptIncomeText : &AcceptStockText);
    }
    return editor;
}

void TResourceDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    static const char *const Filled = "jorFilled";
    if (editor->property(Filled).toBool())
        return;
    editor->setProperty(Filled, true);
    QStyledItemDelegate::setEditorData(editor, index);
}

void TResourceDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(TResourceModel::RunningOutRole).toBool()) {
        // A stock that runs out reads like a shortage.
        option->palette.setColor(QPalette::Text,
                                 ReadableColours::LookOf(ReadableColours::TColourRole::Shortage, option->palette).Text);
        return;
    }
    const QVariant fullness = index.data(TResourceModel::FullnessRole);
    if (!fullness.isValid())
        return;
    using ReadableColours::TColourRole;
    ReadableColours::TTextLook look;
    switch (TResourceModel::TFullness(fullness.toInt())) {
    case TResourceModel::TFullness::Room:
        return;
    case TResourceModel::TFullness::FullWithinHour:
        look = ReadableColours::LookOf(TColourRole::StorageNearlyFull, option->palette); // amber
        break;
    case TResourceModel::TFullness::Full:
        look = ReadableColours::LookOf(TColourRole::StorageFull, option->palette); // red
        break;
    }
    option->backgroundBrush = look.Background;
    option->palette.setColor(QPalette::Text, look.Text);
}
