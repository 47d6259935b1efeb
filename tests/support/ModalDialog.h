#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

namespace horavia::test {

// Acts on the next modal dialog of type D as soon as its event loop runs: the test's hand on a
// dialog that the code under test shows with exec().
template <typename D>
void WhenShown(std::function<void(D*)> act) {
    QTimer::singleShot(0, [act] {
        if (auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget())) {
            act(dialog);
        }
    });
}

} // namespace horavia::test
