#include "engine/Announcements.h"

#include "base/RemindIntervals.h"
#include "texts/Texts.h"

namespace horavia {
namespace {

QString ThreePhrases(int templateId, std::int64_t hours, std::int64_t minutes, std::int64_t seconds) {
    return FormatTemplate(LoadStr(templateId),
                          {UnitPhrase(TimeUnit::Hours, hours), UnitPhrase(TimeUnit::Minutes, minutes),
                           UnitPhrase(TimeUnit::Seconds, seconds)});
}

} // namespace

QString TakeCountdownReminder(TimerEngine& engine, bool* shortened) {
    const TDateTime now = engine.GetClock().Now();
    std::int64_t s = SecondsBetween(engine.EndTime, now);
    const QString text = ThreePhrases(StringId::RemainingTime, s / 3600, s % 3600 / 60, s % 60);
    bool lowered = false;
    if (engine.AutoIncrease) {
        s = SecondsBetween(engine.EndTime, engine.GetClock().Now());
        if (RemindPeriodAt(engine.RemindIndex) >= s && engine.RemindIndex > 0) {
            --engine.RemindIndex;
            lowered = true;
        }
    }
    engine.NextRemindTime = AddSeconds(now, RemindPeriodAt(engine.RemindIndex));
    if (shortened != nullptr) {
        *shortened = lowered;
    }
    return text;
}

std::optional<QString> StopwatchAnnouncement(TimerEngine& engine, std::int64_t elapsedMs, bool stopwatchTTS,
                                             std::int32_t remindPeriod) {
    if (!stopwatchTTS) {
        return std::nullopt;
    }
    const std::int64_t period = remindPeriod > 0 ? remindPeriod : 60;
    const std::int64_t h = elapsedMs / 1000;
    if (h % period != 0 || h == engine.SwLastSpokenSecond || elapsedMs <= 10000) {
        return std::nullopt;
    }
    engine.SwLastSpokenSecond = h;
    return ThreePhrases(StringId::ElapsedTime, elapsedMs / 3600000, h % 3600 / 60, h % 60);
}

std::optional<QString> HourlyChime(TimerEngine& engine, bool clockTTS, std::uint8_t timeFormat) {
    const TDateTime now = engine.GetClock().Now();
    if (!clockTTS || MinuteOf(now) != 0) {
        return std::nullopt;
    }
    const int hour = HourOf(now);
    if (hour == engine.LastChimeHour) {
        return std::nullopt;
    }
    TFormatSettings format = engine.DisplayFormat;
    if (timeFormat == 0) {
        format.LongTimeFormat = "h:mm ampm";
    } else if (timeFormat == 1) {
        format.LongTimeFormat = "h:mm";
    }
    engine.LastChimeHour = hour;
    return FormatTemplate(LoadStr(StringId::HourlyChime), {QString::fromStdString(FormatTime(now, format))});
}

} // namespace horavia
