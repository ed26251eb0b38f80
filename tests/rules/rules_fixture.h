// Shared set-up for the rules tests: every global the rules touch put back to a known state, a
// seeded generator, and a frame that runs the rules as the game step does.
#pragma once

#include <gtest/gtest.h>

#include "audio/sound.h"
#include "menus/controls_file.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/null_backend.h"
#include "platform/video.h"
#include "rules/game_state.h"
#include "rules/modes.h"
#include "rules/moving.h"
#include "rules/random.h"
#include "rules/rows.h"

namespace crossfall::testing_rules {

inline void resetRules(std::uint32_t seed = 12345) {
    null_backend::reset();
    initVideo(); // the row flash draws on the front surface
    releaseAllKeys();
    resetControlsToDefaults();
    for (SoundRecord& voice : voices) voice = SoundRecord{};
    seedRandom(seed);
    gameMode = MODE_CLASSIC;
    score = comboBonuses = combo = bestCombo = gameOver = 0;
    level = scoreCheckDone = 1;
    spinCount = riseCount = blinkCount = comboLabelTimer = 0;
    voicesBusy = duoDropPending = obstacleMode = 0;
    initGameState();
}

// The rules' part of one game-step frame: place, step, then the mode timers.
inline void frame(int count = 1) {
    for (int n = 0; n < count && gameOver == 0; ++n) {
        placePiece(currentPiece);
        if (gameMode == MODE_DUOFALL) placePiece(currentPiece2);
        stepPiece(currentPiece);
        if (gameMode == MODE_DUOFALL) stepPiece(currentPiece2);
        tickTimeAttackRise();
        tickRubikSpin();
    }
}

// A game whose first falling piece is of the given kind.
inline void startWith(int mode, int kind) {
    nextPiece = makePiece(kind, 0);
    startGame(mode);
}

inline void fillRow(Field& field, int r, int code = 1) {
    for (auto& column : field.cells) column[r] = code;
}

inline int countBlocks(const Field& field) {
    int n = 0;
    for (const auto& column : field.cells)
        for (int r = 0; r < PLAY_ROWS; ++r) n += column[r] > 0 ? 1 : 0;
    return n;
}

inline bool sameShape(const Piece& a, const Piece& b) {
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            if ((a.shape[i][j] != 0) != (b.shape[i][j] != 0)) return false;
    return true;
}

inline bool samePlayRows(const Field& a, const Field& b) {
    for (int c = 0; c < FIELD_COLUMNS; ++c)
        for (int r = 0; r < PLAY_ROWS; ++r)
            if (a.cells[c][r] != b.cells[c][r]) return false;
    return true;
}

struct Pixel {
    int x, y;
};

// Top-left screen pixel of cell (c, r) of each field, as the fields lie on screen.
inline Pixel cellPixel(int field, int c, int r) {
    switch (field) {
    case 0: return {320 + 16 * c, 60 + 16 * r};
    case 1: return {320 + 16 * (19 - r), 220 + 16 * c};
    case 2: return {320 + 16 * (9 - c), 220 + 16 * (19 - r)};
    case 3: return {160 + 16 * r, 220 + 16 * (9 - c)};
    case 4: return {160 + 16 * c, 60 + 16 * r};
    default: return {480 + 16 * c, 60 + 16 * r};
    }
}

// Field 0's cell under a screen pixel of the 4-Way centre.
inline std::int32_t& topArmCellAt(Pixel p) { return fields[0].cells[(p.x - 320) / 16][(p.y - 60) / 16]; }

// True when every arm's centre shows the same block as field 0 at the same screen pixel.
inline bool centresAgree() {
    for (int d = 1; d < 4; ++d)
        for (int c = 0; c < 10; ++c)
            for (int r = 10; r < 20; ++r)
                if (fields[d].cells[c][r] != topArmCellAt(cellPixel(d, c, r))) return false;
    return true;
}

class RulesTest : public ::testing::Test {
  protected:
    void SetUp() override { resetRules(); }
    void TearDown() override { releaseAllKeys(); }
    static void hold(int code, bool down = true) { setKeyDown(code, down); }
};

} // namespace crossfall::testing_rules
