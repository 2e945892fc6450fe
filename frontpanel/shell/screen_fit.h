// The size a window opens with on a given screen.
#pragma once

#include <QSize>

namespace zr {

// `wanted`, made no larger than the screen's free area (`available`, less
// `frame` for the window system's title bar and borders), but never smaller
// than the window's `minimum`.
inline QSize openingSize(QSize wanted, QSize minimum, QSize available, QSize frame) {
    const QSize room = (available - frame).expandedTo(QSize(1, 1));
    return wanted.boundedTo(room).expandedTo(minimum);
}

} // namespace zr
