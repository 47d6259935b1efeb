#include "FakeLogind.h"

#include <QDBusMessage>
#include <QVariantMap>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace horavia::test {

FakeLogind::FakeLogind(const QDBusConnection& connection, QObject* parent) : QObject(parent), connection_(connection) {}

FakeLogind::~FakeLogind() {
    Reset();
}

void FakeLogind::Reset() {
    for (const InhibitRecord& record : inhibits_) {
        if (record.readEnd >= 0) {
            ::close(record.readEnd);
        }
    }
    inhibits_.clear();
    getSessionCalls_ = 0;
    FailInhibit = false;
}

bool FakeLogind::IsReleased(std::size_t i) const {
    if (i >= inhibits_.size() || inhibits_[i].readEnd < 0) {
        return false;
    }
    pollfd p{inhibits_[i].readEnd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1 && (p.revents & POLLHUP) != 0;
}

int FakeLogind::HeldCount(const QString& what) const {
    int held = 0;
    for (std::size_t i = 0; i < inhibits_.size(); ++i) {
        if (inhibits_[i].what == what && inhibits_[i].readEnd >= 0 && !IsReleased(i)) {
            ++held;
        }
    }
    return held;
}

QDBusUnixFileDescriptor FakeLogind::Inhibit(const QString& what, const QString& who, const QString& why,
                                            const QString& mode) {
    if (FailInhibit) {
        inhibits_.push_back({what, who, why, mode, -1});
        sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Permission denied"));
        return {};
    }
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) {
        sendErrorReply(QDBusError::Failed, QStringLiteral("pipe failed"));
        return {};
    }
    inhibits_.push_back({what, who, why, mode, ends[0]});
    // The descriptor object holds its own duplicate; ours goes so that only the caller's copies keep the pipe open.
    QDBusUnixFileDescriptor handed(ends[1]);
    ::close(ends[1]);
    return handed;
}

QDBusObjectPath FakeLogind::GetSession(const QString& id) {
    ++getSessionCalls_;
    if (id != QStringLiteral("auto")) {
        sendErrorReply(QStringLiteral("org.freedesktop.login1.NoSuchSession"), id);
        return {};
    }
    return QDBusObjectPath(SessionPath);
}

void FakeLogind::EmitPrepareForSleep(bool start) {
    QDBusMessage signal =
        QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/login1"),
                                   QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"));
    signal << start;
    connection_.send(signal);
}

void FakeLogind::EmitSessionSignal(const QString& name, const QString& path) {
    connection_.send(QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.login1.Session"), name));
}

void FakeLogind::EmitSessionActive(bool active, const QString& path) {
    QDBusMessage signal = QDBusMessage::createSignal(path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.freedesktop.login1.Session") << QVariantMap{{QStringLiteral("Active"), active}}
           << QStringList{};
    connection_.send(signal);
}

} // namespace horavia::test
