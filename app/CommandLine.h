#pragma once

#include <string>
#include <string_view>

namespace horavia {

// What the command line asks for. Only --help, --version and --list-voices are understood; they are
// answered before any window system is touched, so they work without a display.
enum class CommandLineAction { Run, PrintHelp, PrintVersion, ListVoices, Refuse };

struct CommandLineResult {
    CommandLineAction Action = CommandLineAction::Run;
    std::string Text; // what to print: the help, the version or the complaint
};

CommandLineResult ParseCommandLine(int argc, const char* const* argv);

// The sentence to print when no graphical session can be reached (none of DISPLAY, WAYLAND_DISPLAY
// or QT_QPA_PLATFORM is set), so that the program says so instead of letting Qt abort; empty when
// there is a session to try.
std::string MissingSessionMessage();

} // namespace horavia
