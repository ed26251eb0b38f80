// Cost of the score files: one list frame reading all five files afresh, and one file's rows.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/bitmaps.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/text.h"
#include "platform/video.h"
#include "scores/high_score_list.h"
#include "scores/high_scores.h"

using namespace crossfall;

namespace {

// Five full tables in a scratch folder, the way the game leaves them.
void prepareScoreFiles() {
    static bool ready = false;
    if (ready) return;
    ready = true;
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "crossfall-bench-scores";
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    for (int mode = 0; mode < MODE_COUNT; ++mode) {
        std::string text;
        for (int k = 0; k < HIGH_SCORE_ROWS; ++k) {
            char row[32];
            std::snprintf(row, sizeof row, "ABC %d\n", 99000 - 1000 * k);
            text += row;
        }
        saveTextFile(scoreFileName(mode), text);
    }
    initVideo();
    createFont();
    createAndLoadBitmaps();
    null_backend::reset();
}

void BM_HighScoreListFrame(benchmark::State& state) {
    prepareScoreFiles();
    for (auto _ : state) benchmark::DoNotOptimize(runHighScoreList());
}
BENCHMARK(BM_HighScoreListFrame)->Unit(benchmark::kMicrosecond);

void BM_ReadOneScoreFile(benchmark::State& state) {
    prepareScoreFiles();
    HighScoreEntry rows[HIGH_SCORE_ROWS];
    for (auto _ : state)
        benchmark::DoNotOptimize(readScoreRows(scoreFileName(0), rows, HIGH_SCORE_ROWS, LIST_NAME_LENGTH));
}
BENCHMARK(BM_ReadOneScoreFile)->Unit(benchmark::kMicrosecond);

} // namespace
