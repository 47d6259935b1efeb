#pragma once

#include <QDBusContext>
#include <QObject>
#include <QSet>
#include <QString>

namespace horavia::test {

// Stands in for the desktop's screensaver service: Inhibit gives a fresh cookie, UnInhibit ends it.
class FakeScreenSaver final : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    using QObject::QObject;

    void Reset();

    int InhibitCalls = 0;
    int UnInhibitCalls = 0;
    int UnknownCookies = 0; // UnInhibit calls with a cookie that was never given or already ended
    QSet<uint> Active;      // cookies given and not yet ended
    QString LastApplication;
    QString LastReason;
    bool FailInhibit = false; // answer Inhibit with an error

public Q_SLOTS:
    uint Inhibit(const QString& application, const QString& reason);
    void UnInhibit(uint cookie);
    /// Answers once every call sent before it has been handled.
    void Ping() {}

private:
    uint nextCookie_ = 100;
};

} // namespace horavia::test
