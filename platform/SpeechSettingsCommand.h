#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace horavia {

// A program and its arguments that open a desktop's speech or accessibility settings.
struct SpeechSettingsCommand {
    QString Program;
    QStringList Arguments;
};

// The known settings programs, the desktops' own first; each opens the page nearest to speech.
const std::vector<SpeechSettingsCommand>& KnownSpeechSettingsCommands();

// The first known command whose program is found on PATH, with the program's full path; none when no
// desktop we know of is installed.
std::optional<SpeechSettingsCommand> FindSpeechSettingsCommand();

} // namespace horavia
