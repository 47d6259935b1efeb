#pragma once

#include "base/DateTime.h"

namespace horavia {

// The one source of "now" for the whole program; tests install a fake.
class Clock {
public:
    virtual ~Clock() = default;

    /// The current local wall-clock time with millisecond resolution.
    virtual TDateTime Now() const = 0;
};

} // namespace horavia
