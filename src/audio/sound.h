// The sound bank: the looping music, the row effect played on 64 voices, the music's pitch by
// level, and the voice sweep whose result times the combo chain. Without a sound device the game
// runs silent and voices are freed by the next sweep.
#pragma once

#include <cstdint>

namespace crossfall {

struct SoundRecord {
    std::int32_t active = 0;         // voices only: taken by an effect
    std::int32_t loop = 0;           // 1: repeats until stopped
    std::uint32_t baseFrequency = 0; // the file's own rate in Hz
    bool hasBuffer = false;          // loaded (or, for a voice, given an effect's samples)
};

constexpr int VOICE_COUNT = 64;
constexpr int EFFECT_COUNT = 2;

extern SoundRecord musicSound;
extern SoundRecord effectSounds[EFFECT_COUNT];
extern SoundRecord voices[VOICE_COUNT];

// Opens the sound device; false (said once on stderr) when there is none.
bool initSound();
void loadSound(SoundRecord& record, const char* fileName);
// Restarts the record from its beginning, looping when its loop flag is set.
void playSound(SoundRecord& record);
void stopSound(SoundRecord& record);
// Plays the effect on the first free voice; dropped when all 64 are taken.
void playEffect(int effect);
// Restarts the music at the rate of the current level.
void setLevelMusic();
// Frees the voices that have finished; true while any voice still sounds.
bool sweepVoices();
void shutDownSound();

} // namespace crossfall
