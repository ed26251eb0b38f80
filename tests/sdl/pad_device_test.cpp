// Gamepads through the real SDL backend, headless: SDL's virtual joysticks stand in for pads, the offscreen
// video driver for a display, and the real main loop runs the game's own screens. Skips without a driver.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>

#include "app/main_loop.h"
#include "app/start_up.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "rules/game_state.h"
#include "scores/high_score_entry.h"

using namespace crossfall;

namespace {

// The journey's look at each pass before its screen runs: the screen's letter and the pass number.
std::function<void(char screen, int pass)> script;
int passes = 0, padIndex = -1; // the pad is the only joystick there is
SDL_Joystick* pad = nullptr;

template <class Screen> auto step(char screen, Screen then) {
    script(screen, ++passes);
    if (passes > 3000) postQuit(9); // a journey that never ends fails rather than hangs
    return then();
}

const LoopScreens scriptedScreens = {
    [] { return step('M', gameScreens.mainMenu); },
    [] { step('O', gameScreens.optionsScreen); },
    [] { step('E', gameScreens.scoreEntry); },
    [] { step('G', gameScreens.gameStep); },
    gameScreens.shutDown, // SDL closes the pad as it quits
};

// Plugs in a pad SDL maps by itself: every standard button and axis.
void plugIn() {
    padIndex = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                         SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(padIndex, 0) << SDL_GetError();
    pad = SDL_JoystickOpen(padIndex);
    ASSERT_NE(pad, nullptr) << SDL_GetError();
}
void pullOut() {
    SDL_JoystickClose(pad);
    SDL_JoystickDetachVirtual(padIndex);
}
void press(SDL_GameControllerButton button, bool down) {
    SDL_JoystickSetVirtualButton(pad, button, down ? 1 : 0);
}
// Steers the cursor with the stick toward the middle of the rectangle; true once it is inside.
bool steerTo(int left, int top, int right, int bottom) {
    const bool inside = mouseX >= left && mouseX < right && mouseY >= top && mouseY < bottom;
    const auto toward = [inside](int target, int at) {
        return static_cast<Sint16>(inside ? 0 : target > at + 4 ? 16000 : target < at - 4 ? -16000 : 0);
    };
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, toward((left + right) / 2, mouseX));
    SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, toward((top + bottom) / 2, mouseY));
    return inside;
}

} // namespace

TEST(PadDevice, AGameOnThePadAloneLivesThroughAHotPlugAndEndsWithInitialsTypedOnIt) {
    // A window nobody looks at, and no sound device; the offscreen window never has the focus, and pads
    // are heard only with it or with this. The window's state file goes to the test's own folder.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    setenv("XDG_CONFIG_HOME", std::filesystem::current_path().c_str(), 1);
    if (!startUp()) GTEST_SKIP() << "no SDL video driver works here";
    plugIn();
    // The initials: B (up twice), on, A (up), on, Z (down), then Start; each held for one pass.
    const SDL_GameControllerButton initials[] = {
        SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
        SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_A,       SDL_CONTROLLER_BUTTON_DPAD_DOWN,
        SDL_CONTROLLER_BUTTON_START,
    };
    int entryAt = 0, pulledAt = 0, menuAt = 0;
    std::strcpy(typedInitials, "");
    script = [&](char screen, int pass) {
        const bool even = pass % 2 == 0;
        if (screen == 'M') {
            if (pulledAt != 0 && menuAt == 0) { // the new pad is heard from the next pass
                menuAt = pass;
                plugIn();
                return;
            }
            // With the stick to the Classic entry, or to "Resume" once the pad is back; clicked with south.
            const int top = pulledAt == 0 ? 196 : 144;
            press(SDL_CONTROLLER_BUTTON_A, steerTo(110, top, 290, top + 19) && even);
        } else if (screen == 'G' && gameOver == 0) {
            press(SDL_CONTROLLER_BUTTON_A, false);
            if (pulledAt == 0) {
                // Mid-game, the d-pad held right as the pad is pulled out.
                press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
                if (pass % 60 != 0) return;
                pulledAt = pass;
                return pullOut();
            }
            // The new pad plays on to the end: drop, let go, drop (each drop needs a fresh press).
            press(SDL_CONTROLLER_BUTTON_Y, even);
        } else if (screen == 'E') {
            // Each initial's button goes down for one pass in twelve.
            entryAt = entryAt == 0 ? pass : entryAt;
            const auto k = static_cast<std::size_t>(pass - entryAt) / 12;
            press(SDL_CONTROLLER_BUTTON_Y, false);
            if (k < std::size(initials)) press(initials[k], (pass - entryAt) % 12 == 0);
        } else if (screen == 'G' && inScoreEntry == 0 && entryAt > 0) {
            postQuit(0);
        }
    };
    EXPECT_EQ(runMainLoop(scriptedScreens), 0);
    ASSERT_NE(pulledAt, 0) << "no game after " << passes << " passes";
    EXPECT_EQ(menuAt, pulledAt + 1) << "the pass after the pull shows the menu";
    const std::string table = readFile("scores_classic.txt", 200).value_or("");
    EXPECT_EQ(table.substr(0, 4), "BAZ ") << table;
    EXPECT_GT(std::atoi(table.c_str() + 4), 0) << table;
}
