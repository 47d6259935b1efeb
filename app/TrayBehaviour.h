#pragma once

#include "settings/Settings.h"

#include <QSystemTrayIcon>

#include <functional>

class QWidget;

namespace horavia {

// Minimizing, to the tray when that option is on and a tray is there. The tray icon shows exactly while the
// window is hidden in the tray: it is the way back.
class TrayBehaviour final {
public:
    // onIconClick runs on a click on the icon (the window's TrayIconClick).
    TrayBehaviour(QWidget& window, const Settings& config, std::function<void()> onIconClick);

    // Hides the window to the tray, or minimizes it to the taskbar.
    void Minimize();
    // The window's state changed: a minimize from the taskbar or a key goes on to the tray too.
    void WindowStateChanged();
    // Brings the window back from the tray or the taskbar, in front.
    void Restore();
    // Shows the icon exactly while the window is in the tray.
    void ApplyTrayOption();

private:
    bool ToTray() const;

    QWidget& window_;
    const Settings& config_;
    QSystemTrayIcon TrayIcon;
    bool inTray_ = false;
};

} // namespace horavia
