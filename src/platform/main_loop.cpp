// The shell: one pass of the loop pumps the events once, then runs exactly one screen chosen by
// the screen flags, then waits for the next frame so no screen spins.
#include "platform/main_loop.h"

#include "audio/sound.h"
#include "platform/backend.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "platform/video.h"

namespace crossfall {
namespace {

// A posted quit, taken at the next pass; set once per run.
struct QuitRequest {
    bool posted = false;
    int code = 0;
};
QuitRequest quitRequest;

void runOneScreen(const LoopScreens& screens) {
    if (inMenu != 0) {
        if (inOptions != 0)
            screens.optionsScreen();
        else
            inMenu = screens.mainMenu();
    } else if (inScoreEntry != 0) {
        screens.scoreEntry();
    } else {
        screens.gameStep();
    }
}

} // namespace

void postQuit(int code) {
    quitRequest.posted = true;
    quitRequest.code = code;
}

int runMainLoop(const LoopScreens& screens) {
    quitRequest = QuitRequest{};
    for (;;) {
        backend::Events events = backend::pumpEvents();
        if (events.quit || quitRequest.posted) break;
        if (events.focusLost) {
            releaseAllKeys();
            // The menu is the pause screen: a game left in the background waits there.
            if (inMenu == 0 && inScoreEntry == 0) inMenu = 1;
        }
        runOneScreen(screens);
        waitForNextFrame();
    }
    screens.shutDown();
    return quitRequest.posted ? quitRequest.code : 0;
}

void shutDown() {
    releaseAllKeys();
    shutDownSound();
    backend::closeDisplay();
}

} // namespace crossfall
