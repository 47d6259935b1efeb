#include "platform/linux/KdeWakeUp.h"

#include "base/Log.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDateTime>

namespace horavia {

namespace {

const QString Service = QStringLiteral("org.kde.Solid.PowerManagement");
const QString Path = QStringLiteral("/org/kde/Solid/PowerManagement");
const QString Interface = QStringLiteral("org.kde.Solid.PowerManagement");

} // namespace

KdeWakeUp::KdeWakeUp(const QDBusConnection& sessionBus) : bus_(sessionBus) {}

bool KdeWakeUp::Arm(std::int64_t seconds) {
    if (seconds <= 0) {
        return false;
    }
    const auto warnOnce = [this](const QString& message) {
        if (!warned_) {
            warned_ = true;
            qCWarning(lcPlatform).noquote() << message;
        }
    };
    if (!bus_.isConnected()) {
        warnOnce(QStringLiteral("No session bus: KDE's power management cannot be asked to wake the machine"));
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("scheduleWakeup"));
    // KDE calls back on the path it is given when it wakes the machine; no answer is needed there.
    const auto due = static_cast<qulonglong>(QDateTime::currentSecsSinceEpoch() + seconds);
    call << bus_.baseService() << QVariant::fromValue(QDBusObjectPath(QStringLiteral("/org/horavia/WakeUp"))) << due;
    call.setAutoStartService(false);
    // This runs while the machine waits for us to go to sleep: the request must be out before the sleep delay is
    // released, so the answer is awaited, briefly.
    const QDBusMessage reply = bus_.call(call, QDBus::Block, TimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        warnOnce(QStringLiteral("KDE's power management cannot schedule the wake-up (%1)").arg(reply.errorName()));
        return false;
    }
    if (!reply.arguments().isEmpty()) {
        cookies_.push_back(reply.arguments().constFirst().toUInt());
    }
    return true;
}

void KdeWakeUp::Disarm() {
    for (const uint cookie : cookies_) {
        QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("clearWakeup"));
        call << static_cast<int>(cookie);
        call.setAutoStartService(false);
        bus_.send(call); // nothing waits on the answer
    }
    cookies_.clear();
}

} // namespace horavia
