#include "speech/ScriptRun.h"

#include <QChar>
#include <QList>

namespace horavia {
namespace {

using Script = ScriptRun::Script;

// Neutral for characters that every voice reads alike and so do not decide a run: digits, blanks, punctuation.
Script ScriptOf(char32_t code) {
    if (!QChar::isLetter(code)) {
        return Script::Neutral; // also CJK punctuation such as "。", which reads as a pause anywhere
    }
    return QChar::script(code) == QChar::Script_Han ? Script::Han : Script::Other;
}

} // namespace

std::vector<ScriptRun> SplitScriptRuns(const QString& text) {
    std::vector<ScriptRun> runs;
    QString pending; // neutral characters seen before the first letter
    const QList<uint> codes = text.toUcs4();
    for (const uint code : codes) {
        const char32_t c = code;
        const QString piece = QString::fromUcs4(&c, 1);
        const Script script = ScriptOf(c);
        if (script == Script::Neutral) {
            if (runs.empty()) {
                pending += piece;
            } else {
                runs.back().text += piece;
            }
            continue;
        }
        if (runs.empty() || runs.back().script != script) {
            runs.push_back(ScriptRun{runs.empty() ? pending + piece : piece, script});
        } else {
            runs.back().text += piece;
        }
    }
    if (runs.empty() && !pending.isEmpty()) {
        runs.push_back(ScriptRun{pending, Script::Neutral});
    }
    return runs;
}

} // namespace horavia
