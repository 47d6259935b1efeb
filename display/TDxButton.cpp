#include "display/TDxButton.h"

namespace horavia {

void TDxButton::SetVisible(bool visible) {
    Visible = visible;
    ResolveImages();
}

void TDxButton::SetHovered(bool hovered) {
    if (hovered == Hovered || !Visible) {
        return;
    }
    Hovered = hovered;
    if (SavedBackground) {
        Draw();
    }
}

void TDxButton::Click() {
    if (OnClick) {
        OnClick(this);
    }
}

} // namespace horavia
