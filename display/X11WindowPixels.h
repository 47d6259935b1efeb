#pragma once

#include "display/Bitmap.h"
#include "display/Rect.h"

#include <cstdint>
#include <memory>
#include <vector>

class QWindow;

namespace horavia {

// Puts rectangles of a bitmap straight into an X11 window over Qt's own X connection: one request a
// rectangle and one write to the server, where Qt's flush goes through a pixmap of its own with clip
// changes around it. For the small rectangles a tick changes. The window's pixels must be 32-bit words
// laid out as the bitmap's (0x..RRGGBB, least significant byte first); For gives nothing otherwise.
class X11WindowPixels final {
public:
    // For the window on the X11 screen it is shown on; nothing off X11, for a window not yet created, or for a
    // pixel layout other than the bitmap's. Asks the server once for the window's depth and visual.
    static std::unique_ptr<X11WindowPixels> For(QWindow& window);
    ~X11WindowPixels();
    X11WindowPixels(const X11WindowPixels&) = delete;
    X11WindowPixels& operator=(const X11WindowPixels&) = delete;

    // Queues the bitmap's pixels under the device rectangle r (clipped to the bitmap) for the same place in
    // the window. Returns false, queuing nothing, when they would not fit one request of the server.
    bool Put(const Bitmap& bitmap, const TRect& r);
    // Sends what was queued.
    void Flush();

private:
    X11WindowPixels(void* connection, std::uint32_t window, std::uint8_t depth, std::uint32_t maxRequestBytes);

    void* connection_; // xcb_connection_t, Qt's
    std::uint32_t window_;
    std::uint32_t gc_;
    std::uint8_t depth_;
    std::uint32_t maxRequestBytes_;
    std::vector<std::uint32_t> rows_; // one rectangle's rows, contiguous as the request wants them
};

} // namespace horavia
