// The list of all tables: a full-screen page showing the five modes' score files side by side,
// read afresh every frame; a row whose game was kept (scores/row_replays) is marked and plays it when
// clicked. The main menu calls runHighScoreList once per frame while showScoreList
// is set and stores its result back into that flag.
#pragma once

#include "scores/high_scores.h"

namespace crossfall {

// Set by the shell: plays the journal of a row of the mode's table that was clicked; false (said on
// stderr) when it cannot be played.
extern bool (*watchRowReplay)(const char* fileName, int mode, const HighScoreEntry& row);

// One frame: 1 to stay on the page, 0 to leave it: back to the menu (button click or Escape), or on to
// a row's replay, which has then cleared inMenu.
int runHighScoreList();

} // namespace crossfall
