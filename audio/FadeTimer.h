#pragma once

#include <functional>

namespace horavia {

// The repeating timer of the sound player's fade-out. The real one is a QTimer on the owner's thread;
// tests tick a hand-driven one.
class FadeTimer {
public:
    virtual ~FadeTimer() = default;
    // Routine called at each tick, on the owner's thread.
    virtual void SetHandler(std::function<void()> onTick) = 0;
    // Sets the period in milliseconds.
    virtual void SetInterval(int ms) = 0;
    // Starts or stops the ticks.
    virtual void SetEnabled(bool enabled) = 0;
    // Whether the timer is running.
    virtual bool Enabled() const = 0;
};

} // namespace horavia
