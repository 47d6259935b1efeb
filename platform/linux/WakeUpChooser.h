#pragma once

#include "platform/WakeUpProvider.h"

#include <functional>
#include <memory>
#include <vector>

namespace horavia {

// Arms the wake-up with the first mechanism that takes it, asked in order at every arming: the alarm timer first,
// since it needs nothing but the kernel, then KDE's power management. Where none takes it the countdown simply
// ends at the first tick after the user wakes the machine.
class WakeUpChooser final : public WakeUpProvider {
public:
    /// The alarm timer, then KDE's power management on the session bus; both are made at the first arming,
    /// so a program that never sleeps with a countdown pending never opens them.
    WakeUpChooser();
    /// These mechanisms, asked in this order.
    explicit WakeUpChooser(std::vector<std::unique_ptr<WakeUpProvider>> providers);

    bool Arm(std::int64_t seconds) override;
    void Disarm() override;
    /// The mechanism that took the last arming; "nothing" before one did.
    QString Name() const override;

private:
    const std::vector<std::unique_ptr<WakeUpProvider>>& Providers();

    std::function<std::vector<std::unique_ptr<WakeUpProvider>>()> make_; // until the first arming
    std::vector<std::unique_ptr<WakeUpProvider>> providers_;
    const WakeUpProvider* armedBy_ = nullptr;
    bool warned_ = false;
};

} // namespace horavia
