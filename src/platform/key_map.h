// SDL's keyboard and mouse buttons as the virtual-key codes the game stores: letters and digits by
// the layout, every other key by its position. Owns the table of keys held now; the SDL event pump
// feeds it, and it passes the held state on to the input state (platform/input.h).
#pragma once

#include <SDL_keycode.h>
#include <SDL_mouse.h>
#include <SDL_scancode.h>

namespace crossfall {

// The virtual-key code of one physical key (0 when the game has none for it); the sided code for
// Shift, Control and Alt.
int virtualKeyOf(SDL_Scancode scancode, SDL_Keycode keycode);
// The generic code (16, 17, 18) a sided modifier code also holds, or 0.
int genericModifierOf(int virtualKey);
// The virtual-key code of an SDL mouse button (1 left, 2 right, 4 middle, 5 and 6 the side buttons), or 0.
int virtualKeyOfMouseButton(int sdlButton);

// A key went down or up; repeats of a held key change nothing. A code stays held while any key that
// gives it is down (both Enters, both Shifts for the generic Shift).
void keyEvent(SDL_Scancode scancode, SDL_Keycode keycode, bool down);
void mouseButtonEvent(int sdlButton, bool down);
// Lets go of everything (focus lost).
void releaseAllHeldKeys();

} // namespace crossfall
