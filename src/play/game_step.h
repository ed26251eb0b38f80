// The play screen's frame: one tick of the running game, drawn into the back surface and presented.
// The main loop calls it once per pass while neither the menu nor the initials entry runs.
#pragma once

namespace crossfall {

void gameStep();

} // namespace crossfall
