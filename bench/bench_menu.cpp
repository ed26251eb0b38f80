// One main-menu frame with the best-scores panel up, so all five score files are read afresh: drawn
// (the cursor moves a pixel each frame) and standing (nothing changed, so nothing is drawn).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "scratch_folder.h"
#include "menus/main_menu.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "app/start_up.h"
#include "scores/high_scores.h"

using namespace crossfall;

namespace {

// Full score tables in the scratch folder.
void writeScoreTables() {
    for (int mode = 0; mode < MODE_COUNT; ++mode) {
        std::ofstream file(scoreFileName(mode), std::ios::binary);
        for (int row = 0; row < HIGH_SCORE_ROWS; ++row) file << "PLAYER" << row << ' ' << (10000 - row * 500) << "\r\n";
    }
}

} // namespace

// The cursor moves a pixel back and forth each frame when `moving`.
static void runMenuFrames(benchmark::State& state, bool moving) {
    ScratchFolder scratch(true);
    writeScoreTables();
    null_backend::reset();
    if (!startUp()) {
        state.SkipWithError("start-up found no display");
        return;
    }
    mouseX = mouseY = 0;
    int step = 1;
    for (auto _ : state) {
        if (moving) addMouseMotion(step, 0);
        step = -step;
        benchmark::DoNotOptimize(runMainMenu());
    }
    if (showScoreList != 0 || inOptions != 0) state.SkipWithError("the menu left its resting state");
}

static void menuFrameWithBestScores(benchmark::State& state) { runMenuFrames(state, true); }
static void menuFrameStanding(benchmark::State& state) { runMenuFrames(state, false); }
BENCHMARK(menuFrameWithBestScores)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(menuFrameStanding)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
