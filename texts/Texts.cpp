#include "texts/Texts.h"

#include "base/Log.h"
#include "texts/StringTable.h"

namespace horavia {

namespace {

const StringTable& ProgramTable() {
    static const StringTable Table = StringTable::FromResource(QString::fromLatin1(ProgramLanguage));
    return Table;
}

} // namespace

QString LoadStr(int id) {
    const StringTable& table = ProgramTable();
    if (!table.Contains(id)) {
        qCWarning(lcTexts) << "No text for string id" << id;
        return {};
    }
    return table.Text(id);
}

QString UnitPhrase(TimeUnit unit, std::int64_t n) {
    return UnitPhrase(unit, n, ProgramTable());
}

QString UnitPhrase(TimeUnit unit, std::int64_t n, const StringTable& table) {
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
    return QString::number(n) + QLatin1Char(' ') + table.Text(n == 1 ? singular : plural);
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
