#pragma once

#include <cstdint>
#include <vector>

namespace horavia::test {

struct TPngSpec {
    int Width = 0;
    int Height = 0;
    int ColourType = 6; // 2 RGB, 6 RGBA, 0 grey, ...
    int BitDepth = 8;
    bool Interlaced = false;
};

// Encodes raw samples (rows of Width * channels * BitDepth / 8 bytes) as a PNG file in memory with
// libpng, so that tests build their own fixtures.
std::vector<std::uint8_t> EncodePng(const TPngSpec& spec, const std::vector<std::uint8_t>& samples);

} // namespace horavia::test
