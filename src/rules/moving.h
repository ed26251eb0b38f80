// The life of a falling piece: collision, writing it into its field and out again, and the
// per-tick step (keys, gravity, moves, turns, lock, next piece). Called by the game step.
#pragma once

#include "rules/game_state.h"

namespace crossfall {

// True when a block is off the sides, above row 0, below the last wall row, or on a non-empty cell.
bool collides(const Piece& piece);
void placePiece(const Piece& piece);
void erasePiece(const Piece& piece);
// One tick of currentPiece or currentPiece2; on a lock the same variable gets the next piece.
void stepPiece(Piece& piece);
// The mode's falling pieces written into their fields (Duofall: both).
void placeFallingPieces();
// One tick of the mode's falling pieces; a piece moves only while the game runs.
void stepFallingPieces();

} // namespace crossfall
