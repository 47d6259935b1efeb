#include "platform/linux/Inhibitor.h"

#include "base/Log.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <limits>
#include <utility>

namespace horavia {

namespace {

// Generous for a local service, yet a hung one cannot keep a take pending for the default 25 s.
constexpr int TakeTimeoutMs = 5000;

} // namespace

Inhibitor::Inhibitor(const QDBusConnection& bus, QString purpose, QObject* parent)
    : QObject(parent), bus_(bus), purpose_(std::move(purpose)) {}

Inhibitor::~Inhibitor() = default;

void Inhibitor::SetWanted(bool wanted) {
    if (wanted && !wanted_) {
        // A fresh wish deserves a fresh try, even right after a failure.
        retryIn_ = 0;
    }
    wanted_ = wanted;
    if (!wanted) {
        if (Holds()) {
            Drop();
        }
        return;
    }
    if (Holds() || pending_) {
        return;
    }
    if (retryIn_ > 0) {
        --retryIn_;
        return;
    }
    Take();
}

void Inhibitor::Take() {
    if (!bus_.isConnected()) {
        WarnOnce(QStringLiteral("no D-Bus connection"));
        // A connection that failed is never made again, so there is nothing to retry.
        retryIn_ = std::numeric_limits<int>::max();
        return;
    }
    QDBusMessage call = TakeCall();
    call.setAutoStartService(false);
    pending_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, TakeTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, &Inhibitor::OnTakeFinished);
}

void Inhibitor::OnTakeFinished(QDBusPendingCallWatcher* watcher) {
    pending_ = false;
    const QDBusMessage reply = watcher->reply();
    // The watcher keeps a copy of the reply, and with it any descriptor the service sent; it must go.
    watcher->deleteLater();
    if (reply.type() != QDBusMessage::ReplyMessage) {
        WarnOnce(reply.errorName() + QStringLiteral(": ") + reply.errorMessage());
        retryIn_ = RetryAfterRequests;
        return;
    }
    if (!Keep(reply)) {
        WarnOnce(QStringLiteral("unexpected reply signature \"%1\"").arg(reply.signature()));
        retryIn_ = RetryAfterRequests;
        return;
    }
    if (!wanted_) {
        Drop();
    }
}

void Inhibitor::WarnOnce(const QString& why) {
    if (warned_) {
        return;
    }
    warned_ = true;
    qCWarning(lcPlatform).noquote() << "Cannot" << purpose_ << "-" << why;
}

} // namespace horavia
