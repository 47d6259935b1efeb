#pragma once

#include "platform/Power.h"
#include "platform/linux/LogindInhibitor.h"
#include "platform/linux/ScreenSaverInhibitor.h"

#include <QDBusConnection>
#include <QObject>

namespace horavia {

// Keeps the machine awake through the desktop's services: the screensaver service's inhibit keeps the display on
// (window shown), a logind "idle" block keeps the system from sleeping for idleness (window minimized).
//
// The tick asks five times a second, so the locks are taken and released only when the wanted state changes;
// asking again for the state already held costs nothing and sends nothing. No request ever waits for a service.
// Where a bus or a service is missing, one line is logged and the requests do nothing.
class LinuxPower final : public QObject, public Power {
    Q_OBJECT

public:
    explicit LinuxPower(const QDBusConnection& systemBus = QDBusConnection::systemBus(),
                        const QDBusConnection& sessionBus = QDBusConnection::sessionBus(), QObject* parent = nullptr);
    ~LinuxPower() override;

    void KeepSystemAwake() override;
    void KeepDisplayOn() override;
    void KeepBothAwake() override;

    /// Whether the screensaver service currently holds our inhibit.
    bool HoldsDisplayLock() const { return display_.IsHeld(); }
    /// Whether logind currently holds our idle block.
    bool HoldsIdleLock() const { return idle_.IsHeld(); }
    /// Whether a take is still on its way to either service.
    bool IsSettling() const { return display_.IsPending() || idle_.IsPending(); }

private:
    void Want(bool display, bool system);

    ScreenSaverInhibitor display_;
    LogindInhibitor idle_;
};

} // namespace horavia
