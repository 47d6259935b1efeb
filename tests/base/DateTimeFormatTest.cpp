#include "base/DateTimeFormat.h"

#include <gtest/gtest.h>

namespace horavia {
namespace {

TDateTime At(int h, int m, int s) {
    return EncodeDateTime({2026, 7, 12, h, m, s, 0});
}

TEST(DateTimeFormat, TwelveHourClock) {
    const TFormatSettings fs;
    EXPECT_EQ(FormatDateTime("h:mm:ss ampm", At(15, 5, 9), fs), "3:05:09 PM");
    EXPECT_EQ(FormatDateTime("h:mm:ss ampm", At(0, 0, 0), fs), "12:00:00 AM");
    EXPECT_EQ(FormatDateTime("h:mm:ss ampm", At(12, 30, 0), fs), "12:30:00 PM");
    EXPECT_EQ(FormatDateTime("h:mm ampm", At(10, 5, 7), fs), "10:05 AM");
}

TEST(DateTimeFormat, TwentyFourHourClock) {
    const TFormatSettings fs;
    EXPECT_EQ(FormatDateTime("h:mm:ss", At(22, 5, 7), fs), "22:05:07");
    EXPECT_EQ(FormatDateTime("h:mm:ss", At(0, 0, 5), fs), "0:00:05");
    EXPECT_EQ(FormatDateTime("hh:nn", At(7, 9, 0), fs), "07:09");
}

TEST(DateTimeFormat, MonthUnlessAfterHour) {
    const TFormatSettings fs;
    EXPECT_EQ(FormatDateTime("dd/mm", At(15, 45, 0), fs), "12/07");
    EXPECT_EQ(FormatDateTime("dd/mm yyyy", At(15, 45, 0), fs), "12/07 2026");
    EXPECT_EQ(FormatDateTime("d/m/yy h:mm", At(15, 45, 0), fs), "12/7/26 15:45");
}

TEST(DateTimeFormat, SeparatorsAndMarkersComeFromTheRecord) {
    TFormatSettings fs;
    fs.TimeSeparator = ".";
    fs.DateSeparator = "-";
    fs.TimeAMString = "am";
    fs.TimePMString = "pm";
    EXPECT_EQ(FormatDateTime("h:mm ampm", At(15, 0, 0), fs), "3.00 pm");
    EXPECT_EQ(FormatDateTime("dd/mm", At(15, 0, 0), fs), "12-07");
    EXPECT_EQ(FormatDateTime("h:mm a/p", At(9, 0, 0), fs), "9.00 a");
    EXPECT_EQ(FormatDateTime("\"at\" h 'h'", At(9, 0, 0), fs), "at 9 h");
}

TEST(DateTimeFormat, TimeAndDateUseTheirFormats) {
    TFormatSettings fs;
    EXPECT_EQ(FormatTime(At(15, 5, 9), fs), "3:05:09 PM");
    fs.LongTimeFormat = "h:mm:ss";
    EXPECT_EQ(FormatTime(At(15, 5, 9), fs), "15:05:09");
    EXPECT_EQ(FormatDate(At(15, 5, 9), fs), "12/07");
}

} // namespace
} // namespace horavia
