#include "platform/linux/TimerFdWakeUp.h"

#include "base/Log.h"

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

void WarnOnce(bool& warned, const QString& message) {
    if (warned) {
        return;
    }
    warned = true;
    qCWarning(lcPlatform).noquote() << message;
}

} // namespace

TimerFdWakeUp::TimerFdWakeUp(TimerOpener open) : open_(open ? std::move(open) : TimerOpener(OpenAlarmTimer)) {}

TimerFdWakeUp::~TimerFdWakeUp() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool TimerFdWakeUp::Arm(std::int64_t seconds) {
    if (seconds <= 0) {
        return false; // a zero timerfd value would disarm
    }
    if (fd_ < 0) {
        fd_ = open_();
        if (fd_ < 0) {
            const int error = errno;
            fd_ = -1;
            WarnOnce(warnedOpen_, error == EPERM
                                      ? QStringLiteral("The wake-alarm capability (CAP_WAKE_ALARM) is missing: the "
                                                       "alarm timer cannot wake the machine")
                                      : QStringLiteral("Cannot create the wake-up timer (%1)").arg(ErrnoText(error)));
            return false;
        }
    }
    itimerspec due{};
    due.it_value.tv_sec = static_cast<time_t>(seconds);
    if (::timerfd_settime(fd_, 0, &due, nullptr) != 0) {
        WarnOnce(warnedSet_, QStringLiteral("Cannot arm the wake-up timer (%1)").arg(ErrnoText(errno)));
        return false;
    }
    return true;
}

void TimerFdWakeUp::Disarm() {
    if (fd_ < 0) {
        return;
    }
    const itimerspec never{};
    ::timerfd_settime(fd_, 0, &never, nullptr);
}

} // namespace horavia
