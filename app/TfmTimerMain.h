#pragma once

#include "app/AlarmSequence.h"
#include "app/MainWindowServices.h"
#include "app/OffThreadTicker.h"
#include "app/SurfaceButtons.h"
#include "app/TrayBehaviour.h"
#include "app/WindowPlacement.h"
#include "app/WindowThreadLock.h"
#include "display/ImageCollections.h"
#include "display/LcdComposer.h"
#include "display/Surface.h"
#include "display/X11WindowPixels.h"
#include "engine/LcdTexts.h"
#include "engine/TimerEngine.h"
#include "settings/Settings.h"
#include "texts/UiLanguage.h"

#include <QPainter>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>
#include <span>

namespace horavia {

class TfmSettings;
class TfmTimerSetUp;

// The program's one window: a frameless 400 x 280 surface showing the LCD. It runs the tick, draws, keeps the
// modes and answers the keys; its buttons, the alarm, its place on the screen and the tray are parts it owns.
// Everything runs on the window's thread, except plain ticks of a window drawn straight to X11: those run on a
// ticker thread of their own while the window's thread waits for events, so a running display does not wake it.
class TfmTimerMain final : public QWidget {
    Q_OBJECT

public:
    static constexpr int TickInterval = 200; // ms between ticks after the first
    static constexpr int FirstTickInterval = 10;

    explicit TfmTimerMain(MainWindowServices services, QWidget* parent = nullptr);
    ~TfmTimerMain() override;

    void Timer1Timer();
    void DrawDisplay();
    void RefreshBackground();
    void OnButtonClick(TDxButton* button);
    void FormKeyUp(int key);
    void TrayIconClick();

    // The machine is about to sleep, has woken, or the session was locked, unlocked or came back.
    void PowerSuspend();
    void PowerResume();
    void SessionChange();

    // Mouse routing of the surface, in surface pixels.
    void DXDrawMouseMove(int x, int y);
    void DXDrawMouseDown(Qt::MouseButton button, int x, int y);
    void DXDrawMouseUp(Qt::MouseButton button, int x, int y);

    // What the window is made of, to look at.
    const SurfaceButtons& Buttons() const { return buttons_; }
    const AlarmSequence& Alarm() const { return alarm_; }
    const LcdComposer& Composer() const { return composer_; }
    // What the last display update showed.
    const LcdTexts& LastTexts() const { return composer_.DrawnTexts(); }

Q_SIGNALS:
    /// The window was closed (its settings saved): the program ends with it.
    void Closed();

public:
    // The window's own parts that others drive: the engine's state and the settings fields (which the dialogs
    // edit), the drawing surface, the pictures (at the surface's device pixel ratio, the LCD buttons' words in
    // the interface's language) and the tick timer.
    TimerEngine Engine;
    Settings Config;
    Surface DXDraw;
    TImageCollections Images;
    QTimer Timer1;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void StartCountdownFromTab();
    void EnterStopwatch();
    void LeaveStopwatch();
    void ShowClockTab();
    void CancelMode();
    void StartPause();
    void ResetStopwatch();
    void ToggleTabBar();
    void KeepAwake();
    void ShowSettingsDialog();
    void Say(const QString& text);
    void GiveCountdownReminder();
    int NextTickInterval() const;
    // Draws the display as it is at now.
    void DrawDisplayAt(TDateTime now);
    // Whether the tick at now and the next one only draw: no first composition, no other ratio or language, no
    // sounding alarm, no countdown end or reminder close, no tick in progress.
    bool PlainTickAhead(TDateTime now) const;
    // At the end of a tick on the window's thread: the next ticks go to the ticker's thread when they are plain and
    // the window is on screen and drawn straight. Returns whether they do.
    bool HandTicksToThread();
    // A tick on the ticker's thread: draws, or hands the ticks back to the window's thread when it cannot.
    std::optional<int> TickOffThread();
    // The window's thread ticks again (hidden, minimized, moved to another screen).
    void TakeTicksBack();
    // No more ticks on either thread until a start (asleep, closed).
    void StopTicks();
    // The window's device pixel ratio, read anew and kept for the tick, which reads it too often to ask Qt each time:
    // it is read again wherever the ratio may change (shown, moved to another screen, painted, composed anew).
    double ReadScreenRatio();
    // Whether the surface and its pictures no longer fit the screen's ratio or the interface's language.
    bool OutOfDate() const;
    // Gives the surface and the pictures the screen's ratio and the interface's language; the caller composes.
    void MatchScreenAndLanguage();
    // Composes the window anew when its screen's ratio has changed (the window moved to another screen).
    void FollowScreen();
    // The outline at the screen's own resolution, where Qt's logical mask would enlarge its corners.
    void ApplyOutline();
    // Shows the changed rectangles on screen at once; false when the window cannot be painted so and needs Qt's
    // repaint.
    bool PaintNow(std::span<const TRect> changed);
    // Copies the surface's pixels under the logical region to the painter's device, one to one, and remembers them as
    // shown.
    void PaintSurface(QPainter& painter, const QRegion& region);
    // Sends the canvas's pixels under the changed rectangles straight to the window on X11, as the window system's
    // own requests, and notes them as ahead of the backing store; false when they must go through the store.
    bool PutStraight(std::span<const TRect> changed);
    // Gives the backing store the pixels that went straight to the window, so an expose shows them.
    void CatchUpStore();
    // Copies the surface's pixels under the logical region into the store, between its beginPaint and endPaint.
    void CopyIntoStore(QBackingStore& store, const QRegion& region);

    MainWindowServices services_;
    bool SiblingInstalled = false;
    LcdComposer composer_{DXDraw, Images};
    bool tickRunning_ = false;                        // a tick is in progress (perhaps waiting in the time-up box)
    bool firstTickDone_ = false;                      // the first tick, which composes the whole picture, has run
    UiLanguage imagesLanguage_ = UiLanguage::Chinese; // the language of the LCD buttons' pictures
    double outlineRatio_ = 1.0;                       // the ratio the window's outline was last cut for
    double screenRatio_ = 1.0;                        // the window's device pixel ratio as last read
    bool screenWatched_ = false;                      // following the window's screen changes
    bool followQueued_ = false;                       // a paint saw another ratio: the window is composed anew soon
    std::unique_ptr<X11WindowPixels> windowPixels_;   // writes to the window on X11, made at the first tick's paint
    WId windowPixelsFor_ = 0;                         // the native window it writes to
    TRect storeBehind_;                               // logical: sent straight to the window, not yet in the store
    std::unique_ptr<TfmTimerSetUp> fmTimerSetUp;      // created on first use, kept for the window's life
    std::unique_ptr<TfmSettings> fmSettings;          // created on first use, kept for the window's life
    std::shared_ptr<WindowThreadLock> windowLock_;    // held by the window's thread except while it waits
    bool noTickerThread_ = false;                     // the event loop's waiting cannot be caught: no ticker
    bool tickingOffThread_ = false;                   // the ticker's thread is in a tick (holding the lock)
    SurfaceButtons buttons_{*this, DXDraw, Images, composer_, [this](TDxButton* b) { OnButtonClick(b); }};
    AlarmSequence alarm_{*this, Config, services_, DXDraw, buttons_, [this] { DrawDisplay(); }};
    WindowPlacement placement_{*this, Config};
    TrayBehaviour tray_{*this, Config, [this] { TrayIconClick(); }};
    // Last, so it ends first: its ticks use everything above.
    std::unique_ptr<OffThreadTicker> ticker_;
};

} // namespace horavia
