#include "display/WindowShape.h"

#include <QGuiApplication>
#include <QWindow>

#include <cstring>

// Xlib's headers define macros such as None and Bool; they come last and stay in this file.
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>

namespace horavia {

std::vector<TRect> ShapeRuns(const TPngImage& shape) {
    std::vector<TRect> runs;
    if (shape.Empty() || shape.Pixels.size() < static_cast<std::size_t>(shape.Width) * shape.Height * 4) {
        return runs;
    }
    const std::uint8_t* outside = shape.Pixel(0, shape.Height - 1);
    const auto isOutside = [outside](const std::uint8_t* p) { return std::memcmp(p, outside, 3) == 0; };
    for (int y = 0; y < shape.Height; ++y) {
        int x = 0;
        while (x < shape.Width) {
            while (x < shape.Width && isOutside(shape.Pixel(x, y))) {
                ++x;
            }
            const int start = x;
            while (x < shape.Width && !isOutside(shape.Pixel(x, y))) {
                ++x;
            }
            if (x > start) {
                runs.push_back({start, y, x, y + 1});
            }
        }
    }
    return runs;
}

bool ApplyDeviceOutline(QWindow& window, const std::vector<TRect>& runs) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->display() == nullptr || runs.empty()) {
        return false;
    }
    std::vector<XRectangle> rectangles;
    rectangles.reserve(runs.size());
    for (const TRect& r : runs) {
        rectangles.push_back({static_cast<short>(r.Left), static_cast<short>(r.Top),
                              static_cast<unsigned short>(r.Width()), static_cast<unsigned short>(r.Height())});
    }
    Display* display = x11->display();
    XShapeCombineRectangles(display, static_cast<::Window>(window.winId()), ShapeBounding, 0, 0, rectangles.data(),
                            static_cast<int>(rectangles.size()), ShapeSet, YXBanded);
    XFlush(display);
    return true;
}

} // namespace horavia
