#include "display/Surface.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace horavia {

Surface::Surface(int width, int height) : pixels_(width, height) {}

void Surface::Present() {
    ++presentCount_;
    if (presenter_) {
        presenter_();
    }
}

void Surface::CopyRect(const TRect& r, Bitmap& dst) const {
    if (dst.Width() != r.Width() || dst.Height() != r.Height()) {
        dst.Resize(r.Width(), r.Height());
    } else {
        std::memset(dst.Data(), 0, dst.Stride() * static_cast<std::size_t>(dst.Height()));
    }
    CopyBitmap(pixels_, dst, -r.Left, -r.Top);
}

void CopyBitmap(const Bitmap& src, Bitmap& dst, int x, int y) {
    const int left = std::max(0, x);
    const int top = std::max(0, y);
    const int right = std::min(dst.Width(), x + src.Width());
    const int bottom = std::min(dst.Height(), y + src.Height());
    if (left >= right || top >= bottom) {
        return;
    }
    const auto bytes = static_cast<std::size_t>(right - left) * 3;
    for (int row = top; row < bottom; ++row) {
        std::memcpy(dst.Row(row) + static_cast<std::size_t>(left) * 3,
                    src.Row(row - y) + static_cast<std::size_t>(left - x) * 3, bytes);
    }
}

void Surface::TextOut(Bitmap& target, int x, int y, const QString& text, const QFont& font) {
    if (target.Empty() || text.isEmpty()) {
        return;
    }
    QImage image(target.Data(), target.Width(), target.Height(), static_cast<qsizetype>(target.Stride()),
                 QImage::Format_RGB888);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 0));
    painter.drawText(x, y + QFontMetrics(font).ascent(), text);
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
