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

// A 24-bit picture in plain memory: rows of R, G, B bytes, each row padded to a multiple of four
// bytes so that Qt can paint on it in place. The surface, the cached backgrounds and the saved
// grounds of the buttons are all bitmaps.
class Bitmap final {
public:
    Bitmap() = default;
    Bitmap(int width, int height) { Resize(width, height); }

    // Gives the bitmap a new size, black. Keeps the memory it already has when that is enough,
    // so that a bitmap reused on every tick allocates only the first time.
    void Resize(int width, int height) {
        width_ = width < 0 ? 0 : width;
        height_ = height < 0 ? 0 : height;
        stride_ = (static_cast<std::size_t>(width_) * 3 + 3) & ~static_cast<std::size_t>(3);
        pixels_.assign(stride_ * static_cast<std::size_t>(height_), 0);
    }

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    std::size_t Stride() const { return stride_; }

    std::uint8_t* Data() { return pixels_.data(); }
    const std::uint8_t* Data() const { return pixels_.data(); }
    std::uint8_t* Row(int y) { return pixels_.data() + stride_ * static_cast<std::size_t>(y); }
    const std::uint8_t* Row(int y) const { return pixels_.data() + stride_ * static_cast<std::size_t>(y); }

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    Rgb8 Pixel(int x, int y) const {
        const std::uint8_t* p = Row(y) + static_cast<std::size_t>(x) * 3;
        return {p[0], p[1], p[2]};
    }
    void SetPixel(int x, int y, Rgb8 c) {
        std::uint8_t* p = Row(y) + static_cast<std::size_t>(x) * 3;
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::size_t stride_ = 0;
    std::vector<std::uint8_t> pixels_;
};

} // namespace horavia
