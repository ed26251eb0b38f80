// Settings files in the player's config folder: strict "key=value" lines, read and saved whole.
#include "platform/config_file.h"

#include <sys/stat.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "platform/files.h"

namespace crossfall {
namespace {

constexpr std::size_t MAX_FILE_BYTES = 4096;

// The value of "key=value" for a listed key, in its range: its place and value, or false.
bool readLine(std::string_view line, std::span<const ConfigKey> keys, std::size_t& index, int& value) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return false;
    const std::string_view name = line.substr(0, equals);
    const std::string_view number = line.substr(equals + 1);
    for (index = 0; index < keys.size(); ++index)
        if (name == keys[index].name) break;
    if (index == keys.size()) return false;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    return error == std::errc() && stop == end && value >= keys[index].low && value <= keys[index].high;
}

} // namespace

std::optional<ConfigValues> parseConfig(std::string_view text, std::span<const ConfigKey> keys) {
    // The values have room for so many keys; a longer list is a caller's mistake, never written past.
    if (keys.size() > MAX_CONFIG_KEYS) return std::nullopt;
    ConfigValues values;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        std::size_t index = 0;
        int value = 0;
        if (!readLine(line, keys, index, value) || values.seen[index]) return std::nullopt;
        values.seen[index] = true;
        values.value[index] = value;
    }
    return values;
}

std::string configFilePath(const char* name) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    if (config != nullptr && config[0] == '/') return std::string(config) + "/crossfall/" + name;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.config/crossfall/" + name;
    return {};
}

std::optional<ConfigValues> loadConfig(const char* name, std::span<const ConfigKey> keys,
                                       bool (*whole)(const ConfigValues&), const char* instead) {
    const std::string path = configFilePath(name);
    if (path.empty()) return std::nullopt;
    const std::optional<std::string> text = readFile(path.c_str(), MAX_FILE_BYTES + 1);
    if (!text) return std::nullopt;
    std::optional<ConfigValues> values;
    if (text->size() <= MAX_FILE_BYTES) values = parseConfig(*text, keys);
    if (values && whole(*values)) return values;
    std::fprintf(stderr, "Crossfall: %s is damaged and is ignored; %s\n", path.c_str(), instead);
    return std::nullopt;
}

bool saveConfigFile(const char* name, const std::string& text) {
    const std::string path = configFilePath(name);
    if (path.empty()) return false;
    // The folders on the way, private to the player as the base directory rules ask.
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0700);
    return saveFile(path.c_str(), text);
}

} // namespace crossfall
