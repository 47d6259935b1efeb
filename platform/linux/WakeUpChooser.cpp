#include "platform/linux/WakeUpChooser.h"

#include "base/Log.h"
#include "platform/linux/KdeWakeUp.h"
#include "platform/linux/TimerFdWakeUp.h"

#include <QStringList>

#include <utility>

namespace horavia {

namespace {

std::vector<std::unique_ptr<WakeUpProvider>> LinuxProviders() {
    std::vector<std::unique_ptr<WakeUpProvider>> providers;
    providers.push_back(std::make_unique<TimerFdWakeUp>());
    providers.push_back(std::make_unique<KdeWakeUp>());
    return providers;
}

} // namespace

WakeUpChooser::WakeUpChooser() : make_(LinuxProviders) {}

WakeUpChooser::WakeUpChooser(std::vector<std::unique_ptr<WakeUpProvider>> providers)
    : providers_(std::move(providers)) {}

const std::vector<std::unique_ptr<WakeUpProvider>>& WakeUpChooser::Providers() {
    if (make_) {
        providers_ = std::exchange(make_, nullptr)();
    }
    return providers_;
}

bool WakeUpChooser::Arm(std::int64_t seconds) {
    if (seconds <= 0) {
        return false; // nothing left to wake for
    }
    for (const auto& provider : Providers()) {
        if (provider->Arm(seconds)) {
            armedBy_ = provider.get();
            return true;
        }
    }
    if (!warned_) {
        warned_ = true;
        QStringList tried;
        for (const auto& provider : providers_) {
            tried << provider->Name();
        }
        qCWarning(lcPlatform).noquote() << QStringLiteral("Nothing can wake the machine (tried %1): a countdown ends "
                                                          "at the first tick after the user wakes it")
                                               .arg(tried.join(QStringLiteral(", ")));
    }
    return false;
}

void WakeUpChooser::Disarm() {
    // Mechanisms not made yet have armed nothing.
    for (const auto& provider : providers_) {
        provider->Disarm();
    }
}

QString WakeUpChooser::Name() const {
    return armedBy_ != nullptr ? armedBy_->Name() : QStringLiteral("nothing");
}

} // namespace horavia
