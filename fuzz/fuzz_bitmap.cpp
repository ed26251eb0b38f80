// Any bytes as a bitmap file: decoded and scaled into a small surface, never touching memory past it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/video.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static crossfall::Surface surface = crossfall::createSurface(24, 12);
    crossfall::clearSurface(surface, 0x1234);
    bool loaded = crossfall::loadBitmapFromMemory(surface, data, size);
    if (surface.pixels.size() != 24u * 12u) std::abort();
    // A refused file leaves every pixel as it was.
    if (!loaded)
        for (std::uint16_t p : surface.pixels)
            if (p != 0x1234) std::abort();
    return 0;
}
