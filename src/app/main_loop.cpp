// The shell: one pass of the loop pumps the events once, then runs exactly one screen chosen by
// the screen flags, then waits for the next frame so no screen spins.
#include "app/main_loop.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/game_frames.h"
#include "app/start_up.h"
#include "audio/sound.h"
#include "menus/main_menu.h"
#include "menus/options_screen.h"
#include "platform/backend.h"
#include "platform/folder_lock.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "platform/video.h"
#include "play/field_drawing.h"
#include "scores/high_score_entry.h"

namespace crossfall {
namespace {

void runOptions() { runOptionsScreen(); }

// Once the initials are in, the ended game's unfinished journal goes.
void runEntry() {
    runHighScoreEntry();
    settleRecordedGame();
}

// Runs the screen the flags choose; its letter for the trace.
char runOneScreen(const LoopScreens& screens) {
    if (inMenu != 0) {
        if (inOptions != 0) {
            screens.optionsScreen();
            return 'O';
        }
        inMenu = screens.mainMenu();
        return 'M';
    }
    if (inScoreEntry != 0) {
        screens.scoreEntry();
        return 'E';
    }
    screens.gameStep();
    return 'G';
}

// With CROSSFALL_TRACE set, each change of screen is told on stderr with the pass and the clock,
// so the end-to-end tests can time the first frame and count the game's frames.
void traceScreenChange(char screen, long pass) {
    static char lastScreen = 0; // once per run
    if (screen == lastScreen) return;
    lastScreen = screen;
    std::fprintf(stderr, "crossfall-trace pass %ld ms %llu screen %c\n", pass,
                 static_cast<unsigned long long>(backend::nowMs()), screen);
}

} // namespace

const LoopScreens gameScreens = {runMainMenu, runOptions, runEntry, playGameFrame, shutDown};

int runMainLoop(const LoopScreens& screens) {
    quitRequest = QuitRequest{};
    const bool trace = std::getenv("CROSSFALL_TRACE") != nullptr;
    for (long pass = 1;; ++pass) {
        backend::Events events = backend::pumpEvents();
        if (events.quit || quitRequest.posted) break;
        if (events.focusLost || events.padLost) {
            releaseAllKeys();
            // The menu is the pause screen: a game left in the background, or without its pad, waits there.
            if (inMenu == 0 && inScoreEntry == 0) {
                inMenu = 1;
                pauseRecording();
            }
        }
        char screen = runOneScreen(screens);
        clearKeyPresses();
        if (trace) traceScreenChange(screen, pass);
        waitForNextFrame();
    }
    screens.shutDown();
    return quitRequest.posted ? quitRequest.code : 0;
}

void shutDown() {
    settlePendingEntry();
    settleRecordedGame();
    releaseAllKeys();
    shutDownSound();
    backend::closeDisplay();
}

int runGame(const CommandLine& line) {
    if (!line.infoFile.empty()) return printJournalInfo(line.infoFile, stdout);
    std::optional<Journal> replay;
    if (!line.replayFile.empty()) {
        replay = loadReplay(line.replayFile);
        if (!replay) return EXIT_BAD_USAGE;
        if (line.verify) return verifyReplay(*replay, stdout);
    }
    // A second copy in the same folder would drop the first one's results at its next save.
    if (!lockGameFolder()) {
        const char* message = "Crossfall is already running in this folder.";
        std::fprintf(stderr, "crossfall: %s\n", message);
        backend::showErrorMessage(message);
        return 1;
    }
    // Without a display there is nothing to play on; opening it has said why.
    if (!startUp()) return 1;
    if (line.blockSymbols) blockSymbols = 1;
    // A replay leaves an unfinished game where it is, for the next start.
    if (replay)
        startReplay(std::move(*replay), line.speed);
    else
        resumeUnfinishedGame();
    return runMainLoop(gameScreens);
}

} // namespace crossfall
