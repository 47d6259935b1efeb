#pragma once

#include <QString>

#include <stdexcept>

namespace horavia {

// Raised by the settings store with a message naming the value or key that failed,
// e.g. "Invalid data type for 'TimeFormat'". Loading and saving let it reach their caller.
class RegistryError final : public std::runtime_error {
public:
    explicit RegistryError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}

    const QString& Message() const { return message_; }

private:
    QString message_;
};

} // namespace horavia
