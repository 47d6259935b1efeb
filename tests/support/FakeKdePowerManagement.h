#pragma once

#include <QDBusObjectPath>
#include <QObject>
#include <QString>

#include <mutex>
#include <vector>

namespace horavia::test {

// Stands in for KDE's power management. It answers on its own thread, since the wake-up request waits for the
// answer on the caller's thread.
class FakeKdePowerManagement final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.Solid.PowerManagement")

public:
    struct Wakeup {
        QString service;
        QString path;
        qulonglong timestamp = 0;
    };

    using QObject::QObject;

    std::vector<Wakeup> Wakeups() const;
    std::vector<int> Cleared() const; // the numbers of the wake-ups cleared, in order

public Q_SLOTS:
    uint scheduleWakeup(const QString& service, const QDBusObjectPath& path, qulonglong timestamp);
    void clearWakeup(int cookie);

private:
    mutable std::mutex mutex_;
    std::vector<Wakeup> wakeups_;
    std::vector<int> cleared_;
};

} // namespace horavia::test
