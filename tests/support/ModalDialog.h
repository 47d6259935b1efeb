#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

namespace horavia::test {

// Acts on the next modal dialog of type D once the code under test shows it with exec(): the test's
// hand on a dialog. It looks as soon as the event loop runs and keeps looking for a short while, so
// that it can be set up before another modal dialog that comes first.
template <typename D> void WhenShown(std::function<void(D*)> act, int triesLeft = 300) {
    QTimer::singleShot(triesLeft == 300 ? 0 : 10, [act, triesLeft] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            act(dialog);
        } else if (triesLeft > 0) {
            WhenShown<D>(act, triesLeft - 1);
        }
    });
}

} // namespace horavia::test
