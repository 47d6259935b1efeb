#pragma once

#include "display/ImageCollections.h"
#include "display/PngImage.h"

#include <QIcon>
#include <QString>

#include <optional>

namespace horavia {

// Reads and decodes one PNG file or Qt resource (":/..."). A file that cannot be read or decoded is
// logged as a warning under horavia.display.images and gives no picture.
std::optional<TPngImage> LoadPngFile(const QString& path);

// Builds the four collections from the built-in pictures, each in its fixed order. A picture that
// fails to load is logged and kept as an empty item, so every later position stays where it
// belongs; drawing an empty picture draws nothing.
TImageCollections LoadImageCollections();

// The built-in window outline, 400 x 250, black inside and white outside; empty if it fails to load.
TPngImage LoadShapePicture();

// The program icon at all its built-in sizes.
QIcon LoadProgramIcon();

// Resource path of the icon picture of one size (16, 22, 24, 32, 48, 64, 128 or 256).
QString ProgramIconPath(int size);

} // namespace horavia
