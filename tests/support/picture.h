// Whole pictures pinned by a digest of every pixel, for the screens' suites. Each digest was taken
// from a picture looked at against the screen's layout; a mismatch saves the new picture as a BMP
// (path printed) so a person can see what moved.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "platform/bitmaps.h"

namespace crossfall::picture {

// Every bitmap painted with a pattern of its own, never the transparent 0, so a misplaced copy shows.
inline void paintBitmaps() {
    for (int b = 0; b < BITMAP_COUNT; ++b) {
        Surface& s = bitmap(Bitmap(b));
        for (int i = 0; i < s.width * s.height; ++i)
            s.pixels[i] =
                static_cast<std::uint16_t>(0x0800 * (b + 1) + (i % s.width * 7 + i / s.width * 13) % 0x800);
    }
}

inline std::uint64_t digest(const std::uint16_t* pixels, int count = 800 * 600) {
    std::uint64_t h = 14695981039346656037ull; // FNV-1a
    for (int i = 0; i < count; ++i) h = (h ^ pixels[i]) * 1099511628211ull;
    return h;
}

inline void expectPicture(const std::uint16_t* pixels, std::uint64_t expected, const std::string& name) {
    const std::uint64_t got = digest(pixels);
    if (got == expected) return;
    const std::string path =
        (std::filesystem::temp_directory_path() / ("crossfall-" + name + ".bmp")).string();
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint16_t*>(pixels), 800, 600, 16,
                                                        1600, SDL_PIXELFORMAT_RGB565);
    if (s != nullptr) SDL_SaveBMP(s, path.c_str()), SDL_FreeSurface(s);
    ADD_FAILURE() << name << ": digest 0x" << std::hex << got << ", picture saved to " << path;
}

} // namespace crossfall::picture
