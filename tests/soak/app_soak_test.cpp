// Long random play through the real main loop, headless: each mode in turn gets random keys, pauses,
// resumes, Obstacle Mode and initials, or a new game over a result still waiting for them; the options and
// the list of all tables are visited; now and then a game is cut off as a kill would, the program started
// again and the game resumed, just as it was; a row's game is played from the list. After every save each
// score file holds exactly its mode's ten best, and each row earned here exactly one journal, its game.
// CROSSFALL_SOAK_FRAMES sets the game frames per mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/game_frames.h"
#include "app/main_loop.h"
#include "app/start_up.h"
#include "menus/controls_file.h"
#include "menus/main_menu.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "play/game_step.h"
#include "rules/game_frame.h"
#include "rules/game_snapshot.h"
#include "rules/game_state.h"
#include "scores/high_score_entry.h"
#include "scores/high_scores.h"
#include "scores/row_replays.h"
#include "support/picture.h"

using namespace crossfall;

namespace {

std::mt19937 rng{12345};
long framesWanted = 200000, modeFrames[5] = {}, tableChecks = 0;
long settledForANewGame = 0; // results still waiting for initials when a new game was started
long resumed = 0, optionsFrames = 0, listFrames = 0, replayFrames = 0, journalsVerified = 0;
long gameFrames = 0; // of the game being played

// Counts the frames of each game from its start, wherever it starts (a click in a pause's menu frame too).
void watchGameStarts() {
    static void (*recordStart)(int) = nullptr;
    recordStart = rulesSeam.gameStarting;
    rulesSeam.gameStarting = [](int mode) {
        gameFrames = 0;
        recordStart(mode);
    };
}
int targetMode = 0;
bool pausedMidGame = false;
std::vector<std::int32_t> earned[5]; // every ended game's result, by mode

const auto chance = [](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
const auto pick = [](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

// The rows a game of this run earned (the first ones) have their journal, and nothing else of the mode is
// kept; a journal not seen before must play to its row's total.
void expectOneJournalPerEarnedRow(int mode, const HighScoreEntry (&rows)[10], int earnedRows) {
    static std::set<std::string> verified; // once per run
    std::set<std::string> want, kept;
    for (int k = 0; k < earnedRows; ++k) want.insert(rowReplayPath(mode, rows, k).substr(8));
    for (const std::string& file : folderFileNames(ROW_REPLAYS_FOLDER)) {
        const auto row = parseRowReplayFileName(file);
        if (row && row->mode == mode) kept.insert(file);
    }
    EXPECT_EQ(kept, want) << scoreFileName(mode);
    for (int k = 0; k < earnedRows; ++k) {
        const std::string path = rowReplayPath(mode, rows, k);
        const std::string bytes = readFile(path.c_str(), MAX_JOURNAL_BYTES).value_or("");
        if (!verified.insert(path + bytes).second) continue;
        const JournalRead read = parseJournal(bytes);
        ASSERT_TRUE(read.journal) << path << ": " << read.error;
        const GameSnapshot game = takeSnapshot();
        std::FILE* out = std::tmpfile();
        EXPECT_EQ(verifyReplay(*read.journal, out), 0) << path;
        EXPECT_EQ(finalTotal(), rows[k].total) << path;
        std::fclose(out);
        restoreSnapshot(game);
        ++journalsVerified;
    }
}

// Each table (none before its first save) must be ten "NAME SCORE" lines holding its mode's ten best.
void expectTablesMatchEarnedResults() {
    ++tableChecks;
    for (int mode = 0; mode < 5; ++mode) {
        const auto text = readFile(scoreFileName(mode), 1 << 16);
        if (!text) continue;
        std::vector<std::int32_t> best = earned[mode];
        std::ranges::sort(best, std::greater<>());
        best.resize(10, 0);
        HighScoreEntry rows[10];
        readScoreRows(scoreFileName(mode), rows, 10, TABLE_NAME_LENGTH);
        for (int k = 0; k < 10; ++k) {
            EXPECT_EQ(rows[k].total, best[k]) << scoreFileName(mode) << " row " << k;
            EXPECT_TRUE(rows[k].name[0] != '\0') << scoreFileName(mode) << " row " << k;
        }
        EXPECT_EQ(*text, toTextMode(scoreTableText(rows))); // the ten rows as the game writes them
        expectOneJournalPerEarnedRow(mode, rows, std::min<int>(10, static_cast<int>(earned[mode].size())));
    }
}

// True when a settled block stands in the top five rows of a field in play: the end may be near.
bool stackNearTheTop() {
    const int first = gameMode == MODE_DUOFALL ? 4 : 0;
    const int last = gameMode == MODE_DUOFALL ? 5 : gameMode == MODE_4WAY ? 3 : 0;
    for (int f = first; f <= last; ++f)
        for (const auto& column : fields[f].cells)
            if (std::any_of(column.begin(), column.begin() + 5, [](auto cell) { return cell != EMPTY; })) return true;
    return false;
}

// A row's game played from the list: watched a while, mostly left by Escape.
void replayFrame() {
    releaseAllKeys();
    setKeyDown(VK_ESCAPE, chance(0.005));
    replayFrames += 1;
    gameScreens.gameStep();
}

void gameFrame() {
    if (replayRunning()) return replayFrame();
    releaseAllKeys();
    const bool running = gameOver == 0;
    if (running) {
        modeFrames[gameMode] += 1;
        for (int binding : keyBindings) setKeyDown(binding, chance(binding == keyDrop ? 0.03 : 0.2));
    }
    // Escape often near the end, so it is sometimes held in the very frame the game ends.
    const bool escape = chance(!running ? 0.2 : stackNearTheTop() ? 0.2 : 0.0005);
    setKeyDown(VK_ESCAPE, escape);
    pausedMidGame = escape && running;
    gameScreens.gameStep();
    if (running) gameFrames += 1;
    if (running && gameOver != 0) earned[gameMode].push_back(finalTotal());
    // Cut off after a second's sync, as a kill would, then started again: back just as it was, paused.
    if (running && gameOver == 0 && inMenu == 0 && gameFrames % 60 == 0 && chance(0.02)) {
        const std::uint64_t before = gameStateDigest();
        EXPECT_TRUE(startUp() && resumeUnfinishedGame() && gameStateDigest() == before && inMenu == 1);
        watchGameStarts();
        pausedMidGame = true;
        resumed += 1;
    }
    if (testing::Test::HasFailure()) postQuit(1);
    if (modeFrames[targetMode] >= framesWanted) {
        if (targetMode == 4) postQuit(0);
        targetMode = std::min(targetMode + 1, 4);
    }
}

void entryFrame() {
    releaseAllKeys();
    setKeyDown('A' + pick(26), chance(0.3));
    setKeyDown(VK_BACK, chance(0.1));
    setKeyDown(VK_RETURN, chance(0.1));
    gameScreens.scoreEntry();
    if (inScoreEntry == 0) expectTablesMatchEarnedResults();
}

// Random cursor moves, keys and clicks over the options or the list; either is left after a while.
void wander(int leaveX, int leaveY) {
    releaseAllKeys();
    const bool leave = chance(0.05);
    addMouseMotion((leave ? leaveX : 380 + pick(360)) - mouseX, (leave ? leaveY : 100 + pick(420)) - mouseY);
    setKeyDown(VK_LBUTTON, leave || chance(0.1));
    setKeyDown(pick(256), chance(0.3));
    setKeyDown(VK_ESCAPE, chance(0.01));
}

void optionsFrame() {
    wander(450, 485);
    optionsFrames += 1;
    gameScreens.optionsScreen();
}

// Mostly the mode being soaked, sometimes Resume, Obstacle Mode, the options or the list; a game paused
// mid-play is mostly resumed, and a result waiting for initials often gives way to a new game.
int menuFrame() {
    static const int modeY[5] = {205, 242, 278, 314, 389};
    if (showScoreList != 0) {
        wander(400, 515);
        listFrames += 1;
        return runMainMenu();
    }
    const bool entryWaiting = inScoreEntry != 0;
    const bool resume = pausedMidGame && !entryWaiting && chance(0.9);
    const bool elsewhere = !resume && chance(0.02);
    const int x = elsewhere && chance(0.5) ? 560 : 200;
    const int y = resume ? 150 : elsewhere ? (x == 560 ? 425 : 420) : chance(0.05) ? 350 : modeY[targetMode];
    releaseAllKeys();
    addMouseMotion(x - mouseX, y - mouseY);
    setKeyDown(VK_LBUTTON, resume || elsewhere || chance(0.5));
    const int stay = runMainMenu();
    if (stay == 0) pausedMidGame = false;
    if (entryWaiting && inScoreEntry == 0) {
        ++settledForANewGame;
        expectTablesMatchEarnedResults();
    }
    return stay;
}

} // namespace

TEST(AppSoak, EveryModeSurvivesLongRandomPlayAndEachTableHoldsItsModesTenBest) {
    if (const char* frames = std::getenv("CROSSFALL_SOAK_FRAMES")) framesWanted = std::atol(frames);
    null_backend::reset();
    ASSERT_TRUE(startUp());
    watchGameStarts();
    EXPECT_EQ(runMainLoop({menuFrame, optionsFrame, entryFrame, gameFrame, [] {}}), 0);
    for (int mode = 0; mode < 5; ++mode) EXPECT_GE(modeFrames[mode], framesWanted) << "mode " << mode;
    EXPECT_GT(tableChecks, 0);
    // Long enough a soak (CI's shortest under the sanitizers is 20 000 frames a mode) reaches every path.
    EXPECT_TRUE(framesWanted < 20000 || (settledForANewGame > 0 && optionsFrames > 0 && listFrames > 0 &&
                                         resumed > 0 && replayFrames > 0 && journalsVerified > 0))
        << settledForANewGame << " new games over a result waiting for initials, " << optionsFrames
        << " options frames, " << listFrames << " list frames, " << resumed << " games resumed, "
        << replayFrames << " replayed frames, " << journalsVerified << " journals verified";
}
