// Ctrl+C on tables; see TableCopy.h.
#include "ui/widgets/TableCopy.h"

#include "models/TableText.h"

#include <QAbstractItemView>
#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QItemSelectionModel>

#include <algorithm>

void CopySelectedRows(const QAbstractItemView *view)
{
    const QAbstractItemModel *model = view->model();
    if (!model)
        return;
    QList<int> rows;
    if (const QItemSelectionModel *selection = view->selectionModel()) {
        for (const QModelIndex &index : selection->selectedIndexes())
            rows.append(index.row());
    }
    if (rows.isEmpty() && view->currentIndex().isValid())
        rows.append(view->currentIndex().row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.isEmpty())
        return;
    QGuiApplication::clipboard()->setText(TableText(*model, rows, TTableTextFormat::TabSeparated));
}

QAction *AttachTableCopy(QAbstractItemView *view)
{
    auto *copy = new QAction(QStringLiteral("Копировать"), view);
    copy->setObjectName(QStringLiteral("actCopyRows"));
    copy->setShortcuts(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    view->addAction(copy);
    QObject::connect(copy, &QAction::triggered, view, [view] { CopySelectedRows(view); });
    return copy;
}
