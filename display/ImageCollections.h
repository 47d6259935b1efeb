#pragma once

#include "display/PngImageCollection.h"

namespace horavia {

// The four picture collections of the main window.
struct TImageCollections {
    TPngImageCollection Buttons; // surface buttons, looked up by name
    TPngImageCollection Digits;  // LCD glyphs, by position (see GlyphIndex)
    TPngImageCollection MainBox; // window frame pieces, by position
    TPngImageCollection LCDBox;  // LCD box frame pieces, by position
};

} // namespace horavia
