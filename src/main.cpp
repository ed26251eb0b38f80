// The game program: reads the command line, then everything happens in the shell.
#include <cstddef>
#include <cstdio>
#include <span>

#include "app/command_line.h"
#include "app/main_loop.h"

int main(int argc, char** argv) {
    const std::span<const char* const> all(argv, static_cast<std::size_t>(argc));
    const crossfall::CommandLine line = crossfall::parseCommandLine(all.subspan(all.empty() ? 0 : 1));
    if (line.action == crossfall::Action::Play) return crossfall::runGame(line);
    std::fputs(line.text.c_str(), line.toStderr ? stderr : stdout);
    return line.exitCode;
}
