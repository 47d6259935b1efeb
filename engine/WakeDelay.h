#pragma once

#include "base/DateTime.h"
#include "engine/DisplayMode.h"

#include <cstdint>
#include <optional>

namespace horavia {

/// Whole seconds from now to the end of a pending countdown, for the wake-up armed before sleep; nothing for
/// the stopwatch, the clock or a countdown whose end has passed. Never 0: a zero timer would not fire at all.
std::optional<std::int64_t> WakeDelaySeconds(TDisplayMode mode, TDateTime endTime, TDateTime now);

} // namespace horavia
