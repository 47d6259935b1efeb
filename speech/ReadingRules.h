#pragma once

#include <QString>

namespace horavia {

/// The text handed to espeak-ng for a run its voice of this language (espeak-ng's code, "en-us", "cmn") reads,
/// written the way a person would read it aloud; a language without rules gets the text unchanged.
/// English: a whole hour is read "three P M", "three o'clock" or "fifteen hundred" rather than "three zero zero",
/// other times "three forty-five" or "three oh five". Mandarin: a lone 2 before a measure word is read 两
/// (两小时, 两分钟), while 12, 20 and 22 keep 二.
QString ReadingOf(const QString& text, const QString& language);

} // namespace horavia
