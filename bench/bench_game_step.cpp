// One game-step frame, drawing and present included, with the shipped art: 4-Way with every arm
// full of blocks and the combo label growing, and one frame of each other mode. The row flash's
// pauses cost nothing here: the null backend's sleep only moves its clock.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "scratch_folder.h"
#include "menus/controls_file.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "app/start_up.h"
#include "play/flash_row.h"
#include "play/game_step.h"
#include "rules/game_state.h"
#include "rules/random.h"

using namespace crossfall;

namespace {

// The play rows of every field the mode shows, full of blocks of all seven colours.
void fillFields() {
    for (Field& field : fields)
        for (int c = 0; c < FIELD_COLUMNS; ++c)
            for (int r = 0; r < PLAY_ROWS; ++r) field.cells[c][r] = 1 + (c + r) % 7;
}

void gameFrames(benchmark::State& state, int mode) {
    ScratchFolder scratch(true);
    null_backend::reset();
    if (!startUp()) std::abort();
    seedRandom(11);
    startGame(mode);
    inMenu = 0;
    showCurrentGrid = showGridPreview = showPiecePreview = 1;
    writeComboLabel(12);
    comboLabelPoints[0] = {320, 300};
    comboLabelPoints[1] = {480, 300};
    const Piece piece = currentPiece;
    const Piece piece2 = currentPiece2;
    for (auto _ : state) {
        // Same frame every time: full fields, a piece that does not fall yet, a fresh label.
        fillFields();
        currentPiece = piece;
        currentPiece2 = piece2;
        comboLabelTimer = 50;
        spinCount = riseCount = 0;
        gameStep();
    }
    if (gameOver != 0) state.SkipWithError("the game ended: the frames measured were not full play frames");
    state.counters["fields drawn"] = mode == MODE_4WAY ? 4 : mode == MODE_DUOFALL ? 2 : 1;
}

} // namespace

static void fourWayFullFields(benchmark::State& state) {
    gameFrames(state, MODE_4WAY);
}
static void classicFullField(benchmark::State& state) {
    gameFrames(state, MODE_CLASSIC);
}
static void rubikFullField(benchmark::State& state) {
    gameFrames(state, MODE_RUBIK);
}
static void duofallFullFields(benchmark::State& state) {
    gameFrames(state, MODE_DUOFALL);
}
static void timeAttackFullField(benchmark::State& state) {
    gameFrames(state, MODE_TIME);
}

BENCHMARK(fourWayFullFields)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(classicFullField)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(rubikFullField)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(duofallFullFields)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(timeAttackFullField)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);
