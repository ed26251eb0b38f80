// Any bytes as a WAV file in memory: the reader step by step, then the sound bank loading and mixing it.
#include <cstddef>
#include <cstdint>
#include <span>

#include "audio/mixer.h"
#include "audio/sound.h"
#include "audio/wave.h"
#include "platform/null_backend.h"

using namespace crossfall;

namespace {

// Reads the data chunk in small and odd-sized pieces, as a streaming caller would.
void readInPieces(std::span<const std::uint8_t> bytes) {
    static WaveFile file;
    WaveFormatBlock format;
    WaveChunk riff;
    WaveChunk chunk;
    if (openWaveBytes(bytes, file, format, riff) == 0) {
        if (startWaveData(file, riff, chunk) == 0) {
            std::uint8_t piece[777];
            std::uint32_t copied = 0;
            for (int i = 0; i < 64 && chunk.size > 0; ++i)
                if (readWaveData(file, sizeof piece, piece, chunk, copied) != 0) break;
        }
    }
    closeWaveFile(file, format);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool ready = [] {
        null_backend::setAudioAvailable(true);
        return initSound();
    }();
    if (!ready) return 0;
    const std::span<const std::uint8_t> bytes(data, size);
    readInPieces(bytes);

    loadSoundFromMemory(effectSounds[1], bytes);
    if (!effectSounds[1].buffer) return 0; // nothing decoded: nothing new to mix
    effectSounds[1].loop = size % 2 == 0 ? 1 : 0;
    playEffect(1);
    // Enough frames to run a short sound into its end or its loop, few enough to keep runs fast.
    static std::int16_t out[128 * 2];
    mixAudio(out, 128);
    sweepVoices();
    for (SoundRecord& voice : voices) voice.active = 0;
    return 0;
}
