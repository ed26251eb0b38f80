// Long random play through the real main loop, headless: each mode in turn gets random keys, pauses,
// resumes, Obstacle Mode and initials, or a new game over a result still waiting for them; after every save
// each score file holds exactly its mode's ten best. CROSSFALL_SOAK_FRAMES sets the game frames per mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "app/main_loop.h"
#include "app/start_up.h"
#include "menus/controls_file.h"
#include "menus/main_menu.h"
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
long framesWanted = 200000, modeFrames[5] = {}, tableChecks = 0;
long settledForANewGame = 0; // results still waiting for initials when a new game was started
int targetMode = 0;
bool pausedMidGame = false;
std::vector<std::int32_t> earned[5]; // every ended game's result, by mode

const auto chance = [](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
const auto pick = [](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

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

void gameFrame() {
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
    setKeyDown(VK_BACK, chance(0.1));
    setKeyDown(VK_RETURN, chance(0.1));
    runHighScoreEntry();
    if (inScoreEntry == 0) expectTablesMatchEarnedResults();
}

// Mostly the mode being soaked, sometimes Resume or Obstacle Mode; a game paused mid-play is mostly
// resumed, and a result waiting for initials often gives way to a new game.
int menuFrame() {
    static const int modeY[5] = {205, 242, 278, 314, 389};
    const bool entryWaiting = inScoreEntry != 0;
    const bool resume = pausedMidGame && !entryWaiting && chance(0.9);
    const int y = resume ? 150 : chance(0.05) ? 350 : modeY[targetMode];
    releaseAllKeys();
    addMouseMotion(200 - mouseX, y - mouseY);
    setKeyDown(VK_LBUTTON, resume || chance(0.5));
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
    EXPECT_EQ(runMainLoop({menuFrame, [] {}, entryFrame, gameFrame, [] {}}), 0);
    for (int mode = 0; mode < 5; ++mode) EXPECT_GE(modeFrames[mode], framesWanted) << "mode " << mode;
    EXPECT_GT(tableChecks, 0);
    // Long enough a soak (CI's shortest under the sanitizers is 20 000 frames a mode) reaches that path.
    EXPECT_TRUE(framesWanted < 20000 || settledForANewGame > 0)
        << "no new game was started over a result waiting for initials";
}
