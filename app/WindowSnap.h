#pragma once

#include <QRect>

namespace horavia {

// Moves a window frame flush with an edge of the work area when its edge comes within distance
// pixels of it; the left and top edges win over the right and bottom ones.
inline QRect SnapToArea(QRect frame, const QRect& area, int distance) {
    if (std::abs(frame.left() - area.left()) <= distance) {
        frame.moveLeft(area.left());
    } else if (std::abs(frame.right() - area.right()) <= distance) {
        frame.moveRight(area.right());
    }
    if (std::abs(frame.top() - area.top()) <= distance) {
        frame.moveTop(area.top());
    } else if (std::abs(frame.bottom() - area.bottom()) <= distance) {
        frame.moveBottom(area.bottom());
    }
    return frame;
}

} // namespace horavia
