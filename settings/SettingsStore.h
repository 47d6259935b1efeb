#pragma once

#include "base/DateTimeFormat.h"
#include "settings/Registry.h"
#include "settings/Settings.h"
#include "speech/SpeechVoice.h"

#include <QString>

#include <cstdint>

namespace horavia {

// The key holding our values, and the sibling product's key that is only tested for existence.
inline const QString SettingsKey = QStringLiteral("Software\\Horavia");
inline const QString SiblingKey = QStringLiteral("Software\\Rousely!");

// A wide-text value ("SoundFileW", "VoiceNameW") holds at most this many UTF-16 code units.
inline constexpr int WideValueMaxUnits = 261;
inline constexpr int WideValueBufferBytes = 2 * WideValueMaxUnits;

// Whether text can be stored as a wide-text value and read back unchanged: at most 261 UTF-16 code
// units and no zero code unit (reading stops at the first one). The settings dialog refuses others.
bool FitsStore(const QString& text);

// The reminder period to compute with: a stored period of zero or less would divide by zero, so it
// counts as a minute. The stored value itself is kept as loaded.
std::int32_t EffectiveRemindPeriod(std::int32_t remindPeriod);

// Stores name in VoiceName and makes the first voice whose description equals it, code unit for code
// unit, the current voice; when none does, the voice stays as it is.
void SelectVoice(Settings& settings, SpeechVoice& voice, const QString& name);

// The default set; the stored window position is not touched. The language is the one of the user's locale.
void SetDefaultSettings(Settings& settings, SpeechVoice& voice);

// Reads the settings from the store at storePath. A missing key is created empty and a store lacking
// any value but "MinimizeToTray" gives the defaults. A value that cannot be read (wrong type, too long)
// is logged and its field takes its default while the rest still load; should that lose an alarm value
// with the message box off, the box is turned on, so the end of a countdown is never silently lost. A
// settings file that cannot be read at all gives the defaults and is left as it is. Raises RegistryError
// only when the key cannot be created.
void LoadSettings(Settings& settings, SpeechVoice& voice, const QString& storePath = Registry::UserStorePath());

// Writes all fourteen values, the window position from the window's current left and top edges. The
// values are stored all together or, when any of them fails (RegistryError), not at all. A file holding
// a value that the load could not read is first kept as "settings.conf.corrupt-<time>".
void SaveSettings(Settings& settings, SpeechVoice& voice, std::int32_t windowLeft, std::int32_t windowTop,
                  const QString& storePath = Registry::UserStorePath());

// 0: 12-hour clock with AM/PM, 1: 24-hour clock; other values leave the format as it is.
void ApplyTimeFormat(std::uint8_t timeFormat, TFormatSettings& format);

// Whether the sibling product's key exists in the store.
bool IsSiblingInstalled(const QString& storePath = Registry::UserStorePath());

} // namespace horavia
