#pragma once

#include "platform/linux/Inhibitor.h"

#include <QDBusUnixFileDescriptor>

namespace horavia {

// A logind inhibitor lock (org.freedesktop.login1.Manager.Inhibit on the system bus). logind keeps the lock for
// as long as any copy of the descriptor it hands out stays open, so releasing it is closing our copy.
class LogindInhibitor final : public Inhibitor {
    Q_OBJECT

public:
    /// what: "idle", "sleep", ...; mode: "block" or "delay"; why: the reason that tools such as systemd-inhibit show.
    LogindInhibitor(const QDBusConnection& systemBus, QString what, QString why, QString mode, QString purpose,
                    QObject* parent = nullptr);
    ~LogindInhibitor() override;

protected:
    QDBusMessage TakeCall() const override;
    bool Keep(const QDBusMessage& reply) override;
    void Drop() override;
    bool Holds() const override { return fd_.isValid(); }

private:
    QString what_;
    QString why_;
    QString mode_;
    QDBusUnixFileDescriptor fd_;
};

} // namespace horavia
