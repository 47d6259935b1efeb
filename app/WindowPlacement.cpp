#include "app/WindowPlacement.h"

#include "app/WindowSnap.h"
#include "base/Log.h"
#include "display/ImageAssets.h"
#include "display/WindowShape.h"

#include <QGuiApplication>
#include <QRegion>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace horavia {

namespace {

bool IsWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

void WindowPlacement::FirstShow() {
    if (placed_) {
        return;
    }
    placed_ = true;
    ApplyWindowShape();
    PlaceAtStoredPosition();
}

void WindowPlacement::ApplyWindowShape() {
    QRegion outline;
    for (const TRect& run : ShapeRuns(LoadShapePicture())) {
        outline += QRect(run.Left, run.Top, run.Width(), run.Height());
    }
    if (outline.isEmpty()) {
        qCWarning(lcApp) << "no window outline: the window stays rectangular";
        return;
    }
    window_.setMask(outline);
}

void WindowPlacement::CentreOnScreen() {
    if (const QScreen* s = window_.screen()) {
        const QRect area = s->availableGeometry();
        window_.move(area.center() - QPoint(window_.width() / 2, VisibleHeight / 2));
    }
}

// The stored position is used once, at the first showing, and only where the window would be
// seen on a connected screen; otherwise the window stays centred.
void WindowPlacement::PlaceAtStoredPosition() {
    CentreOnScreen();
    if (!config_.PositionStored) {
        return;
    }
    // In 64 bits: a stored edge near the limits of int must not wrap into a position on screen.
    const qint64 left = config_.LastWindowPosLeft;
    const qint64 top = config_.LastWindowPosTop;
    const int width = window_.width();
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect area = s->availableGeometry();
        if (left >= area.left() && top >= area.top() && left + width <= qint64{area.left()} + area.width() &&
            top + VisibleHeight <= qint64{area.top()} + area.height()) {
            window_.move(static_cast<int>(left), static_cast<int>(top));
            return;
        }
    }
}

void WindowPlacement::BeginDrag(int x, int y) {
    if (IsWayland() && window_.windowHandle() != nullptr) {
        window_.windowHandle()->startSystemMove(); // a Wayland client cannot place its own window
        return;
    }
    DragStartCursor = PointerOnScreen(x, y);
    DragStartPos = window_.pos();
    Dragging = true;
}

void WindowPlacement::DragTo(int x, int y) {
    if (!Dragging) {
        return;
    }
    const QPoint pointer = PointerOnScreen(x, y);
    QRect frame(pointer - DragStartCursor + DragStartPos, QSize(window_.width(), VisibleHeight));
    if (const QScreen* s = window_.screen()) {
        frame = SnapToArea(frame, s->availableGeometry(), SnapDistance);
    }
    window_.move(frame.topLeft());
}

// Where the pointer was when the event happened. Asking the window system now would be late: by the time
// a press is handled the pointer may have moved on, and the drag would lose that distance.
QPoint WindowPlacement::PointerOnScreen(int x, int y) const {
    return eventPointer_ ? *eventPointer_ : window_.mapToGlobal(QPoint(x, y));
}

} // namespace horavia
