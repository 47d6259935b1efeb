#pragma once

#include <QProcess>
#include <QString>

namespace horavia::test {

// A private dbus-daemon for one test run, standing in for both the system and the session bus.
class PrivateBus final {
public:
    PrivateBus() = default;
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    /// Starts the daemon and points DBUS_SYSTEM_BUS_ADDRESS and DBUS_SESSION_BUS_ADDRESS at it; false on failure.
    bool Start();
    QString Address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
};

} // namespace horavia::test
