// The list of all tables: a full-screen page showing the five modes' score files side by side,
// read afresh every frame. The main menu calls runHighScoreList once per frame while showScoreList
// is set and stores its result back into that flag.
#pragma once

namespace crossfall {

// One frame: 1 to stay on the page, 0 to go back to the menu (button click or Escape).
int runHighScoreList();

} // namespace crossfall
