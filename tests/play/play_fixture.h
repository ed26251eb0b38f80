// Shared set-up for the play-screen tests: the game started headless, every sprite painted with a
// value of its own so a pixel tells which sprite put it there, and helpers that read the picture.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "audio/sound.h"
#include "menus/controls_file.h"
#include "platform/bitmaps.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "platform/start_up.h"
#include "platform/text.h"
#include "platform/video.h"
#include "play/field_drawing.h"
#include "play/flash_row.h"
#include "play/game_step.h"
#include "rules/game_state.h"
#include "rules/random.h"

namespace crossfall::testing_play {

// Values no other sprite uses: block code k, the backgrounds, strip k of the flash sprites.
constexpr std::uint16_t blockValue(int code) {
    return static_cast<std::uint16_t>(0xF000 + code);
}
constexpr std::uint16_t bgDirValue(int dir) {
    return static_cast<std::uint16_t>(0x2000 + dir);
}
constexpr std::uint16_t animRowValue(int k) {
    return static_cast<std::uint16_t>(0x3000 + k);
}
constexpr std::uint16_t animColValue(int k) {
    return static_cast<std::uint16_t>(0x3100 + k);
}
// bg1 differs from pixel to pixel, never black, so a copy from the wrong place shows.
inline std::uint16_t bg1Value(int x, int y) {
    return static_cast<std::uint16_t>(0x4000 + (x * 7 + y * 13) % 4000);
}

// Top-left screen pixel of cell (c, r) of each field, as the fields are laid out on screen.
inline ScreenPoint expectedCellPixel(int field, int c, int r) {
    switch (field) {
    case 0:
        return {320 + 16 * c, 60 + 16 * r};
    case 1:
        return {320 + 16 * (19 - r), 220 + 16 * c};
    case 2:
        return {320 + 16 * (9 - c), 220 + 16 * (19 - r)};
    case 3:
        return {160 + 16 * r, 220 + 16 * (9 - c)};
    case 4:
        return {160 + 16 * c, 60 + 16 * r};
    default:
        return {480 + 16 * c, 60 + 16 * r};
    }
}

inline void paint(Surface& s, std::uint16_t (*value)(int x, int y)) {
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) s.pixels[static_cast<std::size_t>(y * s.width + x)] = value(x, y);
}

inline void paintSprites() {
    for (int code = 1; code <= 7; ++code) clearSurface(blockSprite(code), blockValue(code));
    const Bitmap dirs[] = {Bitmap::BgDir0, Bitmap::BgDir1, Bitmap::BgDir2, Bitmap::BgDir3};
    for (int d = 0; d < 4; ++d) clearSurface(bitmap(dirs[d]), bgDirValue(d));
    clearSurface(bitmap(Bitmap::BgDir5), bgDirValue(5));
    clearSurface(bitmap(Bitmap::BgDir6), bgDirValue(6));
    paint(bitmap(Bitmap::Bg1), bg1Value);
    paint(bitmap(Bitmap::AnimRow), [](int, int y) { return animRowValue(y / 16); });
    paint(bitmap(Bitmap::AnimCol), [](int x, int) { return animColValue(x / 16); });
}

inline std::uint16_t shownAt(int x, int y) {
    return null_backend::lastPicture()[y * SCREEN_WIDTH + x];
}

inline bool squareShows(const std::uint16_t* picture, ScreenPoint at, std::uint16_t value) {
    for (int y = at.y; y < at.y + 16; ++y)
        for (int x = at.x; x < at.x + 16; ++x)
            if (picture[y * SCREEN_WIDTH + x] != value) return false;
    return true;
}

inline int countShown(const std::uint16_t* picture, const Rect& area, std::uint16_t value) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) n += picture[y * SCREEN_WIDTH + x] == value ? 1 : 0;
    return n;
}

// True when the area of the shown picture is the text as drawn alone over a plain background,
// and the text does reach into the area.
inline bool textShown(const char* text, int centreX, int y, ColorRef color, std::uint16_t background,
                      const Rect& area) {
    Surface expected = createSurface(SCREEN_WIDTH, SCREEN_HEIGHT);
    clearSurface(expected, background);
    drawTextCentered(text, centreX, y, color, expected);
    bool inked = false;
    for (int py = area.top; py < area.bottom; ++py)
        for (int px = area.left; px < area.right; ++px) {
            const std::uint16_t want = expected.pixels[static_cast<std::size_t>(py * SCREEN_WIDTH + px)];
            if (shownAt(px, py) != want) return false;
            inked = inked || want != background;
        }
    return inked;
}

inline int lineCount(const char* fileName) {
    std::ifstream in(fileName);
    int n = 0;
    for (std::string line; std::getline(in, line);) ++n;
    return n;
}

inline void fillRow(Field& field, int r, int code) {
    for (auto& column : field.cells) column[r] = code;
}

// A piece of the kind in the field that locks on the next tick with its box at (x, y).
inline Piece pieceAboutToLock(int kind, int fieldIndex, int x, int y) {
    Piece piece = makePiece(kind, fieldIndex);
    piece.x = x;
    piece.y = y;
    piece.gravityCount = 1000;
    return piece;
}

constexpr int I_PIECE = 1; // a bar on box row 2, box columns 0..3
constexpr int L_PIECE = 3;

class PlayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        null_backend::reset();
        releaseAllKeys();
        ASSERT_TRUE(startUp());
        seedRandom(4242);
        paintSprites();
        inMenu = inOptions = inScoreEntry = showScoreList = 0;
        obstacleMode = 0;
        blinkCount = comboLabelTimer = 0;
        for (SoundRecord& voice : voices) voice = SoundRecord{};
    }
    void TearDown() override { releaseAllKeys(); }

    // A fresh game in the mode whose first piece is of the given kind.
    static void start(int mode, int kind = I_PIECE) {
        nextPiece = makePiece(kind, 0);
        startGame(mode);
        null_backend::reset();
    }
};

} // namespace crossfall::testing_play
