#include "app/TfmTimerMain.h"

#include "app/Guarded.h"
#include "app/WindowSnap.h"
#include "display/ImageAssets.h"
#include "display/WindowShape.h"
#include "engine/Announcements.h"
#include "engine/MinimizeBehaviour.h"
#include "engine/WakeDelay.h"
#include "platform/WakeUpProvider.h"
#include "settings/SettingsStore.h"
#include "speech/SpeakText.h"
#include "texts/Texts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QWindow>

namespace horavia {
namespace {

constexpr int SnapDistance = 10;
constexpr int VisibleHeight = 250; // the window's outline shows rows 0 to 249 of the surface

// Runs `finally` when the scope is left in any way.
template <typename F> struct ScopeExit {
    F finally;
    ~ScopeExit() { finally(); }
};
template <typename F> ScopeExit(F) -> ScopeExit<F>;

// Holds the pointer position of the event being handled for the handler's duration.
struct ScopedPointer {
    ScopedPointer(std::optional<QPoint>& slot, QPoint p) : slot_(slot) { slot_ = p; }
    ~ScopedPointer() { slot_.reset(); }
    std::optional<QPoint>& slot_;
};

bool IsWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

TfmTimerMain::TfmTimerMain(MainWindowServices services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), Engine(*services.clock), Images(LoadImageCollections()),
      services_(std::move(services)) {
    setWindowTitle(QStringLiteral("Horavia"));
    setFixedSize(Surface::DefaultWidth, Surface::DefaultHeight);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    DXDraw.SetPresenter([this] { update(); });

    SiblingInstalled = IsSiblingInstalled();
    Guarded("loading the settings", [this] { LoadSettings(Config, *services_.voice); });
    TrayIcon.setIcon(LoadProgramIcon());
    TrayIcon.setToolTip(QStringLiteral("Horavia"));
    connect(&TrayIcon, &QSystemTrayIcon::activated, this,
            [this] { Guarded("tray click", [this] { TrayIconClick(); }); });
    ApplyTrayOption();
    Engine.Mode = dmClock;
    Engine.LastChimeHour = -1;
    Engine.TabBarShown = true;
    Engine.DisplayFormat = TFormatSettings{};
    ApplyTimeFormat(Config.TimeFormat, Engine.DisplayFormat);
    buttons_.CreateButtons();

    Timer1.setSingleShot(true);
    Timer1.setTimerType(Qt::PreciseTimer); // a coarse timer may fire 10 ms late, and the alarm with it
    Timer1.setInterval(FirstTickInterval);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    Timer1.start();
}

TfmTimerMain::~TfmTimerMain() = default;

void TfmTimerMain::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    Guarded("pointer leaving", [this] {
        buttons_.EndHover();
        setCursor(Qt::ArrowCursor);
    });
}

// ---- the tick -------------------------------------------------------------------------------------

void TfmTimerMain::Timer1Timer() {
    Timer1.stop();
    if (tickRunning_) {
        return; // the tick in progress re-arms the timer when it ends
    }
    tickRunning_ = true;
    // Re-armed on every way out, so a failing step can never stop the clock.
    const ScopeExit rearm{[this] {
        tickRunning_ = false;
        Timer1.setInterval(TickInterval);
        Timer1.start();
    }};
    Guarded("tick", [this] {
        if (Timer1.interval() < TickInterval) {
            RefreshBackground();
        }
        DrawDisplay();
        if (Engine.ReminderDue()) {
            GiveCountdownReminder();
        }
        KeepAwake();
    });
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
    if (!Composer.RefreshBackground(Engine.TabBarShown, windowTitle())) {
        return;
    }
    buttons_.DrawAll();
}

// Copies aside the LCD buttons of the mode, which the per-tick erase would wipe; returns where they lie
// (empty when nothing was saved).
TRect TfmTimerMain::SaveLcdButtonStrip() {
    const TRect strip = buttons_.LcdStrip(Engine.Mode, alarm_.SoundPlaying());
    if (strip.Width() > 0) {
        Composer.SaveStrip(strip);
    }
    return strip;
}

void TfmTimerMain::DrawDisplay() {
    if (!DXDraw.CanDraw()) {
        return;
    }
    const TDisplayMode layout = Engine.Mode;
    const TRect strip = SaveLcdButtonStrip();
    Composer.EraseLcd();
    const DisplayUpdate update = Engine.UpdateDisplay();
    if (update.TimeUp && buttons_.btnLcdCancel) {
        buttons_.btnLcdCancel->SetVisible(false);
    }
    if (layout == dmStopwatch && Engine.SwRunning) {
        if (const auto text =
                StopwatchAnnouncement(Engine, update.ElapsedMs, Config.StopwatchTTS, Config.RemindPeriod)) {
            Say(*text);
        }
    }
    Composer.DrawTexts(layout, update.Texts);
    LastTexts = update.Texts;
    if (layout == dmClock) {
        if (const auto text = HourlyChime(Engine, Config.ClockTTS, Config.TimeFormat)) {
            Say(*text);
        }
    }
    bool stopShown = false;
    if (update.TimeUp) {
        alarm_.OnTimeUp();
        stopShown = alarm_.SoundPlaying() && !Config.ShowMsgBox;
    }
    // The LCD buttons come back over the fresh ground, except where the alarm's stop button took their place.
    // Only what this call saved goes back: a strip saved by an outer call belongs to that call.
    if (strip.Width() > 0) {
        if (stopShown) {
            Composer.DropStrip();
        } else {
            Composer.RestoreStrip(strip.Left, strip.Top);
        }
    }
    DXDraw.Present();
}

void TfmTimerMain::paintEvent(QPaintEvent*) {
    const Bitmap& canvas = DXDraw.Canvas();
    const QImage image(canvas.Data(), canvas.Width(), canvas.Height(), static_cast<qsizetype>(canvas.Stride()),
                       QImage::Format_RGB888);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

// ---- buttons and modes ----------------------------------------------------------------------------

void TfmTimerMain::OnButtonClick(TDxButton* button) {
    const SurfaceButtons& b = buttons_;
    if (button == b.btnClose.get()) {
        close();
    } else if (button == b.btnMinimize.get()) {
        Minimize();
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
            [this](bool) { ApplyTrayOption(); }, this);
    }
    if (fmSettings->exec() == QDialog::Accepted) {
        SaveSettings(Config, *services_.voice, x(), y());
    }
}

// ---- minimizing and the tray ----------------------------------------------------------------------

// One rule for the icon: it shows while the window is hidden in the tray, and only then (the way back).
void TfmTimerMain::ApplyTrayOption() {
    TrayIcon.setVisible(inTray_);
}

void TfmTimerMain::Minimize() {
    if (ChooseMinimizeBehaviour(Config.MinimizeToTray, QSystemTrayIcon::isSystemTrayAvailable()) ==
        MinimizeBehaviour::HideToTray) {
        inTray_ = true;
        ApplyTrayOption();
        hide();
    } else {
        showMinimized();
    }
}

void TfmTimerMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // A minimize from the taskbar or a key goes to the tray too when that option is on.
    if (event->type() == QEvent::WindowStateChange && isMinimized() &&
        ChooseMinimizeBehaviour(Config.MinimizeToTray, QSystemTrayIcon::isSystemTrayAvailable()) ==
            MinimizeBehaviour::HideToTray) {
        QTimer::singleShot(0, this, [this] { Minimize(); });
    }
}

void TfmTimerMain::TrayIconClick() {
    inTray_ = false;
    ApplyTrayOption();
    showNormal();
    raise();
    activateWindow();
}

// ---- sleep, wake and session changes --------------------------------------------------------------

void TfmTimerMain::PowerSuspend() {
    Timer1.stop();
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
    if (!Engine.EnterStopwatch()) {
        return;
    }
    buttons_.PrepareStopwatchButtons();
    buttons_.ShowLcdButtonsOf(dmStopwatch);
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
    RefreshBackground();
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

// ---- mouse ----------------------------------------------------------------------------------------

void TfmTimerMain::DXDrawMouseMove(int x, int y) {
    setCursor(buttons_.HoverAt(x, y));
    if (Dragging) {
        const QPoint pointer = PointerOnScreen(x, y);
        QRect frame(pointer - DragStartCursor + DragStartPos, QSize(width(), VisibleHeight));
        if (const QScreen* s = screen()) {
            frame = SnapToArea(frame, s->availableGeometry(), SnapDistance);
        }
        move(frame.topLeft());
    }
}

void TfmTimerMain::DXDrawMouseDown(Qt::MouseButton button, int x, int y) {
    alarm_.SilenceAlarm(); // any press anywhere, with any button, stops the alarm first
    if (button != Qt::LeftButton || buttons_.At(x, y) != nullptr) {
        return; // a press on a button does nothing else: there is no pressed picture
    }
    if (IsWayland() && windowHandle() != nullptr) {
        windowHandle()->startSystemMove(); // a Wayland client cannot place its own window
        return;
    }
    DragStartCursor = PointerOnScreen(x, y);
    DragStartPos = pos();
    Dragging = true;
}

void TfmTimerMain::DXDrawMouseUp(Qt::MouseButton, int x, int y) {
    if (Dragging) {
        DXDrawMouseMove(x, y);
        Dragging = false;
        return;
    }
    if (TDxButton* b = buttons_.At(x, y)) {
        b->Click();
    }
}

// Where the pointer was when the event happened. Asking the window system now would be late: by the time
// a press is handled the pointer may have moved on, and the drag would lose that distance.
QPoint TfmTimerMain::PointerOnScreen(int x, int y) const {
    return eventPointer_ ? *eventPointer_ : mapToGlobal(QPoint(x, y));
}

void TfmTimerMain::mouseMoveEvent(QMouseEvent* event) {
    const ScopedPointer scoped(eventPointer_, event->globalPosition().toPoint());
    const QPoint p = event->position().toPoint();
    Guarded("mouse move", [this, p] { DXDrawMouseMove(p.x(), p.y()); });
}

void TfmTimerMain::mousePressEvent(QMouseEvent* event) {
    const ScopedPointer scoped(eventPointer_, event->globalPosition().toPoint());
    const QPoint p = event->position().toPoint();
    const Qt::MouseButton b = event->button();
    Guarded("mouse press", [this, b, p] { DXDrawMouseDown(b, p.x(), p.y()); });
}

void TfmTimerMain::mouseReleaseEvent(QMouseEvent* event) {
    const ScopedPointer scoped(eventPointer_, event->globalPosition().toPoint());
    const QPoint p = event->position().toPoint();
    const Qt::MouseButton b = event->button();
    Guarded("mouse release", [this, b, p] { DXDrawMouseUp(b, p.x(), p.y()); });
}

// ---- showing and closing --------------------------------------------------------------------------

void TfmTimerMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    setWindowIcon(QApplication::windowIcon());
    if (!placed_) {
        placed_ = true;
        ApplyWindowShape();
        PlaceAtStoredPosition();
    }
}

void TfmTimerMain::ApplyWindowShape() {
    QRegion outline;
    for (const TRect& run : ShapeRuns(LoadShapePicture())) {
        outline += QRect(run.Left, run.Top, run.Width(), run.Height());
    }
    if (outline.isEmpty()) {
        qCWarning(lcApp) << "no window outline: the window stays rectangular";
        return;
    }
    setMask(outline);
}

void TfmTimerMain::CentreOnScreen() {
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(width() / 2, VisibleHeight / 2));
    }
}

// The stored position is used once, at the first showing, and only where the window would be
// seen on a connected screen; otherwise the window stays centred.
void TfmTimerMain::PlaceAtStoredPosition() {
    CentreOnScreen();
    if (!Config.PositionStored) {
        return;
    }
    // In 64 bits: a stored edge near the limits of int must not wrap into a position on screen.
    const qint64 left = Config.LastWindowPosLeft;
    const qint64 top = Config.LastWindowPosTop;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect area = s->availableGeometry();
        if (left >= area.left() && top >= area.top() && left + width() <= qint64{area.left()} + area.width() &&
            top + VisibleHeight <= qint64{area.top()} + area.height()) {
            move(static_cast<int>(left), static_cast<int>(top));
            return;
        }
    }
}

void TfmTimerMain::closeEvent(QCloseEvent* event) {
    Timer1.stop();
    Guarded("saving the settings", [this] { SaveSettings(Config, *services_.voice, x(), y()); });
    QWidget::closeEvent(event);
    if (event->isAccepted()) {
        Q_EMIT Closed();
    }
}

} // namespace horavia
