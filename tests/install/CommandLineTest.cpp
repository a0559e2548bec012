// The command line is answered before any window exists; the game itself takes no arguments.

#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace cardovia::app {
namespace {

TEST(CommandLine, VersionAndHelpAnswerOnStandardOutputAndAnythingElseIsRefused) {
    EXPECT_FALSE(AnswerCommandLine(std::vector<std::string_view>{}, "2.0.7").has_value());
    struct Case {
        std::vector<std::string_view> arguments;
        int exitCode;
        const char* out;  // the start of standard output
        const char* err;  // a part of standard error
    };
    const Case cases[] = {
        {{"--version"}, 0, "cardovia 2.0.7\n", ""},
        {{"--help"}, 0, "cardovia: two-handed Canasta", ""},
        {{"--fullscreen"}, 2, "", "'--fullscreen'"},
        {{"--version", "now"}, 2, "", "'now'"},
        {{"--help", "--version"}, 2, "", "'--version'"},
    };
    for (const Case& c : cases) {
        const auto answer = AnswerCommandLine(c.arguments, "2.0.7");
        ASSERT_TRUE(answer.has_value()) << c.arguments[0];
        EXPECT_EQ(answer->exitCode, c.exitCode) << c.arguments[0];
        EXPECT_EQ(answer->out.rfind(c.out, 0), 0u) << answer->out;
        EXPECT_NE(answer->err.find(c.err), std::string::npos) << answer->err;
        EXPECT_EQ(answer->err.empty(), c.exitCode == 0) << c.arguments[0];
        if (c.exitCode == 0) EXPECT_EQ(std::count(answer->out.begin(), answer->out.end(), '\n'), 1);
        if (c.exitCode != 0) EXPECT_NE(answer->err.find("Usage: cardovia"), std::string::npos);
    }
    for (std::string_view argument : {"-platform", "-style", "game.sav", "", "-", "-v", "--Version",
                                      "--version=1", "-version", "--hel"}) {
        EXPECT_EQ(AnswerCommandLine(std::vector{argument}, "2.0.7")->exitCode, 2) << argument;
    }
}

}  // namespace
}  // namespace cardovia::app
