// The window kept between runs: full screen or a window, and that window's size and place, in
// ${XDG_CONFIG_HOME:-~/.config}/crossfall/window.txt. The SDL display reads it when it opens and
// writes it at each Alt+Enter and when it closes; a damaged file is set aside with a message.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace crossfall {

constexpr int WINDOW_MIN_SIDE = 160;
constexpr int WINDOW_MAX_SIDE = 16384;
constexpr int WINDOW_MAX_OFFSET = 32767;

struct WindowState {
    bool fullScreen = true;
    int width = 800, height = 600; // the window's, kept while full screen
    bool placed = false;           // x and y known; else the window is centred
    int x = 0, y = 0;
};

// "key=value" lines: fullscreen, width, height, and x and y once the window has a place.
std::string formatWindowState(const WindowState& state);
// Nothing when the text is not that form: unknown or repeated keys, numbers out of range, no size.
std::optional<WindowState> parseWindowState(std::string_view text);
// The file's path; empty when neither XDG_CONFIG_HOME nor HOME names a folder.
std::string windowStateFile();
// The kept state; the defaults when there is none, and (said on stderr) when the file is damaged.
WindowState loadWindowState();
// Makes the folder if needed and saves through a temporary file; false leaves the old file whole.
bool saveWindowState(const WindowState& state);

} // namespace crossfall
