#include "platform/SystemClock.h"

#include <ctime>

namespace horavia {

TDateTime SystemClock::Now() const {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    localtime_r(&ts.tv_sec, &local);
    DateTimeParts p;
    p.year = local.tm_year + 1900;
    p.month = local.tm_mon + 1;
    p.day = local.tm_mday;
    p.hour = local.tm_hour;
    p.minute = local.tm_min;
    // A leap second shows as 60; the date-time value has no room for it.
    p.second = local.tm_sec > 59 ? 59 : local.tm_sec;
    p.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
    return EncodeDateTime(p);
}

} // namespace horavia
