// The sound device on SDL: 44100 Hz, stereo, signed 16-bit, 1024-frame buffers. SDL runs the
// callback on its own thread holding the device lock, so lockAudio keeps the game's changes whole.
#include <SDL.h>

#include "platform/backend.h"

namespace crossfall::backend {
namespace {

constexpr int DEVICE_RATE = 44100;
constexpr int DEVICE_BUFFER_FRAMES = 1024; // about 23 ms: no underruns on a busy desktop

SDL_AudioDeviceID device = 0;                  // once per run: openAudio to closeAudio
void (*fillFrames)(std::int16_t*, int) = nullptr;

void fillStream(void*, Uint8* stream, int length) {
    fillFrames(reinterpret_cast<std::int16_t*>(stream), length / static_cast<int>(2 * sizeof(std::int16_t)));
}

} // namespace

bool openAudio(void (*fill)(std::int16_t* frames, int frameCount)) {
    if (device != 0) return true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec wanted{};
    wanted.freq = DEVICE_RATE;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = DEVICE_BUFFER_FRAMES;
    wanted.callback = fillStream;
    fillFrames = fill;
    SDL_AudioSpec obtained{};
    // No allowed changes: SDL converts to whatever the hardware wants.
    device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void lockAudio() {
    if (device != 0) SDL_LockAudioDevice(device);
}

void unlockAudio() {
    if (device != 0) SDL_UnlockAudioDevice(device);
}

void closeAudio() {
    if (device == 0) return;
    SDL_CloseAudioDevice(device);
    device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

} // namespace crossfall::backend
