// Gamepad meaning: directions with a dead zone, the bindings a pad presses, the menu cursor's speed.
#include "platform/pad_map.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace crossfall {
namespace {

// Picture pixels a frame at a full push: 800 pixels in about 57 frames.
constexpr double CURSOR_FULL_SPEED = 14.0;
// The d-pad starts at this speed and reaches full speed after RAMP_FRAMES held frames.
constexpr double DPAD_START_SPEED = 2.0;
constexpr int DPAD_RAMP_FRAMES = 24;
// tan(22.5 degrees): a stick axis counts when it is at least this share of the other (eight ways).
constexpr double DIAGONAL_SHARE = 0.4142;

// 0 inside the dead zone, rising to 1 at a full push, signed like the axis.
double pushOf(int value) {
    const int size = std::abs(value);
    if (size <= STICK_DEAD_ZONE) return 0.0;
    const double push = static_cast<double>(size - STICK_DEAD_ZONE) / (STICK_FULL - STICK_DEAD_ZONE);
    return value < 0 ? -std::min(push, 1.0) : std::min(push, 1.0);
}

int wholePixels(double& rest, double motion) {
    rest += motion;
    const auto whole = static_cast<int>(rest);
    rest -= whole;
    return whole;
}

} // namespace

bool padHolds(const PadState& pad, PadButton button) {
    return pad.buttons[static_cast<std::size_t>(button)];
}

PadState mergePads(const std::array<PadState, MAX_PADS>& pads) {
    PadState merged;
    for (const PadState& pad : pads) {
        for (std::size_t b = 0; b < merged.buttons.size(); ++b)
            merged.buttons[b] = merged.buttons[b] || pad.buttons[b];
        for (std::size_t a = 0; a < merged.axes.size(); ++a)
            if (std::abs(pad.axes[a]) > std::abs(merged.axes[a])) merged.axes[a] = pad.axes[a];
    }
    return merged;
}

PadDirections directionsOf(const PadState& pad) {
    const int x = pad.axes[static_cast<std::size_t>(PadAxis::LeftX)];
    const int y = pad.axes[static_cast<std::size_t>(PadAxis::LeftY)];
    const double ax = std::abs(static_cast<double>(x));
    const double ay = std::abs(static_cast<double>(y));
    const bool alongX = ax > STICK_DEAD_ZONE && ax >= DIAGONAL_SHARE * ay;
    const bool alongY = ay > STICK_DEAD_ZONE && ay >= DIAGONAL_SHARE * ax;
    PadDirections d;
    d.left = padHolds(pad, PadButton::DpadLeft) || (alongX && x < 0);
    d.right = padHolds(pad, PadButton::DpadRight) || (alongX && x > 0);
    d.up = padHolds(pad, PadButton::DpadUp) || (alongY && y < 0);
    d.down = padHolds(pad, PadButton::DpadDown) || (alongY && y > 0);
    return d;
}

bool padPresses(const PadState& pad, const PadPlayKeys& keys, int code) {
    if (code == 0) return false;
    const PadDirections d = directionsOf(pad);
    const struct {
        bool down;
        int code;
    } controls[] = {
        {d.left, keys.left},
        {d.right, keys.right},
        {d.up, keys.up},
        {d.down, keys.down},
        {d.down, keys.downAlsoHurries},
        {padHolds(pad, PadButton::South), keys.rotateCCW},
        {padHolds(pad, PadButton::East), keys.rotateCW},
        {padHolds(pad, PadButton::North), keys.drop},
        {padHolds(pad, PadButton::RightShoulder), keys.hurry},
        {padHolds(pad, PadButton::Start), keys.pause},
    };
    for (const auto& control : controls)
        if (control.down && control.code == code) return true;
    return false;
}

void padCursorMotion(const PadState& pad, PadCursor& cursor, int& dx, int& dy) {
    // The stick's speed grows with the square of the push, so a slight push is fine enough for a row.
    const double px = pushOf(pad.axes[static_cast<std::size_t>(PadAxis::LeftX)]);
    const double py = pushOf(pad.axes[static_cast<std::size_t>(PadAxis::LeftY)]);
    double vx = CURSOR_FULL_SPEED * px * std::abs(px);
    double vy = CURSOR_FULL_SPEED * py * std::abs(py);
    const int padX =
        (padHolds(pad, PadButton::DpadRight) ? 1 : 0) - (padHolds(pad, PadButton::DpadLeft) ? 1 : 0);
    const int padY =
        (padHolds(pad, PadButton::DpadDown) ? 1 : 0) - (padHolds(pad, PadButton::DpadUp) ? 1 : 0);
    if (padX != 0 || padY != 0) {
        const double ramp = std::min(1.0, static_cast<double>(cursor.dpadFrames) / DPAD_RAMP_FRAMES);
        const double speed = DPAD_START_SPEED + (CURSOR_FULL_SPEED - DPAD_START_SPEED) * ramp;
        if (padX != 0) vx = padX * speed;
        if (padY != 0) vy = padY * speed;
        ++cursor.dpadFrames;
    } else {
        cursor.dpadFrames = 0;
    }
    if (vx == 0.0) cursor.restX = 0.0;
    if (vy == 0.0) cursor.restY = 0.0;
    dx = wholePixels(cursor.restX, vx);
    dy = wholePixels(cursor.restY, vy);
}

} // namespace crossfall
