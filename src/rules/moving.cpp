// Collision, placing and the per-tick step of a falling piece, with its lock.
#include "rules/moving.h"

#include <string>

#include "platform/files.h"
#include "rules/game_frame.h"
#include "rules/modes.h"
#include "rules/rows.h"

namespace crossfall {
namespace {

constexpr int SIDE_FIRST_REPEAT = 45;
constexpr int SIDE_REPEAT = 9;
constexpr int ROTATE_REPEAT = 50;
constexpr int DROP_LOCK = 150;
constexpr int HARD_DROP_COUNT = 500;
constexpr int HURRY_STEP = 10;

// Writes code into the piece's blocks; only play rows are ever touched, so the walls survive.
void writeBlocks(const Piece& piece, std::int32_t code) {
    if (piece.fieldIndex < 0 || piece.fieldIndex >= FIELD_COUNT) return;
    Field& field = fields[piece.fieldIndex];
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) {
            if (piece.shape[i][j] == 0) continue;
            int c = piece.x + i;
            int r = piece.y + j;
            if (c < 0 || c >= FIELD_COLUMNS || r < 0 || r >= PLAY_ROWS) continue;
            field.cells[c][r] = code;
        }
}

// Settles the piece and brings in the next one; false when the tick must end at once.
bool lockPiece(Piece& piece) {
    const int f = piece.fieldIndex;
    placePiece(piece);
    if (gameMode == MODE_4WAY)
        clearArmsAfterLock(f);
    else
        clearFullRows(f);

    if (f == 5) {
        piece = nextPiece2;
        piece.fieldIndex = 5;
    } else {
        piece = nextPiece;
        if (f == 4) piece.fieldIndex = 4;
    }
    piece.x = SPAWN_X;
    piece.y = SPAWN_Y;
    if (f >= 4 && collides(piece)) {
        endGame();
        if (f == 4) return false;
    }
    currentPiece.gravityCount = 0;
    if (f <= 4 && collides(currentPiece)) {
        if (gameMode == MODE_4WAY)
            enterFreeArm(currentPiece);
        else
            endGame();
    }
    // A Drop key still held from the hard drop must not drop the new piece at once.
    piece.dropLock = DROP_LOCK;
    dealPiece(f);
    if (gameMode == MODE_4WAY) chooseNextArm();
    addLockPoints();
    updateLevel();
    return true;
}

// Gravity and the hard drop; false when a lock ended the tick.
bool fallPhase(Piece& piece, bool hard) {
    const bool pulled = duoDropPending == 1 && piece.fieldIndex == 5;
    if (piece.gravityCount < currentFallDelay() && !pulled) return true;
    if (piece.fieldIndex == 5) duoDropPending = 0;
    do {
        piece.gravityCount = 0;
        piece.y += 1;
        if (collides(piece)) {
            piece.y -= 1;
            return lockPiece(piece);
        }
    } while (hard);
    return true;
}

// Moves one column if the key allows it; the first move of a hold waits longer before repeating.
void sideStep(Piece& piece, int dx) {
    piece.sideRepeat = piece.sideHeld == 0 ? SIDE_FIRST_REPEAT : SIDE_REPEAT;
    piece.sideHeld = 1;
    piece.x += dx;
    if (collides(piece)) piece.x -= dx;
}

void sidePhase(Piece& piece, const PieceKeys& keys) {
    if (piece.sideRepeat > 0) piece.sideRepeat -= 1;
    const bool leftHeld = frameKeyHeld(keys.left);
    const bool rightHeld = frameKeyHeld(keys.right);
    if (!leftHeld && !rightHeld) {
        piece.sideRepeat = 0;
        piece.sideHeld = 0;
    }
    if (piece.sideRepeat != 0) return;
    if (leftHeld) sideStep(piece, -1);
    if (rightHeld) sideStep(piece, +1);
}

// Turns if the key allows it; a refused turn still starts the repeat timer.
void turnStep(Piece& piece, int d) {
    piece.rotateRepeat = ROTATE_REPEAT;
    rotatePiece(piece, d);
    if (collides(piece)) rotatePiece(piece, -d);
}

void rotatePhase(Piece& piece, const PieceKeys& keys) {
    if (piece.rotateRepeat > 0) piece.rotateRepeat -= 1;
    const bool ccwHeld = frameKeyHeld(keys.rotateCCW);
    const bool cwHeld = frameKeyHeld(keys.rotateCW);
    if (!ccwHeld && !cwHeld) piece.rotateRepeat = 0;
    if (piece.rotateRepeat != 0 || piece.kind == KIND_O) return;
    if (ccwHeld) turnStep(piece, +1);
    if (cwHeld) turnStep(piece, -1);
}

} // namespace

bool collides(const Piece& piece) {
    if (piece.fieldIndex < 0 || piece.fieldIndex >= FIELD_COUNT) return true;
    const Field& field = fields[piece.fieldIndex];
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j) {
            if (piece.shape[i][j] == 0) continue;
            int c = piece.x + i;
            int r = piece.y + j;
            if (c < 0 || c >= FIELD_COLUMNS || r < 0 || r >= FIELD_ROWS) return true;
            if (field.cells[c][r] != EMPTY) return true;
        }
    return false;
}

void placePiece(const Piece& piece) { writeBlocks(piece, piece.kind + 1); }

void erasePiece(const Piece& piece) { writeBlocks(piece, EMPTY); }

void stepPiece(Piece& piece) {
    erasePiece(piece);
    appendLine("moves.txt", std::to_string(piece.gravityCount));
    const PieceKeys keys = keysForPiece(piece);

    piece.gravityCount += 1;
    bool hard = false;
    const bool dropHeld = frameKeyHeld(keys.drop);
    if (dropHeld && piece.dropLock == 0) {
        piece.gravityCount = HARD_DROP_COUNT;
        hard = true; // ends in a lock, which makes the next piece wait for a repress
        duoDropPending = 1;
    }
    if (!dropHeld) piece.dropLock = 0;
    if (frameKeyHeld(keys.hurry)) piece.gravityCount += HURRY_STEP;
    if (piece.dropLock > 0) piece.dropLock -= 1;

    if (!fallPhase(piece, hard)) return;
    sidePhase(piece, keys);
    rotatePhase(piece, keys);
}

void placeFallingPieces() {
    placePiece(currentPiece);
    if (gameMode == MODE_DUOFALL) placePiece(currentPiece2);
}

void stepFallingPieces() {
    stepPiece(currentPiece);
    // The left lock may have ended the game: a finished game's score never changes.
    if (gameMode == MODE_DUOFALL && gameOver == 0) stepPiece(currentPiece2);
}

} // namespace crossfall
