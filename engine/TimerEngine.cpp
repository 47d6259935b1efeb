#include "engine/TimerEngine.h"

#include "base/RemindIntervals.h"

#include <algorithm>
#include <cmath>

namespace horavia {
namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    if (from.empty()) {
        return;
    }
    for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
}

void RemoveSpaces(std::string& text) {
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
}

std::string HoursMinutesSeconds(std::int64_t hours, std::int64_t minutes, std::int64_t seconds) {
    return TwoDigits(hours) + ":" + TwoDigits(minutes) + ":" + TwoDigits(seconds);
}

} // namespace

std::string TwoDigits(std::int64_t n) {
    std::string text = std::to_string(n);
    return text.size() == 1 ? "0" + text : text;
}

LcdTexts StopwatchTexts(std::int64_t elapsedMs) {
    const std::int64_t seconds = elapsedMs / 1000;
    return {HoursMinutesSeconds(elapsedMs / 3600000, seconds % 3600 / 60, seconds % 60),
            TwoDigits(elapsedMs % 1000 / 10)};
}

void TimerEngine::StartCountdown(const CountdownRequest& request) {
    const TDateTime now = clock_.Now();
    if (request.RelativeTime) {
        EndTime =
            AddSeconds(now, std::int64_t{request.Hours} * 3600 + std::int64_t{request.Minutes} * 60 + request.Seconds);
    } else {
        EndTime = request.AbsoluteTime;
    }
    VoiceRemind = request.VoiceRemind;
    RemindIndex = request.RemindIndex;
    AutoIncrease = request.AutoIncrease;
    NextRemindTime = VoiceRemind ? AddSeconds(now, RemindPeriodAt(RemindIndex)) : 0;
    Mode = dmTimer;
}

bool TimerEngine::EnterStopwatch() {
    if (Mode == dmStopwatch) {
        return false;
    }
    SwAccumulatedMs = 0;
    SwRunStart = clock_.Now();
    SwRunning = false;
    NextRemindTime = 0;
    SwLastSpokenSecond = 0;
    Mode = dmStopwatch;
    return true;
}

bool TimerEngine::ToggleStopwatch() {
    const TDateTime now = clock_.Now();
    if (SwRunning) {
        SwRunning = false;
        SwAccumulatedMs += MillisecondsBetween(SwRunStart, now);
    } else {
        SwRunStart = now;
        SwRunning = true;
    }
    return SwRunning;
}

void TimerEngine::ResetStopwatch() {
    SwRunning = false;
    SwAccumulatedMs = 0;
}

std::int64_t TimerEngine::StopwatchElapsedMs() const {
    if (!SwRunning) {
        return SwAccumulatedMs;
    }
    return SwAccumulatedMs + MillisecondsBetween(SwRunStart, clock_.Now());
}

bool TimerEngine::ReminderDue() const {
    return Mode == dmTimer && VoiceRemind && clock_.Now() >= NextRemindTime;
}

DisplayUpdate TimerEngine::UpdateDisplayAt(TDateTime now) {
    DisplayUpdate update;
    switch (Mode) {
    case dmTimer:
        // In whole milliseconds, the clock's resolution: a reading of the end instant itself must not come out
        // a hair short of it through the fractions of a day.
        if (std::llround(now * MillisecondsPerDay) >= std::llround(EndTime * MillisecondsPerDay)) {
            Mode = dmClock;
            EndTime = 0;
            update.TimeUp = true;
            update.Texts = {"00:00:00", "00"};
        } else {
            update.Texts = CountdownTexts(now);
        }
        break;
    case dmStopwatch:
        update.ElapsedMs = StopwatchElapsedMs();
        update.Texts = StopwatchTexts(update.ElapsedMs);
        break;
    case dmClock:
        update.Texts = ClockTexts(now);
        break;
    }
    return update;
}

LcdTexts TimerEngine::CountdownTexts(TDateTime now) const {
    const std::int64_t s = SecondsBetween(EndTime, now);
    return {HoursMinutesSeconds(s / 3600, s % 3600 / 60, s % 60),
            TwoDigits(MillisecondsBetween(EndTime, now) % 1000 / 10)};
}

LcdTexts TimerEngine::ClockTexts(TDateTime now) const {
    LcdTexts texts{FormatTime(now, DisplayFormat), FormatDate(now, DisplayFormat)};
    RemoveSpaces(texts.Large);
    RemoveSpaces(texts.Small);
    ReplaceAll(texts.Large, "AM", "A");
    ReplaceAll(texts.Large, "PM", "P");
    return texts;
}

} // namespace horavia
