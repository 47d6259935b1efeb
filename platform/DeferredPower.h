#pragma once

#include "platform/Power.h"

#include <functional>
#include <memory>

namespace horavia {

// A power service reached only once the window is on screen: the window asks from its first tick, but
// connecting to the desktop's buses can wait until the first frame is shown. Until Start the latest wish is
// kept; Start makes the real service and hands it that wish, and from then on every request goes straight
// through.
class DeferredPower final : public Power {
public:
    using Factory = std::function<std::unique_ptr<Power>()>;

    explicit DeferredPower(Factory make);
    ~DeferredPower() override;

    DeferredPower(const DeferredPower&) = delete;
    DeferredPower& operator=(const DeferredPower&) = delete;

    /// Makes the real service, once, and gives it the wish made so far; later calls do nothing.
    void Start();
    bool Started() const { return power_ != nullptr; }

    void KeepSystemAwake() override;
    void KeepDisplayOn() override;
    void KeepBothAwake() override;

private:
    enum class Wish { None, System, Display, Both };
    void Ask(Wish wish);

    Factory make_;
    std::unique_ptr<Power> power_;
    Wish wish_ = Wish::None; // the latest request made before Start
};

} // namespace horavia
