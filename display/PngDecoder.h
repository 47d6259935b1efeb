#pragma once

#include "display/PngImage.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace horavia {

// Pictures larger than this on either side are refused rather than decoded: ours are at most a few
// hundred pixels, and a damaged header must not make us allocate gigabytes.
inline constexpr int KMaxPngSide = 4096;

// Decodes a PNG held in memory: 8-bit RGB (colour type 2) or RGBA (colour type 6), interlaced
// (Adam7) or not. Other formats, damaged or truncated data give no picture and, when error is
// given, a one-line reason. Never throws for bad data and never aborts.
std::optional<TPngImage> DecodePng(std::span<const std::uint8_t> data, std::string* error = nullptr);

} // namespace horavia
