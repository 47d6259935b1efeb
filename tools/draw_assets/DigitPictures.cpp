// The LCD glyphs: italic seven-segment digits, the colon, the date slash and the AM/PM markers.

#include "tools/draw_assets/Painting.h"

#include <QFont>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>

#include <array>
#include <string>

namespace horavia::tools {
namespace {

const QColor KInk(40, 42, 38);
// Unlit segments show faintly, as on a real liquid-crystal panel.
constexpr double KGhostAlpha = 0.075;
// Italic slant: horizontal shift per pixel of height.
constexpr double KSlant = 0.11;

// Geometry of one seven-segment digit inside its cell.
struct TSegmentBox {
    double Left, Top, Right, Bottom; // outer edges of the lit area
    double Thickness;
    double Gap; // between neighbouring segments
};

QPolygonF Horizontal(const TSegmentBox& b, double y) {
    const double x1 = b.Left + b.Thickness / 2 + b.Gap;
    const double x2 = b.Right - b.Thickness / 2 - b.Gap;
    const double h = b.Thickness / 2;
    return QPolygonF({{x1, y}, {x1 + h, y - h}, {x2 - h, y - h}, {x2, y}, {x2 - h, y + h}, {x1 + h, y + h}});
}

QPolygonF Vertical(const TSegmentBox& b, double x, double y1, double y2) {
    y1 += b.Gap;
    y2 -= b.Gap;
    const double h = b.Thickness / 2;
    return QPolygonF({{x, y1}, {x + h, y1 + h}, {x + h, y2 - h}, {x, y2}, {x - h, y2 - h}, {x - h, y1 + h}});
}

// Segments a to g: top, upper right, lower right, bottom, lower left, upper left, middle.
std::array<QPolygonF, 7> Segments(const TSegmentBox& b) {
    const double h = b.Thickness / 2;
    const double mid = (b.Top + b.Bottom) / 2;
    const double xl = b.Left + h;
    const double xr = b.Right - h;
    const double yt = b.Top + h;
    const double yb = b.Bottom - h;
    return {Horizontal(b, yt),        Vertical(b, xr, yt, mid), Vertical(b, xr, mid, yb), Horizontal(b, yb),
            Vertical(b, xl, mid, yb), Vertical(b, xl, yt, mid), Horizontal(b, mid)};
}

// Lit segments of each digit, as bits a (1) to g (64).
constexpr std::array<int, 10> KDigitSegments{0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

// The slant of a cell height units tall, drawn at scale device pixels a unit.
QTransform Slant(double height, int scale) {
    // x' = x - kSlant * (y - height / 2): the top leans right, the middle stays in place.
    const QTransform slant(1, 0, -KSlant, 1, KSlant * height / 2, 0);
    return scale == 1 ? slant : slant * QTransform::fromScale(scale, scale);
}

TSegmentBox BoxFor(int width, int height) {
    if (height >= 48) {
        return {6.0, 4.0, 30.0, 44.0, 5.0, 0.7};
    }
    const double sx = width / 36.0;
    const double sy = height / 48.0;
    return {6.0 * sx, 4.0 * sy, 30.0 * sx, 44.0 * sy, 2.7, 0.45};
}

QImage DrawDigit(int digit, int width, int height, int scale) {
    QImage canvas = NewCanvas(width * scale, height * scale);
    QPainter p;
    BeginSmooth(p, canvas);
    p.setTransform(Slant(height, scale));
    p.setPen(Qt::NoPen);
    const auto segments = Segments(BoxFor(width, height));
    for (int s = 0; s < 7; ++s) {
        QColor c = KInk;
        if ((KDigitSegments[static_cast<std::size_t>(digit)] & (1 << s)) == 0) {
            c.setAlphaF(KGhostAlpha);
        }
        p.setBrush(c);
        p.drawPolygon(segments[static_cast<std::size_t>(s)]);
    }
    p.end();
    return canvas;
}

QImage DrawColon(int width, int height, int scale) {
    QImage canvas = NewCanvas(width * scale, height * scale);
    QPainter p;
    BeginSmooth(p, canvas);
    p.setTransform(Slant(height, scale));
    p.setPen(Qt::NoPen);
    p.setBrush(KInk);
    const double size = 5.0;
    const double cx = width / 2.0;
    const double cy = height / 2.0;
    for (double y : {cy - 7.5, cy + 7.5}) {
        p.drawRoundedRect(QRectF(cx - size / 2, y - size / 2, size, size), 1.2, 1.2);
    }
    p.end();
    return canvas;
}

QImage DrawSlash(int width, int height, int scale) {
    QImage canvas = NewCanvas(width * scale, height * scale);
    QPainter p;
    BeginSmooth(p, canvas);
    if (scale != 1) {
        p.scale(scale, scale);
    }
    QPen pen(KInk, 2.4, Qt::SolidLine, Qt::FlatCap);
    p.setPen(pen);
    p.drawLine(QPointF(width * 0.28, height - 2.5), QPointF(width * 0.78, 2.5));
    p.end();
    return canvas;
}

// "AM" aligned with the top of the digits, "PM" with their bottom.
QImage DrawMarker(const QString& text, bool upper, int width, int height, int scale) {
    QImage canvas = NewCanvas(width * scale, height * scale);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(13);
    font.setStretch(QFont::SemiCondensed);
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    const double left = 5.0;
    const double top = upper ? 5.0 : 43.0 - box.height();
    path.translate(left - box.left(), top - box.top());
    QPainter p;
    BeginSmooth(p, canvas);
    p.setTransform(Slant(height, scale));
    p.setPen(Qt::NoPen);
    p.setBrush(KInk);
    p.drawPath(path);
    p.end();
    return canvas;
}

} // namespace

QImage DrawDigitPicture(std::string_view name, int width, int height, int scale) {
    if (name == "large_:") {
        return DrawColon(width, height, scale);
    }
    if (name == "small_/") {
        return DrawSlash(width, height, scale);
    }
    if (name == "large_am") {
        return DrawMarker(QStringLiteral("AM"), true, width, height, scale);
    }
    if (name == "large_pm") {
        return DrawMarker(QStringLiteral("PM"), false, width, height, scale);
    }
    const char last = name.back();
    if (last >= '0' && last <= '9') {
        return DrawDigit(last - '0', width, height, scale);
    }
    return {};
}

} // namespace horavia::tools
