#pragma once

#include "settings/Settings.h"

#include <QString>

namespace horavia::test {

// Two complete settings sets that differ in every value, saved alternately by the save-loop helper.
// Window positions are saved from the window, so each set carries the edges it is saved with.
inline Settings SaveLoopSet(bool second) {
    Settings s;
    s.VoiceName = second ? QStringLiteral("Voix 二号 😀") : QStringLiteral("Voice one");
    s.TimeFormat = second ? 1 : 0;
    s.Language = second ? 7 : 0;
    s.MinimizeToTray = !second;
    s.ShowMsgBox = second;
    s.PlaySound = !second;
    s.SoundFile = second ? QStringLiteral("/home/用户/闹钟 🔔.mp3") : QStringLiteral("/usr/share/sounds/a.wav");
    s.TimerTTS = second;
    s.StopwatchTTS = !second;
    s.ClockTTS = second;
    s.RemindPeriod = second ? 18000 : 60;
    s.AutoIncreaseRemindFreq = !second;
    s.LastWindowPosLeft = second ? -300 : 12;
    s.LastWindowPosTop = second ? 900 : 34;
    return s;
}

inline bool SameSettings(const Settings& a, const Settings& b) {
    return a.VoiceName == b.VoiceName && a.TimeFormat == b.TimeFormat && a.Language == b.Language &&
           a.MinimizeToTray == b.MinimizeToTray && a.ShowMsgBox == b.ShowMsgBox && a.PlaySound == b.PlaySound &&
           a.SoundFile == b.SoundFile && a.TimerTTS == b.TimerTTS && a.StopwatchTTS == b.StopwatchTTS &&
           a.ClockTTS == b.ClockTTS && a.RemindPeriod == b.RemindPeriod &&
           a.AutoIncreaseRemindFreq == b.AutoIncreaseRemindFreq && a.LastWindowPosLeft == b.LastWindowPosLeft &&
           a.LastWindowPosTop == b.LastWindowPosTop;
}

} // namespace horavia::test
