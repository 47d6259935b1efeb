#pragma once

#include "settings/Settings.h"

#include <QPoint>

#include <optional>

class QWidget;

namespace horavia {

// Where the window is: its rounded outline and its place at the first showing, and the drag that moves it, with
// the snap to the edges of the work area.
class WindowPlacement final {
public:
    static constexpr int SnapDistance = 10;
    static constexpr int VisibleHeight = 250; // the window's outline shows rows 0 to 249 of the surface

    WindowPlacement(QWidget& window, const Settings& config) : window_(window), config_(config) {}

    // At the first showing only: the outline, and the stored position where the window would be seen.
    void FirstShow();

    // Holds the screen position of the mouse event being handled for the handler's duration.
    class EventPointer final {
    public:
        EventPointer(WindowPlacement& placement, QPoint p) : slot_(placement.eventPointer_) { slot_ = p; }
        ~EventPointer() { slot_.reset(); }
        EventPointer(const EventPointer&) = delete;
        EventPointer& operator=(const EventPointer&) = delete;

    private:
        std::optional<QPoint>& slot_;
    };

    // A left press off the buttons at (x, y), in surface pixels: the drag begins.
    void BeginDrag(int x, int y);
    // The pointer at (x, y) moves the window while a drag is on.
    void DragTo(int x, int y);
    void EndDrag() { Dragging = false; }
    bool IsDragging() const { return Dragging; }

private:
    void ApplyWindowShape();
    void CentreOnScreen();
    void PlaceAtStoredPosition();
    QPoint PointerOnScreen(int x, int y) const;

    QWidget& window_;
    const Settings& config_;
    bool placed_ = false;
    bool Dragging = false;
    QPoint DragStartCursor; // pointer's screen position when the drag began
    QPoint DragStartPos;    // window's position when the drag began
    std::optional<QPoint> eventPointer_;
};

} // namespace horavia
