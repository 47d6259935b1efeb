#pragma once

#include "base/Log.h"

#include <exception>
#include <utility>

namespace horavia {

// Runs one event handler so that a failure ends that handler only: it is logged and the program
// goes on, as it would after any handler that stops where it failed.
template <typename F> void Guarded(const char* where, F&& handler) {
    try {
        std::forward<F>(handler)();
    } catch (const std::exception& e) {
        qCWarning(lcApp) << where << "failed:" << e.what();
    } catch (...) {
        qCWarning(lcApp) << where << "failed with an unknown error";
    }
}

} // namespace horavia
