#include "FakeScreenSaver.h"

namespace horavia::test {

void FakeScreenSaver::Reset() {
    InhibitCalls = 0;
    UnInhibitCalls = 0;
    UnknownCookies = 0;
    Active.clear();
    LastApplication.clear();
    LastReason.clear();
    FailInhibit = false;
}

uint FakeScreenSaver::Inhibit(const QString& application, const QString& reason) {
    ++InhibitCalls;
    LastApplication = application;
    LastReason = reason;
    if (FailInhibit) {
        sendErrorReply(QDBusError::NotSupported, QStringLiteral("inhibiting is off"));
        return 0;
    }
    const uint cookie = nextCookie_++;
    Active.insert(cookie);
    return cookie;
}

void FakeScreenSaver::UnInhibit(uint cookie) {
    ++UnInhibitCalls;
    if (!Active.remove(cookie)) {
        ++UnknownCookies;
    }
}

} // namespace horavia::test
