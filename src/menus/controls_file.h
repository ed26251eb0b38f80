// The player's settings and "myControls.txt": eight key bindings (virtual-key codes) and five
// switches, their defaults, and the file they are saved to and read from. Read at every game start,
// when the options screen opens and after every save.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace crossfall {

// The eight bindings lie together in file order; the names below refer into this array.
extern std::int32_t keyBindings[8];
extern std::int32_t& keyRotateCCW;
extern std::int32_t& keyRotateCW;
extern std::int32_t& keyDrop;
extern std::int32_t& keyHurry;
extern std::int32_t& keyLeft;
extern std::int32_t& keyRight;
extern std::int32_t& keyUp;
extern std::int32_t& keyDown;

// Switches: 0 off, any other value on.
extern std::int32_t advanced4Way;
extern std::int32_t showPiecePreview;
extern std::int32_t showGridPreview;
extern std::int32_t showCurrentGrid;
extern std::int32_t musicOn;

// Puts the thirteen values back to their defaults (before any file was read).
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
