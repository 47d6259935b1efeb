#pragma once

#include <QDBusConnection>

#include <cstdint>
#include <functional>

namespace horavia {

// Wakes the machine from sleep at the end of a pending countdown.
//
// The wake-up is a timerfd on CLOCK_REALTIME_ALARM, made on the first arming and kept (and re-armed) for the
// program's life. It needs the wake-alarm capability (setcap cap_wake_alarm+ep on the executable); where that is
// refused, KDE's power management is asked to schedule the wake-up instead, and where that is missing too the
// countdown simply ends at the first tick after the user wakes the machine.
class WakeTimer final {
public:
    /// Opens the alarm timer: a descriptor, or -1 with errno set. Replaceable so tests can play a refusal.
    using TimerOpener = std::function<int()>;

    enum class Result {
        ArmedAlarmTimer, // our timerfd will wake the machine
        ArmedByKde,      // KDE's power management accepted the wake-up
        NotArmed,        // nothing will wake the machine
    };

    explicit WakeTimer(const QDBusConnection& sessionBus = QDBusConnection::sessionBus(), TimerOpener open = {});
    ~WakeTimer();
    WakeTimer(const WakeTimer&) = delete;
    WakeTimer& operator=(const WakeTimer&) = delete;

    /// Arms the wake-up for the given number of seconds from now, replacing an earlier arming of the timer.
    /// Called while the machine prepares to sleep; it may wait up to a second for KDE's answer.
    Result Arm(std::int64_t seconds);

    /// The alarm timer's descriptor; -1 until it has been made.
    int Handle() const { return fd_; }

    // How long the arming waits for KDE's answer at most: long enough for a busy desktop, short enough to sleep.
    static constexpr int KdeTimeoutMs = 1000;

private:
    Result ArmByKde(std::int64_t seconds);
    void WarnOnce(bool& warned, const QString& message);

    QDBusConnection bus_;
    TimerOpener open_;
    int fd_ = -1;
    bool warnedOpen_ = false;
    bool warnedSet_ = false;
    bool warnedKde_ = false;
};

} // namespace horavia
