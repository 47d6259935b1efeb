#include "display/TDxButton.h"

#include "display/ImageDraw.h"
#include "display/PngImageCollection.h"
#include "display/Surface.h"

namespace horavia {

void TDxButton::SetBounds(const TRect& r) {
    // The saved ground belongs to the old place: a button that moves takes the ground anew at its
    // next drawing, so its transparent parts show what lies under its new place.
    if (r != BoundsRect) {
        SavedBackground.reset();
    }
    BoundsRect = r;
}

void TDxButton::ResolveImages() {
    if (Images != nullptr) {
        NormalIndex = Images->IndexOf(NormalImage);
        HoverIndex = Images->IndexOf(HoverImage);
    }
}

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

void TDxButton::Draw() {
    if (DXDraw == nullptr) {
        return;
    }
    if (!SavedBackground) {
        SavedBackground = std::make_unique<Bitmap>();
        DXDraw->CopyRect(BoundsRect, *SavedBackground);
    }
    if (Images == nullptr) {
        return;
    }
    if (NormalIndex == -1) {
        NormalIndex = Images->IndexOf(NormalImage);
    }
    if (HoverIndex == -1) {
        HoverIndex = Images->IndexOf(HoverImage);
    }
    if (!DXDraw->CanDraw()) {
        return;
    }
    if (Visible) {
        // Places are logical; the saved ground and the picture are device pixels of the surface's ratio.
        const double ratio = DXDraw->Ratio();
        Bitmap& canvas = DXDraw->Canvas();
        CopyBitmap(*SavedBackground, canvas, DevicePixel(BoundsRect.Left, ratio), DevicePixel(BoundsRect.Top, ratio));
        DXDraw->Touch(BoundsRect);
        // A name missing from the collection leaves -1, which Item refuses: the drawing ends here.
        const TPngImage& picture = Images->Item(Hovered ? HoverIndex : NormalIndex);
        const int width = picture.LogicalWidth();
        const int x = CenterImage ? BoundsRect.Left + (BoundsRect.Width() - width) / 2 : BoundsRect.Left;
        horavia::Draw(picture, canvas, DevicePixel(x, ratio), DevicePixel(BoundsRect.Top, ratio));
        DXDraw->Touch({x, BoundsRect.Top, x + width, BoundsRect.Top + picture.LogicalHeight()});
        if (Hovered && !Caption.isEmpty()) {
            const QFont font = Surface::TahomaFont(false);
            const int captionX = BoundsRect.Left + BoundsRect.Width() / 2 - Surface::TextWidth(Caption, font) / 2;
            const int captionY = BoundsRect.Top + picture.LogicalHeight() + 2;
            Surface::TextOut(canvas, ratio, captionX, captionY, Caption, font);
            DXDraw->Touch(Surface::TextBox(captionX, captionY, Caption, font));
        }
    }
    DXDraw->Present();
}

} // namespace horavia
