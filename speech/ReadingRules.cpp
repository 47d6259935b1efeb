#include "speech/ReadingRules.h"

#include <QRegularExpression>

namespace horavia {
namespace {

QString EnglishReading(QString text) {
    // "3:00 PM" and "3:00 p.m." lose the minutes; espeak-ng reads "3 PM" as "three P M".
    static const QRegularExpression HourWithHalfOfDay(QStringLiteral(R"(\b(\d{1,2}):00(\s*[AaPp]\.?[Mm]\b\.?))"));
    text.replace(HourWithHalfOfDay, QStringLiteral("\\1\\2"));

    static const QRegularExpression Time(QStringLiteral(R"(\b(\d{1,2}):(\d\d)\b)"));
    QString read;
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = Time.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const int hour = match.captured(1).toInt();
        const QString minutes = match.captured(2);
        read += text.mid(from, match.capturedStart() - from);
        if (minutes == u"00") {
            read += QString::number(hour) +
                    (hour >= 1 && hour <= 12 ? QStringLiteral(" o'clock") : QStringLiteral(" hundred"));
        } else if (minutes.startsWith(u'0')) {
            read += QString::number(hour) + QStringLiteral(" oh ") + minutes.mid(1);
        } else {
            read += QString::number(hour) + u' ' + minutes;
        }
        from = match.capturedEnd();
    }
    return read + text.mid(from);
}

QString MandarinReading(QString text) {
    // A 2 that is a whole number, not part of 12, 20 or 2.5, before a measure word.
    static const QRegularExpression TwoOfAUnit(
        QStringLiteral(R"((?<![\d.])2(?![\d.])(?=\s*(?:小时|个|分钟|分|秒钟|秒|天|周|星期|次|年|岁|点)))"));
    return text.replace(TwoOfAUnit, QStringLiteral("两"));
}

} // namespace

QString ReadingOf(const QString& text, const QString& language) {
    if (language.startsWith(u"en")) {
        return EnglishReading(text);
    }
    if (language.startsWith(u"cmn") || language.startsWith(u"zh")) {
        return MandarinReading(text);
    }
    return text;
}

} // namespace horavia
