#pragma once

#include "engine/TimerEngine.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace horavia {

// The spoken texts of the timer and the engine state that decides when they are due. Each returns
// the text to speak now, or nothing, and moves the engine's bookkeeping on.

// The countdown reminder (call when TimerEngine::ReminderDue()): the remaining time, truncated to
// whole seconds. With auto-increase the interval shortens by one step once it reaches the remaining
// time; the next reminder is due one (possibly shortened) interval from now. Returns whether the
// interval was shortened through *shortened, so the dialog's list can follow.
QString TakeCountdownReminder(TimerEngine& engine, bool* shortened = nullptr);

// The stopwatch's elapsed time, at every full multiple of the period after the first ten seconds,
// once per second reached. A period of zero or less counts as a minute.
std::optional<QString> StopwatchAnnouncement(TimerEngine& engine, std::int64_t elapsedMs, bool stopwatchTTS,
                                             std::int32_t remindPeriod);

// The hour, in the first minute of each hour, once per hour ("It's 3:00 PM" or "It's 15:00").
std::optional<QString> HourlyChime(TimerEngine& engine, bool clockTTS, std::uint8_t timeFormat);

} // namespace horavia
