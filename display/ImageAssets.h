#pragma once

#include "display/ImageCollections.h"
#include "display/PngImage.h"
#include "texts/UiLanguage.h"

#include <QIcon>
#include <QString>

#include <optional>

namespace horavia {

// Reads and decodes one PNG file or Qt resource (":/..."). A file that cannot be read or decoded is
// logged as a warning under horavia.display.images and gives no picture.
std::optional<TPngImage> LoadPngFile(const QString& path);

// Builds the four collections from the built-in pictures, each in its fixed order, for a screen of
// this device pixel ratio: the 1x pictures at ratio 1, the 2x ones ("name@2x.png") at ratio 2, and
// the 2x ones scaled smoothly to the ratio's size otherwise (1.25, 1.5, ...), each covering its 1x
// size in logical pixels. The LCD buttons with words come in the language's set (English from
// "Buttons/en/", Chinese from "Buttons/"). A picture that fails to load is logged and kept as an empty
// item, so every later position stays where it belongs; drawing an empty picture draws nothing. A 2x
// or English picture that is missing is replaced by the 1x or Chinese one, with a log line.
TImageCollections LoadImageCollections(double ratio = 1.0, UiLanguage language = UiLanguage::Chinese);

// The built-in window outline, 400 x 250 at ratio 1, black inside and white outside; at another ratio
// the 2x outline at the ratio's size, still only black and white. Empty if it fails to load.
TPngImage LoadShapePicture(double ratio = 1.0);

// The picture scaled smoothly to width x height (alpha-weighted, so soft edges keep their colour).
TPngImage ScalePicture(const TPngImage& picture, int width, int height);

// The program icon at all its built-in sizes.
QIcon LoadProgramIcon();

// Resource path of the icon picture of one size (16, 22, 24, 32, 44, 48, 64, 128 or 256).
QString ProgramIconPath(int size);

} // namespace horavia
