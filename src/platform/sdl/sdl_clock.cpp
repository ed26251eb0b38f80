// The clock on SDL: a monotonic millisecond count and a real sleep.
#include <SDL.h>

#include "platform/backend.h"

namespace crossfall::backend {

std::uint64_t nowMs() { return SDL_GetTicks64(); }

void sleepMs(int ms) {
    if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
}

} // namespace crossfall::backend
