// The polled input state: a table of held virtual-key codes, the pads, and the mouse motion not yet read.
#include "platform/input.h"

#include <array>

#include "platform/cursor_keys.h"

namespace crossfall {

MouseState mouseState;
std::int32_t mouseX = 0;
std::int32_t mouseY = 0;

namespace {

std::array<bool, 256> keysDown{};
std::array<bool, 256> keysPressed{};
// Once per run, each pad's slot reset when it is plugged in or pulled out.
std::array<PadState, MAX_PADS> pads{};
// Set by the game step for its frame only.
PadPlayKeys padPlayKeys;
PadCursor padCursor;
std::int64_t pendingDx = 0;
std::int64_t pendingDy = 0;
bool buttonWasDown = false; // at the poll before the last

std::int32_t clampMotion(std::int64_t motion) {
    constexpr std::int64_t limit = 1 << 20;
    return static_cast<std::int32_t>(motion < -limit ? -limit : motion > limit ? limit : motion);
}

bool playKeysSet() {
    const PadPlayKeys& k = padPlayKeys;
    return (k.left | k.right | k.up | k.down | k.rotateCCW | k.rotateCW | k.drop | k.hurry | k.pause |
            k.downAlsoHurries) != 0;
}

bool validPad(int pad) {
    return pad >= 0 && pad < MAX_PADS;
}

} // namespace

void initInput() {
    mouseState = MouseState{};
    stopSteering();
    pendingDx = 0;
    pendingDy = 0;
    padCursor = PadCursor{};
}

void pollMouse() {
    mouseState.dx = clampMotion(pendingDx);
    mouseState.dy = clampMotion(pendingDy);
    mouseState.dz = 0;
    pendingDx = 0;
    pendingDy = 0;
    bool padClick = false;
    if (!playKeysSet()) {
        const PadState pad = mergePads(pads);
        int dx = 0, dy = 0;
        padCursorMotion(pad, padCursor, dx, dy);
        mouseState.dx = clampMotion(static_cast<std::int64_t>(mouseState.dx) + dx);
        mouseState.dy = clampMotion(static_cast<std::int64_t>(mouseState.dy) + dy);
        padClick = padHolds(pad, PadButton::South);
    }
    buttonWasDown = mouseState.buttons[0] != 0;
    mouseState.buttons[0] = keysDown[VK_LBUTTON] || padClick ? 0x80 : 0;
    mouseState.buttons[1] = keysDown[VK_RBUTTON] ? 0x80 : 0;
    mouseState.buttons[2] = keysDown[VK_MBUTTON] ? 0x80 : 0;
}

void trackCursor(int minX, int minY, int maxX, int maxY) {
    pollMouse();
    mouseX += mouseState.dx;
    mouseY += mouseState.dy;
    if (mouseX < minX) mouseX = minX;
    if (mouseY < minY) mouseY = minY;
    if (mouseX > maxX) mouseX = maxX;
    if (mouseY > maxY) mouseY = maxY;
}

bool keyHeld(int code) {
    if (code < 0 || code >= 256) return false;
    return keysDown[static_cast<std::size_t>(code)] ||
           (playKeysSet() && padPresses(mergePads(pads), padPlayKeys, code));
}

bool buttonClicked() {
    return mouseState.buttons[0] != 0 && !buttonWasDown;
}

bool keyPressed(int code) {
    return code >= 0 && code < 256 && keysPressed[static_cast<std::size_t>(code)];
}

void clearKeyPresses() {
    keysPressed.fill(false);
}

void setKeyDown(int code, bool down) {
    if (code < 0 || code >= 256) return;
    const auto k = static_cast<std::size_t>(code);
    if (down && !keysDown[k]) keysPressed[k] = true;
    keysDown[k] = down;
}

void addMouseMotion(int dx, int dy) {
    pendingDx += dx;
    pendingDy += dy;
}

void releaseAllKeys() {
    keysDown.fill(false);
    keysPressed.fill(false);
    // A pad's releases are not heard while the window is in the background either.
    pads.fill(PadState{});
}

// ---- Gamepads ----

void setPadButton(int pad, PadButton button, bool down) {
    if (validPad(pad)) pads[static_cast<std::size_t>(pad)].buttons[static_cast<std::size_t>(button)] = down;
}

void setPadAxis(int pad, PadAxis axis, int value) {
    if (validPad(pad)) pads[static_cast<std::size_t>(pad)].axes[static_cast<std::size_t>(axis)] = value;
}

void releasePad(int pad) {
    if (validPad(pad)) pads[static_cast<std::size_t>(pad)] = PadState{};
}

void setPadPlayKeys(const PadPlayKeys& keys) {
    padPlayKeys = keys;
}

bool padButtonHeld(PadButton button) {
    return padHolds(mergePads(pads), button);
}

PadDirections padDirections() {
    return directionsOf(mergePads(pads));
}

} // namespace crossfall
