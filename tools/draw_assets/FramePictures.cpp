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

// Radius of the window outline's corners, in units.
constexpr int KOutlineRadius = 6;

// Pixels cut from row y (counted from the nearer top or bottom edge) of the window outline drawn at
// scale device pixels a unit: those whose centre lies outside the corner's circle. At 1x this cuts
// 4, 2, 1 and 1 pixels from the first four rows; the shape picture and the frame corners share it.
int OutlineInset(int y, int scale) {
    const double r = KOutlineRadius * scale;
    int x = 0;
    while (x + 0.5 < r && std::hypot(x + 0.5 - r, y + 0.5 - r) > r) {
        ++x;
    }
    return x;
}

// A top-left corner of size x size pixels: a ring of two lines, each scale pixels wide, along a quarter
// circle of the given radius in pixels, anti-aliased by 16 x 16 samples per pixel, clear inside and
// outside the ring. With
// clipToOutline the window's own outline decides which pixels exist: those outside it stay clear
// and the outline's edge pixels get the full outer line (the window region cuts hard, so a soft
// outer edge would only lighten the border).
QImage Corner(int size, double radius, const TFrameColours& colours, bool clipToOutline, int scale) {
    QImage out(size, size, QImage::Format_ARGB32);
    constexpr int n = 16;
    auto insideOutline = [&](int x, int y) {
        if (x < 0 || y < 0) {
            return false;
        }
        if (x >= size || y >= size || !clipToOutline) {
            return true;
        }
        return size == KOutlineRadius * scale ? x >= OutlineInset(y, scale)
                                              : std::hypot(x + 0.5 - radius, y + 0.5 - radius) <= radius;
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
                    if (depth >= 0 && depth < scale) {
                        c = &colours.Outer;
                    } else if (depth >= scale && depth < 2 * scale) {
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

// An edge slice of width x height units (2 x 1 or 1 x 2) at scale pixels a unit: its first unit in
// one colour, its second in the other.
QImage Slice(int width, int height, QColor first, QColor second, int scale) {
    QImage out(width * scale, height * scale, QImage::Format_ARGB32);
    const bool across = width > height;
    for (int y = 0; y < out.height(); ++y) {
        for (int x = 0; x < out.width(); ++x) {
            out.setPixelColor(x, y, (across ? x : y) < scale ? first : second);
        }
    }
    return out;
}

} // namespace

QImage DrawFramePicture(std::string_view collection, std::string_view name, int width, int height, int scale) {
    const bool mainBox = collection == "MainBox";
    const TFrameColours& colours = mainBox ? KMainBoxColours : KLcdBoxColours;
    if (name == "left" || name == "top") {
        return Slice(width, height, colours.Outer, colours.Inner, scale);
    }
    if (name == "right" || name == "bottom") {
        return Slice(width, height, colours.Inner, colours.Outer, scale);
    }
    const QImage corner = Corner(width * scale, width * scale, colours, mainBox, scale);
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

QImage DrawShapePicture(int scale) {
    const int w = 400 * scale;
    const int h = 250 * scale;
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        const int fromEdge = std::min(y, h - 1 - y);
        const int inset = fromEdge < KOutlineRadius * scale ? OutlineInset(fromEdge, scale) : 0;
        for (int x = 0; x < w; ++x) {
            const bool inside = x >= inset && x < w - inset;
            out.setPixel(x, y, inside ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
        }
    }
    return out;
}

} // namespace horavia::tools
