// The option table and its reader. A new option is one more row in GAME_OPTIONS.
#include "app/command_line.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace crossfall {
namespace {

// The run ends after the text is printed.
CommandLine exitWith(int exitCode, std::string text, bool toStderr) {
    CommandLine line;
    line.action = Action::Exit;
    line.exitCode = exitCode;
    line.text = std::move(text);
    line.toStderr = toStderr;
    return line;
}

bool showHelp(CommandLine& line, std::string_view) {
    line = exitWith(0, usageText(gameOptions()), false);
    return true;
}

bool showVersion(CommandLine& line, std::string_view) {
    line = exitWith(0, std::string("crossfall ") + CROSSFALL_VERSION + "\n", false);
    return true;
}

bool setReplay(CommandLine& line, std::string_view file) {
    line.replayFile = file;
    return !file.empty();
}

bool setSpeed(CommandLine& line, std::string_view value) {
    int speed = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), speed);
    line.speed = speed;
    return error == std::errc{} && end == value.data() + value.size() && speed >= 1 && speed <= MAX_REPLAY_SPEED;
}

bool setVerify(CommandLine& line, std::string_view) {
    line.verify = true;
    return true;
}

bool setInfo(CommandLine& line, std::string_view file) {
    line.infoFile = file;
    return !file.empty();
}

bool setBlockSymbols(CommandLine& line, std::string_view) {
    line.blockSymbols = true;
    return true;
}

constexpr std::array GAME_OPTIONS = {
    OptionRow{"--help", "", "show this help and exit", showHelp},
    OptionRow{"--version", "", "show the name and version and exit", showVersion},
    OptionRow{"--replay", "FILE", "show the recorded game in FILE, then the menu", setReplay},
    OptionRow{"--speed", "N", "with --replay: play it N times as fast (1 to 100)", setSpeed},
    OptionRow{"--verify", "", "with --replay: play it with no display, print its result and exit", setVerify},
    OptionRow{"--info", "FILE",
              "print the mode, result, length and date of the recorded game in FILE and exit", setInfo},
    OptionRow{"--block-symbols", "",
              "draw every block with its kind's symbol, whatever the menu's switch says", setBlockSymbols},
};

// The option's name and value as the usage shows them.
std::string optionWithValue(const OptionRow& row) {
    std::string shown(row.name);
    if (!row.valueName.empty()) shown.append(" ").append(row.valueName);
    return shown;
}

CommandLine badUsage(std::string_view problem, std::span<const OptionRow> rows) {
    return exitWith(EXIT_BAD_USAGE, "crossfall: " + std::string(problem) + "\n" + usageText(rows), true);
}

std::string quoted(std::string_view text) {
    std::string shown(1, '\'');
    shown.append(text).push_back('\'');
    return shown;
}

} // namespace

std::span<const OptionRow> gameOptions() { return GAME_OPTIONS; }

std::string usageText(std::span<const OptionRow> rows) {
    std::size_t width = 0;
    for (const OptionRow& row : rows) width = std::max(width, optionWithValue(row).size());
    std::string text = "Usage: crossfall [OPTION]...\n"
                       "A falling-block puzzle game. Without options it starts full screen on the menu.\n\n"
                       "Options:\n";
    for (const OptionRow& row : rows) {
        const std::string shown = optionWithValue(row);
        text.append("  ").append(shown).append(width - shown.size() + 2, ' ').append(row.help).append("\n");
    }
    text += "\nExit status: 0 when the game is left, 1 without a display or with the game already running in\n"
            "this folder (or a replay that now ends otherwise), 2 on bad usage or a replay file that cannot be played.\n";
    return text;
}

CommandLine parseCommandLine(std::span<const char* const> args, std::span<const OptionRow> rows) {
    CommandLine line;
    for (std::size_t i = 0; i < args.size() && line.action == Action::Play; ++i) {
        const std::string_view arg = args[i];
        const std::size_t equals = arg.find('=');
        const std::string_view name = arg.substr(0, equals);
        const auto row = std::ranges::find(rows, name, &OptionRow::name);
        if (row == rows.end()) {
            return badUsage((arg.starts_with("-") ? "unknown option " : "unexpected argument ") + quoted(arg), rows);
        }
        std::string_view value;
        if (row->valueName.empty()) {
            if (equals != std::string_view::npos) return badUsage("option " + quoted(name) + " takes no value", rows);
        } else if (equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            return badUsage("option " + quoted(name) + " needs " + std::string(row->valueName), rows);
        }
        if (!row->apply(line, value)) {
            return badUsage("bad value " + quoted(value) + " for " + quoted(name), rows);
        }
    }
    const bool replayOnly = line.verify || line.speed != 1;
    if (line.action == Action::Play && replayOnly && line.replayFile.empty())
        return badUsage("--speed and --verify go with --replay", rows);
    if (line.action == Action::Play && !line.infoFile.empty() && !line.replayFile.empty())
        return badUsage("--info takes no --replay", rows);
    return line;
}

} // namespace crossfall
