// The bindings' storage; start-up puts the controls file's defaults in before reading the file.
#include "rules/bindings.h"

namespace crossfall {

std::int32_t keyBindings[8] = {};
std::int32_t& keyRotateCCW = keyBindings[0];
std::int32_t& keyRotateCW = keyBindings[1];
std::int32_t& keyDrop = keyBindings[2];
std::int32_t& keyHurry = keyBindings[3];
std::int32_t& keyLeft = keyBindings[4];
std::int32_t& keyRight = keyBindings[5];
std::int32_t& keyUp = keyBindings[6];
std::int32_t& keyDown = keyBindings[7];
std::int32_t advanced4Way; // start-up puts the default in before any read

} // namespace crossfall
