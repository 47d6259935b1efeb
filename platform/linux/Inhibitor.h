#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

namespace horavia {

// A lock held with a desktop service over D-Bus that is taken and released to follow what the program wants.
// Requests never wait for the service: the take is an asynchronous call, and a reply that arrives after the lock
// stopped being wanted is handed straight back. A failure is logged once; the take is tried again when the lock
// is wanted anew, or after a run of unanswered requests in case the service has started since.
class Inhibitor : public QObject {
    Q_OBJECT

public:
    ~Inhibitor() override;

    /// Takes or releases the lock so that it is held exactly while wanted; costs nothing when that already holds.
    void SetWanted(bool wanted);
    /// Whether the service granted the lock and it has not been released since.
    bool IsHeld() const { return Holds(); }
    /// Whether a take is on its way to the service.
    bool IsPending() const { return pending_; }

    // Requests of a wanted lock that failed before the take is tried again: a minute of ticks.
    static constexpr int RetryAfterRequests = 300;

protected:
    Inhibitor(const QDBusConnection& bus, QString purpose, QObject* parent);

    const QDBusConnection& Bus() const { return bus_; }

    /// The call that asks the service for the lock.
    virtual QDBusMessage TakeCall() const = 0;
    /// Keeps what the service's reply grants; false when the reply carries nothing usable.
    virtual bool Keep(const QDBusMessage& reply) = 0;
    /// Gives the lock back to the service; only called while it is held.
    virtual void Drop() = 0;
    /// Whether the lock is held now.
    virtual bool Holds() const = 0;

private:
    void Take();
    void OnTakeFinished(QDBusPendingCallWatcher* watcher);
    void WarnOnce(const QString& why);

    QDBusConnection bus_;
    QString purpose_; // what the lock is for, as the log names it
    bool wanted_ = false;
    bool pending_ = false;
    bool warned_ = false;
    int retryIn_ = 0; // wanted requests to let pass before trying again after a failure
};

} // namespace horavia
