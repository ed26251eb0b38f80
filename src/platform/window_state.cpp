// The window state file: a few "key=value" lines, read strictly, written whole or not at all.
#include "platform/window_state.h"

#include <sys/stat.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "platform/files.h"

namespace crossfall {
namespace {

constexpr std::size_t MAX_FILE_BYTES = 4096;

struct Key {
    const char* name;
    int low, high;
};
constexpr std::array<Key, 5> KEYS = {{
    {"fullscreen", 0, 1},
    {"width", WINDOW_MIN_SIDE, WINDOW_MAX_SIDE},
    {"height", WINDOW_MIN_SIDE, WINDOW_MAX_SIDE},
    {"x", -WINDOW_MAX_OFFSET, WINDOW_MAX_OFFSET},
    {"y", -WINDOW_MAX_OFFSET, WINDOW_MAX_OFFSET},
}};
constexpr int KEY_COUNT = static_cast<int>(KEYS.size());

// The value of "key=value" for a known key, in its range: its index and value, or false.
bool readLine(std::string_view line, int& index, int& value) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view name = line.substr(0, equals);
    const std::string_view number = line.substr(equals + 1);
    for (index = 0; index < KEY_COUNT; ++index)
        if (name == KEYS[index].name) break;
    if (index == KEY_COUNT) return false;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    return error == std::errc() && stop == end && value >= KEYS[index].low && value <= KEYS[index].high;
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
    int values[KEY_COUNT] = {};
    bool seen[KEY_COUNT] = {};
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        int index = 0, value = 0;
        if (!readLine(line, index, value) || seen[index]) return std::nullopt;
        seen[index] = true;
        values[index] = value;
    }
    // A size is needed, and a place is both coordinates or neither.
    if (!seen[0] || !seen[1] || !seen[2] || seen[3] != seen[4]) return std::nullopt;
    WindowState state;
    state.fullScreen = values[0] != 0;
    state.width = values[1];
    state.height = values[2];
    state.placed = seen[3];
    state.x = values[3];
    state.y = values[4];
    return state;
}

std::string windowStateFile() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    if (config != nullptr && config[0] == '/') return std::string(config) + "/crossfall/window.txt";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/crossfall/window.txt";
    return {};
}

WindowState loadWindowState() {
    const std::string path = windowStateFile();
    if (path.empty()) return {};
    const std::optional<std::string> text = readFile(path.c_str(), MAX_FILE_BYTES + 1);
    if (!text) return {};
    std::optional<WindowState> state;
    if (text->size() <= MAX_FILE_BYTES) state = parseWindowState(*text);
    if (state) return *state;
    std::fprintf(stderr, "Crossfall: %s is damaged and is ignored; the window starts as new\n", path.c_str());
    return {};
}

bool saveWindowState(const WindowState& state) {
    const std::string path = windowStateFile();
    if (path.empty()) return false;
    // The folders on the way, private to the player as the base directory rules ask.
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0700);
    return saveFile(path.c_str(), formatWindowState(state));
}

} // namespace crossfall
