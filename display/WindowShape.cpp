#include "display/WindowShape.h"

#include <cstring>

namespace horavia {

std::vector<TRect> ShapeRuns(const TPngImage& shape) {
    std::vector<TRect> runs;
    if (shape.Empty() || shape.Pixels.size() < static_cast<std::size_t>(shape.Width) * shape.Height * 4) {
        return runs;
    }
    const std::uint8_t* outside = shape.Pixel(0, shape.Height - 1);
    const auto isOutside = [outside](const std::uint8_t* p) { return std::memcmp(p, outside, 3) == 0; };
    for (int y = 0; y < shape.Height; ++y) {
        int x = 0;
        while (x < shape.Width) {
            while (x < shape.Width && isOutside(shape.Pixel(x, y))) {
                ++x;
            }
            const int start = x;
            while (x < shape.Width && !isOutside(shape.Pixel(x, y))) {
                ++x;
            }
            if (x > start) {
                runs.push_back({start, y, x, y + 1});
            }
        }
    }
    return runs;
}

} // namespace horavia
