// All game state: the six fields, the falling and waiting pieces, score, level, combo and mode
// counters. Built once per run by initGameState (start-up); reset by startGame (main menu); changed
// by the game step and the rest of the rules.
#pragma once

#include <array>
#include <cstdint>

#include "rules/pieces.h"

namespace crossfall {

constexpr std::int32_t EMPTY = 0;
constexpr std::int32_t WALL = -1;

constexpr int FIELD_COLUMNS = 10;
constexpr int FIELD_ROWS = 32;
constexpr int PLAY_ROWS = 20; // rows 20..31 are the wall floor
constexpr int FIELD_COUNT = 6;

struct Field {
    std::int32_t orientation = 0;                   // the field's own index, set once per run
    std::int32_t originX = 0, originY = 0;           // written by the field drawing
    std::int32_t anchorX = 0, anchorY = 0;           // cell (0, 19)'s left and bottom edge as last drawn
    std::array<std::array<std::int32_t, FIELD_ROWS>, FIELD_COLUMNS> cells{}; // [column][row]; EMPTY, 1..7 or WALL
};

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

enum GameMode : std::int32_t { MODE_CLASSIC = 0, MODE_RUBIK = 1, MODE_4WAY = 2, MODE_DUOFALL = 3, MODE_TIME = 4 };

// 0 single field and 4-Way top arm, 1..3 right, bottom, left arms, 4 and 5 the Duofall fields.
extern std::array<Field, FIELD_COUNT> fields; // walls once per run; play rows cleared at every game start

// Pieces: reset at every game start from the waiting ones.
extern Piece currentPiece;  // the falling piece (Duofall: the left one)
extern Piece currentPiece2; // Duofall right
extern Piece nextPiece;     // waiting piece, dealt after each lock
extern Piece nextPiece2;    // Duofall right waiting piece
extern Piece directionProbes[4]; // 4-Way: nextPiece tried in each arm, after every deal

// Counters, reset at every game start unless noted.
extern std::int32_t gameMode;
extern std::int32_t score;
extern std::int32_t comboBonuses;
extern std::int32_t level;
extern std::int32_t combo;          // 0 when no chain runs; the game step ends chains
extern std::int32_t bestCombo;
extern std::int32_t gameOver;
extern std::int32_t scoreCheckDone; // the score check's; cleared whenever a game ends
extern std::int32_t spinCount;      // Rubik's frames toward the next spin
extern std::int32_t riseCount;      // Time Attack frames toward the next rise
extern std::int32_t blinkCount;     // 0..89, the 4-Way next-arm blink; kept across games
extern std::int32_t comboLabelTimer;
extern ScreenPoint comboLabelPoints[2]; // where the combo label grows; set by the row flash
extern std::int32_t voicesBusy;     // every frame, from the voice sweep
extern std::int32_t duoDropPending; // a hard drop pulls the Duofall right piece down this frame
extern std::int32_t obstacleMode;   // the menu's switch, kept for the whole run

// Start-up, once per run: templates, the first waiting pieces, the wall floors.
void initGameState();
// A new game in the mode with the bindings in force: clears, brings in the waiting piece, restarts
// the music. The menu reads the controls file just before.
void startGame(int mode);
// Empties the play rows (walls stay) and ends any combo.
void clearField(Field& field);
// Ends the running game; the score check runs once after it.
void endGame();

} // namespace crossfall
