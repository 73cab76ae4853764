// The title row of the available table: titles with little room around
// them, the sort arrow's room on the sorted column only.
#include "ui/widgets/SortHeader.h"

namespace {

// Room on either side of a title.
constexpr int TitleMargin = 4;

} // namespace

TSortHeader::TSortHeader(QWidget *parent)
    : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsClickable(true);
    // The columns fitted to their contents follow the arrow to its column.
    connect(this, &QHeaderView::sortIndicatorChanged, this, [this] { resizeSections(); });
}

QSize TSortHeader::sectionSizeFromContents(int logicalIndex) const
{
    // The style's own size gives the height; the width is the title's with
    // a small margin, so that the seven columns fit the window's least width.
    QSize size = QHeaderView::sectionSizeFromContents(logicalIndex);
    const QString title = model() ? model()->headerData(logicalIndex, orientation()).toString() : QString();
    int width = fontMetrics().horizontalAdvance(title) + 2 * TitleMargin;
    if (isSortIndicatorShown() && logicalIndex == sortIndicatorSection())
        width += size.height();
    size.setWidth(qMin(size.width(), width));
    return size;
}
