// Keyboard steering of the software cursor on the menu screens: the arrows move it from stop to stop,
// and while it was last moved that way Enter acts on what lies under it, as a click would.
#pragma once

#include <span>

namespace crossfall {

// A point the cursor's hot spot jumps to, inside the thing it stands for.
struct CursorStop {
    int x = 0;
    int y = 0;
};

// Call after trackCursor: motion or a click of the mouse or a pad hands the cursor back to them.
void followPointer();
// followPointer, then a pressed Down or Right moves the cursor to the next stop, Up or Left to the one
// before, wrapping round, and from anywhere else to the first or the last.
void steerCursor(std::span<const CursorStop> stops);
// The cursor was last moved by the arrows.
bool cursorSteered();
// Enter was pressed this frame while the cursor is steered.
bool steeredEnter();
// The pointer has the cursor again (a run starting, or a test).
void stopSteering();

} // namespace crossfall
