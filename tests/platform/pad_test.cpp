// Gamepads through the input state: directions past the dead zone, the keys a pad presses only while
// a game step has set them, either of two pads, and the menu cursor's speed and click.
#include <gtest/gtest.h>

#include <climits>

#include "platform/input.h"
#include "platform/pad_map.h"

using namespace crossfall;

namespace {

struct Pads : testing::Test {
    void SetUp() override {
        releaseAllKeys();
        initInput();
        setPadPlayKeys(PadPlayKeys{});
        mouseX = mouseY = 0;
    }
    static void stick(int pad, int x, int y) {
        setPadAxis(pad, PadAxis::LeftX, x);
        setPadAxis(pad, PadAxis::LeftY, y);
    }
    // Cursor travel over frames with the pad as it is, from (0, 0) with nothing in the way.
    static std::pair<int, int> travel(int frames) {
        mouseX = mouseY = 0;
        for (int f = 0; f < frames; ++f) trackCursor(INT_MIN / 2, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2);
        return {mouseX, mouseY};
    }
};

std::string directions(const PadDirections& d) {
    return std::string(d.left ? "L" : "") + (d.right ? "R" : "") + (d.up ? "U" : "") + (d.down ? "D" : "");
}

} // namespace

TEST_F(Pads, TheStickCountsPastItsDeadZoneInEightWaysAndTheDpadAlways) {
    // Stick x, y, then the directions pushed.
    const struct {
        int x, y;
        const char* pushed;
    } cases[] = {
        {0, 0, ""},
        {8000, 0, ""},
        {8001, 0, "R"},
        {-8000, 0, ""},
        {-8001, 0, "L"},
        {0, -8001, "U"},
        {0, 8001, "D"},
        {-32768, 0, "L"},
        {32767, 32767, "RD"},
        {7999, -7999, ""},    // drift on both axes inside the zone
        {30000, 12500, "RD"}, // 22.6 degrees below the right: a diagonal
        {30000, 12400, "R"},  // 22.5 degrees and less: the right alone
        {-12400, -30000, "U"},
        {-12500, -30000, "LU"},
    };
    for (const auto& c : cases) {
        stick(0, c.x, c.y);
        EXPECT_EQ(directions(padDirections()), c.pushed) << c.x << "," << c.y;
    }
    stick(0, 0, 0);
    const struct {
        PadButton button;
        const char* pushed;
    } dpad[] = {
        {PadButton::DpadLeft, "L"},
        {PadButton::DpadRight, "R"},
        {PadButton::DpadUp, "U"},
        {PadButton::DpadDown, "D"},
    };
    for (const auto& d : dpad) {
        setPadButton(1, d.button, true);
        EXPECT_EQ(directions(padDirections()), d.pushed);
        setPadButton(1, d.button, false);
    }
    EXPECT_EQ(directions(padDirections()), "");
}

TEST_F(Pads, APadPressesKeysOnlyWhileAGameSetsThemAndEitherOfTwoPadsPlays) {
    PadPlayKeys keys;
    keys.left = 'A', keys.right = 'D', keys.up = 'W', keys.down = 'S', keys.rotateCCW = 'J',
    keys.rotateCW = 'K';
    keys.drop = 'L', keys.hurry = 'H', keys.pause = 27, keys.downAlsoHurries = 'Y';
    // The pad control held, on which pad, and the one code among these it must press.
    const struct {
        PadButton button;
        int pad;
        int code;
    } cases[] = {
        {PadButton::DpadLeft, 0, 'A'},
        {PadButton::DpadRight, 3, 'D'},
        {PadButton::DpadUp, 1, 'W'},
        {PadButton::South, 2, 'J'},
        {PadButton::East, 0, 'K'},
        {PadButton::North, 0, 'L'},
        {PadButton::RightShoulder, 1, 'H'},
        {PadButton::Start, 0, 27},
        {PadButton::West, 0, 0},
        {PadButton::Back, 0, 0},
        {PadButton::LeftShoulder, 0, 0},
    };
    const int codes[] = {'A', 'D', 'W', 'S', 'J', 'K', 'L', 'H', 27, 'Y', 0, 1};
    for (const auto& c : cases) {
        setPadButton(c.pad, c.button, true);
        for (int code : codes) EXPECT_FALSE(keyHeld(code)) << "no game step has set the keys: " << code;
        setPadPlayKeys(keys);
        for (int code : codes)
            EXPECT_EQ(keyHeld(code), code == c.code && code != 0) << int(c.button) << ": " << code;
        setPadPlayKeys(PadPlayKeys{});
        setPadButton(c.pad, c.button, false);
    }
    setPadPlayKeys(keys);
    setPadButton(2, PadButton::DpadDown, true);
    EXPECT_TRUE(keyHeld('S') && keyHeld('Y')) << "down moves and, outside Cross-fall, hurries";
    stick(1, -20000, 0);
    EXPECT_TRUE(keyHeld('A') && keyHeld('S')) << "a second pad plays beside the first";
    releasePad(2);
    EXPECT_TRUE(keyHeld('A') && !keyHeld('S')) << "a pulled pad lets go of only its own";
    for (int pad : {-1, MAX_PADS}) setPadButton(pad, PadButton::South, true);
    EXPECT_FALSE(keyHeld('J')) << "pads outside the slots are ignored";
    releaseAllKeys();
    EXPECT_FALSE(keyHeld('A')) << "focus lost lets go of the pads too";
}

TEST_F(Pads, TheCursorCrossesTheScreenInAboutASecondCreepsOnASlightPushAndIgnoresDrift) {
    stick(0, 32767, 0);
    auto [x, y] = travel(60);
    EXPECT_TRUE(x >= 800 && x <= 900 && y == 0) << x << "," << y << ": a full push for one second";
    stick(0, 0, -32768);
    EXPECT_EQ(travel(60).second, -840);
    // Just past the dead zone, the cursor creeps a pixel at a time at most.
    stick(0, 9000, 9000);
    std::tie(x, y) = travel(60);
    EXPECT_TRUE(x > 0 && x <= 2 && x == y) << x;
    stick(0, 20000, 0);
    const int half = travel(60).first;
    EXPECT_TRUE(half > 100 && half < 300) << half << ": speed grows with the push's square";
    stick(0, 7999, -8000);
    EXPECT_EQ(travel(600), std::make_pair(0, 0)) << "a drifting stick inside its zone never moves it";
    stick(0, 0, 0);
    setPadButton(0, PadButton::DpadRight, true);
    EXPECT_EQ(travel(1).first, 2) << "the d-pad starts slow";
    setPadButton(0, PadButton::DpadRight, false);
    travel(1);
    setPadButton(0, PadButton::DpadRight, true);
    x = travel(60).first;
    EXPECT_TRUE(x >= 650 && x <= 800) << x << ": and speeds up to cross the screen in about a second";
    // The cursor moves and the south button clicks only outside a game.
    setPadButton(0, PadButton::South, true);
    pollMouse();
    EXPECT_TRUE(mouseState.buttons[0] != 0 && !keyHeld(VK_LBUTTON)) << "a click, never a key to bind";
    PadPlayKeys keys;
    keys.pause = 27;
    setPadPlayKeys(keys);
    EXPECT_EQ(travel(10), std::make_pair(0, 0));
    EXPECT_EQ(mouseState.buttons[0], 0);
}
