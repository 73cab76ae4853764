// Column widths by template texts and row changes; see ColumnFit.h.
#include "ui/widgets/ColumnFit.h"

#include "models/ColumnWidth.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QResizeEvent>
#include <QStyle>
#include <QTableView>

#include <algorithm>

TColumnFit::TColumnFit(QTableView *view, int stretchColumn, QHash<int, QStringList> templates)
    : QObject(view), m_View(view), m_Templates(std::move(templates)), m_StretchColumn(stretchColumn)
{
    QAbstractItemModel *model = view->model();
    connect(model, &QAbstractItemModel::modelReset, this, &TColumnFit::Fit);
    connect(model, &QAbstractItemModel::rowsInserted, this, &TColumnFit::Fit);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &TColumnFit::Fit);
    connect(model, &QAbstractItemModel::columnsInserted, this, &TColumnFit::Fit);
    connect(model, &QAbstractItemModel::columnsRemoved, this, &TColumnFit::Fit);
    // The sorted column keeps room for the arrow (SortHeader.h).
    connect(view->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, &TColumnFit::Fit);
    // A window made smaller or larger, or a scroll bar that comes or goes.
    m_Viewport = view->viewport();
    m_Viewport->installEventFilter(this);
    Fit();
}

bool TColumnFit::eventFilter(QObject *watched, QEvent *event)
{
    // Compared by the pointer kept when watching began: the view may be half
    // taken down when its viewport's last events arrive.
    if (watched == m_Viewport && event->type() == QEvent::Resize) {
        const auto *resize = static_cast<const QResizeEvent *>(event);
        if (resize->size().width() != resize->oldSize().width())
            Fit();
    }
    return QObject::eventFilter(watched, event);
}

int TColumnFit::ColumnWidth(int column, bool withTemplates) const
{
    // The title as the header measures it, the texts of the rows as the
    // view's delegate measures them, the templates as a cell would hold
    // them (the text with the item's margins on either side).
    const QAbstractItemView *view = m_View;
    int width = std::max(m_View->horizontalHeader()->sectionSizeHint(column), view->sizeHintForColumn(column));
    if (!withTemplates)
        return width;
    const QFontMetrics metrics(m_View->font());
    const int margin = 2 * (m_View->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_View) + 1);
    const QStringList templates = m_View->model()->headerData(column, Qt::Horizontal, WidthTemplatesRole).toStringList()
        + m_Templates.value(column);
    for (const QString &text : templates)
        width = std::max(width, metrics.horizontalAdvance(text) + margin);
    return width;
}

void TColumnFit::Fit()
{
    QHeaderView *header = m_View->horizontalHeader();
    const int columns = m_View->model() ? m_View->model()->columnCount() : 0;
    QList<int> widths(columns, 0);
    int total = 0;
    for (int column = 0; column < columns; ++column) {
        widths[column] = ColumnWidth(column, true);
        total += widths[column];
    }
    // The stretched column (the names) takes the room the others leave, but
    // never less than its texts need: where the view is too narrow, every
    // column keeps its width and the view scrolls sideways.
    const bool stretch = m_StretchColumn >= 0 && m_StretchColumn < columns && total <= m_View->viewport()->width();
    for (int column = 0; column < columns; ++column) {
        if (stretch && column == m_StretchColumn) {
            header->setSectionResizeMode(column, QHeaderView::Stretch);
            continue;
        }
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        header->resizeSection(column, widths[column]);
    }
}
