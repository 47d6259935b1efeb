#include "base/DateTime.h"

#include <cmath>

namespace horavia {
namespace {

// Days from 1970-01-01 to the given civil date (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

// 1899-12-30 counted from 1970-01-01.
constexpr std::int64_t EpochOffsetDays = -25569;

} // namespace

// Both instants are taken to whole milliseconds before they are compared, so that an hour that
// floating point holds as 3599.9999 seconds still counts as 3600.
std::int64_t SecondsBetween(TDateTime a, TDateTime b) {
    return MillisecondsBetween(a, b) / 1000;
}

std::int64_t MillisecondsBetween(TDateTime a, TDateTime b) {
    const std::int64_t ma = std::llround(a * MillisecondsPerDay);
    const std::int64_t mb = std::llround(b * MillisecondsPerDay);
    return ma > mb ? ma - mb : mb - ma;
}

TDateTime AddSeconds(TDateTime t, std::int64_t n) {
    return (t * SecondsPerDay + static_cast<double>(n)) / SecondsPerDay;
}

TDateTime EncodeDateTime(const DateTimeParts& p) {
    const std::int64_t days =
        DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) - EpochOffsetDays;
    const double ms = ((p.hour * 60.0 + p.minute) * 60.0 + p.second) * 1000.0 + p.millisecond;
    return static_cast<double>(days) + ms / MillisecondsPerDay;
}

DateTimeParts DecodeDateTime(TDateTime t) {
    // Rounding the whole value to milliseconds first keeps 23:59:59.9996 from decoding as a
    // time of day of 24:00:00 on the same date.
    const auto totalMs = static_cast<std::int64_t>(std::llround(t * MillisecondsPerDay));
    std::int64_t days = totalMs / 86400000;
    std::int64_t msOfDay = totalMs % 86400000;
    if (msOfDay < 0) {
        msOfDay += 86400000;
        --days;
    }
    DateTimeParts p;
    CivilFromDays(days + EpochOffsetDays, p.year, p.month, p.day);
    p.hour = static_cast<int>(msOfDay / 3600000);
    p.minute = static_cast<int>(msOfDay / 60000 % 60);
    p.second = static_cast<int>(msOfDay / 1000 % 60);
    p.millisecond = static_cast<int>(msOfDay % 1000);
    return p;
}

int HourOf(TDateTime t) {
    return DecodeDateTime(t).hour;
}

int MinuteOf(TDateTime t) {
    return DecodeDateTime(t).minute;
}

} // namespace horavia
