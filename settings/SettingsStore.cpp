#include "settings/SettingsStore.h"

#include "base/Log.h"
#include "settings/RegistryError.h"
#include "texts/Translations.h"

#include <QtEndian>

#include <array>
#include <optional>
#include <vector>

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

// The stored values of wide text; every other value is a 32-bit integer.
bool IsWide(const QString& name) {
    return name == u"SoundFileW" || name == u"VoiceNameW";
}

// Reads the values of one load. A value that cannot be read (wrong type, wrong size, too long) is
// logged once and gives nothing, so that its field takes its default and the rest still load.
class ValueReader final {
public:
    explicit ValueReader(const Registry& reg) : reg_(reg) {}

    std::optional<std::int32_t> Integer(const char16_t* name) {
        return Read<std::int32_t>(name, [this](const QString& n) { return reg_.ReadInteger(n); });
    }
    std::optional<bool> Bool(const char16_t* name) {
        const std::optional<std::int32_t> v = Integer(name);
        return v ? std::optional<bool>(*v != 0) : std::nullopt;
    }
    std::optional<QString> Wide(const char16_t* name) {
        return Read<QString>(name, [this](const QString& n) { return ReadWide(reg_, n); });
    }
    int Failures() const { return failures_; }

private:
    template <typename T, typename F> std::optional<T> Read(const char16_t* name, F read) {
        try {
            return read(Name(name));
        } catch (const RegistryError& e) {
            ++failures_;
            qCWarning(lcSettings).noquote()
                << QStringLiteral("%1 in %2; the setting takes its default").arg(e.Message(), reg_.StorePath());
            return std::nullopt;
        }
    }

    const Registry& reg_;
    int failures_ = 0;
};

// Whether any of our values in the open key cannot be read as the load reads it.
bool HoldsUnreadableValue(const Registry& reg) {
    std::vector<QString> names{QStringLiteral("MinimizeToTray")};
    for (const char16_t* name : RequiredValues) {
        names.push_back(Name(name));
    }
    for (const QString& n : names) {
        if (!reg.ValueExists(n)) {
            continue;
        }
        try {
            if (IsWide(n)) {
                ReadWide(reg, n);
            } else {
                reg.ReadInteger(n);
            }
        } catch (const RegistryError&) {
            return true;
        }
    }
    return false;
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
    // A voice of a service that has not answered yet is chosen when it does.
    voice.WantVoice(name);
}

void SetDefaultSettings(Settings& settings, SpeechVoice& voice) {
    settings.TimeFormat = 0;
    // A first run speaks the language of the user's locale.
    settings.Language = static_cast<std::int32_t>(LocaleUiLanguage());
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
        if (reg->StoreUnreadable()) {
            // Logged by the store, and left as it is: creating the key there would fail as well.
            SetDefaultSettings(settings, voice);
            return;
        }
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
    ValueReader in(*reg);
    settings.TimeFormat = static_cast<std::uint8_t>(in.Integer(u"TimeFormat").value_or(0) & 0xFF);
    settings.Language = in.Integer(u"Language").value_or(static_cast<std::int32_t>(LocaleUiLanguage()));
    if (reg->ValueExists(QStringLiteral("MinimizeToTray"))) {
        settings.MinimizeToTray = in.Bool(u"MinimizeToTray").value_or(true);
    }
    const int failuresBeforeAlarm = in.Failures();
    settings.ShowMsgBox = in.Bool(u"ShowMsgBox").value_or(true);
    settings.PlaySound = in.Bool(u"PlaySound").value_or(false);
    settings.SoundFile = in.Wide(u"SoundFileW").value_or(QString());
    // A lost alarm value must not leave the end of a countdown silent when the user did not choose
    // that: with the box off by choice and the sound lost, the box comes back.
    const bool alarmValueLost = in.Failures() > failuresBeforeAlarm;
    if (alarmValueLost && !settings.ShowMsgBox && !(settings.PlaySound && !settings.SoundFile.isEmpty())) {
        settings.ShowMsgBox = true;
    }
    if (const std::optional<bool> timerTts = in.Bool(u"TimerTTS")) {
        settings.TimerTTS = *timerTts;
    } else {
        settings.TimerTTS = !InstalledVoices(voice).isEmpty();
    }
    settings.StopwatchTTS = in.Bool(u"StopwatchTTS").value_or(false);
    settings.ClockTTS = in.Bool(u"ClockTTS").value_or(false);
    settings.RemindPeriod = in.Integer(u"RemindPeriod").value_or(60);
    settings.AutoIncreaseRemindFreq = in.Bool(u"AutoIncreaseRemindFreq").value_or(false);
    if (const std::optional<QString> voiceName = in.Wide(u"VoiceNameW")) {
        SelectVoice(settings, voice, *voiceName);
    } else {
        const QStringList voices = InstalledVoices(voice);
        if (voices.isEmpty()) {
            settings.VoiceName.clear();
        } else {
            SelectVoice(settings, voice, voices.first());
        }
    }
    const std::optional<std::int32_t> left = in.Integer(u"LastWindowPosLeft");
    const std::optional<std::int32_t> top = in.Integer(u"LastWindowsPosTop");
    if (left) {
        settings.LastWindowPosLeft = *left;
    }
    if (top) {
        settings.LastWindowPosTop = *top;
    }
    // Half a position is no position: the window is then placed as on a first run.
    settings.PositionStored = left && top;
    reg->CloseKey();
}

void SaveSettings(Settings& settings, [[maybe_unused]] SpeechVoice& voice, std::int32_t windowLeft,
                  std::int32_t windowTop, const QString& storePath) {
    const std::unique_ptr<Registry> reg = Registry::Create(Registry::Access::Full, storePath);
    if (!reg) {
        // Nowhere to write: what the user chose in this run stays in effect rather than being reset.
        qCWarning(lcSettings) << "Settings not saved: there is no place for the settings file";
        return;
    }
    if (!reg->OpenKey(SettingsKey, true)) {
        if (!reg->StoreUnreadable()) { // an unreadable file was logged as left untouched
            qCWarning(lcSettings) << "Settings not saved: the settings key can be neither opened nor created";
        }
        return;
    }
    // The load gave defaults for values it could not read; the file that held them is kept.
    if (HoldsUnreadableValue(*reg)) {
        reg->KeepOriginalAside();
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
