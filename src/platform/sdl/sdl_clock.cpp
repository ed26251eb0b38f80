// The clock on SDL: a monotonic millisecond count, the calendar's seconds and a real sleep.
#include <SDL.h>

#include <ctime>

#include "platform/backend.h"

namespace crossfall::backend {

std::uint64_t nowMs() { return SDL_GetTicks64(); }

std::int64_t calendarSeconds() {
    return static_cast<std::int64_t>(std::time(nullptr));
}

void sleepMs(int ms) {
    if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

} // namespace crossfall::backend
