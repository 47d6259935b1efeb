#pragma once

#include "display/Bitmap.h"
#include "display/Rect.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>

namespace horavia {

class Surface;
class TPngImageCollection;

// A clickable picture drawn on the window's surface: close, minimize, the tabs, the splitter and the
// LCD buttons. It draws its normal or hovered picture into its rectangle, tracks the mouse and
// reports clicks to its owner. Not a window control: the window routes its mouse events to it.
class TDxButton {
public:
    explicit TDxButton(Surface* dxDraw) : DXDraw(dxDraw) {}
    virtual ~TDxButton() = default;
    TDxButton(const TDxButton&) = delete;
    TDxButton& operator=(const TDxButton&) = delete;

    // Stores the rectangle; no drawing.
    void SetBounds(const TRect& r);
    // Looks both picture names up again.
    void ResolveImages();
    // Stores the flag; no drawing (a hidden button stays on the surface until the area is repainted).
    void SetVisible(bool visible);
    // Redraws the button when the flag changes and the button has been drawn before.
    void SetHovered(bool hovered);
    void Click();
    void Draw();

    const TPngImageCollection* Images = nullptr; // where the pictures are looked up; not owned
    std::string NormalImage;
    std::string HoverImage;
    int NormalIndex = -1; // -1: not looked up yet
    int HoverIndex = -1;
    std::unique_ptr<Bitmap> SavedBackground; // the surface under the button at its first drawing
    bool CenterImage = false;                // centre the picture horizontally (the tabs)
    QString Caption;                         // written under the picture while hovered (the tabs)
    bool HandCursor = false;
    bool Visible = true;
    bool TabMember = false;    // belongs to the tab row that the splitter shows and hides
    Surface* DXDraw = nullptr; // not owned
    TRect BoundsRect;
    bool Hovered = false;
    std::function<void(TDxButton*)> OnClick;
};

// A button on the LCD; the tab-row toggle finds and hides these by their kind.
class TDxLCDButton final : public TDxButton {
public:
    using TDxButton::TDxButton;
};

} // namespace horavia
