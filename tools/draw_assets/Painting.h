#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

#include <string_view>

namespace horavia::tools {

// A clear canvas of the given size, premultiplied ARGB, for QPainter.
QImage NewCanvas(int width, int height);

// A painter on canvas with anti-aliasing on.
void BeginSmooth(QPainter& painter, QImage& canvas);

// A soft halo of colour around the opaque parts of icon, alpha scaled by strength (0..1): three box
// blurs of the icon's alpha, which is close to a Gaussian of the given radius.
QImage Glow(const QImage& icon, QColor colour, int radius, double strength);

// The pictures of each collection, by their name in the collection (see display/ImageAssetTable.h).
QImage DrawDigitPicture(std::string_view name, int width, int height);
QImage DrawButtonPicture(std::string_view name, int width, int height);
QImage DrawFramePicture(std::string_view collection, std::string_view name, int width, int height);

// The window outline: black inside, white in the four cut corners.
QImage DrawShapePicture();
// The program icon at one size.
QImage DrawProgramIcon(int size);

} // namespace horavia::tools
