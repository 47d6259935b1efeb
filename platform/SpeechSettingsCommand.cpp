#include "platform/SpeechSettingsCommand.h"

#include <QStandardPaths>

namespace horavia {

const std::vector<SpeechSettingsCommand>& KnownSpeechSettingsCommands() {
    static const std::vector<SpeechSettingsCommand> Commands = {
        {QStringLiteral("gnome-control-center"), {QStringLiteral("universal-access")}},
        {QStringLiteral("systemsettings"), {QStringLiteral("kcm_access")}},
        {QStringLiteral("systemsettings5"), {QStringLiteral("kcm_access")}},
        {QStringLiteral("cinnamon-settings"), {QStringLiteral("universal-access")}},
        {QStringLiteral("mate-at-properties"), {}},
        {QStringLiteral("xfce4-accessibility-settings"), {}},
    };
    return Commands;
}

std::optional<SpeechSettingsCommand> FindSpeechSettingsCommand() {
    for (const SpeechSettingsCommand& command : KnownSpeechSettingsCommands()) {
        const QString path = QStandardPaths::findExecutable(command.Program);
        if (!path.isEmpty()) {
            return SpeechSettingsCommand{path, command.Arguments};
        }
    }
    return std::nullopt;
}

} // namespace horavia
