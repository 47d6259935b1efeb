#pragma once

#include "app/MainWindowServices.h"
#include "base/DateTime.h"
#include "display/Surface.h"
#include "settings/Settings.h"

#include <functional>
#include <memory>

class QWidget;

namespace horavia {

class SurfaceButtons;
class TRsySoundPlayer;

// What happens when a countdown ends: the sound, the time-up box, the stop button, and silencing it all with a
// press. It owns the program's one sound player, made on the first alarm that plays a sound, and publishes it
// in SoundPlayer for the audio library's threads for as long as it lives.
class AlarmSequence final {
public:
    // redraw updates the LCD as a tick would (the window's DrawDisplay).
    AlarmSequence(QWidget& window, const Settings& config, const MainWindowServices& services, Surface& surface,
                  SurfaceButtons& buttons, std::function<void()> redraw);
    ~AlarmSequence();
    AlarmSequence(const AlarmSequence&) = delete;
    AlarmSequence& operator=(const AlarmSequence&) = delete;

    // The time-up sequence: the sound, then the box (which fades the sound when it closes), or without the box
    // the stop button while the sound plays.
    void OnTimeUp();
    // A press anywhere while the sound plays: the stop button goes, the LCD is redrawn and the sound fades out.
    void SilenceAlarm();
    bool SoundPlaying() const;

    // When the last time-up sequence began; 0 before the first.
    TDateTime LastAlarmStart() const { return lastAlarmStart_; }

private:
    TRsySoundPlayer& Player();

    QWidget& window_;
    const Settings& config_;
    const MainWindowServices& services_;
    Surface& surface_;
    SurfaceButtons& buttons_;
    std::function<void()> redraw_;
    std::unique_ptr<TRsySoundPlayer> player_;
    TDateTime lastAlarmStart_ = 0;
};

} // namespace horavia
