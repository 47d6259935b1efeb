#include "PrivateBus.h"

#include <csignal>
#include <sys/prctl.h>

namespace horavia::test {

PrivateBus::~PrivateBus() {
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        daemon_.waitForFinished(5000);
    }
}

bool PrivateBus::Start() {
    // The session configuration lets every local client in and passes file descriptors, which is all we need.
    daemon_.setProgram(QStringLiteral("dbus-daemon"));
    daemon_.setArguments({QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                          QStringLiteral("--print-address=1")});
    // A crashed test must not leave its daemon behind.
    daemon_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    daemon_.start(QIODevice::ReadOnly);
    if (!daemon_.waitForStarted(10000)) {
        return false;
    }
    while (!daemon_.canReadLine()) {
        if (!daemon_.waitForReadyRead(10000)) {
            return false;
        }
    }
    address_ = QString::fromLocal8Bit(daemon_.readLine()).trimmed();
    if (address_.isEmpty()) {
        return false;
    }
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address_.toLocal8Bit());
    qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toLocal8Bit());
    return true;
}

} // namespace horavia::test
