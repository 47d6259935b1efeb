// The program icon: a stopwatch with a liquid-crystal face and the part of a countdown still to run.

#include "tools/draw_assets/Painting.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>

namespace horavia::tools {

QImage DrawProgramIcon(int size) {
    QImage canvas = NewCanvas(size, size);
    QPainter p;
    BeginSmooth(p, canvas);
    const double s = size / 48.0;
    // Lines keep a visible width at the smallest sizes.
    auto width = [s](double units, double minPixels) { return std::max(units * s, minPixels); };
    p.scale(s, s);
    auto inUnits = [s](double pixels) { return pixels / s; };

    const QColor body(56, 60, 66);
    const QPointF c(24, 27);
    const double r = 18.5;

    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(QRectF(19, 2, 10, 4.5), 1.5, 1.5);
    p.drawRect(QRectF(21.8, 6, 4.4, 4.5));

    QLinearGradient face(0, c.y() - r, 0, c.y() + r);
    face.setColorAt(0, QColor(254, 255, 232));
    face.setColorAt(1, QColor(200, 206, 176));
    p.setBrush(face);
    p.setPen(QPen(body, inUnits(width(3.4, 1.4))));
    p.drawEllipse(c, r, r);

    // What is left of the countdown: a wedge from twelve o'clock round to four.
    QPainterPath wedge;
    const double wr = r - 4.5;
    wedge.moveTo(c);
    wedge.arcTo(QRectF(c.x() - wr, c.y() - wr, 2 * wr, 2 * wr), 90, -120);
    wedge.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 128, 230, 150));
    p.drawPath(wedge);

    if (size >= 32) {
        p.setPen(QPen(body, inUnits(width(1.6, 1.0)), Qt::SolidLine, Qt::FlatCap));
        for (int i = 0; i < 12; i += 3) {
            p.save();
            p.translate(c);
            p.rotate(i * 30.0);
            p.drawLine(QPointF(0, -r + 2.2), QPointF(0, -r + 5.2));
            p.restore();
        }
    }
    p.setPen(QPen(body, inUnits(width(2.4, 1.2)), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, QPointF(c.x(), c.y() - (r - 5)));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawEllipse(c, inUnits(width(2.4, 1.0)), inUnits(width(2.4, 1.0)));
    p.end();
    return canvas;
}

} // namespace horavia::tools
