// Any bytes as a WAV file: the reader step by step, then the sound bank loading and mixing it.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "audio/mixer.h"
#include "audio/sound.h"
#include "audio/wave.h"
#include "platform/null_backend.h"

using namespace crossfall;

namespace {

bool writeInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* out = std::fopen("fuzz.wav", "wb");
    if (out == nullptr) return false;
    bool written = std::fwrite(data, 1, size, out) == size;
    return std::fclose(out) == 0 && written;
}

// Reads the data chunk in small and odd-sized pieces, as a streaming caller would.
void readInPieces() {
    static WaveFile file;
    WaveFormatBlock format;
    WaveChunk riff;
    WaveChunk chunk;
    if (openWaveFile("fuzz.wav", file, format, riff) == 0) {
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
    if (!ready || !writeInput(data, size)) return 0;
    readInPieces();

    loadSound(effectSounds[1], "fuzz.wav");
    effectSounds[1].loop = size % 2 == 0 ? 1 : 0;
    playEffect(1);
    static std::int16_t out[600 * 2];
    mixAudio(out, 600);
    sweepVoices();
    for (SoundRecord& voice : voices) voice.active = 0;
    return 0;
}
