// Arrow keys move the cursor between a screen's stops; motion or a click of the mouse or a pad takes it back.
#include "platform/cursor_keys.h"

#include "platform/input.h"

namespace crossfall {
namespace {

bool steered = false; // once per run: a screen left steered opens the next one steered

int stopUnderCursor(std::span<const CursorStop> stops) {
    for (std::size_t k = 0; k < stops.size(); ++k)
        if (stops[k].x == mouseX && stops[k].y == mouseY) return static_cast<int>(k);
    return -1;
}

} // namespace

void followPointer() {
    if (mouseState.dx != 0 || mouseState.dy != 0 || mouseState.buttons[0] != 0) steered = false;
}

void steerCursor(std::span<const CursorStop> stops) {
    followPointer();
    const int forward = keyPressed(VK_DOWN) || keyPressed(VK_RIGHT) ? 1 : 0;
    const int back = keyPressed(VK_UP) || keyPressed(VK_LEFT) ? 1 : 0;
    const int step = forward - back;
    if (step == 0 || stops.empty()) return;
    const int count = static_cast<int>(stops.size());
    const int at = stopUnderCursor(stops);
    const int next = at < 0 ? (step > 0 ? 0 : count - 1) : (at + step + count) % count;
    mouseX = stops[static_cast<std::size_t>(next)].x;
    mouseY = stops[static_cast<std::size_t>(next)].y;
    steered = true;
}

bool cursorSteered() {
    return steered;
}

bool steeredEnter() {
    return steered && keyPressed(VK_RETURN);
}

void stopSteering() {
    steered = false;
}

} // namespace crossfall
