// Row removal, the combo chain, lock points, the level and the fall speed it gives. Called by the
// lock, the 4-Way arm checks and the Rubik spin; the fall delay by the piece step.
#pragma once

#include <cstdint>

#include "rules/game_state.h"

namespace crossfall {

constexpr int MAX_LEVEL = 9;
extern const std::int32_t fallDelay[MAX_LEVEL + 1];   // ticks per one-row fall, by level (1..9)
extern const std::int32_t levelThresholds[MAX_LEVEL]; // score giving level d + 1

// Removes every full row of the field, top to bottom, flashing each and extending the combo chain.
void clearFullRows(int fieldIndex);
// Ticks per one-row fall now: the level's delay with the mode and combo adjustments.
int currentFallDelay();
// Points for a lock that did not end the game (4-Way counts the blocked arms of the next piece).
void addLockPoints();
// Raises the level from the score; the music follows a rise.
void updateLevel();

} // namespace crossfall
