// Input polling: the held state of every virtual-key code (keys and mouse buttons), the mouse's
// relative motion, the gamepads and the shared software cursor. The SDL backend feeds it from events;
// tests feed it directly. Every screen reads keys with keyHeld and moves the cursor with trackCursor;
// in a game the pads press the player's bindings, in the menus they move the cursor and click.
#pragma once

#include <cstdint>

#include "platform/pad_map.h"
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
// Outside a game the pads join in: their cursor motion and the south button as the left button.
void pollMouse();
// The first button (or a pad's click) is down at the last poll and was up at the poll before: a click
// counted once, however long it is held.
bool buttonClicked();
// pollMouse, add the motion to the cursor, then clamp x below, y below, x above, y above.
void trackCursor(int minX, int minY, int maxX, int maxY);
// True when the cursor's hot spot (mouseX, mouseY) is inside the rectangle.
inline bool cursorOver(const Rect& rect) {
    return contains(rect, mouseX, mouseY);
}
// True while the key or mouse button with this virtual-key code is down, or a pad presses it in a game;
// false outside 0..255.
bool keyHeld(int code);

// True when the key went down since the presses were last cleared, held still or already let go:
// a tap shorter than a frame still counts once.
bool keyPressed(int code);
// The loop forgets the presses after each screen, so a press acts only on the screen it was made on.
void clearKeyPresses();

// Feeding the state: the SDL backend per event, tests directly.
void setKeyDown(int code, bool down);
void addMouseMotion(int dx, int dy);
// Lets go of every key and button and forgets their presses (focus lost, or a test starting afresh).
void releaseAllKeys();

// ---- Gamepads: pad 0..MAX_PADS-1, fed like keys ----
void setPadButton(int pad, PadButton button, bool down);
void setPadAxis(int pad, PadAxis axis, int value);
// Lets go of everything the pad held (plugged in, pulled out, or a test starting afresh).
void releasePad(int pad);
// The player's keys the pads press from now on; the game step sets them for its frame and a
// default-made record (pressing nothing) after it, so menus, options and initials see no pad keys.
void setPadPlayKeys(const PadPlayKeys& keys);
// Any pad: the button held, the directions pushed.
bool padButtonHeld(PadButton button);
PadDirections padDirections();

} // namespace crossfall
