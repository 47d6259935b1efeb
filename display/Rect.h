#pragma once

#include <algorithm>

namespace horavia {

// A rectangle in surface pixels; right and bottom are exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    friend bool operator==(const TRect&, const TRect&) = default;
};

// The smallest rectangle holding both; an empty one (no width or height) adds nothing.
inline TRect Union(const TRect& a, const TRect& b) {
    if (a.Width() <= 0 || a.Height() <= 0) {
        return b;
    }
    if (b.Width() <= 0 || b.Height() <= 0) {
        return a;
    }
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

} // namespace horavia
