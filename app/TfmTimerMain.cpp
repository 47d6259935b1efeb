#include "app/TfmTimerMain.h"

#include "app/Guarded.h"
#include "dialogs/TfmSettings.h"
#include "dialogs/TfmTimerSetUp.h"
#include "display/ImageAssets.h"
#include "display/WindowShape.h"
#include "engine/Announcements.h"
#include "engine/WakeDelay.h"
#include "settings/SettingsStore.h"
#include "speech/SpeakText.h"
#include "texts/Translations.h"

#include <QApplication>
#include <QBackingStore>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QHideEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <vector>

namespace horavia {
namespace {

// Runs `finally` when the scope is left in any way.
template <typename F> struct ScopeExit {
    F finally;
    ~ScopeExit() { finally(); }
};
template <typename F> ScopeExit(F) -> ScopeExit<F>;

TRect ToRect(const QRect& r) {
    return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

// The device pixels a logical rectangle of the window covers, each one it touches.
QRect DevicePixelsUnder(const QRect& r, double ratio) {
    return QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio).toAlignedRect();
}

} // namespace

TfmTimerMain::TfmTimerMain(MainWindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), Engine(*services.clock), services_(std::move(services)) {
    setWindowTitle(QStringLiteral("Horavia"));
    setFixedSize(Surface::DefaultWidth, Surface::DefaultHeight);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    DXDraw.SetPresenter([this](std::span<const TRect> changed) {
        if (PaintNow(changed)) {
            return;
        }
        const auto repaint = [this](std::span<const TRect> rects) {
            for (const TRect& r : rects) {
                update(r.Left, r.Top, r.Width(), r.Height());
            }
        };
        if (!tickingOffThread_) {
            repaint(changed);
            return;
        }
        // Qt's repaint is asked for on the window's thread.
        QMetaObject::invokeMethod(
            this, [repaint, rects = std::vector<TRect>(changed.begin(), changed.end())] { repaint(rects); },
            Qt::QueuedConnection);
    });

    SiblingInstalled = IsSiblingInstalled();
    Guarded("loading the settings", [this] { LoadSettings(Config, *services_.voice); });
    // Before anything with words is made: the buttons take their captions in this language.
    ApplyUiLanguage(UiLanguageOfIndex(Config.Language));
    // The pictures are decoded once, in that language and at the ratio of the screen the window opens on.
    DXDraw.SetRatio(ReadScreenRatio());
    imagesLanguage_ = CurrentUiLanguage();
    Images = LoadImageCollections(DXDraw.Ratio(), imagesLanguage_);
    Engine.Mode = dmClock;
    Engine.LastChimeHour = -1;
    Engine.TabBarShown = true;
    Engine.DisplayFormat = TFormatSettings{};
    ApplyTimeFormat(Config.TimeFormat, Engine.DisplayFormat);
    buttons_.CreateButtons();

    Timer1.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 10 ms late, and the alarm with it
    Timer1.setInterval(FirstTickInterval);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1.start();
}

TfmTimerMain::~TfmTimerMain() = default;

// ---- the tick -------------------------------------------------------------------------------------

void TfmTimerMain::Timer1Timer() {
    if (tickRunning_) {
        Timer1.stop();
        return; // the tick in progress re-arms the timer when it ends
    }
    tickRunning_ = true;
    if (ticker_ != nullptr) {
        ticker_->Stop(); // a tick here, and the ticker's thread ticking too, would draw the same change twice
    }
    // Re-armed on every way out, so a failing step can never stop the clock. The timer repeats, so a tick like the
    // last one leaves it as it is rather than setting it up anew; only another interval restarts it. Plain ticks
    // ahead go to the ticker's thread instead.
    const ScopeExit rearm{[this] {
        tickRunning_ = false;
        firstTickDone_ = true;
        if (HandTicksToThread()) {
            Timer1.stop();
            return;
        }
        const int next = NextTickInterval();
        if (!Timer1.isActive() || Timer1.interval() != next) {
            Timer1.start(next);
        }
    }};
    Guarded("tick", [this] {
        // The first tick composes everything; so does any tick that finds the screen's ratio or the language changed.
        if (!firstTickDone_ || OutOfDate()) {
            RefreshBackground();
        }
        DrawDisplay();
        if (Engine.ReminderDue()) {
            GiveCountdownReminder();
        }
        KeepAwake();
    });
}

int TfmTimerMain::NextTickInterval() const {
    // A countdown ending before the next tick gets that tick at its end instant, read anew from the
    // wall clock at every tick, so the alarm comes on time and a clock that jumps is followed.
    if (Engine.Mode == dmTimer && Engine.EndTime != 0) {
        const double left = (Engine.EndTime - services_.clock->Now()) * MillisecondsPerDay;
        if (left < TickInterval) {
            // Whole milliseconds, as the clock counts them and the engine compares them.
            return static_cast<int>(std::max(0L, std::lround(left)));
        }
    }
    return TickInterval;
}

bool TfmTimerMain::PlainTickAhead(TDateTime now) const {
    const bool endClose = Engine.Mode == dmTimer && (Engine.EndTime - now) * MillisecondsPerDay < 2 * TickInterval;
    return firstTickDone_ && !tickRunning_ && !endClose && !Engine.ReminderDue() && !OutOfDate() &&
           !alarm_.SoundPlaying() && DXDraw.CanDraw() && screenRatio_ == DXDraw.Ratio();
}

bool TfmTimerMain::HandTicksToThread() {
    const QWindow* window = windowHandle();
    if (noTickerThread_ || windowPixels_ == nullptr || window == nullptr || windowPixelsFor_ != internalWinId() ||
        !window->isExposed() || !isVisible() || isMinimized() || !PlainTickAhead(Engine.GetClock().Now())) {
        return false;
    }
    if (ticker_ == nullptr) {
        windowLock_ = WindowThreadLock::Shared();
        if (windowLock_ == nullptr) {
            noTickerThread_ = true;
            return false;
        }
        ticker_ = std::make_unique<OffThreadTicker>(windowLock_->Mutex(), [this] { return TickOffThread(); });
    }
    ticker_->Start(TickInterval);
    return true;
}

std::optional<int> TfmTimerMain::TickOffThread() {
    // The window's thread is waiting for events, and this thread holds its lock: the window is between two events.
    // A failing step ends this tick only; the ticks go on, here or, once handed back, on the window's thread.
    std::optional<int> next = TickInterval;
    Guarded("tick", [this, &next] {
        const TDateTime now = Engine.GetClock().Now();
        if (!PlainTickAhead(now)) {
            // This tick and the next ones are the window thread's again.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (!tickRunning_) {
                        Timer1Timer();
                    }
                },
                Qt::QueuedConnection);
            next.reset();
            return;
        }
        tickingOffThread_ = true;
        const ScopeExit done{[this] { tickingOffThread_ = false; }};
        // Read at the same instant as the look ahead, the countdown cannot run out in this drawing.
        DrawDisplayAt(now);
    });
    return next;
}

void TfmTimerMain::TakeTicksBack() {
    if (ticker_ == nullptr || !ticker_->Running()) {
        return;
    }
    ticker_->Stop();
    if (!tickRunning_ && !Timer1.isActive()) {
        Timer1.start(NextTickInterval());
    }
}

void TfmTimerMain::StopTicks() {
    Timer1.stop();
    if (ticker_ != nullptr) {
        ticker_->Stop();
    }
}

void TfmTimerMain::GiveCountdownReminder() {
    bool shortened = false;
    const QString text = TakeCountdownReminder(Engine, &shortened);
    // The shortened interval shows in the set-up dialog's list until the dialog is shown again.
    if (shortened && fmTimerSetUp) {
        fmTimerSetUp->cbRemindInterval->setCurrentIndex(Engine.RemindIndex);
    }
    Say(text);
}

void TfmTimerMain::Say(const QString& text) {
    if (tickingOffThread_) {
        // The voice is the window thread's.
        QMetaObject::invokeMethod(
            this, [this, text] { Say(text); }, Qt::QueuedConnection);
        return;
    }
    if (services_.voice != nullptr) {
        Guarded("speaking", [this, &text] { SpeakText(*services_.voice, text); });
    }
}

void TfmTimerMain::KeepAwake() {
    if (services_.power == nullptr) {
        return;
    }
    // A sounding alarm keeps both, as its progress events ask; the wish changes only when the state
    // does, so the inhibitors are not taken and dropped on every tick.
    if (alarm_.SoundPlaying()) {
        services_.power->KeepBothAwake();
    } else if (isMinimized() || !isVisible()) {
        // A window hidden in the tray is not minimized in the window system's eyes, but no one sees it either.
        services_.power->KeepSystemAwake();
    } else {
        services_.power->KeepDisplayOn();
    }
}

// ---- drawing --------------------------------------------------------------------------------------

void TfmTimerMain::RefreshBackground() {
    MatchScreenAndLanguage();
    if (composer_.RefreshBackground(Engine.TabBarShown, windowTitle())) {
        buttons_.DrawAll();
    }
}

double TfmTimerMain::ReadScreenRatio() {
    screenRatio_ = devicePixelRatioF();
    return screenRatio_;
}

bool TfmTimerMain::OutOfDate() const {
    return screenRatio_ != DXDraw.Ratio() || CurrentUiLanguage() != imagesLanguage_;
}

void TfmTimerMain::MatchScreenAndLanguage() {
    if (!OutOfDate()) {
        return;
    }
    const double ratio = ReadScreenRatio();
    if (ratio != DXDraw.Ratio()) {
        DXDraw.SetRatio(ratio);
        // The grounds the buttons saved are pixels of the old ratio; each takes its ground anew at its next drawing.
        for (TDxButton* button : buttons_.ButtonList()) {
            button->SavedBackground.reset();
        }
        ApplyOutline();
    }
    imagesLanguage_ = CurrentUiLanguage();
    Images = LoadImageCollections(ratio, imagesLanguage_);
}

void TfmTimerMain::FollowScreen() {
    followQueued_ = false;
    // A tick in progress waits in the time-up box; the next tick composes the window for the new ratio.
    if (!firstTickDone_ || tickRunning_ || ReadScreenRatio() == DXDraw.Ratio()) {
        return;
    }
    Guarded("screen change", [this] {
        RefreshBackground();
        DrawDisplay();
    });
}

void TfmTimerMain::ApplyOutline() {
    const double ratio = devicePixelRatioF();
    if (windowHandle() == nullptr || !isVisible() || ratio == outlineRatio_) {
        return;
    }
    if (ApplyDeviceOutline(*windowHandle(), ShapeRuns(LoadShapePicture(ratio)))) {
        outlineRatio_ = ratio;
    }
}

void TfmTimerMain::DrawDisplay() {
    DrawDisplayAt(Engine.GetClock().Now());
}

void TfmTimerMain::DrawDisplayAt(TDateTime now) {
    if (!DXDraw.CanDraw()) {
        return;
    }
    const TDisplayMode layout = Engine.Mode;
    const TRect strip = buttons_.LcdStrip(layout, alarm_.SoundPlaying());
    const DisplayUpdate update = Engine.UpdateDisplayAt(now);
    if (update.TimeUp && buttons_.btnLcdCancel) {
        buttons_.btnLcdCancel->SetVisible(false);
    }
    if (layout == dmStopwatch && Engine.SwRunning) {
        if (const auto text =
                StopwatchAnnouncement(Engine, update.ElapsedMs, Config.StopwatchTTS, Config.RemindPeriod)) {
            Say(*text);
        }
    }
    // The chime and the time-up belong to different modes, so the chime may come before the drawing.
    if (layout == dmClock) {
        if (const auto text = HourlyChime(Engine, Config.ClockTTS, Config.TimeFormat)) {
            Say(*text);
        }
    }
    // A tick like the last one redraws only the glyphs that changed; anything else composes the LCD whole.
    if (update.TimeUp || !composer_.RedrawChangedGlyphs(layout, update.Texts, strip)) {
        // The LCD buttons of the mode go aside, as the erase wipes them. Only what this call saved goes back at the
        // end: a strip saved by an outer call belongs to that call.
        if (strip.Width() > 0) {
            composer_.SaveStrip(strip);
        }
        composer_.EraseLcd();
        composer_.DrawTexts(layout, update.Texts);
        bool stopShown = false;
        if (update.TimeUp) {
            // A tick waits in the time-up box without further ticks inside it, and re-arms the timer when it ends.
            if (tickRunning_) {
                Timer1.stop();
            }
            alarm_.OnTimeUp();
            stopShown = alarm_.SoundPlaying() && !Config.ShowMsgBox;
        }
        // The LCD buttons come back over the fresh ground, except where the alarm's stop button took their place.
        if (strip.Width() > 0) {
            if (stopShown) {
                composer_.DropStrip();
            } else {
                composer_.RestoreStrip(strip.Left, strip.Top);
            }
        }
        // The time-up's box and buttons draw and wait in between: the next tick starts afresh.
        if (update.TimeUp) {
            composer_.ForgetComposition();
        } else {
            composer_.RememberComposition(strip);
        }
    }
    DXDraw.Present();
}

void TfmTimerMain::PaintSurface(QPainter& painter, const QRegion& region) {
    // The surface is in the backing store's format and at its device pixel ratio: each rectangle asked for is a
    // plain copy of device pixels.
    const Bitmap& canvas = DXDraw.Canvas();
    const QImage image(reinterpret_cast<const uchar*>(canvas.Data()), canvas.Width(), canvas.Height(),
                       static_cast<qsizetype>(canvas.Stride()), QImage::Format_RGB32);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const double ratio = DXDraw.Ratio();
    // What is painted is remembered, so the next present hands over only pixels that differ from the screen's.
    // On a screen of another ratio the picture is resampled: the screen then holds other pixels than the canvas.
    const bool oneToOne = devicePixelRatioF() == ratio;
    if (!oneToOne) {
        DXDraw.ForgetShown();
    }
    // Drawn in device coordinates: the painter's own scaling undone, each rectangle is a translation of whole device
    // pixels, which Qt copies rather than resamples.
    painter.setWorldTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio));
    for (const QRect& r : region) {
        const QRect device = DevicePixelsUnder(r, ratio) & image.rect();
        painter.drawImage(device.topLeft(), image, device);
        if (oneToOne) {
            DXDraw.MarkShown(ToRect(device));
        }
    }
}

bool TfmTimerMain::PaintNow(std::span<const TRect> changed) {
    // The ticker's thread only ticks while the window is on screen at the surface's ratio, and leaves Qt alone.
    if (tickingOffThread_) {
        return PutStraight(changed);
    }
    // Out to the screen at once, without a round through Qt's repaint. Anything unusual (hidden, minimized, a screen
    // of another ratio, a store not yet at the window's size, inside a paint) leaves it to Qt's own repaint.
    QBackingStore* store = backingStore();
    QWindow* window = windowHandle();
    if (store == nullptr || window == nullptr || !window->isExposed() || !isVisible() || isMinimized() ||
        screenRatio_ != DXDraw.Ratio() || store->size() != size() || testAttribute(Qt::WA_WState_InPaintEvent)) {
        return false;
    }
    if (PutStraight(changed)) {
        return true;
    }
    // Into the window's backing store and flushed from there: the store holds the new pixels too.
    QRegion region;
    for (const TRect& r : changed) {
        region += QRect(r.Left, r.Top, r.Width(), r.Height());
    }
    CopyIntoStore(*store, region);
    store->flush(region, window);
    return true;
}

bool TfmTimerMain::PutStraight(std::span<const TRect> changed) {
    if (!tickingOffThread_ && windowPixelsFor_ != winId()) {
        windowPixelsFor_ = winId();
        windowPixels_ = X11WindowPixels::For(*windowHandle());
    }
    if (windowPixels_ == nullptr) {
        return false;
    }
    const Bitmap& canvas = DXDraw.Canvas();
    for (const TRect& r : changed) {
        const TRect device = ToRect(DevicePixelsUnder(QRect(r.Left, r.Top, r.Width(), r.Height()), DXDraw.Ratio()) &
                                    QRect(0, 0, canvas.Width(), canvas.Height()));
        if (!windowPixels_->Put(canvas, device)) {
            windowPixels_->Flush();
            return false; // more than one request holds: the store sends it, in parts
        }
        DXDraw.MarkShown(device);
        storeBehind_ = Union(storeBehind_, r);
    }
    windowPixels_->Flush();
    return true;
}

void TfmTimerMain::CatchUpStore() {
    QBackingStore* store = backingStore();
    if (storeBehind_.Width() <= 0 || store == nullptr) {
        return;
    }
    CopyIntoStore(*store, QRegion(storeBehind_.Left, storeBehind_.Top, storeBehind_.Width(), storeBehind_.Height()));
    storeBehind_ = {};
}

void TfmTimerMain::CopyIntoStore(QBackingStore& store, const QRegion& region) {
    store.beginPaint(region);
    // The store's own picture takes the rows as they are when it is a 32-bit image of the canvas's size, as on X11;
    // only another kind of store needs a painter.
    QPaintDevice* device = store.paintDevice();
    QImage* image = device != nullptr && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
    const Bitmap& canvas = DXDraw.Canvas();
    if (image != nullptr && image->width() == canvas.Width() && image->height() == canvas.Height() &&
        (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32_Premultiplied)) {
        for (const QRect& r : region) {
            const QRect d = DevicePixelsUnder(r, DXDraw.Ratio()) & image->rect();
            for (int y = d.top(); y <= d.bottom(); ++y) {
                std::copy(canvas.Row(y) + d.left(), canvas.Row(y) + d.right() + 1,
                          reinterpret_cast<std::uint32_t*>(image->scanLine(y)) + d.left());
            }
            DXDraw.MarkShown(ToRect(d));
        }
    } else if (device != nullptr) {
        QPainter painter(device);
        PaintSurface(painter, region);
    }
    store.endPaint();
}

bool TfmTimerMain::eventFilter(QObject* watched, QEvent* event) {
    // Before Qt shows an exposed part of the window from its backing store, the store takes the pixels that went
    // straight to the window since.
    if (watched == windowHandle() && event->type() == QEvent::Expose) {
        Guarded("expose", [this] { CatchUpStore(); });
    }
    return QWidget::eventFilter(watched, event);
}

void TfmTimerMain::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    PaintSurface(painter, event->region());
    const bool oneToOne = ReadScreenRatio() == DXDraw.Ratio();
    // Shown on a screen of another ratio, the picture is enlarged or reduced until it is composed anew.
    if (!oneToOne && !followQueued_) {
        followQueued_ = true;
        QTimer::singleShot(0, this, [this] { FollowScreen(); });
    }
}

// ---- buttons and modes ----------------------------------------------------------------------------

void TfmTimerMain::OnButtonClick(TDxButton* button) {
    const SurfaceButtons& b = buttons_;
    if (button == b.btnClose.get()) {
        close();
    } else if (button == b.btnMinimize.get()) {
        tray_.Minimize();
    } else if (button == b.btnTimerTab.get()) {
        StartCountdownFromTab();
    } else if (button == b.btnStopwatchTab.get()) {
        EnterStopwatch();
    } else if (button == b.btnClockTab.get()) {
        ShowClockTab();
    } else if (button == b.btnSettingsTab.get()) {
        ShowSettingsDialog();
    } else if (button == b.btnSplitter.get()) {
        ToggleTabBar();
    } else if (button == b.btnLcdCancel.get()) {
        CancelMode();
    } else if (button == b.btnLcdStartPause.get()) {
        if (Engine.Mode == dmStopwatch) {
            StartPause();
        }
    } else if (button == b.btnLcdReset.get()) {
        ResetStopwatch();
    }
}

void TfmTimerMain::ShowSettingsDialog() {
    if (!fmSettings) {
        fmSettings = std::make_unique<TfmSettings>(
            Config, *services_.voice, *services_.shell, SiblingInstalled, Engine.DisplayFormat,
            [this](bool) { tray_.ApplyTrayOption(); }, this);
    }
    if (fmSettings->exec() == QDialog::Accepted) {
        SaveSettings(Config, *services_.voice, x(), y());
    }
}

void TfmTimerMain::StartCountdownFromTab() {
    if (Engine.Mode == dmTimer) {
        return; // a running countdown can only be cancelled or run out
    }
    if (Engine.Mode == dmStopwatch) {
        LeaveStopwatch();
    }
    if (!fmTimerSetUp) {
        fmTimerSetUp =
            std::make_unique<TfmTimerSetUp>(*services_.clock, *services_.shell, Config, SiblingInstalled, this);
    }
    if (fmTimerSetUp->exec() != QDialog::Accepted) {
        return;
    }
    QCursor::setPos(mapToGlobal(QPoint(width() / 2, height() / 2)));
    Engine.StartCountdown(fmTimerSetUp->Request());
    buttons_.ShowLcdButtonsOf(dmTimer);
}

void TfmTimerMain::EnterStopwatch() {
    if (Engine.EnterStopwatch()) {
        buttons_.PrepareStopwatchButtons();
        buttons_.ShowLcdButtonsOf(dmStopwatch);
    }
}

void TfmTimerMain::LeaveStopwatch() {
    buttons_.HideModeButtons();
    Engine.ShowClock();
}

void TfmTimerMain::CancelMode() {
    if (Engine.Mode == dmTimer) {
        buttons_.btnLcdCancel->SetVisible(false);
        Engine.ShowClock();
    } else if (Engine.Mode == dmStopwatch) {
        LeaveStopwatch();
    }
}

void TfmTimerMain::ShowClockTab() {
    CancelMode();
    Engine.ShowClock();
    RefreshBackground();
    DrawDisplay();
}

void TfmTimerMain::StartPause() {
    const bool running = Engine.ToggleStopwatch();
    buttons_.SetStartPauseImages(running)->Draw();
    if (!running) {
        DrawDisplay(); // so the frozen value shown is the exact one
    }
}

void TfmTimerMain::ResetStopwatch() {
    Engine.ResetStopwatch();
    buttons_.SetStartPauseImages(false)->Draw();
}

void TfmTimerMain::ToggleTabBar() {
    Engine.TabBarShown = !Engine.TabBarShown;
    buttons_.BeginTabRowToggle(Engine.TabBarShown);
    RefreshBackground(); // the LCD box at its new place
    buttons_.PlaceLcdButtons();
    buttons_.ShowLcdButtonsOf(Engine.Mode);
    DrawDisplay();
    buttons_.EndTabRowToggle(Engine.TabBarShown);
}

// ---- keys -----------------------------------------------------------------------------------------

void TfmTimerMain::FormKeyUp(int key) {
    switch (key) {
    case Qt::Key_F1:
        services_.shell->OpenHelpTopic(QStringLiteral("Welcometopic.htm"));
        break;
    case Qt::Key_Space:
        if (Engine.Mode == dmStopwatch && buttons_.btnLcdStartPause) {
            StartPause();
        }
        break;
    case Qt::Key_Escape:
        if ((Engine.Mode == dmTimer || Engine.Mode == dmStopwatch) && buttons_.btnLcdCancel) {
            CancelMode();
        }
        break;
    default:
        break;
    }
}

void TfmTimerMain::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) {
        return;
    }
    const int key = event->key();
    Guarded("key", [this, key] { FormKeyUp(key); });
}

// ---- the mouse: buttons first, the drag where no button is ---------------------------------------

void TfmTimerMain::DXDrawMouseMove(int x, int y) {
    setCursor(buttons_.HoverAt(x, y));
    placement_.DragTo(x, y);
}

void TfmTimerMain::DXDrawMouseDown(Qt::MouseButton button, int x, int y) {
    alarm_.SilenceAlarm(); // any press anywhere, with any button, stops the alarm first
    // A press on a button does nothing else: there is no pressed picture.
    if (button == Qt::LeftButton && buttons_.At(x, y) == nullptr) {
        placement_.BeginDrag(x, y);
    }
}

void TfmTimerMain::DXDrawMouseUp(Qt::MouseButton, int x, int y) {
    if (placement_.IsDragging()) {
        DXDrawMouseMove(x, y); // the drag's last move; the release clicks nothing
        placement_.EndDrag();
    } else if (TDxButton* b = buttons_.At(x, y)) {
        b->Click();
    }
}

void TfmTimerMain::mouseMoveEvent(QMouseEvent* event) {
    const WindowPlacement::EventPointer scoped(placement_, event->globalPosition().toPoint());
    const QPoint p = event->position().toPoint();
    Guarded("mouse move", [this, p] { DXDrawMouseMove(p.x(), p.y()); });
}

void TfmTimerMain::mousePressEvent(QMouseEvent* event) {
    const WindowPlacement::EventPointer scoped(placement_, event->globalPosition().toPoint());
    const QPoint p = event->position().toPoint();
    const Qt::MouseButton b = event->button();
    Guarded("mouse press", [this, b, p] { DXDrawMouseDown(b, p.x(), p.y()); });
}

void TfmTimerMain::mouseReleaseEvent(QMouseEvent* event) {
    const WindowPlacement::EventPointer scoped(placement_, event->globalPosition().toPoint());
    const QPoint p = event->position().toPoint();
    const Qt::MouseButton b = event->button();
    Guarded("mouse release", [this, b, p] { DXDrawMouseUp(b, p.x(), p.y()); });
}

void TfmTimerMain::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    Guarded("pointer leaving", [this] {
        buttons_.EndHover();
        setCursor(Qt::ArrowCursor);
    });
}

// ---- sleep, wake and session changes --------------------------------------------------------------

void TfmTimerMain::PowerSuspend() {
    StopTicks();
    DXDraw.Present();
    if (services_.wakeUp == nullptr) {
        return;
    }
    if (const auto seconds = WakeDelaySeconds(Engine.Mode, Engine.EndTime, services_.clock->Now())) {
        services_.wakeUp->Arm(*seconds);
    }
}

void TfmTimerMain::PowerResume() {
    if (services_.power != nullptr) {
        services_.power->KeepBothAwake();
    }
    // The display comes back half a second later, without holding up the window meanwhile.
    QTimer::singleShot(500, this, [this] {
        Guarded("resume", [this] { RefreshBackground(); });
        // A tick still in progress (waiting in the time-up box) re-arms the timer itself when it ends;
        // a second tick inside it would draw over the first one's half-done picture.
        if (!tickRunning_) {
            Timer1.start();
        }
    });
}

void TfmTimerMain::SessionChange() {
    RefreshBackground();
}

// ---- showing, minimizing and closing --------------------------------------------------------------

void TfmTimerMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    setWindowIcon(QApplication::windowIcon());
    ReadScreenRatio();
    placement_.FirstShow();
    ApplyOutline();
    if (!screenWatched_ && windowHandle() != nullptr) {
        screenWatched_ = true;
        windowHandle()->installEventFilter(this);
        connect(windowHandle(), &QWindow::screenChanged, this, [this] {
            ReadScreenRatio();
            // Moved to a screen of another ratio, the window keeps its device size (Qt 6.4), which is now another
            // logical size: it is given its 400 x 280 anew, in the new screen's pixels, limits included.
            if (windowHandle()->size() != QSize(Surface::DefaultWidth, Surface::DefaultHeight)) {
                setMinimumSize(0, 0);
                setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
                setFixedSize(Surface::DefaultWidth, Surface::DefaultHeight);
                windowHandle()->resize(Surface::DefaultWidth, Surface::DefaultHeight);
            }
            TakeTicksBack();     // the window is composed anew for the new ratio on its own thread
            outlineRatio_ = 0.0; // the outline Qt keeps is cut for the old ratio
            ApplyOutline();
            FollowScreen();
        });
    }
}

void TfmTimerMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        TakeTicksBack(); // no drawing for a minimized window on the ticker's thread
        tray_.WindowStateChanged();
    } else if (event->type() == QEvent::LanguageChange) {
        Guarded("language change", [this] {
            buttons_.RetranslateCaptions();
            // The first tick draws everything anyway; a tick in progress waits in the time-up box, and drawing
            // now would draw over its half-done picture.
            if (firstTickDone_ && !tickRunning_) {
                RefreshBackground();
                DrawDisplay();
            }
        });
    }
}

void TfmTimerMain::TrayIconClick() {
    tray_.Restore();
}

void TfmTimerMain::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    TakeTicksBack(); // no drawing for a window in the tray on the ticker's thread
}

void TfmTimerMain::closeEvent(QCloseEvent* event) {
    StopTicks();
    Guarded("saving the settings", [this] { SaveSettings(Config, *services_.voice, x(), y()); });
    QWidget::closeEvent(event);
    if (event->isAccepted()) {
        Q_EMIT Closed();
    }
}

} // namespace horavia
