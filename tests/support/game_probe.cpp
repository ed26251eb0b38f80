// A game in a process of its own, for the tests that kill it: the real main loop on the null backend in
// the working directory, steered by the scripted player.
//   game_probe play MODE SEED KILL_FRAME KILL_WRITE QUIET_FROM
// plays MODE from the menu, printing "frame state picture voices" after every game frame, and kills itself
// with SIGKILL once KILL_FRAME frames are played, or in the middle of its KILL_WRITE-th file write (half of
// it written); from QUIET_FROM frames on it holds no key. 0 turns a number off.
//   game_probe resume
// starts as the game starts, resumes, prints "resumed frames state over" (frames played, the game ended or
// not), clicks Resume, plays one frame holding no key and prints "then picture". Exit code 0, 1 when there
// was nothing to resume, 2 on bad usage.
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/game_frames.h"
#include "app/main_loop.h"
#include "app/start_up.h"
#include "app/unfinished_game.h"
#include "menus/main_menu.h"
#include "golden/bot_player.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "rules/game_state.h"
#include "rules/random.h"
#include "rules/bindings.h"
#include "scores/high_score_entry.h"
#include "support/picture.h"

using namespace crossfall;

namespace {

struct Probe {
    int mode = 0;
    long killFrame = 0, killWrite = 0, quietFrom = 0;
    long frames = 0, writes = 0;
    bool started = false;
    int lettersTyped = 0;
} probe;

// The picture last shown, digested.
std::uint64_t pictureDigest() { return null_backend::pictureDigest(null_backend::lastPicture()); }

int menuScreen() {
    if (probe.started) {
        postQuit(0);
        return 1;
    }
    bot::clickAt(200, bot::MENU_MODE_Y[probe.mode]);
    probe.started = true;
    return runMainMenu();
}

void gameScreen() {
    releaseAllKeys();
    if (gameOver != 0)
        setKeyDown(VK_ESCAPE, true);
    else if (probe.quietFrom == 0 || probe.frames < probe.quietFrom)
        bot::holdKeys();
    // A piece the player has no plan for any more is hurried down.
    if (gameOver == 0 && (probe.quietFrom == 0 || probe.frames < probe.quietFrom) && !keyHeld(keyDrop) &&
        !keyHeld(keyLeft) && !keyHeld(keyRight) && !keyHeld(keyRotateCCW))
        setKeyDown(keyHurry, true);
    const bool played = gameOver == 0;
    playGameFrame();
    if (!played) return;
    probe.frames += 1;
    std::printf("%ld %016llx %016llx %d\n", probe.frames, static_cast<unsigned long long>(gameStateDigest()),
                static_cast<unsigned long long>(pictureDigest()), voicesBusy);
    std::fflush(stdout);
    if (probe.frames == probe.killFrame) std::raise(SIGKILL);
}

void entryScreen() {
    bot::typeInitials("PRB", probe.lettersTyped);
    gameScreens.scoreEntry();
}

// The KILL_WRITE-th write stops the process half-way through.
ssize_t writeOrDie(int fd, const void* bytes, size_t count) {
    if (++probe.writes != probe.killWrite) return ::write(fd, bytes, count);
    (void)::write(fd, bytes, count / 2);
    std::raise(SIGKILL);
    return -1;
}

void noOptions() { postQuit(1); }

int play() {
    fileSystemCalls.write = writeOrDie;
    bot::reset();
    return runMainLoop({menuScreen, noOptions, entryScreen, gameScreen, gameScreens.shutDown});
}

int resume() {
    const UnfinishedRead read = parseUnfinishedGame(readFile(UNFINISHED_GAME_FILE, 1 << 26).value_or(""));
    if (!resumeUnfinishedGame()) return 1;
    std::printf("resumed %u %016llx %d\n", read.game->frames, static_cast<unsigned long long>(gameStateDigest()),
                gameOver);
    bot::clickAt(200, 150);
    if (runMainMenu() != 0) return 1;
    releaseAllKeys();
    playGameFrame();
    std::printf("then %016llx\n", static_cast<unsigned long long>(pictureDigest()));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const bool playing = argc == 7 && std::strcmp(argv[1], "play") == 0;
    if (!playing && !(argc == 2 && std::strcmp(argv[1], "resume") == 0)) return 2;
    if (!startUp()) return 2;
    picture::paintSprites();
    if (!playing) return resume();
    probe.mode = std::atoi(argv[2]);
    seedRandom(static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)));
    initGameState();
    probe.killFrame = std::atol(argv[4]);
    probe.killWrite = std::atol(argv[5]);
    probe.quietFrom = std::atol(argv[6]);
    return play();
}
