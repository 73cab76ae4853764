// The widths of a table's columns by a layout rule, worked out when the
// rows change rather than measured again whenever a text changes: a column
// is as wide as the widest of its title, the texts it holds when the rows
// change and its template texts (the widest a ticking text can get, such as
// "00:00:00 (00:00)" for a time with its end: the model's, see
// models/ColumnWidth.h, and any the view's owner adds). A stretched
// column takes the room the others leave. The fit is made on a reset, on
// rows inserted or removed, when the sort arrow moves, when the view's room
// changes and on Fit(); a cell that only changes its text (the one-second
// tick) costs no measuring. Nothing is cut: where the view is too narrow
// for every column at its width (the stretched one included, whose texts
// are the names), each keeps its width and the view scrolls sideways.
//
// The village page's tables, the build queue and "Все деревни" use it.
#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>

class QTableView;

class TColumnFit : public QObject
{
    Q_OBJECT

public:
    // Fits the view's columns from now on, and now. The view has its model.
    // `stretchColumn` (-1 for none) takes the room the others leave;
    // `templates` adds template texts to the model's, by column.
    explicit TColumnFit(QTableView *view, int stretchColumn = -1, QHash<int, QStringList> templates = {});

    // Fits the columns again: the model's rows changed, or the view's font.
    void Fit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The width of one column by the rule, with its templates or without.
    int ColumnWidth(int column, bool withTemplates) const;

    QTableView *m_View = nullptr;
    QObject *m_Viewport = nullptr;
    QHash<int, QStringList> m_Templates;
    int m_StretchColumn = -1;
};
