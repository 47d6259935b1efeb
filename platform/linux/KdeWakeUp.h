#pragma once

#include "platform/WakeUpProvider.h"

#include <QDBusConnection>

#include <vector>

namespace horavia {

// Asks KDE's power management on the session bus to wake the machine. Each arming is a wake-up of its own that
// stays scheduled until it is disarmed.
class KdeWakeUp final : public WakeUpProvider {
public:
    explicit KdeWakeUp(const QDBusConnection& sessionBus = QDBusConnection::sessionBus());

    /// Called while the machine prepares to sleep; it waits up to a second for KDE's answer.
    bool Arm(std::int64_t seconds) override;
    void Disarm() override;
    QString Name() const override { return QStringLiteral("KDE's power management"); }

    // How long the arming waits for KDE's answer at most: long enough for a busy desktop, short enough to sleep.
    static constexpr int TimeoutMs = 1000;

private:
    QDBusConnection bus_;
    std::vector<uint> cookies_; // KDE's numbers of the wake-ups it accepted from us
    bool warned_ = false;
};

} // namespace horavia
