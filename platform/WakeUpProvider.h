#pragma once

#include <QString>

#include <cstdint>

namespace horavia {

// A way to wake the machine from sleep at the end of a pending countdown. The window arms it while the machine
// prepares to sleep and never learns which mechanism holds the wake-up.
class WakeUpProvider {
public:
    virtual ~WakeUpProvider() = default;

    /// Asks for the machine to be woken this many whole seconds from now; false when this mechanism cannot do it.
    virtual bool Arm(std::int64_t seconds) = 0;
    /// Cancels the wake-ups this mechanism still holds; does nothing when it holds none.
    virtual void Disarm() = 0;
    /// What the mechanism is called in the log.
    virtual QString Name() const = 0;
};

} // namespace horavia
