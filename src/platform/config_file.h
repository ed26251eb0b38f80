// The player's own small settings files in ${XDG_CONFIG_HOME:-~/.config}/crossfall/: where each
// lives, their strict "key=value" lines, and reading and saving them whole.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace crossfall {

// A key a file may hold, and the range its whole-number value must lie in.
struct ConfigKey {
    const char* name;
    int low, high;
};

constexpr int MAX_CONFIG_KEYS = 8;

// The values read, by the key's place in the list, and which keys were there.
struct ConfigValues {
    std::array<int, MAX_CONFIG_KEYS> value{};
    std::array<bool, MAX_CONFIG_KEYS> seen{};
};

// Lines of "key=value" (CR LF or LF; blank lines and "#" lines skipped); nothing when a line is not
// that form, names a key not listed or one already seen, or holds a value out of its range; nothing
// too for a list of more than MAX_CONFIG_KEYS keys.
std::optional<ConfigValues> parseConfig(std::string_view text, std::span<const ConfigKey> keys);
// The file's path; empty when neither XDG_CONFIG_HOME (absolute) nor HOME names a folder.
std::string configFilePath(const char* name);
// The file's values; nothing when there is none, and, said on stderr with what happens instead, when
// it is damaged: over 4 KiB, not strict lines of these keys, or not whole as the check asks.
std::optional<ConfigValues> loadConfig(const char* name, std::span<const ConfigKey> keys,
                                       bool (*whole)(const ConfigValues&), const char* instead);
// Makes the folders if needed, private to the player, and saves through a temporary file; false
// leaves the old file whole.
bool saveConfigFile(const char* name, const std::string& text);

} // namespace crossfall
