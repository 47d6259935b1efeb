#include "texts/Texts.h"

#include "base/Log.h"

#include <QCoreApplication>

#include <iterator>

namespace horavia {

namespace {

struct SourceText {
    const char* text;
    const char* disambiguation;
};

struct Entry {
    int id;
    SourceText source;
};

// The table's texts as written in the source, Chinese where the interface speaks. The disambiguation starts
// with the id, so entries with the same word (a unit's singular and plural) are translated apart.
constexpr Entry Table[] = {
    {StringId::ElapsedTime,
     QT_TRANSLATE_NOOP3("StringTable", "%s %s %s", "65104 stopwatch's spoken elapsed time: hours, minutes, seconds")},
    {StringId::HourlyChime, QT_TRANSLATE_NOOP3("StringTable", "It's %s", "65105 hourly announcement, time of day")},
    {StringId::TimeIsUp, QT_TRANSLATE_NOOP3("StringTable", "时间到了。", "65106 time-up message box")},
    {StringId::Version, QT_TRANSLATE_NOOP3("StringTable", "版本", "65107 prefix of the version line")},
    {StringId::ChooseSoundFile, QT_TRANSLATE_NOOP3("StringTable", "选择声音文件", "65108 title of the file dialog")},
    {StringId::TimerTab, QT_TRANSLATE_NOOP3("StringTable", "定时器", "65125 timer tab")},
    {StringId::StopwatchTab, QT_TRANSLATE_NOOP3("StringTable", "码表", "65126 stopwatch tab")},
    {StringId::ClockTab, QT_TRANSLATE_NOOP3("StringTable", "时钟", "65127 clock tab")},
    {StringId::SettingsTab, QT_TRANSLATE_NOOP3("StringTable", "设置", "65128 settings tab")},
    {StringId::HourSingular, QT_TRANSLATE_NOOP3("StringTable", "小时", "65129 hour, after the number 1")},
    {StringId::HourPlural, QT_TRANSLATE_NOOP3("StringTable", "小时", "65130 hours, after any other number")},
    {StringId::MinuteSingular, QT_TRANSLATE_NOOP3("StringTable", "分钟", "65131 minute, after the number 1")},
    {StringId::MinutePlural, QT_TRANSLATE_NOOP3("StringTable", "分钟", "65132 minutes, after any other number")},
    {StringId::SecondSingular, QT_TRANSLATE_NOOP3("StringTable", "秒", "65133 second, after the number 1")},
    {StringId::SecondPlural, QT_TRANSLATE_NOOP3("StringTable", "秒", "65134 seconds, after any other number")},
    {StringId::RemainingTime,
     QT_TRANSLATE_NOOP3("StringTable", "还有 %s %s %s",
                        "65135 countdown's spoken reminder of the time left: hours, minutes, seconds")},
    {StringId::CannotLoadLibrary,
     QT_TRANSLATE_NOOP3("StringTable", "Unable to load library %s", "65143 the audio library cannot be loaded")},
    {StringId::CannotStartSound, QT_TRANSLATE_NOOP3("StringTable", "Unable to initialize sound playback subsystem.",
                                                    "65144 the audio library cannot be started")},
};

} // namespace

QString LoadStr(int id) {
    for (const Entry& entry : Table) {
        if (entry.id == id) {
            return QCoreApplication::translate("StringTable", entry.source.text, entry.source.disambiguation);
        }
    }
    qCWarning(lcTexts) << "No text for string id" << id;
    return {};
}

QString UnitPhrase(TimeUnit unit, std::int64_t n) {
    if (n == 0) {
        return {};
    }
    int singular = StringId::SecondSingular;
    int plural = StringId::SecondPlural;
    if (unit == TimeUnit::Hours) {
        singular = StringId::HourSingular;
        plural = StringId::HourPlural;
    } else if (unit == TimeUnit::Minutes) {
        singular = StringId::MinuteSingular;
        plural = StringId::MinutePlural;
    }
    return QString::number(n) + QLatin1Char(' ') + LoadStr(n == 1 ? singular : plural);
}

QString FormatTemplate(const QString& tmpl, const QStringList& args) {
    QString out;
    out.reserve(tmpl.size() + 32);
    qsizetype next = 0;
    for (qsizetype i = 0; i < tmpl.size(); ++i) {
        if (tmpl.at(i) == QLatin1Char('%') && i + 1 < tmpl.size() && tmpl.at(i + 1) == QLatin1Char('s')) {
            if (next < args.size()) {
                out.append(args.at(next));
            }
            ++next;
            ++i;
        } else {
            out.append(tmpl.at(i));
        }
    }
    return out;
}

} // namespace horavia
