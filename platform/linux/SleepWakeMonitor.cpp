#include "platform/linux/SleepWakeMonitor.h"

#include "base/Log.h"

#include <QDBusPendingCallWatcher>

namespace horavia {

namespace {

const QString LogindService = QStringLiteral("org.freedesktop.login1");
const QString LogindPath = QStringLiteral("/org/freedesktop/login1");
const QString ManagerInterface = QStringLiteral("org.freedesktop.login1.Manager");
const QString SessionInterface = QStringLiteral("org.freedesktop.login1.Session");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

constexpr int CallTimeoutMs = 5000;

} // namespace

SleepWakeMonitor::SleepWakeMonitor(const QDBusConnection& systemBus, QObject* parent)
    : QObject(parent), bus_(systemBus),
      delay_(systemBus, QStringLiteral("sleep"), QStringLiteral("Arming the wake-up for a running countdown"),
             QStringLiteral("delay"), QStringLiteral("delay sleep to arm the wake-up (logind on the system bus)")) {}

SleepWakeMonitor::~SleepWakeMonitor() = default;

void SleepWakeMonitor::Start() {
    if (started_) {
        return;
    }
    started_ = true;
    if (!bus_.isConnected()) {
        qCWarning(lcPlatform) << "No system bus: sleep, wake and session changes are not followed;"
                              << "a countdown ends at the first tick after a wake";
        return;
    }
    // Subscribe before taking the delay: the bus handles our messages in order, so once the delay is held the
    // subscription is in place too.
    if (!bus_.connect(LogindService, LogindPath, ManagerInterface, QStringLiteral("PrepareForSleep"), this,
                      SLOT(OnPrepareForSleep(bool)))) {
        qCWarning(lcPlatform) << "Cannot follow logind's PrepareForSleep:" << bus_.lastError().message();
    }
    delay_.SetWanted(true);
    FollowSession();
}

void SleepWakeMonitor::OnPrepareForSleep(bool start) {
    if (start) {
        Q_EMIT suspending();
        // The handlers have run: logind may go on with the sleep now.
        delay_.SetWanted(false);
        return;
    }
    Q_EMIT resumed();
    delay_.SetWanted(true);
}

void SleepWakeMonitor::FollowSession() {
    // "auto" is the caller's own session, or the user's graphical one when the program runs outside any session
    // (as desktop launchers start programs in their own scopes nowadays).
    QDBusMessage call =
        QDBusMessage::createMethodCall(LogindService, LogindPath, ManagerInterface, QStringLiteral("GetSession"));
    call << QStringLiteral("auto");
    call.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, CallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        OnSessionFound(w->reply());
    });
}

void SleepWakeMonitor::OnSessionFound(const QDBusMessage& reply) {
    const QList<QVariant> args = reply.arguments();
    if (reply.type() != QDBusMessage::ReplyMessage || args.size() != 1 || !args.front().canConvert<QDBusObjectPath>()) {
        qCWarning(lcPlatform).noquote() << "Cannot find our logind session, session changes are not followed:"
                                        << reply.errorName() << reply.errorMessage();
        return;
    }
    const QString path = args.front().value<QDBusObjectPath>().path();
    const bool lock =
        bus_.connect(LogindService, path, SessionInterface, QStringLiteral("Lock"), this, SLOT(OnSessionLockChanged()));
    const bool unlock = bus_.connect(LogindService, path, SessionInterface, QStringLiteral("Unlock"), this,
                                     SLOT(OnSessionLockChanged()));
    const bool properties = bus_.connect(LogindService, path, PropertiesInterface, QStringLiteral("PropertiesChanged"),
                                         this, SLOT(OnSessionPropertiesChanged(QString, QVariantMap, QStringList)));
    if (!lock || !unlock || !properties) {
        qCWarning(lcPlatform) << "Cannot follow all changes of the session" << path << ":"
                              << bus_.lastError().message();
    }
    sessionPath_ = path;
}

void SleepWakeMonitor::OnSessionLockChanged() {
    Q_EMIT sessionChanged();
}

void SleepWakeMonitor::OnSessionPropertiesChanged(const QString& interfaceName, const QVariantMap& changed,
                                                  const QStringList& invalidated) {
    Q_UNUSED(invalidated)
    if (interfaceName != SessionInterface) {
        return;
    }
    const auto active = changed.constFind(QStringLiteral("Active"));
    if (active != changed.constEnd() && active->toBool()) {
        Q_EMIT sessionChanged();
    }
}

} // namespace horavia
