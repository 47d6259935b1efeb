#pragma once

namespace horavia {

// What minimizing the main window does.
enum class MinimizeBehaviour {
    HideToTray,       // the window is hidden; the tray icon brings it back
    MinimizeToTaskbar // an ordinary minimize
};

/// Hides to the tray only when the user asked for it and a tray exists to bring the window back from: without
/// one, a hidden window could not be reached again.
MinimizeBehaviour ChooseMinimizeBehaviour(bool minimizeToTray, bool systemTrayAvailable);

} // namespace horavia
