// The command line: the options the game takes, read before any window opens. main() calls
// parseCommandLine, then either prints the record's text and exits, or plays.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace crossfall {

// Exit code for a command line the game does not understand.
constexpr int EXIT_BAD_USAGE = 2;

enum class Action { Play, Exit };

// What the command line asks for; read once per run, before start-up.
struct CommandLine {
    Action action = Action::Play;
    int exitCode = 0;
    std::string text;       // printed before exiting
    bool toStderr = false;  // the text is an error, for stderr
    std::string replayFile; // a journal to play before the menu, or to verify
    int speed = 1;          // replayed frames a pass
    bool verify = false;    // play the journal headless, print its result, exit
    std::string infoFile;   // a journal to describe without playing it
    bool blockSymbols = false; // every block with its kind's symbol, this run
};

// The fastest replay: frames a pass.
constexpr int MAX_REPLAY_SPEED = 100;

// One option: its name, the name of the value it takes (empty: none), its line in the usage,
// and what it does to the record; apply returns false to refuse the value.
struct OptionRow {
    std::string_view name;
    std::string_view valueName;
    std::string_view help;
    bool (*apply)(CommandLine& line, std::string_view value);
};

// The options the game takes.
std::span<const OptionRow> gameOptions();

// The usage text, one line per row.
std::string usageText(std::span<const OptionRow> rows);

// Reads the arguments after the program's name, left to right: a value follows its option as the
// next argument or after '='. The first option that ends the run, or the first bad argument, decides.
CommandLine parseCommandLine(std::span<const char* const> args, std::span<const OptionRow> rows = gameOptions());

} // namespace crossfall
