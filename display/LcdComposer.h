#pragma once

#include "display/Bitmap.h"
#include "display/ImageCollections.h"
#include "display/Rect.h"
#include "display/Surface.h"
#include "engine/DisplayMode.h"
#include "engine/LcdTexts.h"

#include <QString>

#include <vector>

namespace horavia {

// Composes the window's picture on the surface: the full background (gradient, frame, title and
// the LCD box) and, on every tick, the LCD interior with the digits. The static picture is built
// once per full repaint and cached, so a tick only copies the clean LCD ground and draws glyphs.
// Places are logical; the pictures it is given are those of the surface's ratio, drawn at the device
// pixel where their logical place lands.
class LcdComposer final {
public:
    static constexpr int BoxWidth = 368;
    static constexpr int BoxHeight = 134;
    static constexpr int BoxTopWithTabs = 103;

    LcdComposer(Surface& surface, const TImageCollections& images) : surface_(surface), images_(images) {}

    // The LCD box for a surface of this size, with or without the tab row above it.
    static TRect BoxFor(int surfaceWidth, int surfaceHeight, bool tabBarShown);

    // Rebuilds the background, places the LCD box, draws it all on the surface and presents.
    // Returns false, drawing nothing, when the surface cannot draw. Buttons are the caller's.
    bool RefreshBackground(bool tabBarShown, const QString& title);

    // Copies the rectangle r of the surface aside, to be put back by RestoreStrip.
    void SaveStrip(const TRect& r);
    // Puts the saved strip back at (x, y) and forgets it.
    void RestoreStrip(int x, int y);
    void DropStrip() { stripSaved_ = false; }
    bool StripSaved() const { return stripSaved_; }

    // Erases the LCD interior: the digits and the buttons on it.
    void EraseLcd();
    // Draws the texts of a mode at their places in the LCD box.
    void DrawTexts(TDisplayMode layout, const LcdTexts& texts);

    // The LCD now holds the texts DrawTexts drew last on the clean ground, with the buttons' strip kept as it
    // was: the next RedrawChangedGlyphs may build on that.
    void RememberComposition(const TRect& strip);
    void ForgetComposition() { remembered_ = false; }
    // Brings the LCD from the remembered composition to these texts by redrawing only the glyph cells that
    // differ, each on the clean ground, so the pixels are those a whole composition gives. A tick of the
    // stopwatch redraws its hundredths, a clock tick within the same second nothing. Returns false, drawing
    // nothing, when the LCD may hold anything else (nothing remembered, anyone drew on the surface since, the
    // strip is another), a glyph reaches past the LCD's interior, whose ground alone is renewed, or a changed
    // glyph meets the strip, which keeps its pixels. The caller then composes the LCD whole.
    bool RedrawChangedGlyphs(TDisplayMode layout, const LcdTexts& texts, const TRect& strip);
    // The texts on the LCD, as last drawn whole or in part.
    const LcdTexts& DrawnTexts() const { return drawnTexts_; }

    // In logical pixels.
    const TRect& LcdBox() const { return lcdBox_; }
    const TRect& LcdInner() const { return lcdInner_; }
    // In the surface's device pixels.
    const Bitmap& BackgroundBitmap() const { return background_; }
    const Bitmap& LcdBackground() const { return lcdBackground_; }

private:
    // One glyph at its place, in device pixels.
    struct PlacedGlyph {
        int Index = -1;
        TRect Box;
        friend bool operator==(const PlacedGlyph&, const PlacedGlyph&) = default;
    };

    double Ratio() const { return surface_.Ratio(); }
    int Device(int v) const { return DevicePixel(v, surface_.Ratio()); }
    TRect Device(const TRect& r) const { return DeviceRect(r, surface_.Ratio()); }
    void PaintWindowGradient();
    void PaintLcdGradient();
    void DrawFrame(const TPngImageCollection& pieces, const TRect& box, bool smallBottomCorners);
    // Where the texts of a mode go, in drawing order.
    void Place(TDisplayMode layout, const LcdTexts& texts, std::vector<PlacedGlyph>& placed) const;
    void PlaceGlyphs(const std::string& text, bool large, int x, int y, std::vector<PlacedGlyph>& placed) const;
    // The LCD interior under the device rectangle r composed anew: the clean ground and the glyphs.
    void RedrawCells(const TRect& r);
    // The logical rectangle whose device pixels cover the device rectangle r.
    TRect LogicalCover(const TRect& r) const;

    Surface& surface_;
    const TImageCollections& images_;
    Bitmap background_;    // gradient, frame, title and LCD box: no buttons, no digits
    Bitmap lcdBackground_; // the clean LCD interior, the per-tick eraser
    Bitmap strip_;         // the LCD buttons saved over one tick
    TRect stripRect_;      // where the strip was taken
    bool stripSaved_ = false;
    std::vector<PlacedGlyph> drawn_; // the glyphs of the last DrawTexts or RedrawChangedGlyphs
    TDisplayMode drawnLayout_ = dmClock;
    LcdTexts drawnTexts_;             // the texts drawn_ shows, in drawnLayout_
    std::vector<PlacedGlyph> placed_; // the glyphs of the texts being drawn
    std::vector<TRect> changedCells_; // where those differ, gathered by row
    bool remembered_ = false;         // the LCD holds drawn_ as composed whole or redrawn since
    TRect rememberedStrip_;           // logical
    long rememberedTouches_ = 0;      // the surface's touch count when the composition was remembered
    TRect lcdBox_ = BoxFor(Surface::DefaultWidth, Surface::DefaultHeight, true);
    TRect lcdInner_{lcdBox_.Left + 2, lcdBox_.Top + 2, lcdBox_.Right - 2, lcdBox_.Bottom - 2};
};

// top - round((top - bottom) * step / steps), halves to the even neighbour.
std::uint8_t GradientChannel(int top, int bottom, int step, int steps);

} // namespace horavia
