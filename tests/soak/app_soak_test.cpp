// Long random play through the real main loop and every screen, headless: each mode gets its
// frames of random keys, menu clicks, options changes and initials entries, and the score and
// controls files must be well-formed after every save. CROSSFALL_SOAK_FRAMES sets the game frames
// per mode (200000 unless set lower, as the sanitizer and valgrind runs do).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <regex>
#include <string>

#include "menus/controls_file.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/main_loop.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "platform/start_up.h"
#include "play/game_step.h"
#include "menus/main_menu.h"
#include "menus/options_screen.h"
#include "scores/high_score_entry.h"
#include "rules/game_state.h"
#include "scores/high_scores.h"

using namespace crossfall;

namespace {

// The soak's own state, reset by the test.
struct Soak {
    std::mt19937 random{12345};
    long framesWanted = 200000;
    int mode = 0;
    long modeFrames[5] = {};
    long saves = 0;
    std::string failure;
};
Soak soak;

bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(soak.random) < p; }
int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(soak.random); }

void moveCursorTo(int x, int y) { addMouseMotion(x - mouseX, y - mouseY); }

void expectWellFormed(const char* fileName, const std::regex& form) {
    auto text = readFile(fileName, 1 << 16);
    if (text && !std::regex_match(*text, form) && soak.failure.empty())
        soak.failure = std::string(fileName) + " is malformed after a save:\n" + *text;
}

// ---- The random player, one screen at a time ----

void playGameFrame() {
    releaseAllKeys();
    if (gameOver != 0) {
        setKeyDown(27, chance(0.2));
    } else {
        soak.modeFrames[gameMode] += 1;
        for (int binding : keyBindings)
            if (chance(binding == keyDrop ? 0.03 : 0.2)) setKeyDown(binding, true);
        setKeyDown(27, chance(0.0005));
    }
    gameStep();
}

void playEntryFrame() {
    releaseAllKeys();
    setKeyDown('A' + pick(26), chance(0.3));
    setKeyDown(8, chance(0.1));
    setKeyDown(13, chance(0.1));
    runHighScoreEntry();
    if (inScoreEntry == 0) {
        ++soak.saves;
        expectWellFormed(scoreFileName(gameMode),
                         std::regex(R"(([A-Z?]{1,3} -?[0-9]+\r\n){10})"));
    }
}

void playOptionsFrame() {
    releaseAllKeys();
    static const int rowCentres[][2] = {{560, 120}, {560, 155}, {560, 190}, {560, 225}, {560, 260},
                                        {560, 295}, {560, 330}, {560, 365}, {460, 400}, {600, 400},
                                        {460, 436}, {600, 436}, {560, 465}, {560, 485}};
    const auto& target = rowCentres[pick(14)];
    moveCursorTo(target[0], target[1]);
    static const int keys[] = {'A' + 3, 'J', 'K', 'L', 32, 9, 37, 38, 39, 40, 160, 162, 163};
    if (chance(0.5)) setKeyDown(keys[pick(13)], true);
    setKeyDown(VK_LBUTTON, chance(0.3));
    setKeyDown(27, chance(0.01));
    runOptionsScreen();
    if (inOptions == 0) {
        ++soak.saves;
        expectWellFormed("myControls.txt",
                         std::regex(R"((-?[0-9]+\r\n){13}This file contains control settings\.  Do not delete or edit it!)"));
    }
}

int playMenuFrame() {
    releaseAllKeys();
    static const int entryY[5] = {205, 242, 278, 314, 389};
    int y = entryY[soak.mode];
    int x = 200;
    if (showScoreList != 0) {
        x = 400, y = 518;
    } else if (chance(0.1)) {
        static const int others[][2] = {{200, 150}, {200, 350}, {200, 424}, {560, 426}, {200, 205}};
        const auto& other = others[pick(5)];
        x = other[0], y = other[1];
    }
    moveCursorTo(x, y);
    setKeyDown(VK_LBUTTON, chance(0.5));
    return runMainMenu();
}

void noShutDown() {}

void stopWhenDone() {
    if (!soak.failure.empty()) postQuit(1);
    if (soak.modeFrames[soak.mode] >= soak.framesWanted) {
        if (soak.mode == 4) postQuit(0);
        soak.mode = std::min(soak.mode + 1, 4);
    }
}

void gameFrame() {
    playGameFrame();
    stopWhenDone();
}

} // namespace

TEST(AppSoak, EveryModeSurvivesLongRandomPlayWithWellFormedFiles) {
    if (const char* frames = std::getenv("CROSSFALL_SOAK_FRAMES")) soak.framesWanted = std::atol(frames);
    null_backend::reset();
    ASSERT_TRUE(startUp());
    const LoopScreens screens = {playMenuFrame, playOptionsFrame, playEntryFrame, gameFrame, noShutDown};
    int code = runMainLoop(screens);
    EXPECT_EQ(soak.failure, "");
    EXPECT_EQ(code, 0);
    for (int mode = 0; mode < 5; ++mode) EXPECT_GE(soak.modeFrames[mode], soak.framesWanted) << "mode " << mode;
    EXPECT_GT(soak.saves, 0);
    std::printf("soak: %ld %ld %ld %ld %ld game frames by mode, %ld screens left with a save\n", soak.modeFrames[0],
                soak.modeFrames[1], soak.modeFrames[2], soak.modeFrames[3], soak.modeFrames[4], soak.saves);
}
