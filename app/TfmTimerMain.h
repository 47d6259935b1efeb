#pragma once

#include "app/AlarmSequence.h"
#include "app/MainWindowServices.h"
#include "app/SurfaceButtons.h"
#include "base/Clock.h"
#include "dialogs/TfmSettings.h"
#include "dialogs/TfmTimerSetUp.h"
#include "display/ImageCollections.h"
#include "display/LcdComposer.h"
#include "display/Surface.h"
#include "display/TDxButton.h"
#include "engine/CountdownRequest.h"
#include "engine/TimerEngine.h"
#include "platform/Power.h"
#include "platform/Shell.h"
#include "settings/Settings.h"
#include "speech/SpeechVoice.h"

#include <QPoint>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace horavia {

// The program's one window: a frameless 400 x 280 surface showing the LCD, with its buttons, the
// tick and the mode logic. Everything runs on the window's thread.
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

Q_SIGNALS:
    /// The window was closed (its settings saved): the program ends with it.
    void Closed();

public:
    TimerEngine Engine;
    Settings Config;
    Surface DXDraw;
    TImageCollections Images;
    LcdComposer Composer{DXDraw, Images};
    QTimer Timer1;
    LcdTexts LastTexts; // what the last display update showed
    bool SiblingInstalled = false;
    std::unique_ptr<TfmTimerSetUp> fmTimerSetUp; // created on first use, kept for the window's life
    std::unique_ptr<TfmSettings> fmSettings;     // created on first use, kept for the window's life
    QSystemTrayIcon TrayIcon;

    // The surface buttons, for the clicks that OnButtonClick routes and for looking at them.
    const SurfaceButtons& Buttons() const { return buttons_; }
    // The alarm: whether its sound plays, when it last began.
    const AlarmSequence& Alarm() const { return alarm_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
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
    void Minimize();
    void ApplyTrayOption();
    void ShowSettingsDialog();
    TRect SaveLcdButtonStrip();
    void Say(const QString& text);
    void GiveCountdownReminder();
    void PlaceAtStoredPosition();
    void CentreOnScreen();
    void ApplyWindowShape();

    MainWindowServices services_;
    SurfaceButtons buttons_{*this, DXDraw, Images, Composer, [this](TDxButton* b) { OnButtonClick(b); }};
    AlarmSequence alarm_{*this, Config, services_, DXDraw, buttons_, [this] { DrawDisplay(); }};
    bool Dragging = false;
    QPoint DragStartCursor; // pointer's screen position when the drag began
    QPoint DragStartPos;    // window's position when the drag began
    bool placed_ = false;
    bool tickRunning_ = false;           // a tick is in progress (perhaps waiting in the time-up box)
    bool inTray_ = false;                // hidden to the tray: the tray icon shows exactly then
    std::optional<QPoint> eventPointer_; // screen position of the mouse event being handled
    QPoint PointerOnScreen(int x, int y) const;
};

} // namespace horavia
