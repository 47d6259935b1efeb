#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace horavia {

// Identifiers of the program's string table. The texts are Chinese in the source and translated by the
// interface's language; each identifier keeps its meaning in every language.
namespace StringId {
inline constexpr int ElapsedTime = 65104; // "%s %s %s": hours, minutes and seconds phrases
inline constexpr int HourlyChime = 65105; // "It's %s": the time of day
inline constexpr int TimeIsUp = 65106;    // the time-up message box text
inline constexpr int Version = 65107;     // prefix of the About tab's version line
inline constexpr int ChooseSoundFile = 65108;
inline constexpr int TimerTab = 65125;
inline constexpr int StopwatchTab = 65126;
inline constexpr int ClockTab = 65127;
inline constexpr int SettingsTab = 65128;
inline constexpr int HourSingular = 65129;
inline constexpr int HourPlural = 65130;
inline constexpr int MinuteSingular = 65131;
inline constexpr int MinutePlural = 65132;
inline constexpr int SecondSingular = 65133;
inline constexpr int SecondPlural = 65134;
inline constexpr int RemainingTime = 65135; // "还有 %s %s %s": hours, minutes and seconds phrases
inline constexpr int CannotLoadLibrary = 65143;
inline constexpr int CannotStartSound = 65144;
} // namespace StringId

// The text of id in the interface's language now, translated anew on every call, so a text fetched after a
// language switch is in the new language; empty for an unknown id.
QString LoadStr(int id);

enum class TimeUnit { Hours, Minutes, Seconds };

// Empty for 0; otherwise the decimal number, one space and the unit's singular text for 1 or its plural
// text for any other number.
QString UnitPhrase(TimeUnit unit, std::int64_t n);

// Replaces each "%s" of tmpl, left to right, with the next of args (an empty text once args run out).
// Nothing else in tmpl is special, and the inserted texts are never scanned, so '%' in them is safe.
QString FormatTemplate(const QString& tmpl, const QStringList& args);

} // namespace horavia
