// The surface buttons: the four tab icons, close and minimize, the splitter bar and the LCD buttons.

#include "tools/draw_assets/Painting.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <numbers>
#include <string>

namespace horavia::tools {
namespace {

// Colours of a tab icon; the hovered icons use a blue set and get a halo.
struct TIconPalette {
    QColor Line;
    QColor FillLight;
    QColor FillDark;
    QColor Accent;
    bool Halo;
};

const TIconPalette KNormalIcon{QColor(58, 62, 70), QColor(255, 255, 255), QColor(200, 205, 212), QColor(205, 128, 40),
                               false};
const TIconPalette KHoverIcon{QColor(14, 88, 178), QColor(242, 248, 255), QColor(160, 200, 245), QColor(236, 140, 30),
                              true};
const QColor KHaloColour(70, 160, 255);

const QColor KLcdInk(56, 58, 54);
const QColor KLcdHover(12, 94, 204);

QPointF Polar(QPointF centre, double radius, double degreesFromTwelve) {
    const double a = degreesFromTwelve * std::numbers::pi / 180.0;
    return {centre.x() + radius * std::sin(a), centre.y() - radius * std::cos(a)};
}

void Hand(QPainter& p, QPointF centre, double length, double degrees, double width, QColor colour) {
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(Polar(centre, -length * 0.18, degrees), Polar(centre, length, degrees));
}

void Ticks(QPainter& p, QPointF centre, double outer, const TIconPalette& pal) {
    for (int i = 0; i < 12; ++i) {
        const bool major = i % 3 == 0;
        p.setPen(QPen(pal.Line, major ? 1.8 : 1.0, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(Polar(centre, outer - (major ? 3.6 : 2.2), i * 30.0), Polar(centre, outer, i * 30.0));
    }
}

QRadialGradient FaceGradient(QPointF centre, double radius, const TIconPalette& pal) {
    QRadialGradient g(centre - QPointF(radius * 0.35, radius * 0.4), radius * 1.5);
    g.setColorAt(0, pal.FillLight);
    g.setColorAt(1, pal.FillDark);
    return g;
}

void PaintHourglass(QPainter& p, const TIconPalette& pal) {
    QPainterPath glass;
    glass.moveTo(15, 9);
    glass.cubicTo(15, 17, 22.2, 19.5, 22.2, 24);
    glass.cubicTo(22.2, 28.5, 15, 31, 15, 39);
    glass.lineTo(33, 39);
    glass.cubicTo(33, 31, 25.8, 28.5, 25.8, 24);
    glass.cubicTo(25.8, 19.5, 33, 17, 33, 9);
    glass.closeSubpath();

    QLinearGradient shine(15, 0, 33, 0);
    shine.setColorAt(0, pal.FillDark);
    shine.setColorAt(0.35, pal.FillLight);
    shine.setColorAt(1, pal.FillDark);
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawPath(glass);

    // Sand: what is left above the neck, the heap below and the thin stream between.
    p.save();
    p.setClipPath(glass);
    p.setBrush(pal.Accent);
    p.drawRect(QRectF(10, 17.5, 28, 7));
    QPainterPath heap;
    heap.moveTo(15, 39.5);
    heap.cubicTo(19, 35, 21.5, 31, 24, 31);
    heap.cubicTo(26.5, 31, 29, 35, 33, 39.5);
    heap.closeSubpath();
    p.drawPath(heap);
    p.setPen(QPen(pal.Accent, 1.0));
    p.drawLine(QPointF(24, 24), QPointF(24, 32));
    p.restore();

    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal.Line, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(glass);

    // Posts and the two end caps.
    p.setPen(QPen(pal.Line, 1.8, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(12.2, 9), QPointF(12.2, 39));
    p.drawLine(QPointF(35.8, 9), QPointF(35.8, 39));
    QLinearGradient cap(0, 0, 0, 5);
    cap.setColorAt(0, pal.Line.lighter(150));
    cap.setColorAt(1, pal.Line);
    p.setPen(Qt::NoPen);
    for (double top : {4.5, 38.5}) {
        cap.setStart(0, top);
        cap.setFinalStop(0, top + 5);
        p.setBrush(cap);
        p.drawRoundedRect(QRectF(9.5, top, 29, 5), 1.6, 1.6);
    }
}

void PaintStopwatch(QPainter& p, const TIconPalette& pal) {
    const QPointF c(24, 27.5);
    const double r = 16;
    p.setPen(Qt::NoPen);
    p.setBrush(pal.Line);
    // Crown with its stem, and the side button at the upper right.
    p.drawRoundedRect(QRectF(19.5, 4, 9, 4), 1.2, 1.2);
    p.drawRect(QRectF(22.2, 7.5, 3.6, 5));
    p.save();
    p.translate(c);
    p.rotate(45);
    p.drawRoundedRect(QRectF(-2.2, -r - 4.5, 4.4, 5.5), 1, 1);
    p.restore();

    p.setBrush(FaceGradient(c, r, pal));
    p.setPen(QPen(pal.Line, 2.6));
    p.drawEllipse(c, r, r);
    Ticks(p, c, r - 2.5, pal);
    Hand(p, c, r - 4, 62, 1.6, pal.Accent);
    p.setPen(Qt::NoPen);
    p.setBrush(pal.Line);
    p.drawEllipse(c, 2.2, 2.2);
}

void PaintClock(QPainter& p, const TIconPalette& pal) {
    const QPointF c(24, 24);
    const double r = 18.5;
    p.setBrush(FaceGradient(c, r, pal));
    p.setPen(QPen(pal.Line, 3.0));
    p.drawEllipse(c, r, r);
    Ticks(p, c, r - 3, pal);
    Hand(p, c, 9.5, 305, 2.8, pal.Line);    // hour hand at ten past ten
    Hand(p, c, 13.5, 60, 1.9, pal.Line);    // minute hand
    Hand(p, c, 14.5, 190, 1.0, pal.Accent); // second hand
    p.setPen(Qt::NoPen);
    p.setBrush(pal.Line);
    p.drawEllipse(c, 2.0, 2.0);
}

void PaintGear(QPainter& p, const TIconPalette& pal) {
    const QPointF c(24, 24);
    QPainterPath gear;
    gear.addEllipse(c, 13.5, 13.5);
    constexpr int teeth = 8;
    for (int i = 0; i < teeth; ++i) {
        const double a = i * 360.0 / teeth;
        QPolygonF tooth;
        tooth << Polar(c, 12, a - 15) << Polar(c, 19.2, a - 9) << Polar(c, 19.2, a + 9) << Polar(c, 12, a + 15);
        QPainterPath t;
        t.addPolygon(tooth);
        t.closeSubpath();
        gear = gear.united(t);
    }
    QPainterPath hole;
    hole.addEllipse(c, 6, 6);
    gear = gear.subtracted(hole);

    QLinearGradient g(10, 8, 38, 40);
    g.setColorAt(0, pal.FillLight);
    g.setColorAt(1, pal.FillDark);
    p.setBrush(g);
    p.setPen(QPen(pal.Line, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(gear);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(pal.Line, 1.0));
    p.drawEllipse(c, 9.5, 9.5);
}

// A painter on canvas with anti-aliasing on, drawing in units of scale device pixels.
void BeginScaled(QPainter& p, QImage& canvas, int scale) {
    BeginSmooth(p, canvas);
    if (scale != 1) {
        p.scale(scale, scale);
    }
}

QImage TabIcon(void (*paint)(QPainter&, const TIconPalette&), bool hovered, int scale) {
    const TIconPalette& pal = hovered ? KHoverIcon : KNormalIcon;
    QImage icon = NewCanvas(48 * scale, 48 * scale);
    QPainter p;
    BeginScaled(p, icon, scale);
    paint(p, pal);
    p.end();
    if (!pal.Halo) {
        return icon;
    }
    QImage out = Glow(icon, KHaloColour, 5, 1.6, scale);
    p.begin(&out);
    p.drawImage(0, 0, icon);
    p.end();
    return out;
}

// Close (x) and minimize (_): a plain dark glyph, or a white glyph on a coloured tile when hovered.
QImage WindowButton(bool close, bool hovered, int scale) {
    QImage canvas = NewCanvas(15 * scale, 15 * scale);
    QPainter p;
    BeginScaled(p, canvas, scale);
    QColor glyph(64, 66, 72);
    if (hovered) {
        const QColor base = close ? QColor(214, 66, 54) : QColor(52, 120, 210);
        QLinearGradient tile(0, 0, 0, 15);
        tile.setColorAt(0, base.lighter(125));
        tile.setColorAt(1, base);
        p.setPen(QPen(base.darker(130), 1.0));
        p.setBrush(tile);
        p.drawRoundedRect(QRectF(0.5, 0.5, 14, 14), 3, 3);
        glyph = Qt::white;
    }
    if (close) {
        p.setPen(QPen(glyph, 1.7, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4.5, 4.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 4.5), QPointF(4.5, 10.5));
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(glyph);
        p.drawRect(QRectF(4, 9.5, 7, 2));
    }
    p.end();
    return canvas;
}

// A grooved bar with three small arrows in its middle, pointing up (hide the tabs) or down.
QImage Splitter(bool up, bool hovered, int scale) {
    QImage canvas = NewCanvas(100 * scale, 6 * scale);
    QPainter p;
    BeginScaled(p, canvas, scale);
    const QColor dark = hovered ? QColor(40, 118, 220) : QColor(128, 128, 134);
    const QColor light = hovered ? QColor(205, 228, 255) : QColor(250, 250, 250);
    const QColor arrow = hovered ? QColor(14, 92, 200) : QColor(72, 74, 80);
    for (auto [from, to] : {std::pair{3.0, 39.0}, std::pair{61.0, 97.0}}) {
        for (auto [y, colour] : {std::pair{2.0, dark}, std::pair{3.0, light}}) {
            QLinearGradient fade(from, 0, to, 0);
            QColor clear = colour;
            clear.setAlpha(0);
            const bool leftPart = from < 50;
            fade.setColorAt(0, leftPart ? clear : colour);
            fade.setColorAt(0.35, colour);
            fade.setColorAt(0.65, colour);
            fade.setColorAt(1, leftPart ? colour : clear);
            p.fillRect(QRectF(from, y, to - from, 1), fade);
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(arrow);
    for (double cx : {43.5, 50.0, 56.5}) {
        const double tipY = up ? 1.0 : 5.0;
        const double baseY = up ? 5.0 : 1.0;
        p.drawPolygon(QPolygonF({{cx - 3.0, baseY}, {cx + 3.0, baseY}, {cx, tipY}}));
    }
    p.end();
    return canvas;
}

enum class TLcdIcon { Cancel, Start, Pause, Reset, Stop };

void PaintLcdIcon(QPainter& p, TLcdIcon icon, QColor ink) {
    switch (icon) {
    case TLcdIcon::Cancel:
        p.setPen(QPen(ink, 1.1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(1.5, 1.5, 9, 9));
        p.setPen(QPen(ink, 1.3, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(3.7, 3.7), QPointF(8.3, 8.3));
        p.drawLine(QPointF(8.3, 3.7), QPointF(3.7, 8.3));
        break;
    case TLcdIcon::Start:
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(QPolygonF({{2.5, 1.5}, {10.5, 6.0}, {2.5, 10.5}}));
        break;
    case TLcdIcon::Pause:
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawRect(QRectF(2.5, 2, 2.6, 8));
        p.drawRect(QRectF(6.9, 2, 2.6, 8));
        break;
    case TLcdIcon::Reset: {
        // A counter-clockwise arrow: an open circle with its head at the upper left.
        const QPointF c(6, 6.2);
        const double r = 3.7;
        const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
        QPainterPath arc;
        arc.arcMoveTo(box, 140);
        arc.arcTo(box, 140, -280);
        p.setPen(QPen(ink, 1.3, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arc);
        const double a = 140 * std::numbers::pi / 180;
        const QPointF at(c.x() + r * std::cos(a), c.y() - r * std::sin(a));
        const QPointF dir(-std::sin(a), -std::cos(a)); // direction of travel, counter-clockwise
        const QPointF normal(-dir.y(), dir.x());
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPolygon(QPolygonF({at + dir * 2.6, at - dir * 0.6 + normal * 2.3, at - dir * 0.6 - normal * 2.3}));
        break;
    }
    case TLcdIcon::Stop:
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawRect(QRectF(2, 2, 8, 8));
        break;
    }
}

// The label of an LCD button and the face it is set in.
struct TLcdLabel {
    QString Text;
    QString Family;
};

// An LCD button: a 10 x 10 icon at the left and its label beside it, in the 41 x 12 units left.
QImage LcdButton(TLcdIcon icon, const TLcdLabel& label, bool hovered, int scale) {
    const QColor ink = hovered ? KLcdHover : KLcdInk;
    QImage canvas = NewCanvas(55 * scale, 12 * scale);
    QPainter p;
    BeginScaled(p, canvas, scale);
    PaintLcdIcon(p, icon, ink);
    // The words are laid out in device pixels at the device size, so each size gets the font's own
    // hinting rather than a scaled copy of the 1x glyphs.
    p.resetTransform();
    QFont font(label.Family);
    font.setPixelSize(11 * scale);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::PreferAntialias);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QRect(14 * scale, 0, 41 * scale, 12 * scale), Qt::AlignLeft | Qt::AlignVCenter, label.Text);
    p.end();
    return canvas;
}

const QString KChineseFace = QStringLiteral("WenQuanYi Micro Hei");
const QString KLatinFace = QStringLiteral("DejaVu Sans");

TLcdLabel Label(TLabelLanguage language, const char16_t* chinese, const char* english) {
    if (language == TLabelLanguage::English) {
        return {QString::fromLatin1(english), KLatinFace};
    }
    return {QString::fromUtf16(chinese), KChineseFace};
}

} // namespace

bool HasWords(std::string_view buttonName) {
    return buttonName.starts_with("lcd_");
}

QImage DrawButtonPicture(std::string_view name, int width, int height, int scale, TLabelLanguage language) {
    (void)width;
    (void)height;
    const bool hovered = name.find("hover") != std::string_view::npos;
    if (name.starts_with("timer_")) {
        return TabIcon(PaintHourglass, hovered, scale);
    }
    if (name.starts_with("chrono_")) {
        return TabIcon(PaintStopwatch, hovered, scale);
    }
    if (name.starts_with("clock_")) {
        return TabIcon(PaintClock, hovered, scale);
    }
    if (name.starts_with("settings_")) {
        return TabIcon(PaintGear, hovered, scale);
    }
    if (name.starts_with("min_")) {
        return WindowButton(false, hovered, scale);
    }
    if (name.starts_with("close_")) {
        return WindowButton(true, hovered, scale);
    }
    if (name.starts_with("splitter_")) {
        return Splitter(name.find("_dn") == std::string_view::npos, hovered, scale);
    }
    if (name.starts_with("lcd_cancel")) {
        return LcdButton(TLcdIcon::Cancel, Label(language, u"取消", "Cancel"), hovered, scale);
    }
    if (name.starts_with("lcd_start")) {
        return LcdButton(TLcdIcon::Start, Label(language, u"开始", "Start"), hovered, scale);
    }
    if (name.starts_with("lcd_pause")) {
        return LcdButton(TLcdIcon::Pause, Label(language, u"暂停", "Pause"), hovered, scale);
    }
    if (name.starts_with("lcd_reset")) {
        return LcdButton(TLcdIcon::Reset, Label(language, u"重置", "Reset"), hovered, scale);
    }
    if (name.starts_with("lcd_stop")) {
        return LcdButton(TLcdIcon::Stop, Label(language, u"停止", "Stop"), hovered, scale);
    }
    return {};
}

} // namespace horavia::tools
