#pragma once

#include <cstdint>

namespace horavia {

// A point in local wall-clock time: whole days since 1899-12-30 plus the time of day as the
// fraction. Millisecond resolution; there is no time zone and no monotonic clock behind it.
using TDateTime = double;

inline constexpr double SecondsPerDay = 86400.0;
inline constexpr double MillisecondsPerDay = 86400000.0;

// A calendar date and time of day, as decoded from or encoded into a TDateTime.
struct DateTimeParts {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Whole seconds in the absolute difference of two instants, truncated (at millisecond resolution).
std::int64_t SecondsBetween(TDateTime a, TDateTime b);
// Whole milliseconds in the absolute difference of two instants, truncated.
std::int64_t MillisecondsBetween(TDateTime a, TDateTime b);
// The instant n seconds after t (n may be negative).
TDateTime AddSeconds(TDateTime t, std::int64_t n);

TDateTime EncodeDateTime(const DateTimeParts& parts);
// Decodes with the time of day rounded to the nearest millisecond.
DateTimeParts DecodeDateTime(TDateTime t);

int HourOf(TDateTime t);
int MinuteOf(TDateTime t);

} // namespace horavia
