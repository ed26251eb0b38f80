// The sound bank: the looping music, the row effect played on 64 voices, the music's pitch by
// level, the music switch, and the voice sweep whose result times the combo chain. Called by
// start-up, the rules, the game step and the options screen. Without a sound device the game runs
// silent and voices are freed by the next sweep.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

namespace crossfall {

// Decoded samples, 16-bit, interleaved when stereo; shared by an effect and its voices.
struct SampleBuffer {
    std::unique_ptr<std::int16_t[]> samples;
    std::uint32_t frames = 0;
    int channels = 1;
};

struct SoundRecord {
    std::int32_t active = 0;         // voices only: taken by an effect
    std::int32_t loop = 0;           // 1: repeats until stopped
    std::uint32_t baseFrequency = 0; // the file's own rate in Hz
    // The playback state below is the mixer's: change it only under the audio lock.
    std::shared_ptr<const SampleBuffer> buffer; // empty until loaded or given an effect's samples
    std::uint32_t frequency = 0;     // playback rate in Hz
    std::int32_t volume = 0;         // hundredths of a decibel, -10000 silent
    float gain = 1.0f;               // the volume as a factor
    std::uint64_t position = 0;      // frames played, 32.32 fixed point
    bool playing = false;
};

constexpr int VOICE_COUNT = 64;
constexpr int EFFECT_COUNT = 2;
constexpr std::int32_t VOLUME_SILENT = -10000;
constexpr std::uint32_t MAX_FREQUENCY = 200000;

// All sound records live for the whole run; shutDownSound empties them.
extern SoundRecord musicSound;
extern SoundRecord effectSounds[EFFECT_COUNT];
extern SoundRecord voices[VOICE_COUNT];
// The options' music switch, 0 off; off also silences the effects. Set at start-up and whenever the
// controls file is read.
extern std::int32_t musicOn;

// Opens the sound device; false (said once on stderr) when there is none.
bool initSound();
// Fills the record from a PCM 8- or 16-bit mono or stereo WAV file; any failure leaves it without samples.
void loadSound(SoundRecord& record, const char* fileName);
// The same from a WAV file's bytes already in memory.
void loadSoundFromMemory(SoundRecord& record, std::span<const std::uint8_t> bytes);
// Restarts the record from its beginning, looping when its loop flag is set.
void playSound(SoundRecord& record);
void stopSound(SoundRecord& record);
// Plays the effect on the first free voice; dropped when all 64 are taken.
void playEffect(int effect);
// Restarts the music at the rate of the game's level.
void setLevelMusic(int level);
// The options screen's music switch: stops the music, or restarts it from its beginning at the last rate.
void setMusicOn(int on);
// Frees the voices that have finished; true while any voice still sounds.
bool sweepVoices();
// Closes the device and empties every record.
void shutDownSound();

} // namespace crossfall
