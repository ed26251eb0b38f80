// The shell: the command line read as the usage says (the first deciding option or bad argument wins, a bad
// one gets the usage on stderr and exit code 2), which screen each pass runs, focus and pad loss, quits,
// the pace, and start-up in awkward folders.
#include "app/main_loop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <tuple>
#include <vector>

#include "app/start_up.h"
#include "audio/sound.h"
#include "menus/controls_file.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"

using namespace crossfall;

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

struct Record {           // what the recording screens saw; reset by the fixture
    std::string screens;  // a letter a pass (M menu, O options, E entry, G game step), S at shut-down
    int passesLeft = 0, menuResult = 1; // the pass taking passesLeft to 0 posts quit code 7
} record;

void pass(char screen) {
    record.screens += screen;
    if (--record.passesLeft == 0) postQuit(7);
}

struct Shell : testing::Test {
    void SetUp() override {
        null_backend::reset();
        record = Record{};
        inMenu = 1;
        inOptions = inScoreEntry = showScoreList = 0;
    }
    static int run(int passes) {
        record.passesLeft = passes;
        return runMainLoop({[] { pass('M'); return record.menuResult; }, [] { pass('O'); }, [] { pass('E'); },
                            [] { pass('G'); }, [] { record.screens += 'S'; }});
    }
};

} // namespace

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
        {{"--help", "--bogus"}, "help"},
        {{"--help", "--version"}, "help"},
        {{"--replay", "a", "--help", "--x"}, "help"},
        {{"--version", "--help"}, "version"},
        {{"--bogus", "--help"}, "unknown option '--bogus'"},
        {{"--hel"}, "unknown option '--hel'"},
        {{"-h"}, "unknown option '-h'"},
        {{"--"}, "unknown option '--'"},
        {{"play"}, "unexpected argument 'play'"},
        {{""}, "unexpected argument ''"},
        {{"--help=yes"}, "option '--help' takes no value"},
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

TEST_F(Shell, TheFlagsChooseOneScreenPerPassAndALostFocusOrPadPausesOnlyAGame) {
    // Flags, menu result, what was lost (1 the focus, 2 a pad), then the passes' screens.
    const struct {
        int inMenu, inOptions, inScoreEntry, menuResult, lost;
        const char* screens;
    } cases[] = {
        {1, 1, 1, 1, 0, "OOS"}, {0, 0, 1, 1, 0, "EES"}, {0, 0, 0, 1, 0, "GGS"}, {1, 0, 0, 0, 0, "MGS"},
        {1, 0, 1, 0, 0, "MES"}, {0, 0, 0, 1, 1, "MMS"}, {0, 0, 1, 1, 1, "EES"}, {1, 1, 0, 1, 1, "OOS"},
        {0, 0, 0, 1, 2, "MMS"}, {0, 0, 1, 1, 2, "EES"}, {1, 1, 0, 1, 2, "OOS"}, {1, 0, 0, 1, 2, "MMS"},
    };
    for (const auto& c : cases) {
        SetUp();
        inMenu = c.inMenu, inOptions = c.inOptions, inScoreEntry = c.inScoreEntry;
        record.menuResult = c.menuResult;
        setKeyDown(37, true);
        setPadButton(0, PadButton::DpadLeft, true);
        if (c.lost == 1) null_backend::loseFocus();
        if (c.lost == 2) null_backend::losePad();
        run(2);
        EXPECT_EQ(record.screens, c.screens) << c.lost;
        EXPECT_EQ(std::pair(keyHeld(37), padDirections().left), std::pair(c.lost == 0, c.lost == 0))
            << c.screens << ": a loss lets go of every key and button";
    }
}

TEST_F(Shell, AQuitIsTakenBeforeThatPassesScreenAndPassesKeepTheirPace) {
    null_backend::requestQuit();
    EXPECT_EQ(run(5), 0);
    EXPECT_EQ(record.screens, "S");
    SetUp();
    EXPECT_EQ(run(61), 7) << "the posted code is the exit code";
    EXPECT_EQ(record.screens, std::string(61, 'M') + "S") << "a quit posted in a pass ends the loop at the next";
    EXPECT_NEAR(static_cast<double>(null_backend::sleptMs()), 1000.0, 17.0) << "sixty passes a second";
}

TEST_F(Shell, TheMusicStartsWithTheProgramUnlessTheControlsFileSwitchesItOff) {
    std::filesystem::copy_file(CROSSFALL_SOURCE_DIR "/data/clevel1_sound.wav", "clevel1_sound.wav");
    null_backend::setAudioAvailable(true);
    for (const char* music : {"1", "0", "7"}) {
        std::ofstream("myControls.txt") << "162\n163\n32\n9\n37\n39\n37\n39\n0\n1\n1\n1\n" << music << "\n";
        ASSERT_TRUE(startUp());
        EXPECT_EQ(musicSound.playing, music[0] != '0') << music;
        shutDownSound();
    }
}

TEST_F(Shell, StartUpReachesTheMenuWhateverTheFolderHolds) {
    // A folder in the way fails the write even for a user who may write anywhere.
    std::filesystem::create_directory("allLengths.txt");
    std::ofstream("colors.txt") << "old\nlines\nhere\n";
    std::ofstream("myControls.txt") << "65\n";
    std::ofstream("scores_classic.txt") << std::string("\x00\xff\xfe binary", 10);
    inMenu = 0;
    ASSERT_TRUE(startUp());
    EXPECT_EQ(inMenu, 1);
    EXPECT_EQ(readFile("colors.txt", 100).value(), "63488,2016,31\r\n");
    EXPECT_EQ(keyRotateCCW, 65) << "the controls are read";
    EXPECT_TRUE(std::filesystem::is_directory("allLengths.txt")) << "nothing of the player's is replaced";
}
