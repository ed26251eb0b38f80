// The window state file: a few "key=value" lines, read strictly, written whole or not at all.
#include "platform/window_state.h"

#include <array>

#include "platform/config_file.h"

namespace crossfall {
namespace {

constexpr const char* FILE_NAME = "window.txt";

constexpr std::array<ConfigKey, 5> KEYS = {{
    {"fullscreen", 0, 1},
    {"width", WINDOW_MIN_SIDE, WINDOW_MAX_SIDE},
    {"height", WINDOW_MIN_SIDE, WINDOW_MAX_SIDE},
    {"x", -WINDOW_MAX_OFFSET, WINDOW_MAX_OFFSET},
    {"y", -WINDOW_MAX_OFFSET, WINDOW_MAX_OFFSET},
}};

// A size is needed, and a place is both coordinates or neither.
bool whole(const ConfigValues& v) {
    return v.seen[0] && v.seen[1] && v.seen[2] && v.seen[3] == v.seen[4];
}

WindowState stateOf(const ConfigValues& v) {
    WindowState state;
    state.fullScreen = v.value[0] != 0;
    state.width = v.value[1];
    state.height = v.value[2];
    state.placed = v.seen[3];
    state.x = v.value[3];
    state.y = v.value[4];
    return state;
}

} // namespace

std::string formatWindowState(const WindowState& state) {
    using std::to_string;
    std::string text = "fullscreen=" + to_string(state.fullScreen ? 1 : 0) + "\nwidth=" + to_string(state.width) +
                       "\nheight=" + to_string(state.height) + "\n";
    if (state.placed) text += "x=" + to_string(state.x) + "\ny=" + to_string(state.y) + "\n";
    return text;
}

std::optional<WindowState> parseWindowState(std::string_view text) {
    const std::optional<ConfigValues> values = parseConfig(text, KEYS);
    if (!values || !whole(*values)) return std::nullopt;
    return stateOf(*values);
}

std::string windowStateFile() {
    return configFilePath(FILE_NAME);
}

WindowState loadWindowState() {
    const std::optional<ConfigValues> values = loadConfig(FILE_NAME, KEYS, whole, "the window starts as new");
    return values ? stateOf(*values) : WindowState{};
}

bool saveWindowState(const WindowState& state) {
    return saveConfigFile(FILE_NAME, formatWindowState(state));
}

} // namespace crossfall
