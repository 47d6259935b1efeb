#pragma once

#include "display/ImageCollections.h"
#include "display/LcdComposer.h"
#include "display/Rect.h"
#include "display/Surface.h"
#include "display/TDxButton.h"
#include "engine/DisplayMode.h"

#include <Qt>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace horavia {

// The window's surface buttons: close, minimize, the four tabs, the splitter and the LCD buttons of the modes.
// It makes them, keeps the LCD ones in the LCD box, finds the one under the pointer and keeps the hover
// highlights where the pointer is. Clicks go to the handler it is given.
class SurfaceButtons final {
public:
    using ClickHandler = std::function<void(TDxButton*)>;

    SurfaceButtons(const QWidget& window, Surface& surface, const TImageCollections& images,
                   const LcdComposer& composer, ClickHandler onClick);

    // Makes close, minimize, the four tabs and the splitter, in this order.
    void CreateButtons();
    // Gives the tabs their captions in the interface's language now; the caller redraws.
    void RetranslateCaptions();

    // The LCD buttons, each made on first use (and appended to the list then) and kept.
    TDxLCDButton* LcdCancel();
    TDxLCDButton* LcdReset();
    TDxLCDButton* LcdStop();
    // The start/pause button with the pictures of a running or a stopped stopwatch.
    TDxLCDButton* SetStartPauseImages(bool running);

    // Makes the stopwatch's buttons where they are missing (cancel, reset, start/pause: the list keeps that
    // order) and gives start/pause its start pictures.
    void PrepareStopwatchButtons();
    // Shows a button and draws it with the hover of where the pointer is now.
    void ShowLcdButton(TDxButton* button);
    // Shows and draws the LCD buttons of a mode: cancel in a countdown; cancel, start/pause and reset in the
    // stopwatch.
    void ShowLcdButtonsOf(TDisplayMode mode);
    // Hides the stopwatch's and the countdown's buttons (not the alarm's stop button).
    void HideModeButtons();
    // Moves the LCD buttons into the LCD box where it is now.
    void PlaceLcdButtons();
    // Where the LCD buttons of the mode lie, which the per-tick erase of the LCD would wipe; empty when the mode
    // shows none.
    TRect LcdStrip(TDisplayMode mode, bool alarmSounding) const;

    // The visible button at the point, first in list order; null where there is none.
    TDxButton* At(int x, int y) const;
    // Highlights the visible buttons under the point and no others; returns the pointer shape they ask for.
    Qt::CursorShape HoverAt(int x, int y);
    // Takes every highlight away: the pointer has left the window.
    void EndHover();
    // Gives each button the hover of where the pointer is now, so no two highlights show at once.
    void TakeHoverFromPointer();
    void DrawAll();

    // The tab-row toggle around the window's repaint: first the splitter's pictures, the tabs flipped and the
    // LCD buttons hidden; last the splitter shown at its new place.
    void BeginTabRowToggle(bool tabRowShown);
    void EndTabRowToggle(bool tabRowShown);

    // Every button in creation order: the order of drawing and of hit testing. It does not own them.
    const std::vector<TDxButton*>& ButtonList() const { return buttonList_; }

    std::unique_ptr<TDxButton> btnClose;
    std::unique_ptr<TDxButton> btnMinimize;
    std::unique_ptr<TDxButton> btnTimerTab;
    std::unique_ptr<TDxButton> btnStopwatchTab;
    std::unique_ptr<TDxButton> btnClockTab;
    std::unique_ptr<TDxButton> btnSettingsTab;
    std::unique_ptr<TDxButton> btnSplitter;
    std::unique_ptr<TDxLCDButton> btnLcdCancel;
    std::unique_ptr<TDxLCDButton> btnLcdStartPause;
    std::unique_ptr<TDxLCDButton> btnLcdReset;
    std::unique_ptr<TDxLCDButton> btnLcdStop;

private:
    std::unique_ptr<TDxButton> MakeButton(const char* normal, const char* hover, const TRect& r);
    TDxLCDButton* LcdButton(std::unique_ptr<TDxLCDButton>& slot, const char* normal, const char* hover, int dx);
    TRect LcdPlace(int dx) const;

    const QWidget& window_;
    Surface& surface_;
    const TImageCollections& images_;
    const LcdComposer& composer_;
    ClickHandler onClick_;
    std::vector<TDxButton*> buttonList_;
};

} // namespace horavia
