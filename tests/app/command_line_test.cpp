// The command line: every argument read as the usage says, the first deciding option or bad
// argument wins, and a bad command line gets the usage on stderr with exit code 2.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <array>
#include <regex>
#include <string>
#include <vector>

namespace crossfall {
namespace {

const std::string HELP = "Usage: crossfall [OPTION]...\n"
                         "A falling-block puzzle game. Without options it starts full screen on the menu.\n"
                         "\n"
                         "Options:\n"
                         "  --help     show this help and exit\n"
                         "  --version  show the name and version and exit\n"
                         "\n"
                         "Exit status: 0 when the game is left, 1 without a display, 2 on bad usage.\n";

CommandLine parse(const std::vector<const char*>& args, std::span<const OptionRow> rows = gameOptions()) {
    return parseCommandLine(args, rows);
}

struct Expected {
    std::vector<const char*> args;
    Action action;
    int exitCode;
    std::string text;
    bool toStderr;
};

TEST(CommandLine, GameOptionsGiveTheirWholeTextAndExitCode) {
    const std::string bad = "crossfall: ";
    const std::vector<Expected> cases = {
        {{}, Action::Play, 0, "", false},
        {{"--help"}, Action::Exit, 0, HELP, false},
        {{"--help", "--bogus"}, Action::Exit, 0, HELP, false},
        {{"--help", "--version"}, Action::Exit, 0, HELP, false},
        {{"--bogus", "--help"}, Action::Exit, 2, bad + "unknown option '--bogus'\n" + HELP, true},
        {{"--hel"}, Action::Exit, 2, bad + "unknown option '--hel'\n" + HELP, true},
        {{"--HELP"}, Action::Exit, 2, bad + "unknown option '--HELP'\n" + HELP, true},
        {{"-h"}, Action::Exit, 2, bad + "unknown option '-h'\n" + HELP, true},
        {{"--"}, Action::Exit, 2, bad + "unknown option '--'\n" + HELP, true},
        {{"play"}, Action::Exit, 2, bad + "unexpected argument 'play'\n" + HELP, true},
        {{""}, Action::Exit, 2, bad + "unexpected argument ''\n" + HELP, true},
        {{"--help=yes"}, Action::Exit, 2, bad + "option '--help' takes no value\n" + HELP, true},
        {{"--version="}, Action::Exit, 2, bad + "option '--version' takes no value\n" + HELP, true},
    };
    for (const Expected& c : cases) {
        const CommandLine line = parse(c.args);
        const std::string shown = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(line.action, c.action) << shown;
        EXPECT_EQ(line.exitCode, c.exitCode) << shown;
        EXPECT_EQ(line.text, c.text) << shown;
        EXPECT_EQ(line.toStderr, c.toStderr) << shown;
    }
}

TEST(CommandLine, VersionIsTheNameAndADottedVersionOnOneLine) {
    for (const std::vector<const char*>& args :
         {std::vector<const char*>{"--version"}, std::vector<const char*>{"--version", "--help"}}) {
        const CommandLine line = parse(args);
        EXPECT_EQ(line.action, Action::Exit);
        EXPECT_EQ(line.exitCode, 0);
        EXPECT_FALSE(line.toStderr);
        EXPECT_TRUE(std::regex_match(line.text, std::regex("crossfall [0-9]+\\.[0-9]+\\.[0-9]+\n"))) << line.text;
    }
}

// ---- An option with a value, as a new row would add one ----

std::vector<std::string> speedsTaken;

bool takeSpeed(CommandLine&, std::string_view value) {
    if (value.size() != 1 || value[0] < '1' || value[0] > '9') return false;
    speedsTaken.emplace_back(value);
    return true;
}

constexpr std::array WITH_VALUE = {
    OptionRow{"--speed", "N", "start at level N", takeSpeed},
    OptionRow{"--v", "", "short", [](CommandLine&, std::string_view) { return true; }},
};

TEST(CommandLine, AValueFollowsItsOptionOrItsEqualsSign) {
    const std::string usage = "Usage: crossfall [OPTION]...\n"
                              "A falling-block puzzle game. Without options it starts full screen on the menu.\n"
                              "\n"
                              "Options:\n"
                              "  --speed N  start at level N\n"
                              "  --v        short\n"
                              "\n"
                              "Exit status: 0 when the game is left, 1 without a display, 2 on bad usage.\n";
    EXPECT_EQ(usageText(WITH_VALUE), usage);
    struct Case {
        std::vector<const char*> args;
        std::vector<std::string> taken;
        std::string problem; // empty: the game plays
    };
    const std::vector<Case> cases = {
        {{"--speed", "3"}, {"3"}, ""},
        {{"--speed=9"}, {"9"}, ""},
        {{"--speed", "1", "--speed=2"}, {"1", "2"}, ""},
        {{"--speed"}, {}, "option '--speed' needs N"},
        {{"--speed="}, {}, "bad value '' for '--speed'"},
        {{"--speed", "0"}, {}, "bad value '0' for '--speed'"},
        {{"--speed", "10"}, {}, "bad value '10' for '--speed'"},
        {{"--speed=3=4"}, {}, "bad value '3=4' for '--speed'"},
        {{"--speed", "--v"}, {}, "bad value '--v' for '--speed'"},
        {{"--speed", "4", "extra"}, {"4"}, "unexpected argument 'extra'"},
        {{"--speed", "5", "--speed"}, {"5"}, "option '--speed' needs N"},
    };
    for (const Case& c : cases) {
        speedsTaken.clear();
        const CommandLine line = parse(c.args, WITH_VALUE);
        const std::string shown = c.args.front() + std::string(" ...") + std::to_string(c.args.size());
        EXPECT_EQ(speedsTaken, c.taken) << shown;
        if (c.problem.empty()) {
            EXPECT_EQ(line.action, Action::Play) << shown;
            EXPECT_EQ(line.text, "") << shown;
        } else {
            EXPECT_EQ(line.action, Action::Exit) << shown;
            EXPECT_EQ(line.exitCode, EXIT_BAD_USAGE) << shown;
            EXPECT_EQ(line.text, "crossfall: " + c.problem + "\n" + usage) << shown;
            EXPECT_TRUE(line.toStderr) << shown;
        }
    }
}

} // namespace
} // namespace crossfall
