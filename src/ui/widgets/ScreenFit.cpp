// Windows that fit their screen; see ScreenFit.h.
#include "ui/widgets/ScreenFit.h"

#include <algorithm>

QSize FitClientSize(const QSize &design, const QRect &available, const QMargins &frame)
{
    const QSize room = available.size().shrunkBy(frame).expandedTo(QSize(1, 1));
    return design.boundedTo(room).expandedTo(QSize(1, 1));
}

QRect FitClientGeometry(const QRect &wanted, const QRect &available, const QMargins &frame, bool centre)
{
    const QSize size = FitClientSize(wanted.size(), available, frame);
    QRect outer(wanted.topLeft() - QPoint(frame.left(), frame.top()), size.grownBy(frame));
    if (centre) {
        outer.moveCenter(available.center());
    } else {
        // In from the right and bottom first, so that the top left (title and
        // menu bar) wins where both cannot be on the screen.
        outer.moveRight(std::min(outer.right(), available.right()));
        outer.moveBottom(std::min(outer.bottom(), available.bottom()));
        outer.moveLeft(std::max(outer.left(), available.left()));
        outer.moveTop(std::max(outer.top(), available.top()));
    }
    outer.moveLeft(std::max(outer.left(), available.left()));
    outer.moveTop(std::max(outer.top(), available.top()));
    return outer.marginsRemoved(frame);
}
