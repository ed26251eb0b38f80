// The mixer: linear-interpolation resampling per record, summed in floats, limited to 16 bits.
#include "audio/mixer.h"

#include <algorithm>
#include <cmath>

namespace crossfall {
namespace {

constexpr int MIX_BLOCK_FRAMES = 512;
float mixBuffer[MIX_BLOCK_FRAMES * 2]; // every block; the device thread's only scratch

// Source frames advanced per output frame, 32.32 fixed point.
std::uint64_t stepOf(std::uint32_t frequency) {
    return (static_cast<std::uint64_t>(frequency) << 32) / OUTPUT_RATE;
}

void finish(SoundRecord& record) {
    record.playing = false;
    record.position = 0;
}

// Moves the play position on without mixing, for silent records.
void advanceSilently(SoundRecord& record, int frameCount, std::uint64_t end) {
    std::uint64_t position = record.position + stepOf(record.frequency) * static_cast<std::uint64_t>(frameCount);
    if (position < end)
        record.position = position;
    else if (record.loop == 1)
        record.position = position % end;
    else
        finish(record);
}

template <int CHANNELS>
void mixInto(SoundRecord& record, float* out, int frameCount, std::uint64_t end) {
    const SampleBuffer& sound = *record.buffer;
    const std::int16_t* samples = sound.samples.get();
    const std::uint32_t last = sound.frames - 1;
    const std::uint64_t step = stepOf(record.frequency);
    const float gain = record.gain;
    constexpr float FRACTION = 1.0f / 4294967296.0f;
    std::uint64_t position = record.position;
    for (int i = 0; i < frameCount; ++i) {
        std::uint32_t index = static_cast<std::uint32_t>(position >> 32);
        // A loop interpolates into its first frame, so the seam is as smooth as the file.
        std::uint32_t next = index < last ? index + 1 : (record.loop == 1 ? 0 : index);
        float t = static_cast<float>(static_cast<std::uint32_t>(position)) * FRACTION;
        float left = samples[index * CHANNELS];
        left += (samples[next * CHANNELS] - left) * t;
        float right = left;
        if constexpr (CHANNELS == 2) {
            right = samples[index * 2 + 1];
            right += (samples[next * 2 + 1] - right) * t;
        }
        out[i * 2] += left * gain;
        out[i * 2 + 1] += right * gain;
        position += step;
        if (position >= end) {
            if (record.loop != 1) {
                finish(record);
                return;
            }
            position %= end;
        }
    }
    record.position = position;
}

void mixRecord(SoundRecord& record, float* out, int frameCount) {
    if (!record.playing || !record.buffer || record.buffer->frames == 0) return;
    std::uint64_t end = static_cast<std::uint64_t>(record.buffer->frames) << 32;
    if (record.gain == 0.0f)
        advanceSilently(record, frameCount, end);
    else if (record.buffer->channels == 2)
        mixInto<2>(record, out, frameCount, end);
    else
        mixInto<1>(record, out, frameCount, end);
}

// ---- The limiter ----
// Chimes started together over the music add up past full scale. Rather than square the waves
// off, the gain drops at once to hold the loudest frame at the ceiling and recovers over about
// 50 ms: quiet mixes pass untouched, loud ones duck briefly and never clip.
constexpr float LIMIT_CEILING = 31784.0f; // -0.26 dBFS
const float LIMIT_RECOVERY = 1.0f - std::exp(-1.0f / (0.05f * OUTPUT_RATE));
float limiterGain = 1.0f; // the device thread's; back to 1 when the device opens

void limit(float* samples, int frameCount) {
    for (int i = 0; i < frameCount; ++i) {
        float& left = samples[i * 2];
        float& right = samples[i * 2 + 1];
        const float peak = std::max(std::fabs(left), std::fabs(right));
        if (peak * limiterGain > LIMIT_CEILING) limiterGain = LIMIT_CEILING / peak;
        left *= limiterGain;
        right *= limiterGain;
        limiterGain += (1.0f - limiterGain) * LIMIT_RECOVERY;
    }
}

std::int16_t toSample(float value) {
    return static_cast<std::int16_t>(std::lrint(std::clamp(value, -LIMIT_CEILING, LIMIT_CEILING)));
}

} // namespace

void resetMixer() {
    limiterGain = 1.0f;
}

float gainOf(std::int32_t volume) {
    if (volume <= VOLUME_SILENT) return 0.0f;
    return static_cast<float>(std::pow(10.0, std::min(volume, 0) / 2000.0));
}

void mixAudio(std::int16_t* frames, int frameCount) {
    while (frameCount > 0) {
        int block = std::min(frameCount, MIX_BLOCK_FRAMES);
        std::fill(mixBuffer, mixBuffer + block * 2, 0.0f);
        mixRecord(musicSound, mixBuffer, block);
        for (SoundRecord& effect : effectSounds) mixRecord(effect, mixBuffer, block);
        for (SoundRecord& voice : voices) mixRecord(voice, mixBuffer, block);
        limit(mixBuffer, block);
        for (int i = 0; i < block * 2; ++i) frames[i] = toSample(mixBuffer[i]);
        frames += block * 2;
        frameCount -= block;
    }
}

} // namespace crossfall
