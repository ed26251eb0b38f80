// Whole pictures pinned by a digest of every pixel. Each digest was taken from a picture looked at
// against the screen's layout; a mismatch saves the new one as a BMP (path printed) to look at.
#pragma once

#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <string>

#include "platform/bitmaps.h"
#include "rules/game_state.h"
#include "rules/random.h"

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

// Paints every bitmap with values of its own per pixel, every seventh one black and so see-through in keyed
// copies: a sprite drawn a pixel off, stretched otherwise or from the wrong bitmap changes the picture.
inline void paintSprites() {
    for (int b = 0; b < BITMAP_COUNT; ++b) {
        Surface& s = bitmap(Bitmap(b));
        for (int i = 0; i < s.width * s.height; ++i) {
            const auto v = static_cast<std::uint32_t>(b + 1) * 40503u + static_cast<std::uint32_t>(i) * 2654435761u;
            s.pixels[i] = i % 7 == 3 ? 0 : static_cast<std::uint16_t>((v >> 16) | 1);
        }
    }
}

} // namespace crossfall::picture

namespace crossfall {

// Everything a game frame's outcome depends on, the fields its mode plays on, and the picture's own state,
// digested.
inline std::uint64_t gameStateDigest() {
    std::uint64_t h = 0xCBF29CE484222325ull;
    const auto mix = [&h](const void* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) h = (h ^ static_cast<const unsigned char*>(bytes)[i]) * 0x100000001B3ull;
    };
    const int first = gameMode == MODE_DUOFALL ? 4 : 0, last = gameMode == MODE_DUOFALL ? 5 : gameMode == MODE_4WAY ? 3 : 0;
    for (int f = first; f <= last; ++f) mix(fields[f].cells.data(), sizeof fields[f].cells);
    for (const Piece* p : {&currentPiece, &currentPiece2, &nextPiece, &nextPiece2}) mix(p, sizeof *p);
    for (const std::int32_t* v : {&gameMode, &score, &comboBonuses, &level, &combo, &bestCombo, &gameOver, &spinCount,
                                  &riseCount, &blinkCount, &comboLabelTimer, &duoDropPending})
        mix(v, sizeof *v);
    mix(&randomState, sizeof randomState);
    mix(comboLabelPoints, sizeof comboLabelPoints);
    return h;
}

} // namespace crossfall
