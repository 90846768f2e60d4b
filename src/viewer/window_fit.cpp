#include "viewer/window_fit.h"

#include <algorithm>

namespace viewer {

QRect fittedClientGeometry(QSize wanted, QSize minimum, const QRect& available,
                           const QMargins& frame) {
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    const QSize size = wanted.boundedTo(room).expandedTo(minimum);
    const QSize outer(size.width() + frame.left() + frame.right(),
                      size.height() + frame.top() + frame.bottom());
    // Centred; a window larger than the free area keeps its top left corner inside it.
    const int left = available.left() + std::max(0, (available.width() - outer.width()) / 2);
    const int top = available.top() + std::max(0, (available.height() - outer.height()) / 2);
    return QRect(QPoint(left + frame.left(), top + frame.top()), size);
}

} // namespace viewer
