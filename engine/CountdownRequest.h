#pragma once

#include "base/DateTime.h"

namespace horavia {

// What the timer set-up dialog hands over when the user confirms it: the only way a countdown starts.
struct CountdownRequest {
    bool RelativeTime = true;   // a duration from now; otherwise AbsoluteTime is the end
    int Hours = 0;              // 0..99
    int Minutes = 0;            // 0..59
    int Seconds = 0;            // 0..59
    TDateTime AbsoluteTime = 0; // end instant, date and time, days since 1899-12-30
    bool VoiceRemind = false;   // speak the remaining time while the countdown runs
    int RemindIndex = 0;        // item index of the reminder interval list
    bool AutoIncrease = false;  // shorten the interval as the end nears
};

} // namespace horavia
