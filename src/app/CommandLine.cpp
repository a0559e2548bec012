#include "app/CommandLine.h"

#include <cstdio>
#include <vector>

namespace cardovia::app {

namespace {

constexpr std::string_view kProgram = "cardovia";
constexpr std::string_view kUsage = "Usage: cardovia [--help | --version]\n";

}  // namespace

std::optional<CommandLineAnswer> AnswerCommandLine(std::span<const std::string_view> arguments,
                                                   std::string_view version) {
    if (arguments.empty()) return std::nullopt;
    if (arguments.size() == 1 && arguments[0] == "--version") {
        return CommandLineAnswer{0, std::string(kProgram) + " " + std::string(version) + "\n", {}};
    }
    if (arguments.size() == 1 && arguments[0] == "--help") {
        return CommandLineAnswer{
            0,
            "cardovia: two-handed Canasta against Thaddock; start it with no arguments "
            "(or --version, --help)\n",
            {}};
    }
    const std::string_view refused =
        arguments[0] == "--version" || arguments[0] == "--help" ? arguments[1] : arguments[0];
    return CommandLineAnswer{kUsageExitCode,
                             {},
                             std::string(kProgram) + ": unexpected argument '" +
                                 std::string(refused) + "'\n" + std::string(kUsage)};
}

std::optional<int> HandleCommandLine(int argc, char** argv, std::string_view version) {
    std::vector<std::string_view> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    const auto answer = AnswerCommandLine(arguments, version);
    if (!answer) return std::nullopt;
    std::fputs(answer->out.c_str(), stdout);
    std::fputs(answer->err.c_str(), stderr);
    return answer->exitCode;
}

}  // namespace cardovia::app
