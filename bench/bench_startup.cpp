// Our own start-up work with the shipped data: everything but the window and the sound device,
// which the null backend stands in for.
#include <benchmark/benchmark.h>

#include "scratch_folder.h"
#include "platform/null_backend.h"
#include "app/start_up.h"

using namespace crossfall;

static void startUpWithShippedData(benchmark::State& state) {
    ScratchFolder scratch(true);
    null_backend::reset();
    for (auto _ : state) benchmark::DoNotOptimize(startUp());
}
BENCHMARK(startUpWithShippedData)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
