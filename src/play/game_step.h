// The play screen's frame: one tick of the running game (rules/game_frame), drawn into the back
// surface between its rules and presented. The main loop calls gameStep once per pass while neither
// the menu nor the initials entry runs; start-up installs drawGameFrame in the frame's seam.
#pragma once

#include "rules/game_frame.h"

namespace crossfall {

// The play screen's drawing at each stage of a game frame.
void drawGameFrame(FrameStage stage);
// One game frame on the play screen.
void gameStep();

} // namespace crossfall
