#pragma once

#include "display/Bitmap.h"
#include "display/Rect.h"

#include <QFont>
#include <QString>

#include <array>
#include <functional>
#include <span>

namespace horavia {

// The window's drawing surface: an off-screen picture in the backing store's own format that the
// window shows at 1:1. Drawing goes to memory, and whoever draws marks the rectangles it changed;
// Present hands those to whoever shows the surface, so a tick repaints the LCD, not the window. While
// the surface cannot draw (not yet shown, or lost), the display draws nothing and tries again at its
// next call.
class Surface final {
public:
    static constexpr int DefaultWidth = 400;
    static constexpr int DefaultHeight = 280;

    explicit Surface(int width = DefaultWidth, int height = DefaultHeight);

    int Width() const { return pixels_.Width(); }
    int Height() const { return pixels_.Height(); }

    bool CanDraw() const { return canDraw_; }
    void SetCanDraw(bool canDraw) { canDraw_ = canDraw; }

    Bitmap& Canvas() { return pixels_; }
    const Bitmap& Canvas() const { return pixels_; }

    // Past this many separate changed rectangles, they become their one bounding rectangle.
    static constexpr int MaxChanged = 6;

    // Marks r (clipped to the surface) as changed since the last present.
    void Touch(const TRect& r);
    void TouchAll() { Touch({0, 0, Width(), Height()}); }

    // Hands the rectangles changed since the last present to the viewer, and starts a new list.
    void Present();
    using Presenter = std::function<void(std::span<const TRect>)>;
    void SetPresenter(Presenter presenter) { presenter_ = std::move(presenter); }
    long PresentCount() const { return presentCount_; }
    // What the last present handed over; empty when nothing had changed.
    std::span<const TRect> LastPresented() const {
        return {presented_.data(), static_cast<std::size_t>(presentedCount_)};
    }

    // Copies the rectangle r of the surface into dst, which takes r's size. Parts outside the surface are black.
    void CopyRect(const TRect& r, Bitmap& dst) const;

    // Text in black on a transparent ground, the top of its line box at y.
    static void TextOut(Bitmap& target, int x, int y, const QString& text, const QFont& font);
    // The box TextOut may change for the same arguments.
    static TRect TextBox(int x, int y, const QString& text, const QFont& font);
    static int TextWidth(const QString& text, const QFont& font);
    // The program's one face, for the display and the dialogs alike: "Tahoma" 8 pt (11 px), or the
    // nearest sans-serif face the system has.
    static QFont TahomaFont(bool bold);

private:
    Bitmap pixels_;
    bool canDraw_ = true;
    long presentCount_ = 0;
    std::array<TRect, MaxChanged> changed_{};
    int changedCount_ = 0;
    std::array<TRect, MaxChanged> presented_{};
    int presentedCount_ = 0;
    Presenter presenter_;
};

// Puts src on dst with its top-left corner at (x, y), clipped to dst.
void CopyBitmap(const Bitmap& src, Bitmap& dst, int x, int y);

} // namespace horavia
