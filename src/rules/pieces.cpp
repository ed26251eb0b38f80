// The seven kinds, the quarter turn and dealing.
#include "rules/pieces.h"

#include "rules/game_state.h"
#include "rules/random.h"

namespace crossfall {

Piece pieceTemplates[PIECE_KINDS];

namespace {

struct BoxCell {
    int i, j;
};

// Blocks of each kind in its box, as it enters field 0.
constexpr BoxCell kindBlocks[PIECE_KINDS][4] = {
    {{2, 1}, {1, 2}, {2, 2}, {3, 2}}, // T
    {{0, 2}, {1, 2}, {2, 2}, {3, 2}}, // I
    {{1, 1}, {1, 2}, {2, 2}, {3, 2}}, // J
    {{3, 1}, {1, 2}, {2, 2}, {3, 2}}, // L
    {{1, 1}, {2, 1}, {1, 2}, {2, 2}}, // O
    {{2, 1}, {3, 1}, {1, 2}, {2, 2}}, // S
    {{1, 1}, {2, 1}, {2, 2}, {3, 2}}, // Z
};

} // namespace

void buildPieceTemplates() {
    for (int k = 0; k < PIECE_KINDS; ++k) {
        pieceTemplates[k] = Piece{};
        for (const BoxCell& cell : kindBlocks[k]) pieceTemplates[k].shape[cell.i][cell.j] = 1;
    }
}

void rotatePiece(Piece& piece, int d) {
    std::int32_t turned[5][5] = {};
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) {
            if (piece.shape[i][j] == 0) continue;
            if (d > 0)
                turned[j][4 - i] = piece.shape[i][j];
            else
                turned[4 - j][i] = piece.shape[i][j];
        }
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) piece.shape[i][j] = turned[i][j];
}

Piece makePiece(int kind, int fieldIndex) {
    Piece piece = pieceTemplates[kind];
    piece.kind = kind;
    piece.fieldIndex = fieldIndex;
    piece.x = SPAWN_X;
    piece.y = SPAWN_Y;
    return piece;
}

void dealPiece(int lockedFieldIndex) {
    int kind = nextRandom() % PIECE_KINDS;
    if (lockedFieldIndex == 5) {
        // The Duofall right field has its own waiting piece.
        nextPiece2 = makePiece(nextRandom() % PIECE_KINDS, 5);
        return;
    }
    nextPiece = makePiece(kind, nextRandom() % 4);
    if (gameMode == MODE_CLASSIC || gameMode == MODE_RUBIK || gameMode == MODE_TIME) nextPiece.fieldIndex = 0;
}

} // namespace crossfall
