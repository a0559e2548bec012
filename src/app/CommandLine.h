#pragma once
// The program's command line. The game itself takes none: a player starts it from the launcher.
// Only --version and --help are answered, before any window exists, so they work on a machine
// without a display; anything else is refused.

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace cardovia::app {

struct CommandLineAnswer {
    int exitCode = 0;
    std::string out;  // for standard output
    std::string err;  // for standard error
};

inline constexpr int kUsageExitCode = 2;

// What to print and the exit code when the arguments (without the program name) ask for
// something other than the game; nothing when the game should start.
std::optional<CommandLineAnswer> AnswerCommandLine(std::span<const std::string_view> arguments,
                                                   std::string_view version);

// The same for main's own arguments: prints the answer and returns its exit code, or returns
// nothing when the game should start.
std::optional<int> HandleCommandLine(int argc, char** argv, std::string_view version);

}  // namespace cardovia::app
