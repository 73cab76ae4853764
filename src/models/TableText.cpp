// Model rows as tab-separated text or CSV; see TableText.h.
#include "TableText.h"

#include <QAbstractItemModel>
#include <QStringList>

namespace {

QString CsvField(const QString &text)
{
    const bool quoted = text.contains(u',') || text.contains(u'"') || text.contains(u'\r') || text.contains(u'\n');
    if (!quoted)
        return text;
    QString field = text;
    field.replace(u'"', QStringLiteral("\"\""));
    return u'"' + field + u'"';
}

QString TabField(const QString &text)
{
    QString field = text;
    field.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    for (QChar &ch : field) {
        if (ch == u'\t' || ch == u'\r' || ch == u'\n')
            ch = u' ';
    }
    return field;
}

QString Line(const QStringList &texts, TTableTextFormat format)
{
    QStringList fields;
    fields.reserve(texts.size());
    for (const QString &text : texts)
        fields.append(format == TTableTextFormat::Csv ? CsvField(text) : TabField(text));
    return format == TTableTextFormat::Csv ? fields.join(u',') + QStringLiteral("\r\n") : fields.join(u'\t') + u'\n';
}

} // namespace

QList<int> AllRows(const QAbstractItemModel &model)
{
    QList<int> rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows.append(row);
    return rows;
}

namespace {

// The title of a row: the model's own text for it (a number is the view's
// count, no title); none when the model gives its rows no texts.
QString RowTitle(const QAbstractItemModel &model, int row)
{
    const QVariant title = model.headerData(row, Qt::Vertical, Qt::DisplayRole);
    return title.typeId() == QMetaType::QString ? title.toString() : QString();
}

bool HasRowTitles(const QAbstractItemModel &model)
{
    for (int row = 0; row < model.rowCount(); ++row) {
        if (!RowTitle(model, row).isEmpty())
            return true;
    }
    return false;
}

} // namespace

QString TableText(const QAbstractItemModel &model, const QList<int> &rows, TTableTextFormat format)
{
    const int columns = model.columnCount();
    const bool rowTitles = HasRowTitles(model);
    QStringList texts;
    if (rowTitles)
        texts.append(QString());
    for (int column = 0; column < columns; ++column)
        texts.append(model.headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    QString result = Line(texts, format);
    for (const int row : rows) {
        if (row < 0 || row >= model.rowCount())
            continue;
        texts.clear();
        if (rowTitles)
            texts.append(RowTitle(model, row));
        for (int column = 0; column < columns; ++column)
            texts.append(model.data(model.index(row, column), Qt::DisplayRole).toString());
        result += Line(texts, format);
    }
    return result;
}

QByteArray CsvFileBytes(const QString &text)
{
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}
