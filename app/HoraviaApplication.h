#pragma once

#include <QApplication>

namespace horavia {

// The application object. Its event delivery is the application-wide error handler: a failure in
// any event handler is logged and dropped, never shown, and the event loop goes on.
class HoraviaApplication final : public QApplication {
    Q_OBJECT

public:
    HoraviaApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace horavia
