// "Race your best": what the raced best game adds to a live frame. Its drawing: a full half-size field
// with every block's symbol (two keyed copies a block, the most it draws). Its frame: the rules swapped
// to the best game's snapshot, one frame of the golden Classic game played, the live game's put back.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "app/race_best.h"
#include "app/start_up.h"
#include "platform/null_backend.h"
#include "play/field_drawing.h"
#include "play/race_view.h"
#include "rules/game_state.h"
#include "rules/random.h"
#include "scratch_folder.h"

using namespace crossfall;

static void raceDrawing(benchmark::State& state) {
    ScratchFolder scratch(true);
    null_backend::reset();
    if (!startUp()) std::abort();
    blockSymbols = 1;
    raceView.shown = true;
    raceView.ended = true;
    raceView.total = 123456;
    for (int c = 0; c < FIELD_COLUMNS; ++c)
        for (int r = 0; r < PLAY_ROWS; ++r) raceView.cells[c][r] = 1 + (c + r) % 7;
    for (auto _ : state) drawRaceView();
    raceView = RaceView{};
    blockSymbols = 0;
}
BENCHMARK(raceDrawing);

static void raceFrame(benchmark::State& state) {
    ScratchFolder scratch(true);
    std::filesystem::copy_file(CROSSFALL_SOURCE_DIR "/tests/golden/classic.cfr", "best_classic.cfr");
    null_backend::reset();
    if (!startUp()) std::abort();
    raceYourBest = 1;
    seedRandom(11);
    startGame(MODE_CLASSIC);
    long frames = 0;
    for (auto _ : state) {
        raceOneFrame();
        if (raceView.ended) {
            state.PauseTiming();
            raceGameStarting(MODE_CLASSIC);
            state.ResumeTiming();
        }
        ++frames;
    }
    if (!raceView.shown && frames > 1) state.SkipWithError("no race was run");
    raceYourBest = 0;
}
BENCHMARK(raceFrame);
