// The screen flags that choose which screen the main loop runs each pass, and a posted quit. Set once
// at start-up and then only by the screens themselves; a change takes effect at the next pass.
#pragma once

#include <cstdint>

namespace crossfall {

extern std::int32_t inMenu;        // 1: the main menu (or the options screen) runs
extern std::int32_t inOptions;     // with inMenu: the options screen runs
extern std::int32_t inScoreEntry;  // without inMenu: the initials entry runs instead of the game step
extern std::int32_t showScoreList; // inside the menu: the list of all score tables takes the frame

// A quit the loop takes at its next pass, with the program's exit code; posted by the menu's exit entry.
struct QuitRequest {
    bool posted = false;
    int code = 0;
};
extern QuitRequest quitRequest; // cleared when the loop starts

// Asks the loop to end at its next pass with this exit code.
void postQuit(int code);

} // namespace crossfall
