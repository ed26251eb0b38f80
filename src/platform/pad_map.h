// What a gamepad means to the game, with no device in sight: the buttons and stick it reads, the
// directions past the stick's dead zone, the player's bindings a pad presses in a game, and the
// cursor motion it gives in the menus. Pure functions; input.cpp holds the pads' state and calls them.
#pragma once

#include <array>

namespace crossfall {

// The buttons the game reads, named by their place on the pad (south = A on most pads).
enum class PadButton : int {
    South,
    East,
    West,
    North,
    Back,
    Start,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
};
constexpr int PAD_BUTTON_COUNT = 12;
enum class PadAxis : int { LeftX, LeftY };
constexpr int PAD_AXIS_COUNT = 2;

// Stick values run from -32768 to 32767 (down and right positive); inside this a stick counts as still.
constexpr int STICK_DEAD_ZONE = 8000;
constexpr int STICK_FULL = 32767;
// Pads held at once; either plays.
constexpr int MAX_PADS = 4;

// One pad as it is held now; all released when it is plugged in or pulled out.
struct PadState {
    std::array<bool, PAD_BUTTON_COUNT> buttons{};
    std::array<int, PAD_AXIS_COUNT> axes{};
};

struct PadDirections {
    bool left = false, right = false, up = false, down = false;
};

// The player's key codes a pad presses in a game, by what the pad does; 0 presses nothing.
struct PadPlayKeys {
    int left = 0, right = 0, up = 0, down = 0;
    int rotateCCW = 0, rotateCW = 0, drop = 0, hurry = 0, pause = 0;
    // Outside Cross-fall, d-pad down hurries as well (the soft drop players reach for).
    int downAlsoHurries = 0;
};

// Menu cursor motion between frames: the unspent fraction and how long the d-pad has been held.
// Reset with the pads; advanced once a frame.
struct PadCursor {
    double restX = 0.0, restY = 0.0;
    int dpadFrames = 0;
};

bool padHolds(const PadState& pad, PadButton button);
// Every pad's buttons together; each stick axis from the pad pushing it furthest.
PadState mergePads(const std::array<PadState, MAX_PADS>& pads);
// The d-pad, or the stick past the dead zone within 67.5 degrees of the direction (eight ways).
PadDirections directionsOf(const PadState& pad);
// True when the pad presses this key code in a game.
bool padPresses(const PadState& pad, const PadPlayKeys& keys, int code);
// Picture pixels the cursor moves this frame: a full push crosses 800 pixels in about a second, a
// slight push creeps; the d-pad starts slow and speeds up while held.
void padCursorMotion(const PadState& pad, PadCursor& cursor, int& dx, int& dy);

} // namespace crossfall
