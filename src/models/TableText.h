// Tables that leave the program: the rows of any item model, under its
// column titles, as tab-separated text (what Ctrl+C puts on the clipboard,
// for a spreadsheet or a chat) or as CSV (RFC 4180, for "Экспорт в CSV...").
// The texts are the model's display texts, so times read as the table shows
// them.
//
// The windows call it with their tables' models and the selected rows.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QAbstractItemModel;

enum class TTableTextFormat { TabSeparated, Csv };

// Every row of the model, in order.
QList<int> AllRows(const QAbstractItemModel &model);

// The title line, then one line per row (rows given in the model's order
// or any other, each once). A model whose rows have titles of their own
// (texts in its vertical header, as the resource table's "Накоплено") gives
// each line its row's title first, under an empty title. Tab-separated: fields joined by tabs, tabs and
// line breaks inside a field made blanks, lines ended by LF. CSV: fields
// joined by commas, a field holding a comma, a quote, a CR or an LF put in
// quotes with its quotes doubled, lines ended by CR LF.
QString TableText(const QAbstractItemModel &model, const QList<int> &rows, TTableTextFormat format);

// The bytes of a CSV file: UTF-8 behind a byte-order mark, so that
// spreadsheet programs read the Cyrillic.
QByteArray CsvFileBytes(const QString &text);
