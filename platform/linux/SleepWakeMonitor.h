#pragma once

#include "platform/linux/LogindInhibitor.h"

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace horavia {

// Follows logind for the window: the machine going to sleep and waking, and the user's session being locked,
// unlocked or becoming active again.
//
// A "sleep" delay lock is held while awake, so that logind waits for suspending() to be handled (the tick
// stopped, the wake-up armed) before the machine sleeps; the lock is released as soon as the handlers return
// and taken again on resume. Without a system bus or logind, one line is logged and no signal ever comes.
class SleepWakeMonitor final : public QObject {
    Q_OBJECT

public:
    explicit SleepWakeMonitor(const QDBusConnection& systemBus = QDBusConnection::systemBus(),
                              QObject* parent = nullptr);
    ~SleepWakeMonitor() override;

    /// Subscribes to logind and takes the sleep delay; call once, after connecting to the signals.
    void Start();

    /// Whether logind holds our sleep delay, so that it waits for suspending() before sleeping.
    bool HoldsSleepDelay() const { return delay_.IsHeld(); }
    /// The session whose lock and activity are followed; empty until logind has named it.
    QString SessionPath() const { return sessionPath_; }

Q_SIGNALS:
    /// The machine is about to sleep; emitted synchronously before the sleep delay is released.
    void suspending();
    /// The machine woke up; emitted once for every wake logind announces.
    void resumed();
    /// The session was locked or unlocked, or became the active one again: the screen may need a full repaint.
    void sessionChanged();

private Q_SLOTS:
    void OnPrepareForSleep(bool start);
    void OnSessionLockChanged();
    void OnSessionPropertiesChanged(const QString& interfaceName, const QVariantMap& changed,
                                    const QStringList& invalidated);

private:
    void FollowSession();
    void OnSessionFound(const QDBusMessage& reply);

    QDBusConnection bus_;
    LogindInhibitor delay_;
    QString sessionPath_;
    bool started_ = false;
};

} // namespace horavia
