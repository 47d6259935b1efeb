#pragma once

#include "platform/Power.h"
#include "platform/Shell.h"
#include "platform/WakeUpProvider.h"

#include <QStringList>

#include <cstdint>
#include <stdexcept>
#include <vector>

namespace horavia::test {

// Records what the program asked the desktop to open.
class FakeShell final : public Shell {
public:
    bool OpenHelpTopic(const QString& topic) override {
        Topics << topic;
        return true;
    }
    bool OpenUrl(const QString& url) override {
        Urls << url;
        return true;
    }
    QStringList Topics;
    QStringList Urls;
};

// Counts keep-awake requests; can be told to fail to test that failures do not stop the caller.
class FakePower final : public Power {
public:
    void KeepSystemAwake() override {
        ++SystemRequests;
        MaybeFail();
    }
    void KeepDisplayOn() override {
        ++DisplayRequests;
        MaybeFail();
    }
    void KeepBothAwake() override {
        ++BothRequests;
        MaybeFail();
    }
    int SystemRequests = 0;
    int DisplayRequests = 0;
    int BothRequests = 0;
    bool Fail = false;

private:
    void MaybeFail() const {
        if (Fail) {
            throw std::runtime_error("power service failed");
        }
    }
};

// Records each wake-up asked for, in whole seconds from the asking.
class FakeWakeUp final : public WakeUpProvider {
public:
    bool Arm(std::int64_t seconds) override {
        Armed.push_back(seconds);
        return true;
    }
    void Disarm() override { ++Disarms; }
    QString Name() const override { return QStringLiteral("the test's wake-up"); }
    std::vector<std::int64_t> Armed;
    int Disarms = 0;
};

} // namespace horavia::test
