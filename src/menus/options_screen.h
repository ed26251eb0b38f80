// The options screen: rebinding the eight controls by hovering a row and pressing a key, the
// on/off switches, and saving to the controls file. The main loop calls runOptionsScreen once per
// pass while inMenu and inOptions are both set; it draws and shows only the right-hand panel.
#pragma once

namespace crossfall {

// Draws and handles one frame of the options screen; always 0.
int runOptionsScreen();

} // namespace crossfall
