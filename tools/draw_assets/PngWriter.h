#pragma once

#include <QImage>
#include <QString>

namespace horavia::tools {

enum class TPngLayout { Plain, Interlaced };

// Writes image as an 8-bit PNG: colour type 6 (RGBA) when withAlpha, else colour type 2 (RGB, the
// alpha dropped). No time stamp or other ancillary chunks, so the same drawing gives the same file.
// Returns false with a message on stderr when the file cannot be written.
bool WritePng(const QImage& image, const QString& path, bool withAlpha, TPngLayout layout);

} // namespace horavia::tools
