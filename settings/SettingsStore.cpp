#include "settings/SettingsStore.h"

#include "settings/RegistryError.h"
#include "settings/SettingsLog.h"

#include <QtEndian>

#include <array>

namespace horavia {

namespace {

// The values that must all be present for the stored set to be used; "MinimizeToTray" came later
// and may be missing from older stores.
constexpr std::array RequiredValues{
    u"TimeFormat", u"Language",          u"ShowMsgBox",        u"PlaySound",    u"SoundFileW",
    u"TimerTTS",   u"StopwatchTTS",      u"ClockTTS",          u"RemindPeriod", u"AutoIncreaseRemindFreq",
    u"VoiceNameW", u"LastWindowPosLeft", u"LastWindowsPosTop",
};

QString Name(const char16_t* name) {
    return QString::fromUtf16(name);
}

bool ReadBool(const Registry& reg, const QString& name) {
    return reg.ReadInteger(name) != 0;
}

// Wide text is read into a zero-filled buffer of 261 code units and taken up to the first zero unit.
QString ReadWide(const Registry& reg, const QString& name) {
    std::array<unsigned char, WideValueBufferBytes> buffer{};
    reg.ReadBinaryData(name, buffer.data(), static_cast<int>(buffer.size()));
    QString text;
    for (int i = 0; i < WideValueMaxUnits; ++i) {
        const char16_t unit = qFromLittleEndian<char16_t>(buffer.data() + 2 * i);
        if (unit == 0) {
            break;
        }
        text.append(QChar(unit));
    }
    return text;
}

void WriteWide(Registry& reg, const QString& name, const QString& text) {
    // Cutting the text would store a different path or voice than the user chose; refuse instead.
    if (!FitsStore(text)) {
        qCWarning(lcSettings) << name << "is too long to store:" << text.size() << "code units";
        throw RegistryError(QStringLiteral("Failed to set data for '%1'").arg(name));
    }
    QByteArray bytes(2 * text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        qToLittleEndian<char16_t>(text.at(i).unicode(), bytes.data() + 2 * i);
    }
    reg.WriteBinaryData(name, bytes.constData(), static_cast<int>(bytes.size()));
}

} // namespace

bool FitsStore(const QString& text) {
    return text.size() <= WideValueMaxUnits && !text.contains(QChar(0));
}

std::int32_t EffectiveRemindPeriod(std::int32_t remindPeriod) {
    return remindPeriod > 0 ? remindPeriod : 60;
}

namespace {

// The installed voices; none when the speech service cannot be reached, which is logged. Without
// speech the timer still works, so a missing service must not leave the settings half made.
QStringList InstalledVoices(SpeechVoice& voice) {
    try {
        return voice.GetVoices();
    } catch (const SpeechError& e) {
        qCWarning(lcSettings) << "No speech voices:" << e.what();
        return {};
    }
}

} // namespace

void SelectVoice(Settings& settings, SpeechVoice& voice, const QString& name) {
    settings.VoiceName = name;
    const QStringList voices = InstalledVoices(voice);
    for (int i = 0; i < voices.size(); ++i) {
        if (voices.at(i) == name) {
            voice.SetVoice(i);
            return;
        }
    }
}

void SetDefaultSettings(Settings& settings, SpeechVoice& voice) {
    settings.TimeFormat = 0;
    settings.Language = 0;
    settings.MinimizeToTray = true;
    settings.ShowMsgBox = true;
    settings.PlaySound = false;
    settings.SoundFile.clear();
    settings.StopwatchTTS = false;
    settings.ClockTTS = false;
    const QStringList voices = InstalledVoices(voice);
    if (!voices.isEmpty()) {
        settings.TimerTTS = true;
        SelectVoice(settings, voice, voices.first());
    } else {
        settings.TimerTTS = false;
        settings.VoiceName.clear(); // no voice can bear an empty name: nothing else to choose
    }
    settings.RemindPeriod = 60;
    settings.AutoIncreaseRemindFreq = false;
}

void LoadSettings(Settings& settings, SpeechVoice& voice, const QString& storePath) {
    const std::unique_ptr<Registry> reg = Registry::Create(Registry::Access::Full, storePath);
    if (!reg) {
        SetDefaultSettings(settings, voice);
        return;
    }
    if (!reg->OpenKey(SettingsKey, false)) {
        try {
            reg->CreateKey(SettingsKey);
        } catch (const RegistryError&) {
            // The error still reaches the caller, but the program must not run on unset fields.
            SetDefaultSettings(settings, voice);
            throw;
        }
        SetDefaultSettings(settings, voice);
        return;
    }
    for (const char16_t* name : RequiredValues) {
        if (!reg->ValueExists(Name(name))) {
            SetDefaultSettings(settings, voice);
            return;
        }
    }
    settings.TimeFormat = static_cast<std::uint8_t>(reg->ReadInteger(QStringLiteral("TimeFormat")) & 0xFF);
    settings.Language = reg->ReadInteger(QStringLiteral("Language"));
    if (reg->ValueExists(QStringLiteral("MinimizeToTray"))) {
        settings.MinimizeToTray = ReadBool(*reg, QStringLiteral("MinimizeToTray"));
    }
    settings.ShowMsgBox = ReadBool(*reg, QStringLiteral("ShowMsgBox"));
    settings.PlaySound = ReadBool(*reg, QStringLiteral("PlaySound"));
    settings.SoundFile = ReadWide(*reg, QStringLiteral("SoundFileW"));
    settings.TimerTTS = ReadBool(*reg, QStringLiteral("TimerTTS"));
    settings.StopwatchTTS = ReadBool(*reg, QStringLiteral("StopwatchTTS"));
    settings.ClockTTS = ReadBool(*reg, QStringLiteral("ClockTTS"));
    settings.RemindPeriod = reg->ReadInteger(QStringLiteral("RemindPeriod"));
    settings.AutoIncreaseRemindFreq = ReadBool(*reg, QStringLiteral("AutoIncreaseRemindFreq"));
    SelectVoice(settings, voice, ReadWide(*reg, QStringLiteral("VoiceNameW")));
    settings.LastWindowPosLeft = reg->ReadInteger(QStringLiteral("LastWindowPosLeft"));
    settings.LastWindowPosTop = reg->ReadInteger(QStringLiteral("LastWindowsPosTop"));
    settings.PositionStored = true;
    reg->CloseKey();
}

void SaveSettings(Settings& settings, [[maybe_unused]] SpeechVoice& voice, std::int32_t windowLeft, std::int32_t windowTop,
                  const QString& storePath) {
    const std::unique_ptr<Registry> reg = Registry::Create(Registry::Access::Full, storePath);
    if (!reg) {
        // Nowhere to write: what the user chose in this run stays in effect rather than being reset.
        qCWarning(lcSettings) << "Settings not saved: there is no place for the settings file";
        return;
    }
    if (!reg->OpenKey(SettingsKey, true)) {
        qCWarning(lcSettings) << "Settings not saved: the settings key can be neither opened nor created";
        return;
    }
    reg->WriteInteger(QStringLiteral("TimeFormat"), settings.TimeFormat);
    reg->WriteInteger(QStringLiteral("Language"), settings.Language);
    reg->WriteInteger(QStringLiteral("MinimizeToTray"), settings.MinimizeToTray ? 1 : 0);
    reg->WriteInteger(QStringLiteral("ShowMsgBox"), settings.ShowMsgBox ? 1 : 0);
    reg->WriteInteger(QStringLiteral("PlaySound"), settings.PlaySound ? 1 : 0);
    WriteWide(*reg, QStringLiteral("SoundFileW"), settings.SoundFile);
    reg->WriteInteger(QStringLiteral("TimerTTS"), settings.TimerTTS ? 1 : 0);
    reg->WriteInteger(QStringLiteral("StopwatchTTS"), settings.StopwatchTTS ? 1 : 0);
    reg->WriteInteger(QStringLiteral("ClockTTS"), settings.ClockTTS ? 1 : 0);
    reg->WriteInteger(QStringLiteral("RemindPeriod"), settings.RemindPeriod);
    reg->WriteInteger(QStringLiteral("AutoIncreaseRemindFreq"), settings.AutoIncreaseRemindFreq ? 1 : 0);
    WriteWide(*reg, QStringLiteral("VoiceNameW"), settings.VoiceName);
    reg->WriteInteger(QStringLiteral("LastWindowPosLeft"), windowLeft);
    reg->WriteInteger(QStringLiteral("LastWindowsPosTop"), windowTop);
    reg->CloseKey();
}

void ApplyTimeFormat(std::uint8_t timeFormat, TFormatSettings& format) {
    if (timeFormat == 0) {
        format.LongTimeFormat = "h:mm:ss ampm";
    } else if (timeFormat == 1) {
        format.LongTimeFormat = "h:mm:ss";
    }
}

bool IsSiblingInstalled(const QString& storePath) {
    const std::unique_ptr<Registry> reg = Registry::Create(Registry::Access::Read, storePath);
    return reg && reg->KeyExists(SiblingKey);
}

} // namespace horavia
