#include "platform/linux/LinuxPower.h"

namespace horavia {

LinuxPower::LinuxPower(const QDBusConnection& systemBus, const QDBusConnection& sessionBus, QObject* parent)
    : QObject(parent), display_(sessionBus, QStringLiteral("The timer is on screen"),
                                QStringLiteral("keep the display on (org.freedesktop.ScreenSaver on the session bus)")),
      idle_(systemBus, QStringLiteral("idle"), QStringLiteral("The timer is running"), QStringLiteral("block"),
            QStringLiteral("keep the system from idle sleep (logind on the system bus)")) {}

LinuxPower::~LinuxPower() = default;

void LinuxPower::KeepSystemAwake() {
    Want(false, true);
}

void LinuxPower::KeepDisplayOn() {
    Want(true, false);
}

void LinuxPower::KeepBothAwake() {
    Want(true, true);
}

void LinuxPower::Want(bool display, bool system) {
    display_.SetWanted(display);
    idle_.SetWanted(system);
}

} // namespace horavia
