#include "display/PngDecoder.h"

#include "tools/png/PngEncoder.h"

#include <gtest/gtest.h>

#include <random>

namespace horavia {
namespace {

using tools::TPngFormat;

// The test's own pictures always encode; a refusal is the test's fault and ends it.
std::vector<std::uint8_t> EncodePng(const TPngFormat& format, const std::vector<std::uint8_t>& samples) {
    return tools::EncodePng(format, samples).value();
}

std::vector<std::uint8_t> Samples(int width, int height, int channels, unsigned seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> s(static_cast<std::size_t>(width * height * channels));
    for (auto& v : s) {
        v = static_cast<std::uint8_t>(rng());
    }
    return s;
}

TEST(PngDecoder, InterlacedAndPlainCornerDecodeToTheSamePixels) {
    const auto samples = Samples(6, 6, 4, 1);
    const auto plain = EncodePng({6, 6, 6, 8, false}, samples);
    const auto interlaced = EncodePng({6, 6, 6, 8, true}, samples);
    ASSERT_NE(plain, interlaced); // really two different layouts
    ASSERT_EQ(interlaced[28], 1); // IHDR interlace method: Adam7

    const auto a = DecodePng(plain);
    const auto b = DecodePng(interlaced);
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->Pixels, samples);
    EXPECT_EQ(b->Pixels, samples);
    EXPECT_EQ(b->Width, 6);
    EXPECT_EQ(b->Height, 6);
    EXPECT_EQ(b->Kind, TPngKind::RGBA);
}

TEST(PngDecoder, InterlacedPicturesOfOddSizesKeepEveryPixel) {
    // Sizes where some Adam7 passes are empty.
    for (auto [w, h] : {std::pair{1, 1}, {5, 5}, {2, 1}, {1, 2}, {13, 7}}) {
        const auto samples = Samples(w, h, 4, static_cast<unsigned>(w * 31 + h));
        const auto decoded = DecodePng(EncodePng({w, h, 6, 8, true}, samples));
        ASSERT_TRUE(decoded) << w << "x" << h;
        EXPECT_EQ(decoded->Pixels, samples) << w << "x" << h;
    }
}

TEST(PngDecoder, RgbBecomesOpaqueRgbaAndKeepsItsKind) {
    const auto samples = Samples(3, 2, 3, 7);
    for (bool interlaced : {false, true}) {
        const auto decoded = DecodePng(EncodePng({3, 2, 2, 8, interlaced}, samples));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->Kind, TPngKind::RGB);
        ASSERT_EQ(decoded->Pixels.size(), 3u * 2u * 4u);
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(decoded->Pixels[i * 4 + 0], samples[i * 3 + 0]);
            EXPECT_EQ(decoded->Pixels[i * 4 + 1], samples[i * 3 + 1]);
            EXPECT_EQ(decoded->Pixels[i * 4 + 2], samples[i * 3 + 2]);
            EXPECT_EQ(decoded->Pixels[i * 4 + 3], 255);
        }
    }
}

TEST(PngDecoder, EveryTruncationIsRefusedWithAReason) {
    const auto file = EncodePng({9, 9, 6, 8, true}, Samples(9, 9, 4, 3));
    for (std::size_t n = 0; n < file.size(); ++n) {
        std::string error;
        const auto decoded = DecodePng(std::span(file.data(), n), &error);
        // Only the IEND chunk (the last 12 bytes) may be missing without losing pixels.
        if (n < file.size() - 12) {
            EXPECT_FALSE(decoded) << "prefix of " << n << " bytes";
            EXPECT_FALSE(error.empty());
        }
    }
}

TEST(PngDecoder, DamagedPixelDataIsRefused) {
    auto file = EncodePng({8, 8, 6, 8, false}, Samples(8, 8, 4, 5));
    // Flip bytes inside the IDAT chunk: its checksum no longer matches.
    const std::size_t idat = 33 + 8; // after the signature, IHDR and the IDAT length and type
    file[idat + 3] ^= 0x5A;
    file[idat + 4] ^= 0xA5;
    std::string error;
    EXPECT_FALSE(DecodePng(file, &error));
    EXPECT_FALSE(error.empty());
}

TEST(PngDecoder, GarbageAndEmptyInputAreRefused) {
    std::string error;
    EXPECT_FALSE(DecodePng({}, &error));
    EXPECT_EQ(error, "not a PNG file");
    const auto noise = Samples(500, 1, 1, 9);
    EXPECT_FALSE(DecodePng(noise));
    // A valid signature followed by noise.
    auto fake = noise;
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::copy(std::begin(signature), std::end(signature), fake.begin());
    EXPECT_FALSE(DecodePng(fake, &error));
    EXPECT_FALSE(error.empty());
}

TEST(PngDecoder, OtherFormatsAreRefused) {
    std::string error;
    EXPECT_FALSE(DecodePng(EncodePng({4, 4, 0, 8, false}, Samples(4, 4, 1, 1)), &error)); // grey
    EXPECT_EQ(error, "not an 8-bit RGB or RGBA picture");
    EXPECT_FALSE(DecodePng(EncodePng({4, 4, 6, 16, false}, Samples(4, 4, 8, 2)), &error)); // 16-bit
    EXPECT_EQ(error, "not an 8-bit RGB or RGBA picture");
}

TEST(PngDecoder, OversizedPicturesAreRefused) {
    const int wide = KMaxPngSide + 1;
    std::string error;
    EXPECT_FALSE(DecodePng(EncodePng({wide, 1, 2, 8, false}, std::vector<std::uint8_t>(wide * 3)), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(DecodePng(EncodePng({KMaxPngSide, 1, 2, 8, false}, std::vector<std::uint8_t>(KMaxPngSide * 3))));
}

} // namespace
} // namespace horavia
