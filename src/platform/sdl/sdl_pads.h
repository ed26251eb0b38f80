// Gamepads on SDL for the display and the event pump: opened with the window, closed with it, and
// their events handed to the input state. Only the sdl/ files include this.
#pragma once

#include <SDL_events.h>

namespace crossfall::sdl {

// Starts SDL's game controllers; without them the game plays on keys and mouse alone.
void openPads();
void closePads();
// Takes one pad event (others are left alone); true when a pad in use was pulled out.
bool padEvent(const SDL_Event& event);

} // namespace crossfall::sdl
