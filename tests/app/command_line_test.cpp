// The command line: every argument read as the usage says, the first deciding option or bad
// argument wins, and a bad command line gets the usage on stderr with exit code 2.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <tuple>
#include <vector>

namespace crossfall {
namespace {

const std::string HELP =
    "Usage: crossfall [OPTION]...\n"
    "A falling-block puzzle game. Without options it starts full screen on the menu.\n"
    "\n"
    "Options:\n"
    "  --help         show this help and exit\n"
    "  --version      show the name and version and exit\n"
    "  --replay FILE  show the recorded game in FILE, then the menu\n"
    "  --speed N      with --replay: play it N times as fast (1 to 100)\n"
    "  --verify       with --replay: play it with no display, print its result and exit\n"
    "\n"
    "Exit status: 0 when the game is left, 1 without a display or with the game already running in\n"
    "this folder (or a replay that now ends otherwise), 2 on bad usage or a replay file that cannot be played.\n";

TEST(CommandLine, EveryArgumentReadsAsTheUsageSaysAndTheFirstToEndTheRunWins) {
    struct Case {
        std::vector<const char*> args;
        std::string problem; // empty: the game plays; "help" or "version": that text on stdout
        std::string replay = "";
        int speed = 1;
        bool verify = false;
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{"--replay", "a.cfr"}, "", "a.cfr"},
        {{"--replay=a.cfr", "--speed", "4"}, "", "a.cfr", 4},
        {{"--speed=100", "--verify", "--replay", "--x"}, "", "--x", 100, true},
        {{"--replay", "a", "--replay=b", "--speed", "1"}, "", "b"},
        {{"--help"}, "help"},
        {{"--help", "--bogus"}, "help"},
        {{"--help", "--version"}, "help"},
        {{"--replay", "a", "--help", "--x"}, "help"},
        {{"--version"}, "version"},
        {{"--version", "--help"}, "version"},
        {{"--bogus", "--help"}, "unknown option '--bogus'"},
        {{"--hel"}, "unknown option '--hel'"},
        {{"--HELP"}, "unknown option '--HELP'"},
        {{"-h"}, "unknown option '-h'"},
        {{"--"}, "unknown option '--'"},
        {{"play"}, "unexpected argument 'play'"},
        {{""}, "unexpected argument ''"},
        {{"--help=yes"}, "option '--help' takes no value"},
        {{"--version="}, "option '--version' takes no value"},
        {{"--verify=1", "--replay", "a"}, "option '--verify' takes no value"},
        {{"--replay"}, "option '--replay' needs FILE"},
        {{"--replay="}, "bad value '' for '--replay'"},
        {{"--replay", "a", "--speed"}, "option '--speed' needs N"},
        {{"--replay", "a", "--speed", "0"}, "bad value '0' for '--speed'"},
        {{"--replay", "a", "--speed", "101"}, "bad value '101' for '--speed'"},
        {{"--replay", "a", "--speed=3x"}, "bad value '3x' for '--speed'"},
        {{"--replay", "a", "--speed=-2"}, "bad value '-2' for '--speed'"},
        {{"--replay", "a", "--speed", "2", "extra"}, "unexpected argument 'extra'"},
        {{"--verify"}, "--speed and --verify go with --replay"},
        {{"--speed", "2"}, "--speed and --verify go with --replay"},
    };
    for (const Case& c : cases) {
        const CommandLine line = parseCommandLine(c.args);
        const std::string shown = c.args.empty() ? "(none)" : c.args.front() + std::to_string(c.args.size());
        if (c.problem.empty()) {
            EXPECT_EQ(std::tuple(line.action, line.text, line.replayFile, line.speed, line.verify),
                      std::tuple(Action::Play, "", c.replay, c.speed, c.verify))
                << shown;
        } else if (c.problem == "help" || c.problem == "version") {
            EXPECT_EQ(std::tuple(line.action, line.exitCode, line.toStderr), std::tuple(Action::Exit, 0, false));
            // The version: the name, then three dot-separated numbers on one line.
            EXPECT_TRUE(c.problem == "help" ? line.text == HELP
                                            : std::regex_match(line.text, std::regex("crossfall \\d+\\.\\d+\\.\\d+\n")))
                << shown << ": " << line.text;
        } else {
            EXPECT_EQ(std::tuple(line.action, line.exitCode, line.text, line.toStderr),
                      std::tuple(Action::Exit, EXIT_BAD_USAGE, "crossfall: " + c.problem + "\n" + HELP, true))
                << shown;
        }
    }
}

} // namespace
} // namespace crossfall
