#include "display/PngImageCollection.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace horavia {
namespace {

TPngImage Picture(int width, int height) {
    TPngImage p;
    p.Width = width;
    p.Height = height;
    p.Pixels.assign(static_cast<std::size_t>(width * height * 4), 0);
    return p;
}

TPngImageCollection Sample() {
    TPngImageCollection c;
    c.Add("close_norm", Picture(15, 15));
    c.Add("lcd_start", Picture(55, 12));
    c.Add("lcd_start", Picture(1, 1)); // a repeated name: the first one wins
    c.Add("", Picture(2, 2));
    return c;
}

TEST(PngImageCollection, ItemsKeepTheirOrder) {
    const auto c = Sample();
    ASSERT_EQ(c.Count(), 4);
    EXPECT_EQ(c.Item(0).Width, 15);
    EXPECT_EQ(c.Item(1).Width, 55);
    EXPECT_EQ(c.Item(2).Width, 1);
    EXPECT_EQ(c.Name(1), "lcd_start");
}

TEST(PngImageCollection, IndexOfIsExactAndFindsTheFirstMatch) {
    const auto c = Sample();
    EXPECT_EQ(c.IndexOf("lcd_start"), 1);
    EXPECT_EQ(c.IndexOf("LCD_START"), -1);
    EXPECT_EQ(c.IndexOf("lcd_star"), -1);
    EXPECT_EQ(c.IndexOf("lcd_start "), -1);
    EXPECT_EQ(c.IndexOf(""), 3);
    EXPECT_EQ(TPngImageCollection{}.IndexOf("lcd_start"), -1);
}

TEST(PngImageCollection, PositionsOutsideAreErrors) {
    const auto c = Sample();
    EXPECT_THROW((void)c.Item(-1), std::out_of_range);
    EXPECT_THROW((void)c.Item(4), std::out_of_range);
    EXPECT_THROW((void)c.Name(4), std::out_of_range);
    EXPECT_THROW((void)TPngImageCollection{}.Item(0), std::out_of_range);
    EXPECT_NO_THROW((void)c.Item(3));
}

} // namespace
} // namespace horavia
