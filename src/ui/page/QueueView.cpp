// The build queue's table with rows dragged to a new place; see QueueView.h.
#include "ui/page/QueueView.h"

#include <QDropEvent>
#include <QHeaderView>

TQueueView::TQueueView(QWidget *parent)
    : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setDragDropOverwriteMode(false);
}

int TQueueView::DropRow(const QPoint &position) const
{
    const int row = rowAt(position.y());
    if (row < 0)
        return model() ? model()->rowCount() : 0;
    const QRect cell = visualRect(model()->index(row, 0));
    return position.y() > cell.center().y() ? row + 1 : row;
}

void TQueueView::dropEvent(QDropEvent *event)
{
    if (event->source() != this || !model() || !currentIndex().isValid()) {
        event->ignore();
        return;
    }
    model()->moveRow({}, currentIndex().row(), {}, DropRow(event->position().toPoint()));
    // The move is done; the drag must not take the row away afterwards.
    event->setDropAction(Qt::IgnoreAction);
    event->accept();
    stopAutoScroll();
    setState(NoState);
    viewport()->update();
}
