// Our own start-up work with the shipped data: everything but the window and the sound device,
// which the null backend stands in for.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/null_backend.h"
#include "platform/start_up.h"

using namespace crossfall;

static void startUpWithShippedData(benchmark::State& state) {
    std::string folder = (std::filesystem::temp_directory_path() / "crossfall-bench-startup-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) std::abort();
    for (const auto& entry : std::filesystem::directory_iterator(CROSSFALL_SOURCE_DIR "/data"))
        if (entry.is_regular_file()) std::filesystem::copy_file(entry.path(), folder / entry.path().filename());
    std::filesystem::current_path(folder);
    null_backend::reset();
    for (auto _ : state) benchmark::DoNotOptimize(startUp());
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(folder);
}
BENCHMARK(startUpWithShippedData)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
