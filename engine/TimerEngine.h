#pragma once

#include "base/Clock.h"
#include "base/DateTimeFormat.h"
#include "engine/CountdownRequest.h"
#include "engine/DisplayMode.h"
#include "engine/LcdTexts.h"

#include <cstdint>
#include <string>

namespace horavia {

// What one display update found: the texts to draw and whether the countdown ran out just now.
struct DisplayUpdate {
    LcdTexts Texts;
    bool TimeUp = false;        // the countdown ended at this update; the alarm follows the drawing
    std::int64_t ElapsedMs = 0; // stopwatch: the elapsed milliseconds shown
};

// The modes and timing of the window: a countdown to an absolute end instant, a stopwatch kept as
// accumulated time plus the start of the current run, or the clock. Nothing here counts ticks: every
// figure is recomputed from the clock, so a late or missed tick never makes the display drift.
// The fields are the window's engine state and are read by the display and the alarms.
class TimerEngine final {
public:
    explicit TimerEngine(const Clock& clock) : clock_(clock) {}

    // Starts a countdown from the values the set-up dialog gives. The caller leaves the stopwatch first.
    void StartCountdown(const CountdownRequest& request);
    // Enters the stopwatch, zeroed and stopped; a countdown that was running is dropped.
    // Returns false, changing nothing, when the stopwatch is already shown.
    bool EnterStopwatch();
    // Back to the clock from whatever mode; a cancelled countdown gives no alert.
    void ShowClock() { Mode = dmClock; }
    // Starts or pauses the stopwatch; returns whether it runs afterwards.
    bool ToggleStopwatch();
    void ResetStopwatch();

    // The engine's part of a display update: detects the end of the countdown and computes the texts.
    DisplayUpdate UpdateDisplay() { return UpdateDisplayAt(clock_.Now()); }
    // The same for the instant now, read by the caller, who may have looked at it first.
    DisplayUpdate UpdateDisplayAt(TDateTime now);

    std::int64_t StopwatchElapsedMs() const;
    // A spoken countdown reminder is due now.
    bool ReminderDue() const;

    const Clock& GetClock() const { return clock_; }

    TDisplayMode Mode = dmClock;
    TDateTime EndTime = 0;            // end instant of the countdown; 0 once it has run out
    TDateTime NextRemindTime = 0;     // when the next spoken reminder is due; 0 when reminders are off
    std::int64_t SwAccumulatedMs = 0; // stopwatch milliseconds of all finished runs since the last reset
    TDateTime SwRunStart = 0;         // start instant of the current stopwatch run
    bool SwRunning = false;
    std::int64_t SwLastSpokenSecond = 0; // elapsed whole second at which the stopwatch last spoke
    std::int32_t LastChimeHour = -1;     // hour of the last clock announcement
    bool VoiceRemind = false;            // the running countdown speaks its remaining time
    int RemindIndex = 0;                 // its reminder interval, as an index of the interval list
    bool AutoIncrease = false;           // its interval shortens as the end nears
    bool TabBarShown = true;             // the row of mode tabs is shown
    TFormatSettings DisplayFormat;       // the window's own format record for the clock

private:
    LcdTexts CountdownTexts(TDateTime now) const;
    LcdTexts ClockTexts(TDateTime now) const;

    const Clock& clock_;
};

// A number with a "0" put in front when it has exactly one digit; longer numbers keep all digits.
std::string TwoDigits(std::int64_t n);

// The stopwatch's main text and hundredths for an elapsed time in milliseconds.
LcdTexts StopwatchTexts(std::int64_t elapsedMs);

} // namespace horavia
