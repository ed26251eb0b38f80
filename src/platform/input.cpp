// The polled input state: a table of held virtual-key codes and the mouse motion not yet read.
#include "platform/input.h"

#include <array>

namespace crossfall {

MouseState mouseState;
std::int32_t mouseX = 0;
std::int32_t mouseY = 0;

namespace {

std::array<bool, 256> keysDown{};
std::int64_t pendingDx = 0;
std::int64_t pendingDy = 0;

std::int32_t clampMotion(std::int64_t motion) {
    constexpr std::int64_t limit = 1 << 20;
    return static_cast<std::int32_t>(motion < -limit ? -limit : motion > limit ? limit : motion);
}

} // namespace

void initInput() {
    mouseState = MouseState{};
    pendingDx = 0;
    pendingDy = 0;
}

void pollMouse() {
    mouseState.dx = clampMotion(pendingDx);
    mouseState.dy = clampMotion(pendingDy);
    mouseState.dz = 0;
    pendingDx = 0;
    pendingDy = 0;
    mouseState.buttons[0] = keysDown[VK_LBUTTON] ? 0x80 : 0;
    mouseState.buttons[1] = keysDown[VK_RBUTTON] ? 0x80 : 0;
    mouseState.buttons[2] = keysDown[VK_MBUTTON] ? 0x80 : 0;
    mouseState.buttons[3] = 0;
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

bool keyHeld(int code) { return code >= 0 && code < 256 && keysDown[static_cast<std::size_t>(code)]; }

void setKeyDown(int code, bool down) {
    if (code >= 0 && code < 256) keysDown[static_cast<std::size_t>(code)] = down;
}

void addMouseMotion(int dx, int dy) {
    pendingDx += dx;
    pendingDy += dy;
}

void releaseAllKeys() { keysDown.fill(false); }

} // namespace crossfall
