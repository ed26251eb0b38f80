// Drawing costs: full-screen clear and copies, many small keyed sprites, one centred text, a flip.
#include <benchmark/benchmark.h>

#include "platform/null_backend.h"
#include "platform/text.h"
#include "platform/video.h"

using namespace crossfall;

namespace {

Surface screenSprite() {
    Surface s = createSurface(SCREEN_WIDTH, SCREEN_HEIGHT);
    for (std::size_t i = 0; i < s.pixels.size(); ++i) s.pixels[i] = static_cast<std::uint16_t>(i % 7 == 0 ? 0 : i);
    return s;
}

void setUp() {
    null_backend::reset();
    initVideo();
}

void BM_ClearScreen(benchmark::State& state) {
    setUp();
    for (auto _ : state) {
        clearSurface(backSurface, 0x1234);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ClearScreen);

void BM_FullScreenCopy(benchmark::State& state) {
    setUp();
    Surface source = screenSprite();
    bool keyed = state.range(0) != 0;
    for (auto _ : state) {
        blitSprite(backSurface, Rect{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT}, source, nullptr, keyed);
        benchmark::ClobberMemory();
    }
    state.SetLabel(keyed ? "keyed" : "unkeyed");
}
BENCHMARK(BM_FullScreenCopy)->Arg(0)->Arg(1);

void BM_ThousandKeyedBlocks(benchmark::State& state) {
    setUp();
    Surface block = createSurface(16, 16);
    fillRect(1, 1, 15, 15, 0xF800, block);
    for (auto _ : state) {
        for (int i = 0; i < 1000; ++i) {
            int x = (i * 16) % 784, y = ((i * 16) / 784 * 16) % 584;
            blitSprite(backSurface, Rect{x, y, x + 16, y + 16}, block, nullptr, true);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ThousandKeyedBlocks);

void BM_CentredText30(benchmark::State& state) {
    setUp();
    if (!createFont()) {
        state.SkipWithError("no font");
        return;
    }
    for (auto _ : state) {
        drawTextCentered("Press Enter to save your score", 400, 300, rgb(255, 255, 255), backSurface);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_CentredText30);

void BM_PresentFrame(benchmark::State& state) {
    setUp();
    for (auto _ : state) presentFrame(true);
}
BENCHMARK(BM_PresentFrame);

} // namespace
