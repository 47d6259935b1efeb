#pragma once

#include "platform/WakeUpProvider.h"

#include <functional>

namespace horavia {

// Wakes the machine with a timerfd on CLOCK_REALTIME_ALARM, made on the first arming and kept (and re-armed) for
// the program's life. The kernel gives that clock only to a program with the wake-alarm capability
// (setcap cap_wake_alarm+ep on the executable).
class TimerFdWakeUp final : public WakeUpProvider {
public:
    /// Opens the alarm timer: a descriptor, or -1 with errno set. Replaceable so tests can play a refusal.
    using TimerOpener = std::function<int()>;

    explicit TimerFdWakeUp(TimerOpener open = {});
    ~TimerFdWakeUp() override;
    TimerFdWakeUp(const TimerFdWakeUp&) = delete;
    TimerFdWakeUp& operator=(const TimerFdWakeUp&) = delete;

    /// Sets the timer to fire once, replacing an earlier arming; a refused timer is asked for again next time.
    bool Arm(std::int64_t seconds) override;
    void Disarm() override;
    QString Name() const override { return QStringLiteral("the alarm timer"); }

    /// The alarm timer's descriptor; -1 until it has been made.
    int Handle() const { return fd_; }

private:
    TimerOpener open_;
    int fd_ = -1;
    bool warnedOpen_ = false;
    bool warnedSet_ = false;
};

} // namespace horavia
