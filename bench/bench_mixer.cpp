// Mixing 10 ms of output (441 frames) with the level music and all 64 voices playing the row chime.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "audio/mixer.h"
#include "audio/sound.h"
#include "menus/controls_file.h"
#include "platform/null_backend.h"
#include "rules/game_state.h"

using namespace crossfall;

static void mixTenMilliseconds(benchmark::State& state) {
    null_backend::setAudioAvailable(true);
    initSound();
    loadSound(musicSound, CROSSFALL_SOURCE_DIR "/data/clevel1_sound.wav");
    loadSound(effectSounds[1], CROSSFALL_SOURCE_DIR "/data/sound1_x.wav");
    if (!musicSound.buffer || !effectSounds[1].buffer) {
        state.SkipWithError("the shipped sounds did not load");
        return;
    }
    musicSound.loop = 1;
    musicOn = 1;
    level = 5; // a raised pitch, so the music is resampled at an uneven step
    setLevelMusic(level);
    // Looping voices keep all 64 sounding for the whole run.
    effectSounds[1].loop = 1;
    for (int i = 0; i < VOICE_COUNT; ++i) playEffect(1);

    std::vector<std::int16_t> out(441 * 2);
    for (auto _ : state) {
        mixAudio(out.data(), 441);
        benchmark::DoNotOptimize(out.data());
    }
    shutDownSound();
}
BENCHMARK(mixTenMilliseconds)->Unit(benchmark::kMicrosecond);
