// The narrow device contract: everything the game needs of a window, the event queue, the clock
// and the sound device. Two implementations: sdl/ for the game, null_backend.cpp for tests and
// benchmarks (no window, no sound, a clock that only moves when the game sleeps or a test says).
#pragma once

#include <cstdint>

namespace crossfall::backend {

struct Events {
    bool quit = false;      // the window was closed or the desktop asked us to quit
    bool focusLost = false; // the window lost the keyboard focus since the last pump
    bool padLost = false;   // a gamepad in use was pulled out since the last pump
};

// Opens the window that shows the 800 x 600 picture; false (after saying why on stderr) when there is no display.
bool openDisplay();
// Puts an 800 x 600 picture of 16-bit 5-6-5 pixels on the screen at once.
void showPicture(const std::uint16_t* pixels);
// True once after the renderer reported its device or targets reset; the game then restores its surfaces.
bool takeDisplayLoss();
// Shows or hides the system mouse cursor over the window.
void showSystemCursor(bool visible);
// Closes the window; harmless when none is open.
void closeDisplay();
// Tells the player something went wrong in a message box of the desktop's own; harmless with no display.
void showErrorMessage(const char* message);

// Hands every pending window, keyboard, mouse and gamepad event to the input state (platform/input.h).
Events pumpEvents();

// Milliseconds on a monotonic clock.
std::uint64_t nowMs();
// Seconds since 1970 (UTC) by the system's calendar clock: the date a journal records.
std::int64_t calendarSeconds();
// Pauses the game's thread for the given milliseconds.
void sleepMs(int ms);

// Opens the sound device (44100 Hz, stereo, 16-bit); fill() then runs on the device's thread under the
// device lock and must write frameCount interleaved stereo frames. False when there is no sound device.
bool openAudio(void (*fill)(std::int16_t* frames, int frameCount));
// Held while the game thread changes the mixer's state, so fill() never sees half a change.
void lockAudio();
void unlockAudio();
// Closes the sound device; harmless when none is open.
void closeAudio();

} // namespace crossfall::backend
