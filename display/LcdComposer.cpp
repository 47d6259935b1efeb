#include "display/LcdComposer.h"

#include "display/GlyphIndex.h"
#include "display/ImageDraw.h"

#include <algorithm>
#include <cmath>

namespace horavia {
namespace {

constexpr Rgb8 WindowTop{225, 225, 225};
constexpr Rgb8 WindowBottom{151, 149, 150};
constexpr Rgb8 LcdTop{254, 255, 232};
constexpr Rgb8 LcdBottom{214, 219, 191};
constexpr int LargeAdvance = 36;
constexpr int SmallAdvance = 18;

// Positions of the frame pieces in both frame collections.
enum FramePiece { LeftTop, RightTop, RightBottom, LeftBottom, Left, Top, Right, Bottom };

void FillRow(Bitmap& bitmap, int y, int x0, int x1, Rgb8 c) {
    std::uint32_t* row = bitmap.Row(y);
    std::fill(row + x0, row + x1, PackRgb(c));
}

Rgb8 GradientColour(Rgb8 top, Rgb8 bottom, int step, int steps) {
    return {GradientChannel(top.r, bottom.r, step, steps), GradientChannel(top.g, bottom.g, step, steps),
            GradientChannel(top.b, bottom.b, step, steps)};
}

} // namespace

std::uint8_t GradientChannel(int top, int bottom, int step, int steps) {
    // nearbyint rounds in the default mode, to nearest with halves to even: 18.5 becomes 18.
    const double delta = std::nearbyint(static_cast<double>(top - bottom) * step / steps);
    return static_cast<std::uint8_t>(top - static_cast<int>(delta));
}

TRect LcdComposer::BoxFor(int surfaceWidth, int surfaceHeight, bool tabBarShown) {
    const int left = (surfaceWidth - BoxWidth) / 2;
    const int top = tabBarShown ? BoxTopWithTabs : surfaceHeight / 2 - BoxHeight / 2;
    return {left, top, left + BoxWidth, top + BoxHeight};
}

bool LcdComposer::RefreshBackground(bool tabBarShown, const QString& title) {
    if (!surface_.CanDraw()) {
        return false;
    }
    const int w = surface_.Width();
    const int h = surface_.Height();
    const Bitmap& canvas = surface_.Canvas();
    background_.Resize(canvas.Width(), canvas.Height());
    PaintWindowGradient();
    DrawFrame(images_.MainBox, {0, 0, w, h}, true);

    const QFont font = Surface::TahomaFont(true);
    Surface::TextOut(background_, Ratio(), (w - Surface::TextWidth(title, font)) / 2, 4, title, font);

    lcdBox_ = BoxFor(w, h, tabBarShown);
    lcdInner_ = {lcdBox_.Left + 2, lcdBox_.Top + 2, lcdBox_.Right - 2, lcdBox_.Bottom - 2};
    PaintLcdGradient();
    const TRect inner = Device(lcdInner_);
    lcdBackground_.Resize(inner.Width(), inner.Height());
    CopyBitmap(background_, lcdBackground_, -inner.Left, -inner.Top);
    DrawFrame(images_.LCDBox, lcdBox_, false);

    CopyBitmap(background_, surface_.Canvas(), 0, 0);
    surface_.TouchAll();
    surface_.Present();
    return true;
}

// The gradients run over device rows, in as many steps as the device has rows: at ratio 2 twice as
// many, finer steps between the same two colours.
void LcdComposer::PaintWindowGradient() {
    const int h = background_.Height();
    // The last column is left to the frame.
    const int right = Device(surface_.Width() - 1);
    for (int y = 0; y < h; ++y) {
        FillRow(background_, y, 0, right, GradientColour(WindowTop, WindowBottom, y, h));
    }
}

void LcdComposer::PaintLcdGradient() {
    const TRect inner = Device(lcdInner_);
    const int steps = inner.Height();
    // One logical row more than the interior: the last lies under the frame's bottom edge.
    const int end = Device(lcdInner_.Bottom + 1);
    for (int y = inner.Top; y < end && y < background_.Height(); ++y) {
        FillRow(background_, y, inner.Left, inner.Right, GradientColour(LcdTop, LcdBottom, y - inner.Top, steps));
    }
}

void LcdComposer::DrawFrame(const TPngImageCollection& pieces, const TRect& box, bool smallBottomCorners) {
    const int l = box.Left;
    const int t = box.Top;
    const int r = box.Right;
    const int b = box.Bottom;
    // The window's bottom corners are 5 px and sit flush with its edges; the LCD box's are 6 px.
    const int bc = smallBottomCorners ? 5 : 6;
    Draw(pieces.Item(LeftTop), background_, Device(l), Device(t));
    Draw(pieces.Item(RightTop), background_, Device(r - 6), Device(t));
    Draw(pieces.Item(RightBottom), background_, Device(r - bc), Device(b - bc));
    Draw(pieces.Item(LeftBottom), background_, Device(l), Device(b - bc));
    const int edgeEnd = smallBottomCorners ? b - 5 : b - 6;
    StretchDraw(pieces.Item(Left), background_, Device(TRect{l, t + 6, l + 2, edgeEnd}));
    StretchDraw(pieces.Item(Top), background_, Device(TRect{l + 6, t, r - 6, t + 2}));
    StretchDraw(pieces.Item(Right), background_, Device(TRect{r - 2, t + 6, r, edgeEnd}));
    StretchDraw(pieces.Item(Bottom), background_, Device(TRect{l + bc, b - 2, r - bc, b}));
}

void LcdComposer::SaveStrip(const TRect& r) {
    surface_.CopyRect(r, strip_);
    stripRect_ = r;
    stripSaved_ = true;
}

void LcdComposer::RestoreStrip(int x, int y) {
    if (stripSaved_) {
        CopyBitmap(strip_, surface_.Canvas(), Device(x), Device(y));
        surface_.Touch({x, y, x + stripRect_.Width(), y + stripRect_.Height()});
        stripSaved_ = false;
    }
}

void LcdComposer::EraseLcd() {
    CopyBitmap(lcdBackground_, surface_.Canvas(), Device(lcdInner_.Left), Device(lcdInner_.Top));
    surface_.Touch(lcdInner_);
}

void LcdComposer::DrawTexts(TDisplayMode layout, const LcdTexts& texts) {
    Place(layout, texts, drawn_);
    drawnLayout_ = layout;
    drawnTexts_ = texts;
    for (const PlacedGlyph& glyph : drawn_) {
        Draw(images_.Digits.Item(glyph.Index), surface_.Canvas(), glyph.Box.Left, glyph.Box.Top);
        surface_.Touch(LogicalCover(glyph.Box));
    }
}

void LcdComposer::RememberComposition(const TRect& strip) {
    remembered_ = true;
    rememberedStrip_ = strip;
    rememberedTouches_ = surface_.TouchCount();
}

bool LcdComposer::RedrawChangedGlyphs(TDisplayMode layout, const LcdTexts& texts, const TRect& strip) {
    if (!remembered_ || surface_.TouchCount() != rememberedTouches_ || !(strip == rememberedStrip_)) {
        return false;
    }
    const TRect inner = Device(lcdInner_);
    const auto inside = [&inner](const PlacedGlyph& g) {
        return g.Box.Left >= inner.Left && g.Box.Top >= inner.Top && g.Box.Right <= inner.Right &&
               g.Box.Bottom <= inner.Bottom;
    };
    if (!std::all_of(drawn_.begin(), drawn_.end(), inside)) {
        return false;
    }
    if (layout == drawnLayout_ && texts == drawnTexts_) {
        return true; // a clock tick within the same second
    }
    Place(layout, texts, placed_);
    if (!std::all_of(placed_.begin(), placed_.end(), inside)) {
        return false;
    }
    // The cells that differ, old and new, each row's gathered into one rectangle: every glyph outside them is
    // the same in both, and so are the pixels there.
    changedCells_.clear();
    const auto gather = [this](const std::vector<PlacedGlyph>& from, const std::vector<PlacedGlyph>& other) {
        for (const PlacedGlyph& g : from) {
            if (std::find(other.begin(), other.end(), g) != other.end()) {
                continue;
            }
            const auto row = std::find_if(changedCells_.begin(), changedCells_.end(),
                                          [&g](const TRect& r) { return r.Top == g.Box.Top; });
            if (row == changedCells_.end()) {
                changedCells_.push_back(g.Box);
            } else {
                *row = Union(*row, g.Box);
            }
        }
    };
    gather(drawn_, placed_);
    gather(placed_, drawn_);
    // The buttons' strip keeps its pixels through a tick; glyphs there are left to the whole composition.
    const TRect s = Device(strip);
    if (std::any_of(changedCells_.begin(), changedCells_.end(), [&s](const TRect& r) {
            return r.Left < s.Right && s.Left < r.Right && r.Top < s.Bottom && s.Top < r.Bottom;
        })) {
        return false;
    }
    drawn_.swap(placed_);
    drawnLayout_ = layout;
    drawnTexts_ = texts;
    for (const TRect& r : changedCells_) {
        RedrawCells(r);
    }
    rememberedTouches_ = surface_.TouchCount();
    return true;
}

void LcdComposer::RedrawCells(const TRect& r) {
    const TRect inner = Device(lcdInner_);
    CopyBitmap(lcdBackground_, surface_.Canvas(), inner.Left, inner.Top, r);
    for (const PlacedGlyph& glyph : drawn_) {
        Draw(images_.Digits.Item(glyph.Index), surface_.Canvas(), glyph.Box.Left, glyph.Box.Top, r);
    }
    surface_.Touch(LogicalCover(r));
}

TRect LcdComposer::LogicalCover(const TRect& r) const {
    if (Ratio() == 1.0) {
        return r;
    }
    const auto down = [this](int v) { return static_cast<int>(std::floor(v / Ratio())); };
    const auto up = [this](int v) { return static_cast<int>(std::ceil(v / Ratio())); };
    return {down(r.Left), down(r.Top), up(r.Right), up(r.Bottom)};
}

void LcdComposer::Place(TDisplayMode layout, const LcdTexts& texts, std::vector<PlacedGlyph>& placed) const {
    placed.clear();
    const int l = lcdBox_.Left;
    const int t = lcdBox_.Top;
    const auto n = [](const std::string& s) { return static_cast<int>(s.size()); };
    if (layout == dmClock) {
        PlaceGlyphs(texts.Large, true, l + 346 - LargeAdvance * n(texts.Large), t + 62, placed);
        PlaceGlyphs(texts.Small, false, lcdBox_.Right - 22 - SmallAdvance * n(texts.Small), t + 20, placed);
    } else {
        PlaceGlyphs(texts.Large, true, l + 310 - LargeAdvance * n(texts.Large), t + 62, placed);
        PlaceGlyphs(texts.Small, false, l + 310, t + 62, placed);
    }
}

void LcdComposer::PlaceGlyphs(const std::string& text, bool large, int x, int y,
                              std::vector<PlacedGlyph>& placed) const {
    const int advance = large ? LargeAdvance : SmallAdvance;
    for (const char c : text) {
        const int index = GlyphIndex(c, large);
        if (index >= 0) { // a character without a glyph is skipped; the program hands over none
            const TPngImage& glyph = images_.Digits.Item(index);
            const int left = Device(x);
            const int top = Device(y);
            placed.push_back({index, {left, top, left + glyph.Width, top + glyph.Height}});
        }
        x += advance;
    }
}

} // namespace horavia
