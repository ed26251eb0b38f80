// Headless game ticks: Classic with random keys (the "moves.txt" line included), and one 4-Way tick
// with all four arms stacked high.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "scratch_folder.h"
#include "menus/controls_file.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/video.h"
#include "rules/game_state.h"
#include "rules/modes.h"
#include "rules/moving.h"
#include "rules/random.h"

using namespace crossfall;

namespace {

void freshGame(int mode) {
    null_backend::reset();
    initVideo(); // the row flash draws on the front surface
    releaseAllKeys();
    resetControlsToDefaults();
    seedRandom(7);
    initGameState();
    startGame(mode);
}

void tick() {
    if (gameOver != 0) startGame(gameMode);
    placePiece(currentPiece);
    stepPiece(currentPiece);
}

} // namespace

static void classicTick(benchmark::State& state) {
    ScratchFolder scratch(false);
    freshGame(MODE_CLASSIC);
    std::uint32_t keys = 1;
    for (auto _ : state) {
        keys = keys * 1103515245u + 12345u;
        setKeyDown(keyLeft, (keys >> 16) % 8 == 0);
        setKeyDown(keyRight, (keys >> 19) % 8 == 0);
        setKeyDown(keyRotateCW, (keys >> 22) % 16 == 0);
        setKeyDown(keyDrop, (keys >> 26) % 32 == 0);
        tick();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(classicTick);

static void fourWayTickFullFields(benchmark::State& state) {
    ScratchFolder scratch(false);
    freshGame(MODE_4WAY);
    // Every arm stacked to row 2, one gap per row so nothing clears.
    for (int arm = 0; arm < ARM_COUNT; ++arm)
        for (int c = 0; c < FIELD_COLUMNS; ++c)
            for (int r = 2; r < 10; ++r) fields[arm].cells[c][r] = c == r % FIELD_COLUMNS ? EMPTY : 1 + c % 7;
    for (int c = 0; c < FIELD_COLUMNS; ++c)
        for (int r = 10; r < PLAY_ROWS; ++r) fields[0].cells[c][r] = c == (r * 3) % FIELD_COLUMNS ? EMPTY : 2;
    shareCentre(0);
    const Field saved[ARM_COUNT] = {fields[0], fields[1], fields[2], fields[3]};
    const Piece piece = currentPiece;
    setKeyDown(keyLeft, true);
    for (auto _ : state) {
        placePiece(currentPiece);
        stepPiece(currentPiece);
        benchmark::DoNotOptimize(fields);
        state.PauseTiming();
        for (int arm = 0; arm < ARM_COUNT; ++arm) fields[arm] = saved[arm];
        currentPiece = piece;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(fourWayTickFullFields);

static void fourWayLockWithClears(benchmark::State& state) {
    ScratchFolder scratch(false);
    freshGame(MODE_4WAY);
    for (int c = 0; c < FIELD_COLUMNS; ++c)
        for (int r = 11; r < PLAY_ROWS; ++r) fields[0].cells[c][r] = c == 5 ? 3 : (r == 19 ? EMPTY : 4);
    shareCentre(0);
    const Field saved[ARM_COUNT] = {fields[0], fields[1], fields[2], fields[3]};
    Piece piece = makePiece(0, 0);
    setKeyDown(keyDrop, true);
    for (auto _ : state) {
        currentPiece = piece;
        placePiece(currentPiece);
        stepPiece(currentPiece); // hard drop, lock, a centre column cleared through the neighbour arm
        state.PauseTiming();
        for (int arm = 0; arm < ARM_COUNT; ++arm) fields[arm] = saved[arm];
        gameOver = 0;
        state.ResumeTiming();
    }
}
BENCHMARK(fourWayLockWithClears);
