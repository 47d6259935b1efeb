#include "FakeKdePowerManagement.h"

namespace horavia::test {

std::vector<FakeKdePowerManagement::Wakeup> FakeKdePowerManagement::Wakeups() const {
    std::lock_guard lock(mutex_);
    return wakeups_;
}

uint FakeKdePowerManagement::scheduleWakeup(const QString& service, const QDBusObjectPath& path,
                                            qulonglong timestamp) {
    std::lock_guard lock(mutex_);
    wakeups_.push_back({service, path.path(), timestamp});
    return static_cast<uint>(wakeups_.size());
}

} // namespace horavia::test
