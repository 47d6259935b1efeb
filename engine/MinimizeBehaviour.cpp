#include "engine/MinimizeBehaviour.h"

namespace horavia {

MinimizeBehaviour ChooseMinimizeBehaviour(bool minimizeToTray, bool systemTrayAvailable) {
    return minimizeToTray && systemTrayAvailable ? MinimizeBehaviour::HideToTray : MinimizeBehaviour::MinimizeToTaskbar;
}

} // namespace horavia
