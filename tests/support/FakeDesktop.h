#pragma once

#include "FakeKdePowerManagement.h"
#include "FakeLogind.h"
#include "FakeScreenSaver.h"

#include <QDBusConnection>
#include <QThread>

#include <memory>

namespace horavia::test {

// The desktop's services on the private bus, on a connection of their own: logind and the screensaver service
// for the whole run, KDE's power management on request.
class FakeDesktop final {
public:
    explicit FakeDesktop(const QString& address);
    ~FakeDesktop();
    FakeDesktop(const FakeDesktop&) = delete;
    FakeDesktop& operator=(const FakeDesktop&) = delete;

    bool IsReady() const { return ready_; }

    FakeLogind& Logind() { return *logind_; }
    FakeScreenSaver& ScreenSaver() { return *screenSaver_; }

    /// Puts KDE's power management on the bus, answering on its own thread; null on failure.
    FakeKdePowerManagement* StartKde();
    void StopKde();

    /// Clears every fake's records between tests.
    void Reset();

    /// Waits until the fakes have handled every call sent before over the program's default buses.
    bool SettleSystemBus() const;
    bool SettleSessionBus() const;

private:
    QDBusConnection connection_;
    std::unique_ptr<FakeLogind> logind_;
    std::unique_ptr<FakeScreenSaver> screenSaver_;
    std::unique_ptr<FakeKdePowerManagement> kde_;
    QThread kdeThread_;
    bool ready_ = false;
};

/// The run's fake desktop; made by the test program's main once the private bus is up.
FakeDesktop& Desktop();

} // namespace horavia::test
