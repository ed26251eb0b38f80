// Whole pictures pinned by a digest of every pixel. Each digest was taken from a picture looked at
// against the screen's layout; a mismatch saves the new one as a BMP (path printed) to look at.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <string>

namespace crossfall::picture {

inline std::uint64_t digest(const std::uint16_t* pixels) {
    std::uint64_t h = 14695981039346656037ull; // FNV-1a over the 800 x 600 pixels
    for (int i = 0; i < 800 * 600; ++i) h = (h ^ pixels[i]) * 1099511628211ull;
    return h;
}

inline void expectPicture(const std::uint16_t* pixels, std::uint64_t expected, const std::string& name) {
    if (digest(pixels) == expected) return;
    const auto path = std::filesystem::temp_directory_path() / ("crossfall-" + name + ".bmp");
    auto* bytes = const_cast<std::uint16_t*>(pixels);
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(bytes, 800, 600, 16, 1600, SDL_PIXELFORMAT_RGB565);
    SDL_SaveBMP(s, path.c_str()), SDL_FreeSurface(s);
    ADD_FAILURE() << name << ": digest 0x" << std::hex << digest(pixels) << ", picture saved to " << path;
}

} // namespace crossfall::picture
