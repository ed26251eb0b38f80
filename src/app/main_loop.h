// The application shell: opens the window, runs start-up, the main loop that runs one screen per
// pass, and shut-down. main() calls runGame; the menu's exit entry posts a quit (platform/screen_flags.h).
#pragma once

#include "app/command_line.h"

namespace crossfall {

// The screens the loop chooses from, and the shut-down it ends with; tests swap in their own.
struct LoopScreens {
    int (*mainMenu)();
    void (*optionsScreen)();
    void (*scoreEntry)();
    void (*gameStep)();
    void (*shutDown)();
};

// The game's own screens and shut-down.
extern const LoopScreens gameScreens;

// Runs passes until a quit is taken, then the shut-down; the quit's exit code.
int runMainLoop(const LoopScreens& screens);
// The whole program as the command line asks: a replay checked headless, or the window, start-up, a
// replay if one was named, the loop and shut-down. The exit code: 1 with no display or another copy
// running here (or a replay that ends otherwise), 2 for a replay file that cannot be played.
int runGame(const CommandLine& line);
// Saves a result still waiting for its initials (its unfinished journal then goes), then releases input,
// sound and display, in that order.
void shutDown();

} // namespace crossfall
