// Our mixer: the music and every playing sound record resampled to 44100 Hz, summed, and held
// under full scale by a peak limiter into stereo 16-bit frames. The audio device calls mixAudio under the device lock;
// tests and benchmarks call it by hand. The game thread changes records under the same lock.
#pragma once

#include <cstdint>

#include "audio/sound.h"

namespace crossfall {

constexpr std::uint32_t OUTPUT_RATE = 44100;

// Writes frameCount interleaved stereo frames and advances every playing record.
void mixAudio(std::int16_t* frames, int frameCount);
// Forgets the limiter's state: the next frame starts at full gain. Called when the device opens.
void resetMixer();
// A volume in hundredths of a decibel as a factor: 10^(volume/2000), 0 at -10000 or below.
float gainOf(std::int32_t volume);

} // namespace crossfall
