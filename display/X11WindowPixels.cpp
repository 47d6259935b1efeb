#include "display/X11WindowPixels.h"

#include <QGuiApplication>
#include <QWindow>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>

namespace horavia {
namespace {

xcb_connection_t* Connection(void* c) {
    return static_cast<xcb_connection_t*>(c);
}

// Whether pixels of this depth on this server are 32-bit words, least significant byte first, with red, green
// and blue in bits 16-23, 8-15 and 0-7 for the visual: the bitmap's words as they are.
bool LaidOutAsBitmap(const xcb_setup_t* setup, std::uint8_t depth, xcb_visualid_t visual) {
    if (setup->image_byte_order != XCB_IMAGE_ORDER_LSB_FIRST) {
        return false;
    }
    bool wordPixels = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem > 0; xcb_format_next(&f)) {
        if (f.data->depth == depth) {
            wordPixels = f.data->bits_per_pixel == 32 && f.data->scanline_pad == 32;
        }
    }
    if (!wordPixels) {
        return false;
    }
    for (auto s = xcb_setup_roots_iterator(setup); s.rem > 0; xcb_screen_next(&s)) {
        for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem > 0; xcb_depth_next(&d)) {
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem > 0; xcb_visualtype_next(&v)) {
                if (v.data->visual_id == visual) {
                    return d.data->depth == depth && v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                           v.data->red_mask == 0xff0000u && v.data->green_mask == 0xff00u && v.data->blue_mask == 0xffu;
                }
            }
        }
    }
    return false;
}

} // namespace

std::unique_ptr<X11WindowPixels> X11WindowPixels::For(QWindow& window) {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr || window.handle() == nullptr) {
        return nullptr;
    }
    xcb_connection_t* c = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_get_geometry_cookie_t geometryCookie = xcb_get_geometry(c, id);
    const xcb_get_window_attributes_cookie_t attributesCookie = xcb_get_window_attributes(c, id);
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, geometryCookie, nullptr);
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(c, attributesCookie, nullptr);
    const bool usable = geometry != nullptr && attributes != nullptr &&
                        LaidOutAsBitmap(xcb_get_setup(c), geometry->depth, attributes->visual);
    const std::uint8_t depth = geometry != nullptr ? geometry->depth : 0;
    std::free(geometry);
    std::free(attributes);
    if (!usable) {
        return nullptr;
    }
    // The request's length counts 4-byte units, its head included.
    const std::uint32_t maxBytes = xcb_get_maximum_request_length(c) * 4u - sizeof(xcb_put_image_request_t);
    return std::unique_ptr<X11WindowPixels>(new X11WindowPixels(c, id, depth, maxBytes));
}

X11WindowPixels::X11WindowPixels(void* connection, std::uint32_t window, std::uint8_t depth,
                                 std::uint32_t maxRequestBytes)
    : connection_(connection), window_(window), gc_(xcb_generate_id(Connection(connection))), depth_(depth),
      maxRequestBytes_(maxRequestBytes) {
    // A context of plain copies: the defaults, without the exposures a copy would report.
    const std::uint32_t noExposures = 0;
    xcb_create_gc(Connection(connection_), gc_, window_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
}

X11WindowPixels::~X11WindowPixels() {
    xcb_free_gc(Connection(connection_), gc_);
}

bool X11WindowPixels::Put(const Bitmap& bitmap, const TRect& r) {
    const int left = std::max(r.Left, 0);
    const int top = std::max(r.Top, 0);
    const int right = std::min(r.Right, bitmap.Width());
    const int bottom = std::min(r.Bottom, bitmap.Height());
    if (left >= right || top >= bottom) {
        return true;
    }
    const auto width = static_cast<std::size_t>(right - left);
    const auto height = static_cast<std::size_t>(bottom - top);
    const std::size_t bytes = width * height * sizeof(std::uint32_t);
    if (bytes > maxRequestBytes_) {
        return false;
    }
    rows_.resize(width * height);
    for (int y = top; y < bottom; ++y) {
        std::copy(bitmap.Row(y) + left, bitmap.Row(y) + right, rows_.data() + (y - top) * width);
    }
    xcb_put_image(Connection(connection_), XCB_IMAGE_FORMAT_Z_PIXMAP, window_, gc_, static_cast<std::uint16_t>(width),
                  static_cast<std::uint16_t>(height), static_cast<std::int16_t>(left), static_cast<std::int16_t>(top),
                  0, depth_, static_cast<std::uint32_t>(bytes), reinterpret_cast<const std::uint8_t*>(rows_.data()));
    return true;
}

void X11WindowPixels::Flush() {
    xcb_flush(Connection(connection_));
}

} // namespace horavia
