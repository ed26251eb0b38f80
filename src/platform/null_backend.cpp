// The null device backend: no window, no sound device; the clock moves only when the game
// sleeps or a test advances it, so 150 ms pauses cost tests nothing.
#include "platform/backend.h"
#include "platform/null_backend.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

namespace crossfall {
namespace {

struct NullState {
    std::uint64_t clockMs = 0;
    std::uint64_t sleptMs = 0;
    std::uint64_t presentHoldMs = 0;
    bool quit = false;
    bool focusLost = false;
    bool padLost = false;
    bool displayLost = false;
    bool displayAvailable = true;
    bool audioAvailable = false;
    int picturesShown = 0;
    std::uint64_t shownDigest = 0;
    std::vector<std::uint16_t> lastPicture = std::vector<std::uint16_t>(800 * 600, 0);
    int watchedAt = -1; // index of the watched pixel, if any
    std::vector<std::uint16_t> watched;
    std::function<void(const std::uint16_t*)> pictureWatcher;
};

NullState state;

} // namespace

namespace backend {

bool openDisplay() { return state.displayAvailable; }
void showPicture(const std::uint16_t* pixels) {
    std::copy(pixels, pixels + 800 * 600, state.lastPicture.begin());
    ++state.picturesShown;
    state.clockMs += std::exchange(state.presentHoldMs, 0);
    state.shownDigest = null_backend::pictureDigest(pixels, state.shownDigest);
    if (state.watchedAt >= 0) state.watched.push_back(pixels[state.watchedAt]);
    if (state.pictureWatcher) state.pictureWatcher(pixels);
}
bool takeDisplayLoss() { return std::exchange(state.displayLost, false); }
void showSystemCursor(bool) {}
void closeDisplay() {}
void showErrorMessage(const char*) {}

Events pumpEvents() {
    Events events{state.quit, state.focusLost, state.padLost};
    state.focusLost = false;
    state.padLost = false;
    return events;
}

std::uint64_t nowMs() { return state.clockMs; }
// A fixed day, so that what a test records is the same at every run; it moves with the clock.
std::int64_t calendarSeconds() {
    return 1796688000 + static_cast<std::int64_t>(state.clockMs / 1000);
}
void sleepMs(int ms) {
    if (ms <= 0) return;
    state.clockMs += static_cast<std::uint64_t>(ms);
    state.sleptMs += static_cast<std::uint64_t>(ms);
}

bool openAudio(void (*)(std::int16_t*, int)) { return state.audioAvailable; }
void lockAudio() {}
void unlockAudio() {}
void closeAudio() {}

} // namespace backend

namespace null_backend {

std::uint64_t pictureDigest(const std::uint16_t* pixels, std::uint64_t before) {
    // Four lanes of four pixels, each step multiplied through, so a pixel changed or moved anywhere shows.
    std::uint64_t lane[4] = {before, 1, 2, 3};
    for (int i = 0; i < 800 * 600; i += 16)
        for (int k = 0; k < 4; ++k) {
            std::uint64_t four = 0;
            std::memcpy(&four, pixels + i + 4 * k, sizeof four);
            lane[k] = (lane[k] ^ four) * 0xFF51AFD7ED558CCDull;
            lane[k] ^= lane[k] >> 32;
        }
    std::uint64_t h = 0;
    for (std::uint64_t l : lane) h = (h ^ l) * 0xC4CEB9FE1A85EC53ull + 0x9E3779B97F4A7C15ull;
    return h;
}

void advanceClock(std::uint64_t ms) { state.clockMs += ms; }
void setClock(std::uint64_t ms) { state.clockMs = ms; }
std::uint64_t sleptMs() { return state.sleptMs; }
void requestQuit() { state.quit = true; }
void loseFocus() { state.focusLost = true; }
void losePad() { state.padLost = true; }
void loseDisplay() { state.displayLost = true; }
void holdNextPresent(std::uint64_t ms) { state.presentHoldMs = ms; }
int picturesShown() { return state.picturesShown; }
std::uint64_t shownDigest() { return state.shownDigest; }
const std::uint16_t* lastPicture() { return state.lastPicture.data(); }
void watchPixel(int x, int y) { state.watchedAt = std::clamp(y, 0, 599) * 800 + std::clamp(x, 0, 799); }
const std::vector<std::uint16_t>& watchedPixels() { return state.watched; }
void watchPictures(std::function<void(const std::uint16_t*)> watcher) { state.pictureWatcher = std::move(watcher); }
void setDisplayAvailable(bool available) { state.displayAvailable = available; }
void setAudioAvailable(bool available) { state.audioAvailable = available; }
void reset() { state = NullState{}; }

} // namespace null_backend
} // namespace crossfall
