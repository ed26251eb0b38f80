// One main-menu frame with the best-scores panel up, so all five score files are read afresh.
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

static void menuFrameWithBestScores(benchmark::State& state) {
    ScratchFolder scratch(true);
    writeScoreTables();
    null_backend::reset();
    if (!startUp()) {
        state.SkipWithError("start-up found no display");
        return;
    }
    mouseX = mouseY = 0;
    for (auto _ : state) benchmark::DoNotOptimize(runMainMenu());
    if (showScoreList != 0 || inOptions != 0) state.SkipWithError("the menu left its resting state");
}
BENCHMARK(menuFrameWithBestScores)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);
