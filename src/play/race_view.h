// "Race your best": what the play screen shows of the mode's best game raced beside the player's, a
// field at half size right of the player's field with that game's total so far. The shell fills the
// view before each frame is drawn; the play screen only draws it.
#pragma once

#include <array>
#include <cstdint>

#include "rules/game_state.h"

namespace crossfall {

// 1: a Classic, Rubik's or Time Attack game races the mode's best; 0 (the default). Kept in "settings.txt".
extern std::int32_t raceYourBest;

struct RaceView {
    bool shown = false;
    std::array<std::array<std::int32_t, PLAY_ROWS>, FIELD_COLUMNS> cells{}; // the falling piece placed
    std::int32_t total = 0;
    bool ended = false;
};
extern RaceView raceView; // while a raced game runs and after it ends, until the next game starts

// The raced game's field, caption and total, when shown.
void drawRaceView();

} // namespace crossfall
