// Controls of the null backend for tests and benchmarks: the clock, quit, focus and pad-loss requests,
// display loss, and what was shown. Only tests and benchmarks include this.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace crossfall::null_backend {

void advanceClock(std::uint64_t ms);
// Puts the clock at ms, back as well as forward (a sleep cut short looks like this).
void setClock(std::uint64_t ms);
// Total milliseconds the game asked to sleep since the last reset.
std::uint64_t sleptMs();
void requestQuit();
void loseFocus();
void losePad();
void loseDisplay();
// The next picture shown holds the game that long, as a present to a covered window may.
void holdNextPresent(std::uint64_t ms);
// How many pictures were shown, and the last one (800 x 600), since the last reset.
int picturesShown();
const std::uint16_t* lastPicture();
// A digest of an 800 x 600 picture, continuing the one of the pictures before it.
std::uint64_t pictureDigest(const std::uint16_t* pixels, std::uint64_t before = 0);
// A digest of every picture shown since the last reset, in order: equal digests, equal pictures.
std::uint64_t shownDigest();
// From now until the next reset, the pixel at (x, y) of every picture shown, in order.
void watchPixel(int x, int y);
const std::vector<std::uint16_t>& watchedPixels();
// From now until the next reset, every picture shown is handed to the watcher as it is shown.
void watchPictures(std::function<void(const std::uint16_t* pixels)> watcher);
// Whether a display opens; on by default.
void setDisplayAvailable(bool available);
// Sound device for tests that drive the mixer through the device path; off by default.
void setAudioAvailable(bool available);
void reset();

} // namespace crossfall::null_backend
