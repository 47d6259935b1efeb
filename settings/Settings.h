#pragma once

#include <QString>

#include <cstdint>

namespace horavia {

// The user's stored settings as the main window holds them, in the order the window declares them.
// Values are kept as loaded: nothing here is validated.
struct Settings {
    QString VoiceName;                   // description of the chosen speech voice
    std::uint8_t TimeFormat = 0;         // 0: 12-hour clock with AM/PM, 1: 24-hour clock
    std::int32_t Language = 0;           // index into the settings dialog's language list
    bool MinimizeToTray = false;         // false until loaded or defaulted
    bool ShowMsgBox = false;             // show the time-up message box
    bool PlaySound = false;              // play SoundFile when a countdown ends
    QString SoundFile;                   // full path of the alarm sound
    bool TimerTTS = false;               // initial state of the set-up dialog's speech reminder
    bool StopwatchTTS = false;           // speak the stopwatch's elapsed time
    bool ClockTTS = false;               // announce every full hour in the clock
    std::int32_t RemindPeriod = 0;       // seconds; one of RemindIntervalTable when set by the program
    bool AutoIncreaseRemindFreq = false; // initial state of the set-up dialog's auto-increase box
    std::int32_t LastWindowPosLeft = 0;  // screen pixels, as loaded
    std::int32_t LastWindowPosTop = 0;   // screen pixels, as loaded
    bool PositionStored = false;         // the two position fields came from the store
};

} // namespace horavia
