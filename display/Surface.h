#pragma once

#include "display/Bitmap.h"
#include "display/Rect.h"

#include <QFont>
#include <QString>

#include <array>
#include <functional>
#include <span>

namespace horavia {

// Where a coordinate of the display lands among the device pixels of a screen with this many device
// pixels to a logical one: round(v * ratio). Adjacent rectangles stay adjacent at any ratio, and at
// ratio 1 every coordinate is its own device pixel.
int DevicePixel(int v, double ratio);
TRect DeviceRect(const TRect& r, double ratio);

// The window's drawing surface: an off-screen picture in the backing store's own format that the
// window shows at 1:1. Its size and every rectangle handed to it are in the display's logical pixels
// (400 x 280); its pixels are the screen's device pixels, so at ratio 2 the canvas is 800 x 560 and
// whoever draws on it draws the 2x pictures at twice the coordinates. Drawing goes to memory, and
// whoever draws marks the rectangles it changed; Present hands those to whoever shows the surface, so
// a tick repaints the LCD, not the window. It also keeps what the window last painted from it, so a
// present hands over only the pixels that differ from those: a clock tick within the same second hands
// over nothing, a stopwatch tick only the digits that moved. While the surface cannot draw (not yet
// shown, or lost), the display draws nothing and tries again at its next call.
class Surface final {
public:
    static constexpr int DefaultWidth = 400;
    static constexpr int DefaultHeight = 280;

    explicit Surface(int width = DefaultWidth, int height = DefaultHeight);

    // Logical size.
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Device pixels per logical pixel. Setting another ratio gives the canvas its new size, black: the
    // caller composes the whole picture again.
    double Ratio() const { return ratio_; }
    void SetRatio(double ratio);

    bool CanDraw() const { return canDraw_; }
    void SetCanDraw(bool canDraw) { canDraw_ = canDraw; }

    // The pixels, device-sized.
    Bitmap& Canvas() { return pixels_; }
    const Bitmap& Canvas() const { return pixels_; }

    // Past this many separate changed rectangles, they become their one bounding rectangle.
    static constexpr int MaxChanged = 6;

    // Marks r (clipped to the surface) as changed since the last present.
    void Touch(const TRect& r);
    void TouchAll() { Touch({0, 0, Width(), Height()}); }
    // Counts the touches and changes of ratio so far: whoever remembers what the canvas holds learns from it
    // whether anyone drew on it since.
    long TouchCount() const { return touchCount_; }

    // Hands the rectangles changed since the last present to the viewer, each shrunk to the pixels that
    // differ from what the viewer last painted (and left out when none does), and starts a new list.
    void Present();
    using Presenter = std::function<void(std::span<const TRect>)>;
    void SetPresenter(Presenter presenter) { presenter_ = std::move(presenter); }
    long PresentCount() const { return presentCount_; }
    // What the last present handed over; empty when nothing had changed.
    std::span<const TRect> LastPresented() const {
        return {presented_.data(), static_cast<std::size_t>(presentedCount_)};
    }

    // The viewer painted the canvas's pixels under the device rectangle r. Until the whole canvas has been
    // painted, or after ForgetShown, what the viewer shows is not known and presents hand over every
    // changed rectangle whole.
    void MarkShown(const TRect& r);
    // The viewer showed something else than the canvas's pixels (enlarged for a screen of another ratio, say).
    void ForgetShown() { shownKnown_ = false; }

    // Copies the device pixels under the logical rectangle r into dst, which takes their size. Parts
    // outside the surface are black.
    void CopyRect(const TRect& r, Bitmap& dst) const;

    // Text in black on a transparent ground, the top of its line box at y; target holds device pixels
    // at ratio, and x, y are logical, so the text is set at the screen's own resolution.
    static void TextOut(Bitmap& target, double ratio, int x, int y, const QString& text, const QFont& font);
    // The logical box TextOut may change for the same arguments.
    static TRect TextBox(int x, int y, const QString& text, const QFont& font);
    static int TextWidth(const QString& text, const QFont& font);
    // The program's one face, for the display and the dialogs alike: "Tahoma" 8 pt (11 px), or the
    // nearest sans-serif face the system has.
    static QFont TahomaFont(bool bold);

private:
    // The part of r (logical) whose device pixels differ from those the viewer last painted; empty when none does.
    TRect Differing(const TRect& r) const;
    // The device rectangle r clipped to the canvas; empty (zero or negative width or height) when outside.
    TRect OnCanvas(const TRect& r) const;

    int width_;
    int height_;
    double ratio_ = 1.0;
    Bitmap pixels_;
    Bitmap shown_;            // what the viewer last painted of each pixel, device-sized
    bool shownKnown_ = false; // shown_ holds the viewer's pixels: the whole canvas was painted at this ratio
    bool canDraw_ = true;
    long presentCount_ = 0;
    long touchCount_ = 0;
    std::array<TRect, MaxChanged> changed_{};
    int changedCount_ = 0;
    std::array<TRect, MaxChanged> presented_{};
    int presentedCount_ = 0;
    Presenter presenter_;
};

// Puts src on dst with its top-left corner at (x, y), clipped to dst.
void CopyBitmap(const Bitmap& src, Bitmap& dst, int x, int y);
// The same, changing only the pixels of dst inside clip.
void CopyBitmap(const Bitmap& src, Bitmap& dst, int x, int y, const TRect& clip);

} // namespace horavia
