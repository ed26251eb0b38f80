// The screen flags that choose which screen the main loop runs each pass. Set once at start-up and
// then only by the screens themselves; a change takes effect at the next pass.
#pragma once

#include <cstdint>

namespace crossfall {

extern std::int32_t inMenu;        // 1: the main menu (or the options screen) runs
extern std::int32_t inOptions;     // with inMenu: the options screen runs
extern std::int32_t inScoreEntry;  // without inMenu: the initials entry runs instead of the game step
extern std::int32_t showScoreList; // inside the menu: the list of all score tables takes the frame

} // namespace crossfall
