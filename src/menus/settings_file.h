// The game's own settings, beside the controls file's thirteen lines (which keep their format): in
// the player's config folder as "settings.txt", a "block-symbols=0" (or "=1") and a "race-your-best=0"
// (or "=1") line; either may be missing and starts off. Read at start-up, saved whenever the menu changes
// one.
#pragma once

namespace crossfall {

// Sets what the file holds; no file, or a damaged one (said on stderr), leaves the defaults.
void loadSettings();
// False when the file could not be saved; the old one is left whole and the setting stays in force.
bool saveSettings();

} // namespace crossfall
