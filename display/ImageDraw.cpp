#include "display/ImageDraw.h"

#include <algorithm>

namespace horavia {
namespace {

// One source pixel (R, G, B, A) onto one destination pixel (0xffRRGGBB).
inline void Put(const std::uint8_t* s, std::uint32_t* d) {
    const std::uint8_t a = s[3];
    if (a == 255) {
        *d = PackRgb(s[0], s[1], s[2]);
    } else if (a != 0) {
        const Rgb8 under = UnpackRgb(*d);
        *d = PackRgb(BlendChannel(s[0], under.r, a), BlendChannel(s[1], under.g, a), BlendChannel(s[2], under.b, a));
    }
}

// A picture whose pixel buffer does not match its size is treated as empty, never read past.
inline bool Drawable(const TPngImage& image) {
    return !image.Empty() && image.Pixels.size() >= static_cast<std::size_t>(image.Width) * image.Height * 4;
}

inline int Clamp(long long v) {
    return static_cast<int>(std::clamp<long long>(v, -(1LL << 30), 1LL << 30));
}

} // namespace

void Draw(const TPngImage& image, Bitmap& dst, int x, int y) {
    Draw(image, dst, x, y, {0, 0, dst.Width(), dst.Height()});
}

void Draw(const TPngImage& image, Bitmap& dst, int x, int y, const TRect& clip) {
    if (!Drawable(image) || dst.Empty()) {
        return;
    }
    // The part of the picture that lands on dst inside the clip.
    const long long left = std::max(0, clip.Left);
    const long long top = std::max(0, clip.Top);
    const long long right = std::min(dst.Width(), clip.Right);
    const long long bottom = std::min(dst.Height(), clip.Bottom);
    const int sx0 = Clamp(std::max(0LL, left - x));
    const int sy0 = Clamp(std::max(0LL, top - y));
    const int sx1 = Clamp(std::min<long long>(image.Width, right - x));
    const int sy1 = Clamp(std::min<long long>(image.Height, bottom - y));
    if (sx0 >= sx1 || sy0 >= sy1) {
        return;
    }
    // RGB pictures are opaque (the decoder fills alpha 255), so one loop serves both kinds.
    for (int sy = sy0; sy < sy1; ++sy) {
        const std::uint8_t* s = image.Pixel(sx0, sy);
        std::uint32_t* d = dst.Row(y + sy) + (x + sx0);
        for (int sx = sx0; sx < sx1; ++sx, s += 4, ++d) {
            Put(s, d);
        }
    }
}

void StretchDraw(const TPngImage& image, Bitmap& dst, const TRect& rect) {
    const long long w = static_cast<long long>(rect.Right) - rect.Left;
    const long long h = static_cast<long long>(rect.Bottom) - rect.Top;
    if (!Drawable(image) || dst.Empty() || w <= 0 || h <= 0) {
        return;
    }
    const int x0 = std::max(rect.Left, 0);
    const int y0 = std::max(rect.Top, 0);
    const int x1 = std::min(rect.Right, dst.Width());
    const int y1 = std::min(rect.Bottom, dst.Height());
    for (int y = y0; y < y1; ++y) {
        // Nearest source row: the centre of target row (y - top) maps to (y - top + 0.5) * ih / h.
        const long long syl = ((2LL * (static_cast<long long>(y) - rect.Top) + 1) * image.Height) / (2LL * h);
        const int sy = static_cast<int>(std::min<long long>(syl, image.Height - 1));
        std::uint32_t* d = dst.Row(y) + x0;
        for (int x = x0; x < x1; ++x, ++d) {
            const long long sxl = ((2LL * (static_cast<long long>(x) - rect.Left) + 1) * image.Width) / (2LL * w);
            const int sx = static_cast<int>(std::min<long long>(sxl, image.Width - 1));
            Put(image.Pixel(sx, sy), d);
        }
    }
}

} // namespace horavia
