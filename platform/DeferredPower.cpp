#include "platform/DeferredPower.h"

#include <utility>

namespace horavia {

DeferredPower::DeferredPower(Factory make) : make_(std::move(make)) {}

DeferredPower::~DeferredPower() = default;

void DeferredPower::Start() {
    if (power_) {
        return;
    }
    power_ = make_ ? make_() : nullptr;
    if (!power_) {
        power_ = std::make_unique<NoPower>();
    }
    const Wish wish = std::exchange(wish_, Wish::None);
    Ask(wish);
}

void DeferredPower::KeepSystemAwake() {
    Ask(Wish::System);
}

void DeferredPower::KeepDisplayOn() {
    Ask(Wish::Display);
}

void DeferredPower::KeepBothAwake() {
    Ask(Wish::Both);
}

void DeferredPower::Ask(Wish wish) {
    if (!power_) {
        wish_ = wish;
        return;
    }
    switch (wish) {
    case Wish::None:
        break;
    case Wish::System:
        power_->KeepSystemAwake();
        break;
    case Wish::Display:
        power_->KeepDisplayOn();
        break;
    case Wish::Both:
        power_->KeepBothAwake();
        break;
    }
}

} // namespace horavia
