// The command line is answered before any window exists; the game itself takes no arguments.

#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace cardovia::app {
namespace {

std::optional<CommandLineAnswer> Answer(std::vector<std::string_view> arguments) {
    return AnswerCommandLine(arguments, "2.0.7");
}

bool OneLine(const std::string& text) {
    return !text.empty() && text.back() == '\n' && std::count(text.begin(), text.end(), '\n') == 1;
}

TEST(CommandLine, NoArgumentsStartsTheGame) {
    EXPECT_FALSE(Answer({}).has_value());
}

TEST(CommandLine, VersionIsOneLineOnStandardOutputAndSucceeds) {
    const auto answer = Answer({"--version"});
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->exitCode, 0);
    EXPECT_EQ(answer->out, "cardovia 2.0.7\n");
    EXPECT_TRUE(answer->err.empty());
}

TEST(CommandLine, HelpIsOneLineOnStandardOutputAndSucceeds) {
    const auto answer = Answer({"--help"});
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->exitCode, 0);
    EXPECT_TRUE(OneLine(answer->out)) << answer->out;
    EXPECT_NE(answer->out.find("cardovia"), std::string::npos);
    EXPECT_TRUE(answer->err.empty());
}

TEST(CommandLine, AnUnknownArgumentIsRefusedWithUsageOnStandardError) {
    const auto answer = Answer({"--fullscreen"});
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ(answer->exitCode, 2);
    EXPECT_TRUE(answer->out.empty());
    EXPECT_NE(answer->err.find("'--fullscreen'"), std::string::npos) << answer->err;
    EXPECT_NE(answer->err.find("Usage: cardovia"), std::string::npos) << answer->err;
}

TEST(CommandLine, ToolkitOptionsAndFileNamesAreRefusedToo) {
    for (const std::string_view argument : {"-platform", "-style", "game.sav", "", "-", "-v"}) {
        const auto answer = Answer({argument});
        ASSERT_TRUE(answer.has_value()) << argument;
        EXPECT_EQ(answer->exitCode, 2) << argument;
    }
}

TEST(CommandLine, AnythingAfterVersionOrHelpIsRefusedAndNamed) {
    const auto afterVersion = Answer({"--version", "now"});
    ASSERT_TRUE(afterVersion.has_value());
    EXPECT_EQ(afterVersion->exitCode, 2);
    EXPECT_TRUE(afterVersion->out.empty());
    EXPECT_NE(afterVersion->err.find("'now'"), std::string::npos) << afterVersion->err;

    const auto both = Answer({"--help", "--version"});
    ASSERT_TRUE(both.has_value());
    EXPECT_EQ(both->exitCode, 2);
    EXPECT_NE(both->err.find("'--version'"), std::string::npos) << both->err;
}

TEST(CommandLine, OptionsAreSpelledExactly) {
    for (const std::string_view argument : {"--Version", "--version=1", "-version", "--hel"}) {
        const auto answer = Answer({argument});
        ASSERT_TRUE(answer.has_value()) << argument;
        EXPECT_EQ(answer->exitCode, 2) << argument;
    }
}

}  // namespace
}  // namespace cardovia::app
