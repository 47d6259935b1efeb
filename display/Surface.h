#pragma once

#include "display/Bitmap.h"
#include "display/Rect.h"

#include <QFont>
#include <QString>

#include <functional>

namespace horavia {

// The window's drawing surface: an off-screen 24-bit picture that the window shows at 1:1. Drawing
// goes to memory; Present hands the whole picture to whoever shows it. While the surface cannot
// draw (not yet shown, or lost), the display draws nothing and tries again at its next call.
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

    // Copies the whole surface to its viewer.
    void Present();
    void SetPresenter(std::function<void()> presenter) { presenter_ = std::move(presenter); }
    long PresentCount() const { return presentCount_; }

    // Copies the rectangle r of the surface into dst, which takes r's size. Parts outside the surface are black.
    void CopyRect(const TRect& r, Bitmap& dst) const;

    // Text in black on a transparent ground, the top of its line box at y.
    static void TextOut(Bitmap& target, int x, int y, const QString& text, const QFont& font);
    static int TextWidth(const QString& text, const QFont& font);
    // The program's one face, for the display and the dialogs alike: "Tahoma" 8 pt (11 px), or the
    // nearest sans-serif face the system has.
    static QFont TahomaFont(bool bold);

private:
    Bitmap pixels_;
    bool canDraw_ = true;
    long presentCount_ = 0;
    std::function<void()> presenter_;
};

// Puts src on dst with its top-left corner at (x, y), clipped to dst.
void CopyBitmap(const Bitmap& src, Bitmap& dst, int x, int y);

} // namespace horavia
