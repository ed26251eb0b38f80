// The shell: the command line, the screen each pass runs, focus and pad loss, quits, the pace, start-up in
// awkward folders; the journal: live games replay frame for frame, headless and on the play screen, without
// touching the player's files; bad journals are refused; the golden games still end exactly as pinned.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "app/game_frames.h"
#include "app/journal.h"
#include "app/main_loop.h"
#include "app/start_up.h"
#include "audio/mixer.h"
#include "audio/sound.h"
#include "golden/bot_player.h"
#include "menus/controls_file.h"
#include "platform/backend.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "play/field_drawing.h"
#include "rules/game_state.h"
#include "rules/random.h"
#include "scores/high_scores.h"
#include "scores/row_replays.h"

namespace crossfall {
namespace {

namespace fs = std::filesystem;

const std::string HELP =
    "Usage: crossfall [OPTION]...\n"
    "A falling-block puzzle game. Without options it starts full screen on the menu.\n"
    "\n"
    "Options:\n"
    "  --help           show this help and exit\n"
    "  --version        show the name and version and exit\n"
    "  --replay FILE    show the recorded game in FILE, then the menu\n"
    "  --speed N        with --replay: play it N times as fast (1 to 100)\n"
    "  --verify         with --replay: play it with no display, print its result and exit\n"
    "  --info FILE      print the mode, result, length and date of the recorded game in FILE and exit\n"
    "  --block-symbols  draw every block with its kind's symbol, whatever the menu's switch says\n"
    "\n"
    "Exit status: 0 when the game is left, 1 without a display or with the game already running in\n"
    "this folder (or a replay that now ends otherwise), 2 on bad usage or a replay file that cannot be "
    "played.\n";

struct Record {          // what the recording screens saw; reset by the fixture
    std::string screens; // a letter a pass (M menu, O options, E entry, G game step), S at shut-down
    int passesLeft = 0, menuResult = 1; // the pass taking passesLeft to 0 posts quit code 7
    std::vector<std::uint64_t> clock;   // the clock at each pass
    std::uint64_t hold = 0;             // how long the present of pass HELD_PASS holds the game
} record;

constexpr std::size_t HELD_PASS = 30;

int pass(char screen) {
    record.screens += screen;
    record.clock.push_back(backend::nowMs());
    if (--record.passesLeft == 0) postQuit(7);
    return record.menuResult; // what the menu returns
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
        return runMainLoop({[] { return pass('M'); }, [] { pass('O'); }, [] { pass('E'); }, [] { pass('G'); },
                            [] { record.screens += 'S'; }});
    }
};

TEST(CommandLine, EveryArgumentReadsAsTheUsageSaysAndTheFirstToEndTheRunWins) {
    struct Case {
        std::vector<const char*> args;
        std::string problem; // empty: the game plays; "help" or "version": that text on stdout
        std::string replay = "";
        int speed = 1;
        bool verify = false;
        bool symbols = false;
        std::string info = "";
    };
    const std::vector<Case> cases = {
        {{}, ""},
        {{"--replay=a.cfr", "--speed", "4"}, "", "a.cfr", 4},
        {{"--speed=100", "--verify", "--replay", "--x"}, "", "--x", 100, true},
        {{"--replay", "a", "--replay=b", "--speed", "1"}, "", "b"},
        {{"--block-symbols"}, "", "", 1, false, true},
        {{"--block-symbols=1"}, "option '--block-symbols' takes no value"},
        {{"--help", "--bogus"}, "help"},
        {{"--replay", "a", "--help", "--x"}, "help"},
        {{"--version", "--help"}, "version"},
        {{"--bogus", "--help"}, "unknown option '--bogus'"},
        {{"--hel"}, "unknown option '--hel'"},
        {{"-h"}, "unknown option '-h'"},
        {{"play"}, "unexpected argument 'play'"},
        {{"--verify=1", "--replay", "a"}, "option '--verify' takes no value"},
        {{"--replay"}, "option '--replay' needs FILE"},
        {{"--replay="}, "bad value '' for '--replay'"},
        {{"--replay", "a", "--speed"}, "option '--speed' needs N"},
        {{"--replay", "a", "--speed", "0"}, "bad value '0' for '--speed'"},
        {{"--replay", "a", "--speed", "101"}, "bad value '101' for '--speed'"},
        {{"--replay", "a", "--speed=3x"}, "bad value '3x' for '--speed'"},
        {{"--replay", "a", "--speed", "2", "extra"}, "unexpected argument 'extra'"},
        {{"--verify"}, "--speed and --verify go with --replay"},
        {{"--speed", "2"}, "--speed and --verify go with --replay"},
        {{"--info", "x.cfr"}, "", "", 1, false, false, "x.cfr"},
        {{"--info=--replay", "--block-symbols"}, "", "", 1, false, true, "--replay"},
        {{"--info"}, "option '--info' needs FILE"},
        {{"--info="}, "bad value '' for '--info'"},
        {{"--info", "a", "--replay", "b"}, "--info takes no --replay"},
        {{"--replay", "b", "--info", "a", "--help"}, "help"},
    };
    for (const Case& c : cases) {
        const CommandLine line = parseCommandLine(c.args);
        const bool plays = c.problem.empty(), good = plays || c.problem == "help" || c.problem == "version";
        const std::string text = plays                    ? ""
                                 : c.problem == "help"    ? HELP
                                 : c.problem == "version" ? "crossfall " CROSSFALL_VERSION "\n"
                                                          : "crossfall: " + c.problem + "\n" + HELP;
        EXPECT_EQ(std::tuple(line.action, line.exitCode, line.text, line.toStderr),
                  std::tuple(plays ? Action::Play : Action::Exit, good ? 0 : EXIT_BAD_USAGE, text, !good))
            << c.args.size();
        if (plays) {
            EXPECT_EQ(std::tuple(line.replayFile, line.speed, line.verify, line.blockSymbols, line.infoFile),
                      std::tuple(c.replay, c.speed, c.verify, c.symbols, c.info));
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
    EXPECT_EQ(record.screens, std::string(61, 'M') + "S")
        << "a quit posted in a pass ends the loop at the next";
    EXPECT_NEAR(static_cast<double>(null_backend::sleptMs()), 1000.0, 17.0) << "sixty passes a second";
}

TEST_F(Shell, APresentHeldUpToATenthOfASecondIsMadeUpLongerOnesCostNoFramesAndThePaceGoesOnAtSixty) {
    // The hold, and how many passes then start at once to make up the frames it cost: a present to a
    // covered window may hold the game, and past 100 ms the pace starts afresh instead of racing.
    const std::pair<std::uint64_t, std::size_t> holds[] = {{17, 1}, {40, 2}, {99, 5}, {101, 0}, {1000, 0}};
    for (const auto& [hold, burst] : holds) {
        SetUp();
        inMenu = 0;
        record.hold = hold;
        record.passesLeft = 200;
        runMainLoop({[] { return pass('M'); }, [] { pass('O'); }, [] { pass('E'); },
                     [] {
                         pass('G');
                         if (record.clock.size() == HELD_PASS) null_backend::holdNextPresent(record.hold);
                         static const std::vector<std::uint16_t> picture(800 * 600);
                         backend::showPicture(picture.data());
                     },
                     [] {}});
        ASSERT_EQ(record.screens, std::string(200, 'G')) << hold << ": one game frame a pass, none skipped";
        const std::vector<std::uint64_t>& at = record.clock;
        const std::uint64_t released = at[HELD_PASS - 1] + hold;
        std::size_t atOnce = 0;
        while (at[HELD_PASS + atOnce] == released) ++atOnce;
        EXPECT_EQ(atOnce, burst) << hold << " ms held";
        if (burst == 0) {
            EXPECT_EQ(at[HELD_PASS] - released, 17u) << hold << ": a whole period after the hold";
        }
        for (std::size_t i = HELD_PASS + burst + 1; i < at.size(); ++i) {
            EXPECT_TRUE(at[i] - at[i - 1] == 16 || at[i] - at[i - 1] == 17) << hold << ": pass " << i;
            if (i >= HELD_PASS + burst + 60) {
                EXPECT_NEAR(double(at[i] - at[i - 60]), 1000.0, 1.0) << hold << ": sixty passes to " << i;
            }
        }
    }
}

TEST_F(Shell, WithTraceSetEachChangeOfScreenIsToldOnceWithItsPassAndClock) {
    setenv("CROSSFALL_TRACE", "1", 1);
    record.menuResult = 0;
    inScoreEntry = 1;
    testing::internal::CaptureStderr();
    run(2);
    inScoreEntry = 0;
    run(2);
    unsetenv("CROSSFALL_TRACE");
    ASSERT_EQ(record.screens, "MESGGS");
    const auto told = [](int pass, std::size_t at, char screen) {
        return "crossfall-trace pass " + std::to_string(pass) + " ms " + std::to_string(record.clock[at]) +
               " screen " + screen + "\n";
    };
    EXPECT_EQ(testing::internal::GetCapturedStderr(), told(1, 0, 'M') + told(2, 1, 'E') + told(1, 2, 'G'))
        << "a pass count for each run of the loop, a line for each change";
}

TEST_F(Shell, WithoutADisplayOrWithTheFolderLockedTheGameEndsWithCode1HavingWrittenNothing) {
    null_backend::setDisplayAvailable(false);
    EXPECT_EQ(runGame(CommandLine{}), 1);
    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(".")) left.push_back(entry.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{".crossfall.lock"});
    null_backend::setDisplayAvailable(true);
    testing::internal::CaptureStderr();
    EXPECT_EQ(runGame(CommandLine{}), 1) << "the lock the first start took is held";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "crossfall: Crossfall is already running in this folder.\n");
}

TEST_F(Shell, BlockSymbolsComeFromTheSettingsFileOrForOneRunFromTheCommandLine) {
    const std::string settings = std::string(std::getenv("XDG_CONFIG_HOME")) + "/crossfall/settings.txt";
    // The file's switch (none: no file), the option, then the switch in the run.
    int run = 0;
    for (const auto& [file, option, shown] : {std::tuple{-1, false, 0}, {-1, true, 1}, {1, false, 1}, {0, true, 1}}) {
        // A folder each: the game's lock on its folder is held for the rest of the process.
        const fs::path folder = fs::current_path() / std::to_string(++run);
        fs::create_directory(folder);
        fs::current_path(folder);
        fs::remove_all(std::getenv("XDG_CONFIG_HOME"));
        if (file >= 0) {
            fs::create_directories(fs::path(settings).parent_path());
            std::ofstream(settings) << "block-symbols=" << file << "\n";
        }
        CommandLine line;
        line.blockSymbols = option;
        null_backend::reset();
        null_backend::requestQuit();
        EXPECT_EQ(runGame(line), 0);
        EXPECT_EQ(std::pair(blockSymbols, fs::exists(settings)), std::pair(shown, file >= 0)) << file << option;
        fs::current_path(folder.parent_path());
    }
    blockSymbols = 0;
}

TEST_F(Shell, StartUpReachesTheMenuWhateverTheFolderHoldsAndTheControlsFileMaySwitchTheMusicOff) {
    for (const char* sound : {"sound1_x.wav", "clevel1_sound.wav"})
        fs::copy_file(fs::path(CROSSFALL_SOURCE_DIR) / "data" / sound, sound);
    null_backend::setAudioAvailable(true);
    // A folder in the way fails the write even for a user who may write anywhere.
    fs::create_directory("allLengths.txt");
    std::ofstream("colors.txt") << "old\nlines\nhere\n";
    std::ofstream("scores_classic.txt") << std::string("\x00\xff\xfe binary", 10);
    // A controls file cut short after its first line, then whole ones with the music on, off and odd.
    for (const std::string music : {"", "1", "0", "7"}) {
        const std::string rest = "163\n32\n9\n37\n39\n37\n39\n0\n1\n1\n1\n" + music + "\n";
        std::ofstream("myControls.txt") << "65\n" << (music.empty() ? "" : rest);
        inMenu = 0;
        ASSERT_TRUE(startUp());
        // The tune loops: it still plays once its whole length has been mixed.
        const std::uint64_t tune =
            std::uint64_t{musicSound.buffer->frames} * OUTPUT_RATE / musicSound.frequency;
        std::vector<std::int16_t> block(2 * 4096);
        for (std::uint64_t mixed = 0; mixed <= tune; mixed += 4096) mixAudio(block.data(), 4096);
        EXPECT_EQ(std::tuple(inMenu, keyRotateCCW, musicSound.playing), std::tuple(1, 65, music != "0"))
            << music;
        const auto frames = [](int e) { return effectSounds[e].buffer ? effectSounds[e].buffer->frames : 0u; };
        EXPECT_TRUE(frames(0) > 0 && frames(0) == frames(1)) << "both effects hold the row sound";
        shutDownSound();
    }
    EXPECT_EQ(readFile("colors.txt", 100).value(), "63488,2016,31\r\n");
    EXPECT_TRUE(fs::is_directory("allLengths.txt")) << "nothing of the player's is replaced";
}

const auto fileText = [](const char* name) { return readFile(name, 1 << 24).value_or("<missing>"); };

// What verifyReplay prints and returns, and what it wrote to "moves.txt" and "debug.txt".
struct Verified {
    int code = -1;
    std::string printed, moves, debug;
};

Verified verify(const Journal& journal) {
    fs::remove("moves.txt");
    fs::remove("debug.txt");
    std::FILE* out = std::tmpfile();
    Verified v;
    v.code = verifyReplay(journal, out);
    std::rewind(out);
    for (int c; (c = std::fgetc(out)) != EOF;) v.printed += static_cast<char>(c);
    std::fclose(out);
    v.moves = fileText("moves.txt");
    v.debug = fileText("debug.txt");
    return v;
}

struct JournalTest : testing::Test {
    void SetUp() override {
        for (const char* sound : {"sound1_x.wav", "clevel1_sound.wav"})
            fs::copy_file(fs::path(CROSSFALL_SOURCE_DIR) / "data" / sound, sound);
        null_backend::reset();
        null_backend::setAudioAvailable(true);
        ASSERT_TRUE(startUp());
    }
};

TEST_F(JournalTest, EveryModePlayedLiveReplaysFrameForFrameAndTheBestIsKeptWithItsTable) {
    // Cross-fall with advanced controls and obstacles; Classic dropped on the pad; a pause in each game.
    // Duofall leaves its waiting piece in any arm, so Cross-fall's journal must keep where it waits.
    const bot::GameSetup games[] = {{MODE_CLASSIC, false, false, 300, 900, true},
                                    {MODE_RUBIK, false, false, 200, 900},
                                    {MODE_DUOFALL, false, false, 250, 900},
                                    {MODE_4WAY, true, true, 100, 900},
                                    {MODE_TIME, false, false, 400, 900}};
    for (const bot::GameSetup& game : games) {
        SCOPED_TRACE(game.mode);
        fs::remove("moves.txt");
        // Outside Cross-fall the Up and Down bindings go unread: here codes no key has, never recorded.
        keyUp = game.mode == MODE_4WAY ? VK_LEFT : 256;
        keyDown = game.mode == MODE_4WAY ? VK_RIGHT : -1;
        // The menu's frames before the game change none of what the journal's header holds.
        const JournalHeader start{randomState, game.mode, game.obstacles, {}, nextPiece.kind, nextPiece.fieldIndex,
                                  nextPiece2.kind, nextPiece2.fieldIndex, voicesBusy};
        const long frames = bot::playGame(game);
        const std::string liveMoves = fileText("moves.txt");
        const JournalResult live = currentResult();
        const std::string table = fileText(scoreFileName(game.mode));
        const std::string journal = fileText("lastgame.cfr");
        EXPECT_EQ(fileText(bestReplayName(game.mode)), journal) << "the first result of a mode is its best";

        const JournalRead read = parseJournal(journal);
        ASSERT_TRUE(read.journal) << read.error;
        EXPECT_EQ(std::tuple(read.journal->frameCount, read.journal->result),
                  std::tuple(std::uint32_t(frames), live));
        const JournalHeader& h = read.journal->header;
        EXPECT_EQ(std::tuple(h.randomState, h.mode, h.obstacles, h.nextKind, h.nextField, h.next2Kind, h.next2Field,
                             h.voicesBusy),
                  std::tuple(start.randomState, start.mode, start.obstacles, start.nextKind, start.nextField,
                             start.next2Kind, start.next2Field, start.voicesBusy));
        const int shown = null_backend::picturesShown();
        const Verified v = verify(*read.journal);
        EXPECT_EQ(std::tuple(v.code, inScoreEntry, null_backend::picturesShown()), std::tuple(0, 0, shown))
            << v.printed << ": checked headless, and a result the table would take waits for no initials";
        // Ended a frame before its last, it is not the game it recorded.
        Journal early = *read.journal;
        early.frameCount -= 1;
        testing::internal::CaptureStderr();
        EXPECT_EQ(verify(early).code, 1);
        EXPECT_NE(testing::internal::GetCapturedStderr().find("ends otherwise"), std::string::npos);
        EXPECT_EQ(v.moves, liveMoves) << "every tick as it was played";
        HighScoreEntry best;
        readScoreRows(scoreFileName(game.mode), &best, 1, TABLE_NAME_LENGTH);
        EXPECT_NE(v.printed.find("total: " + std::to_string(best.total) + "\n"), std::string::npos)
            << v.printed;
        EXPECT_EQ(std::tuple(fileText(scoreFileName(game.mode)), fileText("lastgame.cfr")),
                  std::tuple(table, journal))
            << "a replay writes neither";
    }
}

TEST_F(JournalTest, AReplayOnThePlayScreenShowsEveryFrameAtItsSpeedThenTheMenuWithThePlayersSettings) {
    bot::playGame({MODE_4WAY, false, true, 150, 700});
    const JournalRead read = parseJournal(fileText("lastgame.cfr"));
    ASSERT_TRUE(read.journal);
    const Journal journal = *read.journal;
    advanced4Way = 0;
    obstacleMode = 1;
    const std::string before = fileText("lastgame.cfr") + fileText(scoreFileName(MODE_4WAY));
    startReplay(journal, 3);
    static int passes;
    passes = 0;
    const int shown = null_backend::picturesShown();
    runMainLoop({[] { return (postQuit(0), 1); }, [] { postQuit(1); }, [] { postQuit(2); },
                 [] { ++passes, playGameFrame(); }, [] {}});
    EXPECT_EQ(passes, int(journal.frameCount) / 3 + 1)
        << "three frames a pass; the pass past the last ends it";
    EXPECT_GE(null_backend::picturesShown() - shown, int(journal.frameCount))
        << "each frame presented, and flashes";
    EXPECT_EQ(currentResult(), journal.result);
    EXPECT_EQ(std::tuple(advanced4Way, obstacleMode, inMenu), std::tuple(0, 1, 1))
        << "the player's settings back";
    EXPECT_EQ(fileText("lastgame.cfr") + fileText(scoreFileName(MODE_4WAY)), before);
}

TEST(Journal, BadFilesAreRefusedWithOneLineAndExitCode2) {
    const std::string good = fileText(CROSSFALL_SOURCE_DIR "/tests/golden/2p.cfr");
    ASSERT_TRUE(parseJournal(good).journal);
    const auto changed = [&](std::size_t at, char byte) {
        return good.substr(0, at) + byte + good.substr(at + 1);
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "not a Crossfall replay"},
        {changed(4, 3), "made by a newer Crossfall (replay version 3, this one reads 2)"},
        {changed(4, 0), "damaged (replay version 0)"},
        {good.substr(0, 20), "cut short"},
        // The first frame gap as the largest 32-bit number, then as one past it.
        {good.substr(0, 68) + "\xFF\xFF\xFF\xFF\x0F", "damaged (longer than a day of play)"},
        {good.substr(0, 68) + "\xFF\xFF\xFF\xFF\x10", "damaged (a frame count too large)"},
        {good.substr(0, good.size() - 1), "cut short"},
        {good + '\0', "damaged (bytes after the end)"},
        {changed(9, 5), "damaged (a start value out of range)"},
        {changed(good.size() - 9, char(good[good.size() - 9] ^ 1)), "damaged (checksum mismatch)"},
        {std::string(MAX_JOURNAL_BYTES + 1, 'C'), "too large to be a replay"},
    };
    for (const auto& [bytes, error] : cases) {
        const JournalRead read = parseJournal(bytes);
        EXPECT_FALSE(read.journal);
        EXPECT_EQ(read.error, error) << bytes.size();
    }
    // Each start value reads from its first to its last; one past the last is damage.
    const Journal base = *parseJournal(good).journal;
    const std::pair<std::int32_t JournalHeader::*, std::int32_t> edges[] = {
        {&JournalHeader::mode, MODE_TIME},        {&JournalHeader::obstacles, 1}, {&JournalHeader::nextKind, 6},
        {&JournalHeader::nextField, 5},           {&JournalHeader::next2Kind, 6}, {&JournalHeader::next2Field, 5},
        {&JournalHeader::voicesBusy, 1}};
    for (const auto& [field, last] : edges)
        for (const std::int32_t value : {0, last, last + 1}) {
            Journal j = base;
            j.header.*field = value;
            EXPECT_EQ(parseJournal(encodeJournal(j)).error, value > last ? "damaged (a start value out of range)" : "")
                << value;
        }
    // Controls changed twice read back as two sets, each event naming its own.
    Journal changes = base;
    changes.events = {JournalEvent{3, JournalEventKind::ControlsChanged, 0, 0},
                      JournalEvent{9, JournalEventKind::ControlsChanged, 0, 1}};
    changes.controlSets = {{}, {}};
    changes.controlSets[0].fill(7);
    changes.controlSets[1].fill(8);
    changes.frameCount = 10;
    const JournalRead twice = parseJournal(encodeJournal(changes));
    ASSERT_TRUE(twice.journal) << twice.error;
    EXPECT_EQ(std::tuple(twice.journal->events[1].controls, twice.journal->controlSets),
              std::tuple(1u, changes.controlSets));
    // Frame gaps at each varint length's edges, both sides, read back as written, in 1 to 4 bytes.
    Journal gaps = base;
    gaps.events.clear();
    std::uint32_t frame = 0;
    for (const std::uint32_t gap : {0u, 127u, 128u, 16383u, 16384u, 2097151u, 2097152u})
        gaps.events.push_back(JournalEvent{frame += gap, JournalEventKind::VoicesToggled, 0, 0});
    gaps.frameCount = frame;
    const std::string gapBytes = encodeJournal(gaps);
    const JournalRead gapRead = parseJournal(gapBytes);
    ASSERT_TRUE(gapRead.journal) << gapRead.error;
    EXPECT_EQ(gapBytes.size(), 76 + (1 + 1 + 2 + 2 + 3 + 3 + 4) + 7 + 2 + 24 + 4)
        << "the gaps, the kinds, the end";
    for (std::size_t k = 0; k < gaps.events.size(); ++k) EXPECT_EQ(gapRead.journal->events[k].frame, gaps.events[k].frame);
    // A journal of exactly the largest size reads: 106 bytes around records of 54, 3 and 2 bytes.
    Journal largest = base;
    largest.events.assign(310687, JournalEvent{0, JournalEventKind::ControlsChanged, 0, 0});
    largest.events.resize(310687 + 2, JournalEvent{0, JournalEventKind::KeyToggled, 65, 0});
    largest.events.resize(310687 + 5, JournalEvent{0, JournalEventKind::VoicesToggled, 0, 0});
    largest.controlSets.resize(1);
    largest.frameCount = 0;
    const std::string bytes = encodeJournal(largest);
    EXPECT_EQ(std::pair(bytes.size(), parseJournal(bytes).error), std::pair(MAX_JOURNAL_BYTES, std::string()));
    // So does one still being written, its 30 bytes of end made up by ten more key records.
    const std::size_t records = bytes.size() - 30;
    std::string soFar = bytes.substr(0, records);
    for (int k = 0; k < 10; ++k) soFar += bytes.substr(records - 9, 3);
    EXPECT_EQ(std::pair(soFar.size(), parseJournalSoFar(soFar, 1).error), std::pair(MAX_JOURNAL_BYTES, std::string()));
    EXPECT_EQ(parseJournalSoFar(soFar + '\0', 1).error, "too large");
    // Its length is told in minutes and seconds of play.
    for (const auto& [frames, told] : {std::pair{3599u, "3599 (0:59 of play)"}, {3600u, "3600 (1:00 of play)"}}) {
        Journal cut = base;
        cut.frameCount = frames;
        testing::internal::CaptureStderr();
        EXPECT_NE(verify(cut).printed.find(std::string("frames: ") + told), std::string::npos) << told;
        testing::internal::GetCapturedStderr();
    }
    // Every cut and every single flipped bit is refused, never read as another game.
    for (std::size_t size = 0; size < good.size(); ++size)
        EXPECT_FALSE(parseJournal(good.substr(0, size)).journal);
    for (std::size_t at = 0; at < good.size(); ++at)
        for (int bit = 0; bit < 8; ++bit)
            EXPECT_FALSE(parseJournal(changed(at, char(good[at] ^ (1 << bit)))).journal);

    ASSERT_TRUE(saveTextFile("cut.cfr", good.substr(0, 30)));
    CommandLine line;
    line.replayFile = "cut.cfr";
    line.verify = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(runGame(line), EXIT_BAD_USAGE);
    line.replayFile = "missing.cfr";
    EXPECT_EQ(runGame(line), EXIT_BAD_USAGE);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "crossfall: cut.cfr: cut short\ncrossfall: missing.cfr: cannot be read\n");
}

// The golden games: several minutes of each mode played by the scripted player (tests/golden,
// build/record_golden). Any change to how the game plays changes one of these pins.
TEST(Journal, TheGoldenGamesEndExactlyAsPinned) {
    const struct {
        const char *file, *mode;
        int score, bonuses, level, bestCombo;
        const char *fields, *length;
        std::uint64_t movesHash;
        int exitLogged; // "Exited due to game over..." before the ten names the score check logs
    } games[] = {
        {"classic", "Classic", 850, 84, 1, 8, "e93ac11026154534", "14011 (3:53", 4572816261277128356u, 0},
        {"rubik", "Rubik's", 660, 26, 1, 6, "395a036fde2a5fc0", "10476 (2:54", 16033212622601465396u, 0},
        {"4way", "Cross-fall", 1346, 170, 2, 13, "8139a12ddc935bd6", "11204 (3:06", 4508506193761309561u, 1},
        {"2p", "Duofall", 430, 0, 1, 0, "08d6a8a934d06835", "12011 (3:20", 9477723263423287661u, 0},
        {"time", "Time Attack", 830, 43, 1, 5, "2d845468e6183b24", "11138 (3:05", 10110333050795395447u, 0},
    };
    for (const auto& game : games) {
        SCOPED_TRACE(game.file);
        const Verified v = verify(
            loadReplay(std::string(CROSSFALL_SOURCE_DIR "/tests/golden/") + game.file + ".cfr").value());
        std::uint64_t hash = 0xCBF29CE484222325ull;
        for (char c : v.moves) hash = (hash ^ static_cast<std::uint8_t>(c)) * 0x100000001B3ull;
        EXPECT_EQ(v.code, 0);
        EXPECT_EQ(v.printed, std::string("mode: ") + game.mode + "\nscore: " + std::to_string(game.score) +
                                 "\nbonuses: " + std::to_string(game.bonuses) +
                                 "\ntotal: " + std::to_string(game.score + game.bonuses) +
                                 "\nlevel: " + std::to_string(game.level) +
                                 "\nbest combo: " + std::to_string(game.bestCombo) +
                                 "\nfields: " + game.fields + "\nframes: " + game.length + " of play)\n");
        EXPECT_EQ(hash, game.movesHash);
        std::string debug = game.exitLogged != 0 ? "Exited due to game over...\r\n" : "";
        for (int row = 0; row < HIGH_SCORE_ROWS; ++row) debug += "???\r\n";
        EXPECT_EQ(v.debug, debug) << "the score check read an empty table once";
    }
}

} // namespace
} // namespace crossfall
