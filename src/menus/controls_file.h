// The player's settings and "myControls.txt": eight key bindings (virtual-key codes) and five
// switches, their defaults, and the file they are saved to and read from. Read at every game start,
// when the options screen opens and after every save.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "audio/sound.h"
#include "play/panel.h"
#include "rules/bindings.h"

namespace crossfall {

// The thirteen values live with what reads them: the bindings and the advanced 4-Way switch with the
// rules, the three display switches with the play screen, the music switch with the sound bank.
constexpr int CONTROL_VALUES = 13;

// The thirteen values in the file's order, and setting them all from such a list (a replay's).
void getControlValues(std::span<std::int32_t, CONTROL_VALUES> values);
void setControlValues(std::span<const std::int32_t, CONTROL_VALUES> values);
// Puts the thirteen values to their defaults; start-up does this before it reads the file.
void resetControlsToDefaults();
// Writes the file through a temporary file renamed over the old one; false leaves the old file whole.
bool saveControls();
// Reads the file over the thirteen values; a missing file leaves them all as they are.
void loadControls();

// What saveControls writes, before the line ends become CR LF.
std::string controlsText();
// Reads the file's bytes over the thirteen values, as loadControls does once it has read the file.
void readControls(std::string_view bytes);

} // namespace crossfall
