// The table of the build queue: rows are dragged to a new place, which the
// model's moveRows carries out (Qt's views would otherwise remove the dragged
// row after a move within one view). The village page's sgQueue.
#pragma once

#include <QTableView>

class TQueueView : public QTableView
{
    Q_OBJECT

public:
    explicit TQueueView(QWidget *parent = nullptr);

    // The row a drop at this viewport position goes before: below the middle
    // of a row, the next one; below the last row, the row count.
    int DropRow(const QPoint &position) const;

protected:
    void dropEvent(QDropEvent *event) override;
};
