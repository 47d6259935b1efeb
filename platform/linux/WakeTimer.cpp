#include "platform/linux/WakeTimer.h"

#include "base/Log.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDateTime>

#include <cerrno>
#include <cstring>
#include <sys/timerfd.h>
#include <unistd.h>
#include <utility>

namespace horavia {

namespace {

int OpenAlarmTimer() {
    return ::timerfd_create(CLOCK_REALTIME_ALARM, TFD_CLOEXEC | TFD_NONBLOCK);
}

QString ErrnoText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

WakeTimer::WakeTimer(const QDBusConnection& sessionBus, TimerOpener open)
    : bus_(sessionBus), open_(open ? std::move(open) : TimerOpener(OpenAlarmTimer)) {}

WakeTimer::~WakeTimer() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

WakeTimer::Result WakeTimer::Arm(std::int64_t seconds) {
    if (seconds <= 0) {
        // A zero timerfd value disarms; callers pass at least one second.
        return Result::NotArmed;
    }
    if (fd_ < 0) {
        fd_ = open_();
        if (fd_ < 0) {
            const int error = errno;
            fd_ = -1;
            if (error == EPERM) {
                WarnOnce(warnedOpen_, QStringLiteral("The wake-alarm capability (CAP_WAKE_ALARM) is missing; "
                                                     "asking the desktop to wake the machine instead"));
            } else {
                WarnOnce(warnedOpen_, QStringLiteral("Cannot create the wake-up timer (%1); asking the desktop "
                                                     "to wake the machine instead")
                                          .arg(ErrnoText(error)));
            }
            return ArmByKde(seconds);
        }
    }
    itimerspec due{};
    due.it_value.tv_sec = static_cast<time_t>(seconds);
    if (::timerfd_settime(fd_, 0, &due, nullptr) != 0) {
        WarnOnce(warnedSet_, QStringLiteral("Cannot arm the wake-up timer (%1); the countdown ends at the first "
                                            "tick after the machine wakes")
                                 .arg(ErrnoText(errno)));
        return Result::NotArmed;
    }
    return Result::ArmedAlarmTimer;
}

WakeTimer::Result WakeTimer::ArmByKde(std::int64_t seconds) {
    const QString fallback = QStringLiteral("; the countdown cannot wake the machine and ends at the first tick "
                                            "after the user wakes it");
    if (!bus_.isConnected()) {
        WarnOnce(warnedKde_, QStringLiteral("No session bus") + fallback);
        return Result::NotArmed;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.Solid.PowerManagement"), QStringLiteral("/org/kde/Solid/PowerManagement"),
        QStringLiteral("org.kde.Solid.PowerManagement"), QStringLiteral("scheduleWakeup"));
    // KDE calls back on the path it is given when it wakes the machine; no answer is needed there.
    const auto due = static_cast<qulonglong>(QDateTime::currentSecsSinceEpoch() + seconds);
    call << bus_.baseService() << QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/horavia/WakeUp"))) << due;
    call.setAutoStartService(false);
    // This runs while the machine waits for us to go to sleep: the request must be out before the sleep delay is
    // released, so the answer is awaited, briefly.
    const QDBusMessage reply = bus_.call(call, QDBus::Block, KdeTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        WarnOnce(warnedKde_, QStringLiteral("KDE's power management cannot schedule the wake-up (%1)")
                                     .arg(reply.errorName()) +
                                 fallback);
        return Result::NotArmed;
    }
    return Result::ArmedByKde;
}

void WakeTimer::WarnOnce(bool& warned, const QString& message) {
    if (warned) {
        return;
    }
    warned = true;
    qCWarning(lcPlatform).noquote() << message;
}

} // namespace horavia
