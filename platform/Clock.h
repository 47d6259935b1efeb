#pragma once

#include "engine/DateTime.h"

namespace horavia {

// The one source of "now" for the whole program; tests install a fake.
class Clock {
public:
    virtual ~Clock() = default;

    /// The current local wall-clock time with millisecond resolution.
    virtual TDateTime Now() const = 0;
};

// Reads the system's real-time clock in the local time zone.
class SystemClock final : public Clock {
public:
    TDateTime Now() const override;
};

} // namespace horavia
