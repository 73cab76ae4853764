// The sort arrow's room in the title row of the available table.
#include "SortHeader.h"

#include <QStyle>
#include <QStyleOptionHeader>

TSortHeader::TSortHeader(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    // The columns fitted to their contents follow the arrow to its column.
    connect(this, &QHeaderView::sortIndicatorChanged, this, [this] { resizeSections(); });
}

QSize TSortHeader::sectionSizeFromContents(int logicalIndex) const
{
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    if (isSortIndicatorShown() && logicalIndex != sortIndicatorSection()) {
        // The base class adds the arrow's room (the height and a margin) to
        // every title.
        QStyleOptionHeader option;
        initStyleOption(&option);
        const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, &option, this);
        size.rwidth() -= size.height() + margin;
    }
    return size;
}
