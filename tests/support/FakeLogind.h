#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

#include <vector>

namespace horavia::test {

// Stands in for logind's manager on a private bus: hands out real inhibitor descriptors (the write end of a
// pipe, whose read end it keeps to see when the holder lets go), names a session and sends logind's signals.
class FakeLogind final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    struct InhibitRecord {
        QString what;
        QString who;
        QString why;
        QString mode;
        int readEnd = -1;
    };

    static inline const QString SessionPath = QStringLiteral("/org/freedesktop/login1/session/_31");

    explicit FakeLogind(const QDBusConnection& connection, QObject* parent = nullptr);
    ~FakeLogind() override;

    /// Forgets every record (closing the kept pipe ends) and stops failing.
    void Reset();

    const std::vector<InhibitRecord>& Inhibits() const { return inhibits_; }
    /// Whether every copy of the descriptor handed out by Inhibit call i has been closed.
    bool IsReleased(std::size_t i) const;
    /// How many locks of this kind are still held by someone.
    int HeldCount(const QString& what) const;
    int GetSessionCalls() const { return getSessionCalls_; }

    void EmitPrepareForSleep(bool start);
    /// Sends the session's "Lock" or "Unlock" signal from the given session.
    void EmitSessionSignal(const QString& name, const QString& path = SessionPath);
    void EmitSessionActive(bool active, const QString& path = SessionPath);

    bool FailInhibit = false; // answer Inhibit with an access-denied error

public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why, const QString& mode);
    QDBusObjectPath GetSession(const QString& id);
    /// Answers once every call sent before it has been handled.
    void Ping() {}

private:
    QDBusConnection connection_;
    std::vector<InhibitRecord> inhibits_;
    int getSessionCalls_ = 0;
};

} // namespace horavia::test
