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

// A soft halo of colour around the opaque parts of icon, alpha scaled by strength (0..1): box blurs
// of the icon's alpha, which is close to a Gaussian of the given radius. radius is in picture units;
// the icon is drawn at scale device pixels a unit, and the halo spreads as far in units at any scale.
QImage Glow(const QImage& icon, QColor colour, int radius, double strength, int scale);

// The language of the words some pictures carry (the LCD buttons' labels).
enum class TLabelLanguage { Chinese, English };

// The pictures of each collection, by their name in the collection (see display/ImageAssetTable.h).
// width and height are the picture's size in units (its size at 1x); each is drawn afresh at scale
// device pixels a unit, so a 2x picture is width * 2 by height * 2 and as sharp as the 1x one.
QImage DrawDigitPicture(std::string_view name, int width, int height, int scale);
QImage DrawButtonPicture(std::string_view name, int width, int height, int scale, TLabelLanguage language);
QImage DrawFramePicture(std::string_view collection, std::string_view name, int width, int height, int scale);

// Whether the button picture of that name carries words, and so has one picture per language.
bool HasWords(std::string_view buttonName);

// The window outline at scale device pixels a unit (400 x 250 units): black inside, white in the four
// cut corners. The corners follow a circle of radius 6 units through the pixel centres, so at 2x the
// curve has twice the steps instead of each step doubled.
QImage DrawShapePicture(int scale);
// The program icon at one size.
QImage DrawProgramIcon(int size);

} // namespace horavia::tools
