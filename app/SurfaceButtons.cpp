#include "app/SurfaceButtons.h"

#include "texts/Texts.h"

#include <QCursor>
#include <QWidget>

#include <utility>

namespace horavia {

namespace {

// Where each LCD button sits, from the LCD box's left edge.
constexpr int CancelOffset = 20;
constexpr int StartPauseOffset = 130;
constexpr int ResetOffset = 190;
constexpr int StopOffset = 20;

} // namespace

SurfaceButtons::SurfaceButtons(const QWidget& window, Surface& surface, const TImageCollections& images,
                               const LcdComposer& composer, ClickHandler onClick)
    : window_(window), surface_(surface), images_(images), composer_(composer), onClick_(std::move(onClick)) {}

std::unique_ptr<TDxButton> SurfaceButtons::MakeButton(const char* normal, const char* hover, const TRect& r) {
    auto button = std::make_unique<TDxButton>(&surface_);
    button->Images = &images_.Buttons;
    button->NormalImage = normal;
    button->HoverImage = hover;
    button->SetBounds(r);
    button->OnClick = onClick_;
    buttonList_.push_back(button.get());
    return button;
}

void SurfaceButtons::CreateButtons() {
    const int w = surface_.Width();
    const int tab = (w - 30) / 4;
    btnClose = MakeButton("close_norm", "close_hover", {w - 21, 4, w - 6, 19});
    btnMinimize = MakeButton("min_norm", "min_hover", {w - 39, 4, w - 24, 19});
    struct TabSpec {
        std::unique_ptr<TDxButton>* slot;
        const char* normal;
        const char* hover;
    };
    const TabSpec tabs[] = {{&btnTimerTab, "timer_norm_48", "timer_hover_48"},
                            {&btnStopwatchTab, "chrono_norm_48", "chrono_hover_48"},
                            {&btnClockTab, "clock_norm_48", "clock_hover_48"},
                            {&btnSettingsTab, "settings_norm_48", "settings_hover_48"}};
    int left = 15;
    for (const TabSpec& spec : tabs) {
        *spec.slot = MakeButton(spec.normal, spec.hover, {left, 29, left + tab, 93});
        (*spec.slot)->CenterImage = true;
        (*spec.slot)->HandCursor = true;
        (*spec.slot)->TabMember = true;
        left += tab;
    }
    RetranslateCaptions();
    const int splitterLeft = (w - 100) / 2;
    btnSplitter = MakeButton("splitter_norm", "splitter_hover", {splitterLeft, 95, splitterLeft + 100, 101});
}

void SurfaceButtons::RetranslateCaptions() {
    const std::pair<TDxButton*, int> tabs[] = {{btnTimerTab.get(), StringId::TimerTab},
                                               {btnStopwatchTab.get(), StringId::StopwatchTab},
                                               {btnClockTab.get(), StringId::ClockTab},
                                               {btnSettingsTab.get(), StringId::SettingsTab}};
    for (const auto& [button, caption] : tabs) {
        if (button != nullptr) {
            button->Caption = LoadStr(caption);
        }
    }
}

TRect SurfaceButtons::LcdPlace(int dx) const {
    const TRect& box = composer_.LcdBox();
    return {box.Left + dx, box.Top + 20, box.Left + dx + 55, box.Top + 32};
}

TDxLCDButton* SurfaceButtons::LcdButton(std::unique_ptr<TDxLCDButton>& slot, const char* normal, const char* hover,
                                        int dx) {
    if (!slot) {
        slot = std::make_unique<TDxLCDButton>(&surface_);
        slot->Images = &images_.Buttons;
        slot->NormalImage = normal;
        slot->HoverImage = hover;
        slot->HandCursor = true;
        slot->SetBounds(LcdPlace(dx));
        slot->OnClick = onClick_;
        buttonList_.push_back(slot.get());
    }
    return slot.get();
}

TDxLCDButton* SurfaceButtons::LcdCancel() {
    return LcdButton(btnLcdCancel, "lcd_cancel", "lcd_cancel_hover", CancelOffset);
}

TDxLCDButton* SurfaceButtons::LcdReset() {
    return LcdButton(btnLcdReset, "lcd_reset", "lcd_reset_hover", ResetOffset);
}

TDxLCDButton* SurfaceButtons::LcdStop() {
    return LcdButton(btnLcdStop, "lcd_stop", "lcd_stop_hover", StopOffset);
}

TDxLCDButton* SurfaceButtons::SetStartPauseImages(bool running) {
    TDxLCDButton* b = LcdButton(btnLcdStartPause, "lcd_start", "lcd_start_hover", StartPauseOffset);
    b->NormalImage = running ? "lcd_pause" : "lcd_start";
    b->HoverImage = running ? "lcd_pause_hover" : "lcd_start_hover";
    b->ResolveImages();
    return b;
}

void SurfaceButtons::ShowLcdButton(TDxButton* button) {
    button->SetVisible(true);
    TakeHoverFromPointer();
    button->Draw();
}

void SurfaceButtons::PrepareStopwatchButtons() {
    LcdCancel();
    LcdReset();
    SetStartPauseImages(false);
}

void SurfaceButtons::ShowLcdButtonsOf(TDisplayMode mode) {
    if (mode == dmTimer) {
        ShowLcdButton(LcdCancel());
    } else if (mode == dmStopwatch) {
        for (TDxButton* b : {btnLcdCancel.get(), btnLcdStartPause.get(), btnLcdReset.get()}) {
            if (b != nullptr) {
                ShowLcdButton(b);
            }
        }
    }
}

void SurfaceButtons::HideModeButtons() {
    for (TDxLCDButton* b : {btnLcdCancel.get(), btnLcdStartPause.get(), btnLcdReset.get()}) {
        if (b != nullptr) {
            b->SetVisible(false);
        }
    }
}

void SurfaceButtons::PlaceLcdButtons() {
    const auto place = [this](TDxLCDButton* b, int dx) {
        if (b != nullptr) {
            b->SetBounds(LcdPlace(dx));
        }
    };
    place(btnLcdCancel.get(), CancelOffset);
    place(btnLcdStartPause.get(), StartPauseOffset);
    place(btnLcdReset.get(), ResetOffset);
    place(btnLcdStop.get(), StopOffset);
}

TRect SurfaceButtons::LcdStrip(TDisplayMode mode, bool alarmSounding) const {
    switch (mode) {
    case dmTimer:
        if (btnLcdCancel) {
            return btnLcdCancel->BoundsRect;
        }
        break;
    case dmStopwatch:
        if (btnLcdCancel && btnLcdReset) {
            const TRect& cancel = btnLcdCancel->BoundsRect;
            return {cancel.Left, cancel.Top, btnLcdReset->BoundsRect.Right, cancel.Bottom};
        }
        break;
    case dmClock:
        // Only a stop button that is still shown: once a press has hidden it, it must not come back.
        if (btnLcdStop && btnLcdStop->Visible && alarmSounding) {
            return btnLcdStop->BoundsRect;
        }
        break;
    }
    return {};
}

TDxButton* SurfaceButtons::At(int x, int y) const {
    for (TDxButton* b : buttonList_) {
        if (b->Visible && b->BoundsRect.Contains(x, y)) {
            return b;
        }
    }
    return nullptr;
}

Qt::CursorShape SurfaceButtons::HoverAt(int x, int y) {
    Qt::CursorShape shape = Qt::ArrowCursor;
    for (TDxButton* button : buttonList_) {
        if (!button->Visible) {
            continue;
        }
        button->SetHovered(button->BoundsRect.Contains(x, y));
        if (button->HandCursor && button->Hovered) {
            shape = Qt::PointingHandCursor;
        }
    }
    return shape;
}

void SurfaceButtons::EndHover() {
    for (TDxButton* button : buttonList_) {
        if (button->Visible) {
            button->SetHovered(false);
        } else {
            button->Hovered = false;
        }
    }
}

// A button that comes back shows the hover of where the pointer is now, not of where it was when the button
// went: otherwise two highlights can show at once.
void SurfaceButtons::TakeHoverFromPointer() {
    const QPoint p = window_.mapFromGlobal(QCursor::pos());
    const bool inside = window_.isVisible() && window_.rect().contains(p);
    for (TDxButton* button : buttonList_) {
        button->Hovered = inside && button->Visible && button->BoundsRect.Contains(p.x(), p.y());
    }
}

void SurfaceButtons::DrawAll() {
    for (TDxButton* button : buttonList_) {
        button->Draw();
    }
}

void SurfaceButtons::BeginTabRowToggle(bool tabRowShown) {
    btnSplitter->SetVisible(false);
    btnSplitter->NormalImage = tabRowShown ? "splitter_norm" : "splitter_dn";
    btnSplitter->HoverImage = tabRowShown ? "splitter_hover" : "splitter_dn_hover";
    btnSplitter->ResolveImages();
    for (TDxButton* button : buttonList_) {
        if (button->TabMember) {
            button->SetVisible(!button->Visible);
        }
    }
    for (TDxButton* button : buttonList_) {
        if (dynamic_cast<TDxLCDButton*>(button) != nullptr) {
            button->SetVisible(false);
        }
    }
    TakeHoverFromPointer();
}

void SurfaceButtons::EndTabRowToggle(bool tabRowShown) {
    btnSplitter->SetVisible(true);
    const int top = tabRowShown ? 95 : 31;
    btnSplitter->SetBounds({btnSplitter->BoundsRect.Left, top, btnSplitter->BoundsRect.Right, top + 6});
    btnSplitter->Draw();
}

} // namespace horavia
