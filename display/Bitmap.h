#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace horavia {

struct Rgb8 {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb8&, const Rgb8&) = default;
};

// Packs a colour as the word a pixel holds: 0xffRRGGBB, the layout of Qt's 32-bit RGB images and
// of the window's backing store, so that showing a bitmap is a copy rather than a conversion.
constexpr std::uint32_t PackRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return 0xff000000u | (std::uint32_t{r} << 16) | (std::uint32_t{g} << 8) | std::uint32_t{b};
}
constexpr std::uint32_t PackRgb(Rgb8 c) {
    return PackRgb(c.r, c.g, c.b);
}
constexpr Rgb8 UnpackRgb(std::uint32_t word) {
    return {static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 8),
            static_cast<std::uint8_t>(word)};
}

// A picture in plain memory: rows of 32-bit words, one a pixel, each 0xffRRGGBB (see PackRgb). The
// surface, the cached backgrounds and the saved grounds of the buttons are all bitmaps.
class Bitmap final {
public:
    static constexpr std::uint32_t Black = 0xff000000u;

    Bitmap() = default;
    Bitmap(int width, int height) { Resize(width, height); }

    // Gives the bitmap a new size, black. Keeps the memory it already has when that is enough,
    // so that a bitmap reused on every tick allocates only the first time.
    void Resize(int width, int height) {
        width_ = width < 0 ? 0 : width;
        height_ = height < 0 ? 0 : height;
        pixels_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), Black);
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    // Bytes from one row to the next.
    std::size_t Stride() const { return static_cast<std::size_t>(width_) * sizeof(std::uint32_t); }

    std::uint32_t* Data() { return pixels_.data(); }
    const std::uint32_t* Data() const { return pixels_.data(); }
    std::uint32_t* Row(int y) {
        return pixels_.data() + static_cast<std::size_t>(width_) * static_cast<std::size_t>(y);
    }
    const std::uint32_t* Row(int y) const {
        return pixels_.data() + static_cast<std::size_t>(width_) * static_cast<std::size_t>(y);
    }

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    Rgb8 Pixel(int x, int y) const { return UnpackRgb(Row(y)[x]); }
    void SetPixel(int x, int y, Rgb8 c) { Row(y)[x] = PackRgb(c); }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

} // namespace horavia
