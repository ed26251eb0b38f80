// The main menu, which is also the pause screen: one frame per call. The main loop calls it while
// inMenu is set and inOptions is clear; the game step calls it once when Escape pauses a game.
#pragma once

namespace crossfall {

// Draws and handles one menu frame; 1 to stay in the menu, 0 when a game starts or resumes, or the
// program is quitting.
int runMainMenu();

} // namespace crossfall
