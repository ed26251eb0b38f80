// Input polling: the held state of every virtual-key code (keys and mouse buttons), the mouse's
// relative motion and the shared software cursor. The SDL backend feeds it from events; tests feed
// it directly. Every screen reads keys with keyHeld and moves the cursor with trackCursor.
#pragma once

#include <cstdint>

#include "platform/video.h"

namespace crossfall {

// The last read mouse state: motion since the previous read and one byte per button (0x80 = down).
struct MouseState {
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    std::int32_t dz = 0;
    std::uint8_t buttons[4] = {0, 0, 0, 0};
};

extern MouseState mouseState; // written by pollMouse only
extern std::int32_t mouseX;   // the software cursor, kept for the whole run
extern std::int32_t mouseY;

// Virtual-key codes the game names: the mouse buttons (readable with keyHeld like keys) and keys.
constexpr int VK_LBUTTON = 1;
constexpr int VK_RBUTTON = 2;
constexpr int VK_MBUTTON = 4;
constexpr int VK_BACK = 8;
constexpr int VK_RETURN = 13;
constexpr int VK_SHIFT = 16;
constexpr int VK_CONTROL = 17;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_DELETE = 46;

void initInput();
// Moves the motion gathered since the last poll, and the buttons as they are now, into mouseState.
void pollMouse();
// pollMouse, add the motion to the cursor, then clamp x below, y below, x above, y above.
void trackCursor(int minX, int minY, int maxX, int maxY);
// True when the cursor's hot spot (mouseX, mouseY) is inside the rectangle.
inline bool cursorOver(const Rect& rect) {
    return contains(rect, mouseX, mouseY);
}
// True while the key or mouse button with this virtual-key code is down; false outside 0..255.
bool keyHeld(int code);

// Feeding the state: the SDL backend per event, tests directly.
void setKeyDown(int code, bool down);
void addMouseMotion(int dx, int dy);
// Lets go of every key and button (focus lost, or a test starting afresh).
void releaseAllKeys();

} // namespace crossfall
