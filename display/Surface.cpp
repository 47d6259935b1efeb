#include "display/Surface.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace horavia {

int DevicePixel(int v, double ratio) {
    return ratio == 1.0 ? v : static_cast<int>(std::lround(v * ratio));
}

TRect DeviceRect(const TRect& r, double ratio) {
    return {DevicePixel(r.Left, ratio), DevicePixel(r.Top, ratio), DevicePixel(r.Right, ratio),
            DevicePixel(r.Bottom, ratio)};
}

Surface::Surface(int width, int height)
    : width_(width), height_(height), pixels_(width, height), shown_(width, height) {}

void Surface::SetRatio(double ratio) {
    if (!(ratio > 0.0) || ratio == ratio_) {
        return;
    }
    ratio_ = ratio;
    ++touchCount_;
    pixels_.Resize(DevicePixel(width_, ratio_), DevicePixel(height_, ratio_));
    shown_.Resize(pixels_.Width(), pixels_.Height());
    shownKnown_ = false;
}

void Surface::Touch(const TRect& r) {
    ++touchCount_;
    const TRect c{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, Width()), std::min(r.Bottom, Height())};
    if (c.Left >= c.Right || c.Top >= c.Bottom) {
        return;
    }
    const auto inside = [](const TRect& a, const TRect& b) {
        return a.Left >= b.Left && a.Top >= b.Top && a.Right <= b.Right && a.Bottom <= b.Bottom;
    };
    for (int i = 0; i < changedCount_; ++i) {
        if (inside(c, changed_[i])) {
            return;
        }
    }
    if (changedCount_ < MaxChanged) {
        changed_[changedCount_++] = c;
        return;
    }
    TRect all = c;
    for (int i = 0; i < changedCount_; ++i) {
        all = Union(all, changed_[i]);
    }
    changed_[0] = all;
    changedCount_ = 1;
}

void Surface::Present() {
    ++presentCount_;
    presentedCount_ = 0;
    for (int i = 0; i < changedCount_; ++i) {
        const TRect d = Differing(changed_[i]);
        if (d.Width() > 0) {
            presented_[presentedCount_++] = d;
        }
    }
    changedCount_ = 0;
    if (presenter_ && presentedCount_ > 0) {
        presenter_(LastPresented());
    }
}

TRect Surface::Differing(const TRect& r) const {
    if (!shownKnown_) {
        return r;
    }
    const TRect d = OnCanvas(DeviceRect(r, ratio_));
    if (d.Width() <= 0 || d.Height() <= 0) {
        return {};
    }
    const int left = d.Left;
    const int right = d.Right;
    const int top = d.Top;
    const int bottom = d.Bottom;
    const auto bytes = static_cast<std::size_t>(right - left) * sizeof(std::uint32_t);
    int minX = right;
    int maxX = left - 1;
    int minY = bottom;
    int maxY = top - 1;
    for (int y = top; y < bottom; ++y) {
        const std::uint32_t* now = pixels_.Row(y);
        const std::uint32_t* shown = shown_.Row(y);
        if (std::memcmp(now + left, shown + left, bytes) == 0) {
            continue;
        }
        minY = std::min(minY, y);
        maxY = y;
        int x = left;
        while (now[x] == shown[x]) {
            ++x;
        }
        minX = std::min(minX, x);
        x = right - 1;
        while (now[x] == shown[x]) {
            --x;
        }
        maxX = std::max(maxX, x);
    }
    if (maxY < minY) {
        return {};
    }
    if (ratio_ == 1.0) {
        return {minX, minY, maxX + 1, maxY + 1};
    }
    // The logical rectangle whose device pixels cover the differing ones, never past the one touched.
    const auto down = [this](int v) { return static_cast<int>(std::floor(v / ratio_)); };
    const auto up = [this](int v) { return static_cast<int>(std::ceil(v / ratio_)); };
    return {std::max(down(minX), r.Left), std::max(down(minY), r.Top), std::min(up(maxX + 1), r.Right),
            std::min(up(maxY + 1), r.Bottom)};
}

TRect Surface::OnCanvas(const TRect& r) const {
    return {std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, pixels_.Width()),
            std::min(r.Bottom, pixels_.Height())};
}

void Surface::MarkShown(const TRect& r) {
    const TRect c = OnCanvas(r);
    if (c.Width() <= 0 || c.Height() <= 0) {
        return;
    }
    const int left = c.Left;
    const int top = c.Top;
    const int right = c.Right;
    const int bottom = c.Bottom;
    const auto bytes = static_cast<std::size_t>(right - left) * sizeof(std::uint32_t);
    for (int y = top; y < bottom; ++y) {
        std::memcpy(shown_.Row(y) + left, pixels_.Row(y) + left, bytes);
    }
    if (left == 0 && top == 0 && right == pixels_.Width() && bottom == pixels_.Height()) {
        shownKnown_ = true;
    }
}

void Surface::CopyRect(const TRect& r, Bitmap& dst) const {
    const TRect d = DeviceRect(r, ratio_);
    if (dst.Width() != d.Width() || dst.Height() != d.Height()) {
        dst.Resize(d.Width(), d.Height());
    } else {
        std::fill_n(dst.Data(), static_cast<std::size_t>(dst.Width()) * static_cast<std::size_t>(dst.Height()),
                    Bitmap::Black);
    }
    CopyBitmap(pixels_, dst, -d.Left, -d.Top);
}

void CopyBitmap(const Bitmap& src, Bitmap& dst, int x, int y) {
    CopyBitmap(src, dst, x, y, {0, 0, dst.Width(), dst.Height()});
}

void CopyBitmap(const Bitmap& src, Bitmap& dst, int x, int y, const TRect& clip) {
    const int left = std::max({0, x, clip.Left});
    const int top = std::max({0, y, clip.Top});
    const int right = std::min({dst.Width(), x + src.Width(), clip.Right});
    const int bottom = std::min({dst.Height(), y + src.Height(), clip.Bottom});
    if (left >= right || top >= bottom) {
        return;
    }
    const auto bytes = static_cast<std::size_t>(right - left) * sizeof(std::uint32_t);
    for (int row = top; row < bottom; ++row) {
        std::memcpy(dst.Row(row) + left, src.Row(row - y) + (left - x), bytes);
    }
}

TRect Surface::TextBox(int x, int y, const QString& text, const QFont& font) {
    const QFontMetrics metrics(font);
    // The ink's bounds with a margin: glyphs may reach a little past their advance.
    const QRect ink = metrics.boundingRect(text).translated(x, y + metrics.ascent()).adjusted(-4, -4, 4, 4);
    return {ink.left(), ink.top(), ink.right() + 1, ink.bottom() + 1};
}

void Surface::TextOut(Bitmap& target, double ratio, int x, int y, const QString& text, const QFont& font) {
    if (target.Empty() || text.isEmpty()) {
        return;
    }
    // Text is laid on a 24-bit copy of the box it covers and copied back: Qt's blending of
    // anti-aliased glyphs differs by a step here and there between 24- and 32-bit targets, and the
    // text must look as it always has. The copy carries the ratio, so Qt sets the glyphs at the
    // device's resolution rather than enlarging them.
    const TRect box = DeviceRect(TextBox(x, y, text, font), ratio);
    const int left = std::max(box.Left, 0);
    const int top = std::max(box.Top, 0);
    const int right = std::min(box.Right, target.Width());
    const int bottom = std::min(box.Bottom, target.Height());
    if (left >= right || top >= bottom) {
        return;
    }
    QImage image(right - left, bottom - top, QImage::Format_RGB888);
    image.setDevicePixelRatio(ratio);
    for (int row = top; row < bottom; ++row) {
        uchar* d = image.scanLine(row - top);
        for (int col = left; col < right; ++col, d += 3) {
            const Rgb8 c = target.Pixel(col, row);
            d[0] = c.r;
            d[1] = c.g;
            d[2] = c.b;
        }
    }
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(QColor(0, 0, 0));
        if (ratio == 1.0) {
            painter.drawText(x - left, y - top + QFontMetrics(font).ascent(), text);
        } else {
            painter.drawText(QPointF(x - left / ratio, y - top / ratio + QFontMetrics(font).ascent()), text);
        }
    }
    for (int row = top; row < bottom; ++row) {
        const uchar* s = image.constScanLine(row - top);
        for (int col = left; col < right; ++col, s += 3) {
            target.SetPixel(col, row, Rgb8{s[0], s[1], s[2]});
        }
    }
}

int Surface::TextWidth(const QString& text, const QFont& font) {
    return QFontMetrics(font).horizontalAdvance(text);
}

QFont Surface::TahomaFont(bool bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace horavia
