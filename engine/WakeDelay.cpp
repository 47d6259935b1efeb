#include "engine/WakeDelay.h"

#include <algorithm>

namespace horavia {

std::optional<std::int64_t> WakeDelaySeconds(TDisplayMode mode, TDateTime endTime, TDateTime now) {
    if (mode != dmTimer || !(now < endTime)) {
        return std::nullopt;
    }
    // Truncated, so the machine wakes up to a second early and the countdown ends on its own tick. Under a
    // second left truncates to 0, which would disarm the timer instead: wake a second late rather than never.
    return std::max<std::int64_t>(1, SecondsBetween(endTime, now));
}

} // namespace horavia
