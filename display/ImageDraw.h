#pragma once

#include "display/Bitmap.h"
#include "display/PngImage.h"
#include "display/Rect.h"

#include <cstdint>

namespace horavia {

// One colour channel of src laid over dst with opacity alpha (0..255):
//   (src * alpha + dst * (255 - alpha)) / 255, rounded to the nearest integer.
// The quotient is never exactly halfway (255 is odd), so the rounding is unambiguous; alpha 0 gives
// dst and alpha 255 gives src exactly. Computed without a division: for 0 <= t <= 255 * 255,
// ((t + 128) + ((t + 128) >> 8)) >> 8 equals round(t / 255).
constexpr std::uint8_t BlendChannel(std::uint8_t src, std::uint8_t dst, std::uint8_t alpha) {
    const unsigned t = unsigned{src} * alpha + unsigned{dst} * (255u - alpha) + 128u;
    return static_cast<std::uint8_t>((t + (t >> 8)) >> 8);
}

// Puts image on dst with its top-left corner at (x, y), at its own size, clipped to dst. RGBA
// pictures are blended by their alpha; RGB pictures replace the pixels. Allocates nothing.
void Draw(const TPngImage& image, Bitmap& dst, int x, int y);
// The same, changing only the pixels of dst inside clip.
void Draw(const TPngImage& image, Bitmap& dst, int x, int y, const TRect& clip);

// Fills rect of dst with image scaled to the rectangle's size, each target pixel taking the
// nearest source pixel (so a 2 x 1 edge slice is repeated down the rectangle), blended as in Draw
// and clipped to dst. Allocates nothing.
void StretchDraw(const TPngImage& image, Bitmap& dst, const TRect& rect);

} // namespace horavia
