#pragma once

#include "base/Clock.h"

namespace horavia::test {

// A clock that stands still until the test moves it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(TDateTime start = EncodeDateTime({2026, 12, 8, 9, 30, 0, 0})) : now_(start) {}

    TDateTime Now() const override { return now_; }

    void Set(TDateTime t) { now_ = t; }
    void Set(const DateTimeParts& p) { now_ = EncodeDateTime(p); }
    void AdvanceMs(std::int64_t ms) { now_ += static_cast<double>(ms) / MillisecondsPerDay; }
    void AdvanceSeconds(std::int64_t s) { now_ = AddSeconds(now_, s); }

private:
    TDateTime now_;
};

} // namespace horavia::test
