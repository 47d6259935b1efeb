#pragma once

#include <QObject>

class QSocketNotifier;

namespace horavia {

// Turns SIGTERM, SIGINT and SIGHUP (the session ending, `kill`, Ctrl+C) into a Qt signal delivered
// on the event loop, so that the program can close its window and save as the close button does.
// The handler only writes a byte to a pipe: nothing else is safe inside a signal handler.
class TerminationSignals final : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    /// Whether the handlers are in place; false when the pipe could not be made (logged).
    bool IsWatching() const { return notifier_ != nullptr; }

Q_SIGNALS:
    /// One of the signals arrived; `number` is which.
    void received(int number);

private:
    void Drain();

    QSocketNotifier* notifier_ = nullptr;
};

} // namespace horavia
