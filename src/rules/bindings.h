// The player's eight key bindings (virtual-key codes) and the advanced 4-Way switch: what the rules
// read to move a piece. Set at start-up and whenever the controls file is read (menus/controls_file)
// or a replay starts; the options screen changes them. Play never does.
#pragma once

#include <cstdint>

namespace crossfall {

// The eight bindings lie together in the controls file's order; the names below refer into this array.
extern std::int32_t keyBindings[8];
extern std::int32_t& keyRotateCCW;
extern std::int32_t& keyRotateCW;
extern std::int32_t& keyDrop;
extern std::int32_t& keyHurry;
extern std::int32_t& keyLeft;
extern std::int32_t& keyRight;
extern std::int32_t& keyUp;
extern std::int32_t& keyDown;

// 0 off, any other value on: the arrows turn with each 4-Way arm.
extern std::int32_t advanced4Way;

} // namespace crossfall
