// What the modes add to the plain game: the 4-Way shared centre, arm choice and key mapping, the
// Rubik spin, the Time Attack rise and the obstacles. Called by the lock, startGame and the game step.
#pragma once

#include "platform/pad_map.h"
#include "rules/game_state.h"

namespace crossfall {

constexpr int ARM_COUNT = 4;

// Copies the 4-Way centre around the ring starting at arm s, a quarter turn per arm.
void shareCentre(int s);
// After a lock in arm f: removes rows in f and both neighbours, sharing the centre after each.
void clearArmsAfterLock(int f);
// Moves the entering piece to the next free arm; ends the game when none is free.
void enterFreeArm(Piece& piece);
// Sets the probes from the new nextPiece and draws it an arm it fits in, or ends the game.
void chooseNextArm();
// How many of the four probes are blocked.
int blockedProbeCount();
// The keys a piece answers to: moves toward column 0 and column 9, turns, hurry and drop.
struct PieceKeys {
    int left, right, rotateCCW, rotateCW, hurry, drop;
};
// The player's bindings as they apply in the piece's arm; with advanced 4-Way controls the arrows
// as seen from the arm. The bindings themselves never change in play.
PieceKeys keysForPiece(const Piece& piece);
// The keys a pad presses in this mode: the player's bindings, and in Cross-fall the directions as the
// arrows are read there (the Up/Down bindings, or the arrows themselves with advanced controls).
PadPlayKeys padKeysForPlay();

// Turns field 0's lower half a quarter turn clockwise; false (nothing changed) if the piece is hit.
bool spinLowerHalf();
// Moves field 0 up one row, lifting the piece clear; false (nothing changed) when row 0 holds a block
// or the piece cannot be lifted clear. The caller then ends the game.
bool raiseField();
// Random blocks in the lower half of the field.
void fillObstacles(Field& field);

// Per-frame mode timers run by the game step after the pieces have stepped.
void tickRubikSpin();
void tickTimeAttackRise();
int spinPeriod();
int risePeriod();

} // namespace crossfall
