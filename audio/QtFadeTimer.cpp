#include "audio/QtFadeTimer.h"

#include <QTimer>

namespace horavia {

QtFadeTimer::QtFadeTimer() : timer_(std::make_unique<QTimer>()) {
    timer_->setTimerType(Qt::PreciseTimer);
}

QtFadeTimer::~QtFadeTimer() = default;

void QtFadeTimer::SetHandler(std::function<void()> onTick) {
    QObject::disconnect(timer_.get(), &QTimer::timeout, nullptr, nullptr);
    QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), std::move(onTick));
}

void QtFadeTimer::SetInterval(int ms) {
    timer_->setInterval(ms);
}

void QtFadeTimer::SetEnabled(bool enabled) {
    if (enabled) {
        timer_->start();
    } else {
        timer_->stop();
    }
}

bool QtFadeTimer::Enabled() const {
    return timer_->isActive();
}

} // namespace horavia
