// Gamepads through the real SDL backend, headless: SDL's virtual joysticks stand in for pads, the
// offscreen video driver for a display, and the real main loop runs the game's own screens. Skips
// where no video driver works.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/files.h"
#include "platform/input.h"
#include "app/main_loop.h"
#include "platform/screen_flags.h"
#include "app/start_up.h"
#include "rules/game_state.h"
#include "scores/high_score_entry.h"

using namespace crossfall;

namespace {

// One pass's look at the game before its screen runs: the screen's letter and the pass number.
using Script = std::function<void(char screen, int pass)>;

// Set by each test; the loop's screens call it. Reset by the fixture.
struct LoopRun {
    Script script;
    int pass = 0;
    SDL_Joystick* pad = nullptr;
    std::string screens; // a letter a pass, as the loop ran them
} run;

void step(char screen) {
    run.screens += screen;
    run.script(screen, ++run.pass);
    if (run.pass > 3000) postQuit(9); // a journey that never ends fails rather than hangs
}

const LoopScreens scriptedScreens = {
    [] {
        step('M');
        return gameScreens.mainMenu();
    },
    [] {
        step('O');
        gameScreens.optionsScreen();
    },
    [] {
        step('E');
        gameScreens.scoreEntry();
    },
    [] {
        step('G');
        gameScreens.gameStep();
    },
    [] {
        if (run.pad != nullptr) SDL_JoystickClose(run.pad);
        run.pad = nullptr;
        gameScreens.shutDown();
    },
};

struct PadDevice : testing::Test {
    void SetUp() override {
        run = LoopRun{};
        // A window nobody looks at: the offscreen driver, asked for by name, and no sound device.
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        // The offscreen window never has the focus, and pads are heard only with it or with this.
        setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
        // The window's state file goes to the test's own folder, never the player's.
        setenv("XDG_CONFIG_HOME", std::filesystem::current_path().c_str(), 1);
        if (!startUp()) GTEST_SKIP() << "no SDL video driver works here";
    }
    // Plugs in a pad SDL maps by itself: every standard button and axis.
    static void plugIn() {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Crossfall test pad";
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        ASSERT_GE(index, 0) << SDL_GetError();
        run.pad = SDL_JoystickOpen(index);
        ASSERT_NE(run.pad, nullptr) << SDL_GetError();
    }
    static void pullOut() {
        const SDL_JoystickID id = SDL_JoystickInstanceID(run.pad);
        SDL_JoystickClose(run.pad);
        run.pad = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i)
            if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
    }
    static void press(SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(run.pad, button, down ? 1 : 0);
    }
    static void stick(int x, int y) {
        SDL_JoystickSetVirtualAxis(run.pad, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(x));
        SDL_JoystickSetVirtualAxis(run.pad, SDL_CONTROLLER_AXIS_LEFTY, static_cast<Sint16>(y));
    }
    // Steers the cursor with the stick to a point inside the rectangle; true once it is there.
    static bool steerTo(int left, int top, int right, int bottom) {
        const int tx = (left + right) / 2, ty = (top + bottom) / 2;
        const bool inside = mouseX >= left && mouseX < right && mouseY >= top && mouseY < bottom;
        stick(inside            ? 0
              : tx > mouseX + 4 ? 16000
              : tx < mouseX - 4 ? -16000
                                : 0,
              inside            ? 0
              : ty > mouseY + 4 ? 16000
              : ty < mouseY - 4 ? -16000
                                : 0);
        return inside;
    }
    static int runLoop(const Script& script) {
        run.script = script;
        return runMainLoop(scriptedScreens);
    }
};

constexpr int CLASSIC_TOP = 193;

} // namespace

TEST_F(PadDevice, AGamePlayedToItsEndAndTheInitialsTypedWithThePadAlone) {
    plugIn();
    // The initials: B (up twice), on, A (up), on, Z (down), then Start; each held for one pass.
    const SDL_GameControllerButton initials[] = {
        SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_RIGHT,
        SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_A,       SDL_CONTROLLER_BUTTON_DPAD_DOWN,
        SDL_CONTROLLER_BUTTON_START,
    };
    int typed = 0, lastPress = 0;
    bool played = false;
    std::strcpy(typedInitials, "");
    runLoop([&](char screen, int pass) {
        const bool even = pass % 2 == 0;
        if (screen == 'M' && !played) {
            // To the Classic entry with the stick, then click it with the south button.
            press(SDL_CONTROLLER_BUTTON_A, steerTo(110, CLASSIC_TOP + 3, 290, CLASSIC_TOP + 22) && even);
        } else if (screen == 'G' && gameOver == 0) {
            played = true;
            press(SDL_CONTROLLER_BUTTON_A, false);
            // Drop, let go, drop: every drop waits for the button to come up again.
            press(SDL_CONTROLLER_BUTTON_Y, even);
        } else if (screen == 'E') {
            press(SDL_CONTROLLER_BUTTON_Y, false);
            if (typed < static_cast<int>(std::size(initials)) && pass - lastPress >= 12) {
                press(initials[typed++], true);
                lastPress = pass;
            } else if (pass - lastPress == 1 && typed > 0) {
                press(initials[typed - 1], false);
            }
        } else if (screen == 'G' && inScoreEntry == 0 && typed > 0) {
            postQuit(0);
        }
    });
    EXPECT_TRUE(played) << run.screens.substr(0, 200);
    const std::string table = readFile("scores_classic.txt", 200).value_or("");
    EXPECT_EQ(table.substr(0, 4), "BAZ ") << table;
    EXPECT_GT(std::atoi(table.c_str() + 4), 0) << table;
}

TEST_F(PadDevice, APadPulledOutMidGameOpensTheMenuAndOnePluggedInAgainPlaysOn) {
    plugIn();
    int menuPass = 0, pulledAt = 0, backAt = 0;
    int xWhenPulled = 0;
    runLoop([&](char screen, int pass) {
        if (screen == 'M' && pulledAt == 0) {
            press(SDL_CONTROLLER_BUTTON_A,
                  steerTo(110, CLASSIC_TOP + 3, 290, CLASSIC_TOP + 22) && pass % 2 == 0);
        } else if (screen == 'G' && pulledAt == 0) {
            press(SDL_CONTROLLER_BUTTON_A, false);
            // Mid-game, the d-pad held right as the pad is pulled out.
            press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
            if (pass % 60 == 0) {
                xWhenPulled = currentPiece.x;
                pullOut();
                pulledAt = pass;
            }
        } else if (screen == 'M' && pulledAt != 0 && menuPass == 0) {
            menuPass = pass;
            plugIn();
        } else if (screen == 'M' && menuPass != 0 && backAt == 0) {
            // The new pad steers to "Resume" and clicks it.
            press(SDL_CONTROLLER_BUTTON_A, steerTo(110, 144, 290, 164) && pass % 2 == 0);
        } else if (screen == 'G' && menuPass != 0) {
            press(SDL_CONTROLLER_BUTTON_A, false);
            if (backAt == 0) backAt = pass;
            press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
            if (pass - backAt > 50) postQuit(0);
        }
        if (pass > 2000) postQuit(8);
    });
    ASSERT_NE(pulledAt, 0) << run.screens.substr(0, 200);
    EXPECT_EQ(menuPass, pulledAt + 1) << "the pass after the pull shows the menu";
    EXPECT_NE(backAt, 0) << "the second pad resumed the game";
    EXPECT_LT(currentPiece.x, xWhenPulled) << "and moves its piece";
}

TEST_F(PadDevice, AStickDriftingInsideItsDeadZoneMovesNothingAndOnePushedPastItDoes) {
    // The stick's push, then whether it moves the cursor in the menu and the piece in a game. Just
    // past the zone the piece moves at once, while the cursor creeps too slowly to see in 40 passes.
    const struct {
        int x;
        bool cursor, piece;
    } cases[] = {{7900, false, false},
                 {-7990, false, false},
                 {8100, false, true},
                 {-8100, false, true},
                 {-30000, true, true}};
    for (const auto& c : cases) {
        plugIn();
        int startX = 0, pieceX = 0;
        bool moved = false, pieceMoved = false;
        inMenu = 1;
        mouseX = 400, mouseY = 300;
        runLoop([&](char screen, int pass) {
            if (pass == 1) {
                startX = mouseX;
                stick(c.x, c.x / 2);
            } else if (screen == 'M' && pass == 40) {
                moved = mouseX != startX;
                // Put on the Classic entry and clicked with the south button.
                stick(0, 0);
                mouseX = 200, mouseY = CLASSIC_TOP + 10;
                press(SDL_CONTROLLER_BUTTON_A, true);
            } else if (pass == 45) {
                press(SDL_CONTROLLER_BUTTON_A, false);
                pieceX = currentPiece.x;
                stick(c.x, 0);
            } else if (pass == 110) {
                pieceMoved = screen == 'G' && currentPiece.x != pieceX;
                postQuit(0);
            }
        });
        EXPECT_EQ(moved, c.cursor) << c.x;
        EXPECT_EQ(pieceMoved, c.piece) << c.x;
        SetUp();
    }
}
