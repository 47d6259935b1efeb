#pragma once

#include "platform/linux/Inhibitor.h"

#include <optional>

namespace horavia {

// Keeps the screensaver and the display's power saving off through org.freedesktop.ScreenSaver on the session
// bus: Inhibit gives a cookie, UnInhibit with that cookie ends it.
class ScreenSaverInhibitor final : public Inhibitor {
    Q_OBJECT

public:
    ScreenSaverInhibitor(const QDBusConnection& sessionBus, QString reason, QString purpose, QObject* parent = nullptr);
    ~ScreenSaverInhibitor() override;

protected:
    QDBusMessage TakeCall() const override;
    bool Keep(const QDBusMessage& reply) override;
    void Drop() override;
    bool Holds() const override { return cookie_.has_value(); }

private:
    QString reason_;
    std::optional<quint32> cookie_;
};

} // namespace horavia
