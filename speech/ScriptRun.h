#pragma once

#include <QString>

#include <vector>

namespace horavia {

// A stretch of text written in one script: Chinese characters, or other letters (Latin mostly).
struct ScriptRun {
    enum class Script {
        Neutral, // no letters at all: digits, blanks, punctuation; any voice reads it
        Han,     // Chinese characters
        Other,   // letters of any other script
    };
    QString text;
    Script script = Script::Neutral;
};

/// Cuts a text into alternating runs of Chinese and other letters so that each can go to a voice that reads it.
/// Digits, blanks and punctuation belong to the run before them (the first run takes any leading ones), so
/// "还有 4 分钟" stays one Chinese run and "It's 3:00 PM" one other run. Concatenating the runs gives the text;
/// a text without letters is one neutral run, an empty text no run.
std::vector<ScriptRun> SplitScriptRuns(const QString& text);

} // namespace horavia
