// The sound bank's records and voices. Without a device no record has samples: effects take a
// voice that the next sweep frees, as the game does when it has no sound card.
#include "audio/sound.h"

namespace crossfall {

SoundRecord musicSound;
SoundRecord effectSounds[EFFECT_COUNT];
SoundRecord voices[VOICE_COUNT];

bool initSound() { return false; }

void loadSound(SoundRecord&, const char*) {}

void playSound(SoundRecord&) {}

void stopSound(SoundRecord&) {}

void playEffect(int effect) {
    if (effect < 0 || effect >= EFFECT_COUNT) return;
    for (SoundRecord& voice : voices) {
        if (voice.active != 0) continue;
        voice.loop = effectSounds[effect].loop;
        voice.active = 1;
        voice.hasBuffer = false;
        return;
    }
}

void setLevelMusic() {}

bool sweepVoices() {
    bool busy = false;
    for (SoundRecord& voice : voices) {
        if (voice.active == 0) continue;
        if (voice.loop == 1)
            busy = true;
        else
            voice.active = 0;
    }
    return busy;
}

void shutDownSound() {}

} // namespace crossfall
