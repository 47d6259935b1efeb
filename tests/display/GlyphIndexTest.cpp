#include "display/GlyphIndex.h"

#include <gtest/gtest.h>

namespace horavia {
namespace {

TEST(GlyphIndex, DigitsInBothSets) {
    for (int d = 0; d <= 9; ++d) {
        const char c = static_cast<char>('0' + d);
        EXPECT_EQ(GlyphIndex(c, true), d) << c;
        EXPECT_EQ(GlyphIndex(c, false), 10 + d) << c;
    }
    EXPECT_EQ(GlyphIndex('7', true), 7);
    EXPECT_EQ(GlyphIndex('7', false), 17);
}

TEST(GlyphIndex, SeparatorsBelongToOneSetEach) {
    EXPECT_EQ(GlyphIndex(':', true), 20);
    EXPECT_EQ(GlyphIndex(':', false), -1);
    EXPECT_EQ(GlyphIndex('/', false), 21);
    EXPECT_EQ(GlyphIndex('/', true), -1);
}

TEST(GlyphIndex, AmPmMarkersOnlyLargeAndOnlyCapitals) {
    EXPECT_EQ(GlyphIndex('A', true), 22);
    EXPECT_EQ(GlyphIndex('P', true), 23);
    EXPECT_EQ(GlyphIndex('A', false), -1);
    EXPECT_EQ(GlyphIndex('P', false), -1);
    EXPECT_EQ(GlyphIndex('a', true), -1);
    EXPECT_EQ(GlyphIndex('p', true), -1);
    EXPECT_EQ(GlyphIndex('M', true), -1);
}

TEST(GlyphIndex, EveryOtherCharacterHasNoGlyph) {
    const std::string known = "0123456789:/AP";
    for (int i = -128; i < 128; ++i) {
        const char c = static_cast<char>(i);
        if (known.find(c) != std::string::npos) {
            continue;
        }
        EXPECT_EQ(GlyphIndex(c, true), -1) << i;
        EXPECT_EQ(GlyphIndex(c, false), -1) << i;
    }
}

} // namespace
} // namespace horavia
