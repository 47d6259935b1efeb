#pragma once

#include <cstdint>

namespace horavia {

// What the window is doing; one byte, as it is stored and compared everywhere.
enum TDisplayMode : std::uint8_t {
    dmTimer = 0,     // a countdown runs towards EndTime
    dmStopwatch = 1, // the stopwatch is shown, running or stopped
    dmClock = 2,     // the clock: the mode at start and after a countdown or stopwatch ends
};

} // namespace horavia
