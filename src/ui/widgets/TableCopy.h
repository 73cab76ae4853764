// Ctrl+C on a table: the selected rows (the current row when nothing is
// selected), under the column titles, as tab-separated text on the
// clipboard, ready to paste into a spreadsheet or a chat.
//
// The village page attaches it to its tables, the window of all villages
// to its own.
#pragma once

class QAbstractItemView;
class QAction;

// Adds the copy action (the platform's Copy keys, Ctrl+C) to the view; it
// acts while the view has the focus.
QAction *AttachTableCopy(QAbstractItemView *view);

// The text the action puts on the clipboard.
void CopySelectedRows(const QAbstractItemView *view);
