#include "display/ImageDraw.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Counts heap allocations while a test asks for it: drawing runs on every tick and must not allocate.
namespace {
std::atomic<bool> gCounting{false};
std::atomic<long> gAllocations{0};
} // namespace

void* operator new(std::size_t size) {
    if (gCounting.load(std::memory_order_relaxed)) {
        gAllocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace horavia {
namespace {

// A picture of one colour; kind RGB gets alpha 255 as the decoder gives it.
TPngImage Solid(int width, int height, Rgb8 c, std::uint8_t alpha, TPngKind kind = TPngKind::RGBA) {
    TPngImage p;
    p.Width = width;
    p.Height = height;
    p.Kind = kind;
    for (int i = 0; i < width * height; ++i) {
        p.Pixels.insert(p.Pixels.end(), {c.r, c.g, c.b, kind == TPngKind::RGB ? std::uint8_t{255} : alpha});
    }
    return p;
}

Bitmap Filled(int width, int height, Rgb8 c) {
    Bitmap b(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            b.SetPixel(x, y, c);
        }
    }
    return b;
}

// Which pixels of a bitmap differ from c, as a picture of '#' and '.' rows.
std::string Marks(const Bitmap& b, Rgb8 ground) {
    std::string s;
    for (int y = 0; y < b.Height(); ++y) {
        for (int x = 0; x < b.Width(); ++x) {
            s += b.Pixel(x, y) == ground ? '.' : '#';
        }
        s += '\n';
    }
    return s;
}

const Rgb8 KGround{10, 200, 90};
const Rgb8 KInk{250, 20, 130};

TEST(BlendChannel, MatchesTheRoundedFormulaForEveryInput) {
    for (int a = 0; a < 256; ++a) {
        for (int s = 0; s < 256; ++s) {
            for (int d = 0; d < 256; ++d) {
                const int expected = (s * a + d * (255 - a) + 127) / 255;
                ASSERT_EQ(BlendChannel(static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(d),
                                       static_cast<std::uint8_t>(a)),
                          expected)
                    << "s=" << s << " d=" << d << " a=" << a;
            }
        }
    }
}

TEST(Draw, AlphaZeroLeavesTheGroundAndFullAlphaReplacesIt) {
    Bitmap dst = Filled(4, 4, KGround);
    Draw(Solid(4, 4, KInk, 0), dst, 0, 0);
    EXPECT_EQ(Marks(dst, KGround), "....\n....\n....\n....\n");
    Draw(Solid(4, 4, KInk, 255), dst, 0, 0);
    EXPECT_EQ(dst.Pixel(0, 0), KInk);
    EXPECT_EQ(dst.Pixel(3, 3), KInk);
}

TEST(Draw, MiddleAlphaMixesInProportion) {
    Bitmap dst = Filled(2, 1, KGround);
    Draw(Solid(2, 1, KInk, 128), dst, 0, 0);
    // (250*128 + 10*127) / 255 = 130.47 -> 130; (20*128 + 200*127) / 255 = 109.65 -> 110;
    // (130*128 + 90*127) / 255 = 110.08 -> 110
    EXPECT_EQ(dst.Pixel(1, 0), (Rgb8{130, 110, 110}));
}

TEST(Draw, BlendingTwiceAccumulates) {
    Bitmap dst = Filled(1, 1, Rgb8{0, 0, 0});
    const TPngImage half = Solid(1, 1, Rgb8{255, 255, 255}, 128);
    Draw(half, dst, 0, 0);
    EXPECT_EQ(dst.Pixel(0, 0).r, 128);
    Draw(half, dst, 0, 0);
    EXPECT_EQ(dst.Pixel(0, 0).r, 192); // (255*128 + 128*127) / 255 = 191.75
}

TEST(Draw, RgbPicturesReplace) {
    Bitmap dst = Filled(3, 3, KGround);
    Draw(Solid(1, 1, KInk, 0, TPngKind::RGB), dst, 1, 1);
    EXPECT_EQ(Marks(dst, KGround), "...\n.#.\n...\n");
    EXPECT_EQ(dst.Pixel(1, 1), KInk);
}

TEST(Draw, PicturesAreClippedAtEveryEdge) {
    const TPngImage block = Solid(3, 3, KInk, 255);
    struct Case {
        int x, y;
        const char* marks;
    };
    for (const Case& c : {Case{-2, -2, "#...\n....\n....\n....\n"}, Case{3, -1, "...#\n...#\n....\n....\n"},
                          Case{-1, 2, "....\n....\n##..\n##..\n"}, Case{2, 3, "....\n....\n....\n..##\n"},
                          Case{4, 0, "....\n....\n....\n....\n"}, Case{0, -3, "....\n....\n....\n....\n"},
                          Case{-100000, 5, "....\n....\n....\n....\n"}}) {
        Bitmap dst = Filled(4, 4, KGround);
        Draw(block, dst, c.x, c.y);
        EXPECT_EQ(Marks(dst, KGround), c.marks) << "at " << c.x << "," << c.y;
    }
}

TEST(Draw, PixelsLandWhereThePictureHasThem) {
    TPngImage p = Solid(2, 2, KGround, 255);
    p.Pixels[(1 * 2 + 0) * 4 + 0] = 1; // lower left differs
    Bitmap dst = Filled(5, 5, KGround);
    Draw(p, dst, 2, 1);
    EXPECT_EQ(Marks(dst, KGround), ".....\n.....\n..#..\n.....\n.....\n");
}

TEST(Draw, EmptyOrInconsistentPicturesDrawNothing) {
    Bitmap dst = Filled(2, 2, KGround);
    Draw(TPngImage{}, dst, 0, 0);
    TPngImage wrong = Solid(2, 2, KInk, 255);
    wrong.Pixels.resize(4); // buffer shorter than its size says
    Draw(wrong, dst, 0, 0);
    StretchDraw(wrong, dst, {0, 0, 2, 2});
    EXPECT_EQ(Marks(dst, KGround), "..\n..\n");
}

TPngImage Slice(int width, int height, Rgb8 first, Rgb8 second) {
    TPngImage p = Solid(width, height, first, 255, TPngKind::RGB);
    std::uint8_t* last = p.Pixels.data() + (p.Pixels.size() - 4);
    last[0] = second.r;
    last[1] = second.g;
    last[2] = second.b;
    return p;
}

TEST(StretchDraw, AVerticalEdgeSliceRepeatsDownTheRectangle) {
    const Rgb8 outer{80, 80, 80};
    const Rgb8 inner{230, 230, 230};
    Bitmap dst = Filled(5, 8, KGround);
    StretchDraw(Slice(2, 1, outer, inner), dst, {1, 2, 3, 7});
    for (int y = 0; y < 8; ++y) {
        const bool in = y >= 2 && y < 7;
        EXPECT_EQ(dst.Pixel(0, y), KGround);
        EXPECT_EQ(dst.Pixel(1, y), in ? outer : KGround) << y;
        EXPECT_EQ(dst.Pixel(2, y), in ? inner : KGround) << y;
        EXPECT_EQ(dst.Pixel(3, y), KGround);
    }
}

TEST(StretchDraw, AHorizontalEdgeSliceRepeatsAlongTheRectangle) {
    const Rgb8 outer{80, 80, 80};
    const Rgb8 inner{230, 230, 230};
    Bitmap dst = Filled(10, 4, KGround);
    StretchDraw(Slice(1, 2, inner, outer), dst, {2, 2, 9, 4});
    EXPECT_EQ(Marks(dst, KGround), "..........\n..........\n..#######.\n..#######.\n");
    EXPECT_EQ(dst.Pixel(2, 2), inner);
    EXPECT_EQ(dst.Pixel(8, 3), outer);
}

TEST(StretchDraw, ScalesByNearestPixelAndClips) {
    // 2 x 2 picture stretched to 4 x 4 with its top-left quarter off the bitmap.
    TPngImage p = Solid(2, 2, KInk, 255);
    p.Pixels[0] = 1; // top-left source pixel differs
    Bitmap dst = Filled(3, 3, KGround);
    StretchDraw(p, dst, {-1, -1, 3, 3});
    EXPECT_EQ(dst.Pixel(0, 0).r, 1);
    EXPECT_EQ(dst.Pixel(1, 0), KInk);
    EXPECT_EQ(dst.Pixel(0, 1), KInk);
    EXPECT_EQ(dst.Pixel(2, 2), KInk);
}

TEST(StretchDraw, EmptyOrInvertedRectanglesDrawNothing) {
    Bitmap dst = Filled(3, 3, KGround);
    StretchDraw(Solid(1, 1, KInk, 255), dst, {2, 2, 2, 3});
    StretchDraw(Solid(1, 1, KInk, 255), dst, {2, 2, 1, 1});
    StretchDraw(Solid(1, 1, KInk, 255), dst, {5, 5, 9, 9});
    EXPECT_EQ(Marks(dst, KGround), "...\n...\n...\n");
}

TEST(Draw, DrawingDoesNotAllocate) {
    Bitmap dst = Filled(400, 280, KGround);
    const TPngImage glyph = Solid(36, 48, KInk, 77);
    const TPngImage slice = Slice(2, 1, KInk, KGround);
    gAllocations = 0;
    gCounting = true;
    Draw(glyph, dst, 38, 165);
    Draw(glyph, dst, -10, 270);
    StretchDraw(slice, dst, {0, 6, 2, 275});
    gCounting = false;
    EXPECT_EQ(gAllocations.load(), 0);
    // The counter itself works.
    gCounting = true;
    void* probe = ::operator new(4); // a direct call, which the compiler may not leave out
    gCounting = false;
    ::operator delete(probe);
    EXPECT_EQ(gAllocations.load(), 1);
}

} // namespace
} // namespace horavia
