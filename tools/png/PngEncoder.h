#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace horavia::tools {

struct TPngFormat {
    int Width = 0;
    int Height = 0;
    int ColourType = 6; // 2 RGB, 6 RGBA, 0 grey, 4 grey with alpha
    int BitDepth = 8;
    bool Interlaced = false;
    int CompressionLevel = -1; // zlib's level, -1 for its default
};

// Encodes raw samples (rows of Width * channels * BitDepth / 8 bytes, top to bottom) as a PNG file in
// memory with libpng. No time stamp or other ancillary chunks, so the same samples give the same bytes.
// Used by the picture generator and by tests that build their own pictures. Empty, with the reason in
// `error`, when the samples do not fit the format or libpng refuses.
std::optional<std::vector<std::uint8_t>> EncodePng(const TPngFormat& format, const std::vector<std::uint8_t>& samples,
                                                   std::string* error = nullptr);

} // namespace horavia::tools
