#include "tools/draw_assets/Painting.h"

#include <algorithm>
#include <vector>

namespace horavia::tools {
namespace {

// One horizontal and one vertical box blur of radius r over a width x height plane.
void BoxBlur(std::vector<double>& plane, int width, int height, int r) {
    std::vector<double> tmp(plane.size());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sum = 0;
            for (int k = -r; k <= r; ++k) {
                const int xx = std::clamp(x + k, 0, width - 1);
                sum += (x + k < 0 || x + k >= width) ? 0 : plane[static_cast<std::size_t>(y * width + xx)];
            }
            tmp[static_cast<std::size_t>(y * width + x)] = sum / (2 * r + 1);
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sum = 0;
            for (int k = -r; k <= r; ++k) {
                const int yy = std::clamp(y + k, 0, height - 1);
                sum += (y + k < 0 || y + k >= height) ? 0 : tmp[static_cast<std::size_t>(yy * width + x)];
            }
            plane[static_cast<std::size_t>(y * width + x)] = sum / (2 * r + 1);
        }
    }
}

} // namespace

QImage NewCanvas(int width, int height) {
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    return canvas;
}

void BeginSmooth(QPainter& painter, QImage& canvas) {
    painter.begin(&canvas);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QImage Glow(const QImage& icon, QColor colour, int radius, double strength, int scale) {
    const QImage src = icon.convertToFormat(QImage::Format_ARGB32);
    const int w = src.width();
    const int h = src.height();
    std::vector<double> alpha(static_cast<std::size_t>(w * h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            alpha[static_cast<std::size_t>(y * w + x)] = qAlpha(src.pixel(x, y)) / 255.0;
        }
    }
    // One pass of a box of radius r spreads the alpha with a variance of r * (r + 1) / 3 pixels squared.
    // The same spread in units needs scale squared times the variance in pixels: three passes of the
    // widest box that fits, then narrower ones for what is left, so the 2x halo is the 1x halo drawn
    // finer. Variances are counted in thirds of a pixel squared to stay whole.
    const int step = std::max(1, radius / 2);
    int thirdsLeft = 3 * step * (step + 1) * scale * scale;
    int wide = step;
    while (3 * (wide + 1) * (wide + 2) <= thirdsLeft) {
        ++wide;
    }
    for (int pass = 0; pass < 3; ++pass) {
        BoxBlur(alpha, w, h, wide);
    }
    thirdsLeft -= 3 * wide * (wide + 1);
    for (int narrow = wide; narrow >= 1 && thirdsLeft > 0;) {
        if (narrow * (narrow + 1) <= thirdsLeft) {
            BoxBlur(alpha, w, h, narrow);
            thirdsLeft -= narrow * (narrow + 1);
        } else {
            --narrow;
        }
    }
    QImage out(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double a = std::min(1.0, alpha[static_cast<std::size_t>(y * w + x)] * strength);
            QColor c = colour;
            c.setAlphaF(static_cast<float>(a));
            out.setPixelColor(x, y, c);
        }
    }
    return out.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace horavia::tools
