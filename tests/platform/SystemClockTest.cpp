#include "platform/SystemClock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace horavia {
namespace {

// The system clock gives local wall time: in a fixed zone it differs from UTC by that zone's offset.
TEST(SystemClock, ReadsLocalWallTime) {
    setenv("TZ", "Asia/Shanghai", 1);
    tzset();
    const TDateTime local = SystemClock().Now();
    setenv("TZ", "UTC", 1);
    tzset();
    const TDateTime utc = SystemClock().Now();
    unsetenv("TZ");
    tzset();
    const double hours = (local - utc) * 24.0;
    EXPECT_NEAR(hours, 8.0, 0.01);
}

} // namespace
} // namespace horavia
