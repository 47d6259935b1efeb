#include "FakeDesktop.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QTest>

namespace horavia::test {

namespace {

const QString LogindName = QStringLiteral("org.freedesktop.login1");
const QString ScreenSaverName = QStringLiteral("org.freedesktop.ScreenSaver");
const QString KdeName = QStringLiteral("org.kde.Solid.PowerManagement");

// A call to a fake from a client connection: once it is answered, everything that client sent before has been
// handled, since the bus and the fake keep each sender's calls in order.
bool Settle(const QDBusConnection& client, const QString& service, const QString& path, const QString& interface) {
    const QDBusPendingCall ping =
        client.asyncCall(QDBusMessage::createMethodCall(service, path, interface, QStringLiteral("Ping")));
    return QTest::qWaitFor([&] { return ping.isFinished(); }, 10000) && !ping.isError();
}

} // namespace

FakeDesktop::FakeDesktop(const QString& address)
    : connection_(QDBusConnection::connectToBus(address, QStringLiteral("horavia-fake-desktop"))),
      logind_(std::make_unique<FakeLogind>(connection_)), screenSaver_(std::make_unique<FakeScreenSaver>()) {
    ready_ = connection_.isConnected() &&
             connection_.registerObject(QStringLiteral("/org/freedesktop/login1"), logind_.get(),
                                        QDBusConnection::ExportAllSlots) &&
             connection_.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), screenSaver_.get(),
                                        QDBusConnection::ExportAllSlots) &&
             connection_.registerService(LogindName) && connection_.registerService(ScreenSaverName);
}

FakeDesktop::~FakeDesktop() {
    StopKde();
    connection_.unregisterObject(QStringLiteral("/org/freedesktop/login1"));
    connection_.unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
    QDBusConnection::disconnectFromBus(QStringLiteral("horavia-fake-desktop"));
}

FakeKdePowerManagement* FakeDesktop::StartKde() {
    if (kde_) {
        return kde_.get();
    }
    kde_ = std::make_unique<FakeKdePowerManagement>();
    kdeThread_.start();
    kde_->moveToThread(&kdeThread_);
    if (!connection_.registerObject(QStringLiteral("/org/kde/Solid/PowerManagement"), kde_.get(),
                                    QDBusConnection::ExportAllSlots) ||
        !connection_.registerService(KdeName)) {
        StopKde();
        return nullptr;
    }
    return kde_.get();
}

void FakeDesktop::StopKde() {
    if (!kde_) {
        return;
    }
    connection_.unregisterService(KdeName);
    connection_.unregisterObject(QStringLiteral("/org/kde/Solid/PowerManagement"));
    kdeThread_.quit();
    kdeThread_.wait();
    kde_.reset();
}

void FakeDesktop::Reset() {
    logind_->Reset();
    screenSaver_->Reset();
    StopKde();
}

bool FakeDesktop::SettleSystemBus() const {
    return Settle(QDBusConnection::systemBus(), LogindName, QStringLiteral("/org/freedesktop/login1"),
                  QStringLiteral("org.freedesktop.login1.Manager"));
}

bool FakeDesktop::SettleSessionBus() const {
    return Settle(QDBusConnection::sessionBus(), ScreenSaverName, QStringLiteral("/org/freedesktop/ScreenSaver"),
                  QStringLiteral("org.freedesktop.ScreenSaver"));
}

} // namespace horavia::test
