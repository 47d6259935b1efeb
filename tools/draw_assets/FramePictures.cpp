// The frame pieces of the window and of the LCD box: rounded corners and 2-pixel two-tone edges,
// the outer line darker, the inner one lighter.

#include "tools/draw_assets/Painting.h"

#include <cmath>

namespace horavia::tools {
namespace {

struct TFrameColours {
    QColor Outer;
    QColor Inner;
};

const TFrameColours KMainBoxColours{QColor(88, 89, 92), QColor(238, 238, 238)};
const TFrameColours KLcdBoxColours{QColor(104, 106, 100), QColor(176, 179, 166)};

// Pixels cut from each row at the top of the window outline (the shape picture uses the same rows).
constexpr int KOutlineInset[6] = {4, 2, 1, 1, 0, 0};

// A top-left corner of size x size: a ring of two 1-pixel lines along a quarter circle of the given
// radius, anti-aliased by 16 x 16 samples per pixel, clear inside and outside the ring. With
// clipToOutline the window's own outline decides which pixels exist: those outside it stay clear
// and the outline's edge pixels get the full outer line (the window region cuts hard, so a soft
// outer edge would only lighten the border).
QImage Corner(int size, double radius, const TFrameColours& colours, bool clipToOutline) {
    QImage out(size, size, QImage::Format_ARGB32);
    constexpr int n = 16;
    auto insideOutline = [&](int x, int y) {
        if (x < 0 || y < 0) {
            return false;
        }
        if (x >= size || y >= size || !clipToOutline) {
            return true;
        }
        return size == 6 ? x >= KOutlineInset[y] : std::hypot(x + 0.5 - radius, y + 0.5 - radius) <= radius;
    };
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool inside = insideOutline(x, y);
            if (clipToOutline && inside && (!insideOutline(x - 1, y) || !insideOutline(x, y - 1))) {
                out.setPixelColor(x, y, colours.Outer); // the outline's own edge: the full outer line
                continue;
            }
            double r = 0, g = 0, b = 0, cover = 0;
            for (int sy = 0; sy < n; ++sy) {
                for (int sx = 0; sx < n; ++sx) {
                    const double px = x + (sx + 0.5) / n;
                    const double py = y + (sy + 0.5) / n;
                    double depth =
                        (px < radius && py < radius) ? radius - std::hypot(px - radius, py - radius) : std::min(px, py);
                    if (clipToOutline && depth < 0) {
                        depth = 0;
                    }
                    const QColor* c = nullptr;
                    if (depth >= 0 && depth < 1) {
                        c = &colours.Outer;
                    } else if (depth >= 1 && depth < 2) {
                        c = &colours.Inner;
                    }
                    if (c != nullptr) {
                        r += c->red();
                        g += c->green();
                        b += c->blue();
                        cover += 1;
                    }
                }
            }
            if (!inside || cover == 0) {
                out.setPixel(x, y, qRgba(0, 0, 0, 0));
                continue;
            }
            out.setPixel(x, y,
                         qRgba(static_cast<int>(std::lround(r / cover)), static_cast<int>(std::lround(g / cover)),
                               static_cast<int>(std::lround(b / cover)),
                               static_cast<int>(std::lround(255.0 * cover / (n * n)))));
        }
    }
    return out;
}

QImage Slice(int width, int height, QColor first, QColor second) {
    QImage out(width, height, QImage::Format_ARGB32);
    out.setPixelColor(0, 0, first);
    out.setPixelColor(width - 1, height - 1, second);
    return out;
}

} // namespace

QImage DrawFramePicture(std::string_view collection, std::string_view name, int width, int height) {
    const bool mainBox = collection == "MainBox";
    const TFrameColours& colours = mainBox ? KMainBoxColours : KLcdBoxColours;
    if (name == "left" || name == "top") {
        return Slice(width, height, colours.Outer, colours.Inner);
    }
    if (name == "right" || name == "bottom") {
        return Slice(width, height, colours.Inner, colours.Outer);
    }
    const QImage corner = Corner(width, width, colours, mainBox);
    if (name == "left_top") {
        return corner;
    }
    if (name == "right_top") {
        return corner.mirrored(true, false);
    }
    if (name == "right_bottom") {
        return corner.mirrored(true, true);
    }
    if (name == "left_bottom") {
        return corner.mirrored(false, true);
    }
    return {};
}

QImage DrawShapePicture() {
    constexpr int w = 400;
    constexpr int h = 250;
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const int fromEdge = std::min(y, h - 1 - y);
        const int inset = fromEdge < 6 ? KOutlineInset[fromEdge] : 0;
        for (int x = 0; x < w; ++x) {
            const bool inside = x >= inset && x < w - inset;
            out.setPixel(x, y, inside ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    return out;
}

} // namespace horavia::tools
