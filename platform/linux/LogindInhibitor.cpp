#include "platform/linux/LogindInhibitor.h"

#include <utility>

namespace horavia {

LogindInhibitor::LogindInhibitor(const QDBusConnection& systemBus, QString what, QString why, QString mode,
                                 QString purpose, QObject* parent)
    : Inhibitor(systemBus, std::move(purpose), parent), what_(std::move(what)), why_(std::move(why)),
      mode_(std::move(mode)) {}

LogindInhibitor::~LogindInhibitor() = default;

QDBusMessage LogindInhibitor::TakeCall() const {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << what_ << QStringLiteral("Horavia") << why_ << mode_;
    return call;
}

bool LogindInhibitor::Keep(const QDBusMessage& reply) {
    const QList<QVariant> args = reply.arguments();
    if (args.size() != 1 || !args.front().canConvert<QDBusUnixFileDescriptor>()) {
        return false;
    }
    QDBusUnixFileDescriptor fd = args.front().value<QDBusUnixFileDescriptor>();
    if (!fd.isValid()) {
        return false;
    }
    fd_ = std::move(fd);
    return true;
}

void LogindInhibitor::Drop() {
    // Closes our descriptor; once the reply that carried it is gone too, logind sees the lock end.
    fd_ = QDBusUnixFileDescriptor();
}

} // namespace horavia
