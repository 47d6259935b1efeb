#pragma once

#include "audio/FadeTimer.h"

#include <memory>

class QTimer;

namespace horavia {

// FadeTimer on a QTimer of the thread that creates it.
class QtFadeTimer final : public FadeTimer {
public:
    QtFadeTimer();
    ~QtFadeTimer() override;

    void SetHandler(std::function<void()> onTick) override;
    void SetInterval(int ms) override;
    void SetEnabled(bool enabled) override;
    bool Enabled() const override;

private:
    std::unique_ptr<QTimer> timer_;
};

} // namespace horavia
