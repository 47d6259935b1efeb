#include "app/TrayBehaviour.h"

#include "app/Guarded.h"
#include "display/ImageAssets.h"
#include "engine/MinimizeBehaviour.h"

#include <QTimer>
#include <QWidget>

#include <utility>

namespace horavia {

TrayBehaviour::TrayBehaviour(QWidget& window, const Settings& config, std::function<void()> onIconClick)
    : window_(window), config_(config), TrayIcon(&window) {
    TrayIcon.setIcon(LoadProgramIcon());
    TrayIcon.setToolTip(QStringLiteral("Horavia"));
    QObject::connect(&TrayIcon, &QSystemTrayIcon::activated, &window,
                     [click = std::move(onIconClick)] { Guarded("tray click", click); });
    ApplyTrayOption();
}

bool TrayBehaviour::ToTray() const {
    return ChooseMinimizeBehaviour(config_.MinimizeToTray, QSystemTrayIcon::isSystemTrayAvailable()) ==
           MinimizeBehaviour::HideToTray;
}

// One rule for the icon: it shows while the window is hidden in the tray, and only then (the way back).
void TrayBehaviour::ApplyTrayOption() {
    TrayIcon.setVisible(inTray_);
}

void TrayBehaviour::Minimize() {
    if (ToTray()) {
        inTray_ = true;
        ApplyTrayOption();
        window_.hide();
    } else {
        window_.showMinimized();
    }
}

void TrayBehaviour::WindowStateChanged() {
    if (window_.isMinimized() && ToTray()) {
        QTimer::singleShot(0, &window_, [this] { Minimize(); });
    }
}

void TrayBehaviour::Restore() {
    inTray_ = false;
    ApplyTrayOption();
    window_.showNormal();
    window_.raise();
    window_.activateWindow();
}

} // namespace horavia
