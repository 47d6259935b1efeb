#include "app/CommandLine.h"

#include <cstdlib>

namespace horavia {
namespace {

constexpr std::string_view Help = R"(Usage: horavia [--help] [--version] [--list-voices]

Horavia is a countdown timer, stopwatch and clock drawn as an LCD. It is used with the mouse:
the four tabs choose the countdown, the stopwatch, the clock and the settings; F1 opens the help.

Options:
  --help      print this text and exit
  --version   print the version and exit
  --list-voices
              print the speech voices the settings offer, one a line: the back-end, a tab, the
              voice's name; the desktop's speech-dispatcher when it answers, then the embedded voices

Settings are stored in $XDG_CONFIG_HOME/horavia/settings.conf (~/.config/horavia/ by default).
Problems are logged on standard error under the categories horavia.*; set
QT_LOGGING_RULES="horavia.*.debug=true" for more detail.
)";

} // namespace

CommandLineResult ParseCommandLine(int argc, const char* const* argv) {
    CommandLineResult result;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            return {CommandLineAction::PrintHelp, std::string(Help)};
        }
        if (arg == "--version" || arg == "-v") {
            return {CommandLineAction::PrintVersion, "horavia " HORAVIA_VERSION "\n"};
        }
        if (arg == "--list-voices") {
            return {CommandLineAction::ListVoices, {}};
        }
        // Options of Qt itself (-platform, -style ...) and their values pass through to the application.
        if (arg.starts_with("--")) {
            return {CommandLineAction::Refuse,
                    "horavia: unknown option " + std::string(arg) + "\nTry 'horavia --help' for more information.\n"};
        }
    }
    return result;
}

std::string MissingSessionMessage() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return {};
        }
    }
    return "horavia: no graphical session was found (neither DISPLAY nor WAYLAND_DISPLAY is set); "
           "to try it without a desktop, run: xvfb-run -s '-screen 0 1280x800x24' horavia\n";
}

} // namespace horavia
