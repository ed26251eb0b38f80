// The piece record, the seven kinds, the quarter turn and the dealing of new pieces. Used by the
// rest of the rules, by the preview drawing and by the 4-Way probes.
#pragma once

#include <cstdint>

namespace crossfall {

// Four blocks in a 5 x 5 box; copied as a whole value.
struct Piece {
    std::int32_t shape[5][5] = {}; // [column offset][row offset], non-zero = block
    std::int32_t kind = 0;         // 0..6; cells it leaves get kind + 1
    std::int32_t fieldIndex = 0;   // 0 Classic/Rubik's/Time Attack, 0..3 the 4-Way arm, 4/5 Duofall
    std::int32_t x = 0;            // column of the box's top-left cell, may be negative
    std::int32_t y = 0;            // row of the box's top-left cell, may be negative
    std::int32_t gravityCount = 0; // ticks toward the next one-row fall
    std::int32_t sideRepeat = 0;   // ticks until a held side key moves again
    std::int32_t sideHeld = 0;     // 1 after the first side move of a key hold
    std::int32_t rotateRepeat = 0; // ticks until a held rotate key turns again
    std::int32_t dropLock = 0;     // ticks during which Drop is ignored
};

constexpr int PIECE_KINDS = 7;
constexpr int KIND_O = 4; // the square, which never turns
constexpr int SPAWN_X = 3;
constexpr int SPAWN_Y = -1;

extern Piece pieceTemplates[PIECE_KINDS]; // built once per run by initGameState

void buildPieceTemplates();
// d = +1 turns counter-clockwise as seen in field 0, d = -1 clockwise, about box cell (2, 2).
void rotatePiece(Piece& piece, int d);
// A fresh piece of that kind at the entry position, every counter 0.
Piece makePiece(int kind, int fieldIndex);
// Deals the next waiting piece after a lock in the given field (nextPiece2 after the Duofall right).
void dealPiece(int lockedFieldIndex);

} // namespace crossfall
