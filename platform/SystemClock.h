#pragma once

#include "base/Clock.h"

namespace horavia {

// Reads the system's real-time clock in the local time zone.
class SystemClock final : public Clock {
public:
    TDateTime Now() const override;
};

} // namespace horavia
