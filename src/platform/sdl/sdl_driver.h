// Which of SDL's video drivers shows the window: chosen before the video starts, asked about after.
// Only the sdl/ files include this.
#pragma once

namespace crossfall::sdl {

// Prefers SDL's own Wayland driver on a Wayland desktop (a user's SDL_VIDEODRIVER always wins) and
// keeps SDL off a Wayland display with no seat; false, after saying why on stderr, when none is left.
bool chooseVideoDriver();
// True where the program may place its window itself (X11); a Wayland client cannot.
bool windowsCanBePlaced();

} // namespace crossfall::sdl
