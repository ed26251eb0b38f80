// Shared set-up of the score tests: a game that has just ended, and the table's names at a glance.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/bitmaps.h"
#include "platform/screen_flags.h"
#include "platform/text.h"
#include "platform/video.h"
#include "rules/game_state.h"
#include "scores/high_scores.h"

namespace crossfall {

// The state the game step leaves when a game of this mode has ended with this result.
inline void startEndedGame(int mode, int points, int bonuses) {
    gameMode = mode;
    score = points;
    comboBonuses = bonuses;
    scoreCheckDone = 0;
    inScoreEntry = 0;
    newEntryRank = -1;
}

// "A B C ..." of the ten rows in memory.
inline std::string tableNames() {
    std::string names;
    for (const HighScoreEntry& row : highScoreTable) {
        if (!names.empty()) names += ' ';
        names += row.name;
    }
    return names;
}

// Fresh surfaces, font and input for a screen test: nothing held, cursor at the origin.
inline void startScreenTest() {
    static bool fontReady = createFont();
    (void)fontReady;
    initVideo();
    createAndLoadBitmaps();
    null_backend::reset();
    releaseAllKeys();
    initInput();
    mouseX = 0;
    mouseY = 0;
}

inline int countPixels(const std::uint16_t* picture, const Rect& area, std::uint16_t value) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) count += picture[y * SCREEN_WIDTH + x] == value;
    return count;
}

inline int litPixels(const std::uint16_t* picture, const Rect& area) {
    return (area.right - area.left) * (area.bottom - area.top) - countPixels(picture, area, 0);
}

// Text in this colour: some pixel at full strength, and every lit pixel a blend of it over black.
inline bool textInColour(const std::uint16_t* picture, const Rect& area, int r, int g, int b) {
    const int want[3] = {r >> 3, g >> 2, b >> 3};
    bool full = false;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            std::uint16_t p = picture[y * SCREEN_WIDTH + x];
            const int got[3] = {p >> 11, (p >> 5) & 0x3F, p & 0x1F};
            bool whole = true;
            for (int c = 0; c < 3; ++c) {
                if (got[c] > want[c] + 1) return false;
                whole = whole && std::abs(got[c] - want[c]) <= 1;
            }
            full = full || whole;
        }
    }
    return full;
}

} // namespace crossfall
