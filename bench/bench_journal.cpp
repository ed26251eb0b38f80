// The game journal: recording one live frame (keys changing as a quick player's do), in memory only and
// with the unfinished game kept on disk (its bytes and syncs a minute of play counted), and checking a
// whole recorded game headless (--verify) against the time it took to play.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "scratch_folder.h"
#include "app/game_frames.h"
#include "app/journal.h"
#include "app/unfinished_game.h"
#include "menus/controls_file.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "rules/bindings.h"
#include "rules/game_state.h"

using namespace crossfall;

static void recordOneFrame(benchmark::State& state) {
    ScratchFolder scratch(false);
    resetControlsToDefaults();
    releaseAllKeys();
    initGameState();
    gameOver = inMenu = 0;
    beginRecording(MODE_CLASSIC);
    const bool onDisk = state.range(0) != 0;
    if (!onDisk) endUnfinishedGame();
    long frame = 0;
    for (auto _ : state) {
        // A key goes down or up every eighth frame: far busier than a person plays.
        if (++frame % 8 == 0) setKeyDown(keyBindings[frame / 8 % 8], (frame / 64) % 2 == 0);
        recordFrame();
    }
    if (!onDisk) return;
    const double minutes = static_cast<double>(frame) / 3600.0;
    state.counters["bytes_a_minute"] = static_cast<double>(std::filesystem::file_size(UNFINISHED_GAME_FILE)) / minutes;
    state.counters["syncs_a_minute"] = static_cast<double>(frame / 60) / minutes;
}
BENCHMARK(recordOneFrame)->ArgName("on_disk")->Arg(0)->Arg(1);

// The longest golden game; the counter gives how many times faster than it was played it is checked.
static void verifyRecordedGame(benchmark::State& state) {
    ScratchFolder scratch(false);
    const auto journal = loadReplay(CROSSFALL_SOURCE_DIR "/tests/golden/classic.cfr");
    if (!journal) {
        state.SkipWithError("no golden replay");
        return;
    }
    std::FILE* sink = std::fopen("/dev/null", "w");
    for (auto _ : state) {
        std::remove("moves.txt");
        benchmark::DoNotOptimize(verifyReplay(*journal, sink));
    }
    std::fclose(sink);
    const double played = journal->frameCount / 60.0;
    state.counters["times_real_time"] =
        benchmark::Counter(played * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(verifyRecordedGame)->Unit(benchmark::kMillisecond);
