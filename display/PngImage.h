#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace horavia {

// How a picture was stored: opaque RGB (PNG colour type 2) or RGB with alpha (colour type 6).
enum class TPngKind : std::uint8_t { RGB, RGBA };

// A decoded picture. Whatever the stored kind, the pixels are held as R, G, B, A bytes (alpha 255
// for RGB pictures), rows top to bottom without padding, so drawing needs only one code path.
struct TPngImage {
    int Width = 0;
    int Height = 0;
    TPngKind Kind = TPngKind::RGBA;
    std::vector<std::uint8_t> Pixels; // Width * Height * 4 bytes
    // The size it covers on the display, in logical pixels, when that is not its own size: a 2x
    // picture of a 36 x 48 glyph is 72 x 96 pixels and covers 36 x 48. 0: its own size.
    int ShownWidth = 0;
    int ShownHeight = 0;

    bool Empty() const { return Width <= 0 || Height <= 0; }
    int LogicalWidth() const { return ShownWidth > 0 ? ShownWidth : Width; }
    int LogicalHeight() const { return ShownHeight > 0 ? ShownHeight : Height; }
    const std::uint8_t* Row(int y) const { return Pixels.data() + static_cast<std::size_t>(y) * Width * 4; }
    const std::uint8_t* Pixel(int x, int y) const { return Row(y) + static_cast<std::size_t>(x) * 4; }
};

} // namespace horavia
