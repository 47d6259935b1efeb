#include "base/DateTime.h"

#include <gtest/gtest.h>

namespace horavia {
namespace {

TEST(DateTime, EpochAndKnownDates) {
    EXPECT_DOUBLE_EQ(EncodeDateTime({1899, 12, 30, 0, 0, 0, 0}), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({1900, 1, 1, 0, 0, 0, 0}), 2.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2000, 1, 1, 12, 0, 0, 0}), 36526.5);
    EXPECT_DOUBLE_EQ(EncodeDateTime({2026, 12, 8, 6, 0, 0, 0}), 46364.25);
}

TEST(DateTime, DecodeRoundTripsEveryField) {
    const DateTimeParts in{2024, 2, 29, 23, 59, 58, 999};
    const DateTimeParts out = DecodeDateTime(EncodeDateTime(in));
    EXPECT_EQ(out.year, 2024);
    EXPECT_EQ(out.month, 2);
    EXPECT_EQ(out.day, 29);
    EXPECT_EQ(out.hour, 23);
    EXPECT_EQ(out.minute, 59);
    EXPECT_EQ(out.second, 58);
    EXPECT_EQ(out.millisecond, 999);
}

TEST(DateTime, DecodeNeverGivesHour24) {
    // Half a millisecond before midnight rounds into the next day, not to 24:00 of this one.
    const TDateTime almostMidnight = EncodeDateTime({2026, 12, 8, 0, 0, 0, 0}) - 0.4 / MillisecondsPerDay;
    const DateTimeParts p = DecodeDateTime(almostMidnight);
    EXPECT_EQ(p.day, 8);
    EXPECT_EQ(p.hour, 0);
    EXPECT_EQ(HourOf(EncodeDateTime({2026, 12, 8, 15, 0, 0, 0})), 15);
    EXPECT_EQ(MinuteOf(EncodeDateTime({2026, 12, 8, 15, 7, 59, 999})), 7);
}

TEST(DateTime, BetweenIsAbsoluteAndTruncated) {
    const TDateTime a = EncodeDateTime({2026, 12, 8, 10, 0, 0, 0});
    const TDateTime b = EncodeDateTime({2026, 12, 8, 10, 0, 1, 500});
    EXPECT_EQ(SecondsBetween(a, b), 1);
    EXPECT_EQ(SecondsBetween(b, a), 1);
    EXPECT_EQ(MillisecondsBetween(a, b), 1500);
    EXPECT_EQ(MillisecondsBetween(b, a), 1500);
    EXPECT_EQ(SecondsBetween(a, a), 0);
}

TEST(DateTime, AddSecondsCrossesDaysBothWays) {
    const TDateTime t = EncodeDateTime({2026, 12, 31, 23, 59, 30, 0});
    const DateTimeParts later = DecodeDateTime(AddSeconds(t, 45));
    EXPECT_EQ(later.year, 2027);
    EXPECT_EQ(later.month, 1);
    EXPECT_EQ(later.day, 1);
    EXPECT_EQ(later.second, 15);
    EXPECT_EQ(SecondsBetween(AddSeconds(t, -3600), t), 3600);
    EXPECT_EQ(SecondsBetween(AddSeconds(t, 100 * 3600), t), 360000);
}

} // namespace
} // namespace horavia
