// Long random play through the real main loop and every screen, headless: each mode gets its
// frames of random keys, menu clicks, options changes and initials. The score and controls files
// must be well-formed after every save, and every score table must hold exactly the ten best
// results its own mode earned. CROSSFALL_SOAK_FRAMES sets the game frames per mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "app/main_loop.h"
#include "app/start_up.h"
#include "menus/controls_file.h"
#include "menus/main_menu.h"
#include "menus/options_screen.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "play/game_step.h"
#include "rules/game_state.h"
#include "scores/high_score_entry.h"
#include "scores/high_scores.h"

using namespace crossfall;

namespace {

std::mt19937 rng{12345};
long framesWanted = 200000, modeFrames[5] = {}, saves = 0;
long settledForANewGame = 0; // results still waiting for initials when a new game was started
int targetMode = 0;
bool pausedMidGame = false;
std::vector<std::int32_t> earned[5]; // every ended game's result, by mode

const auto chance = [](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
const auto pick = [](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

// Puts the cursor on a point and holds the button or not, for the screen's next poll.
void pointAt(int x, int y, bool click) {
    releaseAllKeys();
    addMouseMotion(x - mouseX, y - mouseY);
    setKeyDown(VK_LBUTTON, click);
}

// A saved file (a table not saved yet is missing) must be lines of the form the pattern gives.
void expectWellFormed(const char* fileName, const char* pattern) {
    const auto text = readFile(fileName, 1 << 16);
    EXPECT_TRUE(!text || std::regex_match(*text, std::regex(pattern))) << fileName << " malformed:\n"
                                                                       << *text;
}

// Each table must hold its mode's ten best results, best first, and nothing from another mode.
void expectTablesMatchEarnedResults() {
    for (int mode = 0; mode < 5; ++mode) {
        expectWellFormed(scoreFileName(mode), R"((\S{1,3} (0|-?[1-9]\d*)\r\n){10})");
        std::vector<std::int32_t> best = earned[mode];
        std::ranges::sort(best, std::greater<>());
        best.resize(10, 0);
        HighScoreEntry rows[10];
        readScoreRows(scoreFileName(mode), rows, 10, TABLE_NAME_LENGTH);
        for (int k = 0; k < 10; ++k) EXPECT_EQ(rows[k].total, best[k]) << scoreFileName(mode) << " row " << k;
    }
}

// True when a settled block stands in the top five rows of a field in play: the end may be near.
bool stackNearTheTop() {
    const int first = gameMode == MODE_DUOFALL ? 4 : 0;
    const int last = gameMode == MODE_DUOFALL ? 5 : gameMode == MODE_4WAY ? 3 : 0;
    for (int f = first; f <= last; ++f)
        for (const auto& column : fields[f].cells)
            if (std::any_of(column, column + 5, [](auto cell) { return cell != EMPTY; })) return true;
    return false;
}

// ---- The random player, one screen at a time ----

void gameFrame() {
    releaseAllKeys();
    const bool running = gameOver == 0;
    if (running) {
        modeFrames[gameMode] += 1;
        for (int binding : keyBindings) setKeyDown(binding, chance(binding == keyDrop ? 0.03 : 0.2));
    }
    // Escape often near the end, so it is sometimes held in the very frame the game ends.
    const bool escape = chance(!running ? 0.2 : stackNearTheTop() ? 0.2 : 0.0005);
    setKeyDown(27, escape);
    pausedMidGame = escape && running;
    gameStep();
    if (running && gameOver != 0) earned[gameMode].push_back(finalTotal());
    if (testing::Test::HasFailure()) postQuit(1);
    if (modeFrames[targetMode] >= framesWanted) {
        if (targetMode == 4) postQuit(0);
        targetMode = std::min(targetMode + 1, 4);
    }
}

void entryFrame() {
    releaseAllKeys();
    setKeyDown('A' + pick(26), chance(0.3));
    setKeyDown(8, chance(0.1));
    setKeyDown(13, chance(0.1));
    runHighScoreEntry();
    if (inScoreEntry != 0) return;
    ++saves;
    expectTablesMatchEarnedResults();
}

void optionsFrame() {
    // Every row, the advanced switch and the finish link, with keys held over them.
    static const int rowY[] = {120, 155, 190, 225, 260, 295, 330, 365, 400, 436, 465, 485};
    static const int keys[] = {'D', 'J', 32, 9, 37, 38, 39, 40, 160, 162, 163};
    pointAt(chance(0.5) ? 460 : 600, rowY[pick(12)], chance(0.3));
    if (chance(0.5)) setKeyDown(keys[pick(11)], true);
    setKeyDown(27, chance(0.01));
    runOptionsScreen();
    if (inOptions != 0) return;
    ++saves;
    expectWellFormed(
        "myControls.txt",
        R"(((0|-?[1-9]\d*)\r\n){13}This file contains control settings.  Do not delete or edit it!)");
}

int menuFrame() {
    // Mostly the mode being soaked; sometimes Resume, Obstacle Mode, Controls/Options or the list.
    // A game paused mid-play is mostly resumed; a result waiting for initials often gives way to a new game.
    static const int modeY[5] = {205, 242, 278, 314, 389};
    static const int otherY[] = {150, 350, 424};
    const bool entryWaiting = inScoreEntry != 0;
    if (showScoreList != 0)
        pointAt(400, 518, chance(0.5));
    else if (chance(0.03))
        pointAt(560, 426, true);
    else if (pausedMidGame && !entryWaiting && chance(0.9))
        pointAt(200, otherY[0], true);
    else
        pointAt(200, chance(0.1) ? otherY[pick(3)] : modeY[targetMode], chance(0.5));
    const int stay = runMainMenu();
    if (stay == 0) pausedMidGame = false;
    if (entryWaiting && inScoreEntry == 0) {
        ++settledForANewGame;
        expectTablesMatchEarnedResults();
    }
    return stay;
}

} // namespace

TEST(AppSoak, EveryModeSurvivesLongRandomPlayWithWellFormedFiles) {
    if (const char* frames = std::getenv("CROSSFALL_SOAK_FRAMES")) framesWanted = std::atol(frames);
    null_backend::reset();
    ASSERT_TRUE(startUp());
    EXPECT_EQ(runMainLoop({menuFrame, optionsFrame, entryFrame, gameFrame, [] {}}), 0);
    for (int mode = 0; mode < 5; ++mode) EXPECT_GE(modeFrames[mode], framesWanted) << "mode " << mode;
    EXPECT_GT(saves, 0);
    // Long enough a soak (CI's shortest under the sanitizers is 20 000 frames a mode) reaches that path.
    EXPECT_TRUE(framesWanted < 20000 || settledForANewGame > 0)
        << "no new game was started over a result waiting for initials";
}
