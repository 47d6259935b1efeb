#include "FakeKdePowerManagement.h"

namespace horavia::test {

std::vector<FakeKdePowerManagement::Wakeup> FakeKdePowerManagement::Wakeups() const {
    std::lock_guard lock(mutex_);
    return wakeups_;
}

std::vector<int> FakeKdePowerManagement::Cleared() const {
    std::lock_guard lock(mutex_);
    return cleared_;
}

uint FakeKdePowerManagement::scheduleWakeup(const QString& service, const QDBusObjectPath& path, qulonglong timestamp) {
    std::lock_guard lock(mutex_);
    wakeups_.push_back({service, path.path(), timestamp});
    return static_cast<uint>(wakeups_.size());
}

void FakeKdePowerManagement::clearWakeup(int cookie) {
    std::lock_guard lock(mutex_);
    cleared_.push_back(cookie);
}

} // namespace horavia::test
