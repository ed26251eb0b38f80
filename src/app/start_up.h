// Start-up: brings up video, sound and input, loads the bitmaps and sounds, writes "colors.txt",
// measures the font, builds the game state, reads the controls and leaves the program in the menu.
// The shell runs it once, before the first pass of the main loop.
#pragma once

namespace crossfall {

// False only when there is no display to draw on; every missing file or device is lived with.
bool startUp();

} // namespace crossfall
