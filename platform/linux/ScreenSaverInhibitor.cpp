#include "platform/linux/ScreenSaverInhibitor.h"

#include <QMetaType>

#include <utility>

namespace horavia {

namespace {

QDBusMessage ScreenSaverCall(const QString& method) {
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                                       QStringLiteral("/org/freedesktop/ScreenSaver"),
                                                       QStringLiteral("org.freedesktop.ScreenSaver"), method);
    call.setAutoStartService(false);
    return call;
}

} // namespace

ScreenSaverInhibitor::ScreenSaverInhibitor(const QDBusConnection& sessionBus, QString reason, QString purpose,
                                           QObject* parent)
    : Inhibitor(sessionBus, std::move(purpose), parent), reason_(std::move(reason)) {}

ScreenSaverInhibitor::~ScreenSaverInhibitor() {
    if (Holds()) {
        Drop();
    }
}

QDBusMessage ScreenSaverInhibitor::TakeCall() const {
    QDBusMessage call = ScreenSaverCall(QStringLiteral("Inhibit"));
    call << QStringLiteral("Horavia") << reason_;
    return call;
}

bool ScreenSaverInhibitor::Keep(const QDBusMessage& reply) {
    const QList<QVariant> args = reply.arguments();
    if (args.size() != 1 || args.front().metaType() != QMetaType::fromType<uint>()) {
        return false;
    }
    cookie_ = args.front().toUInt();
    return true;
}

void ScreenSaverInhibitor::Drop() {
    QDBusMessage call = ScreenSaverCall(QStringLiteral("UnInhibit"));
    call << *cookie_;
    cookie_.reset();
    // Nothing useful can follow a failed release, so its answer is not awaited.
    Bus().send(call);
}

} // namespace horavia
