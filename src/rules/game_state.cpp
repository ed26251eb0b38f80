// The game's global records, start-up and the start of each game.
#include "rules/game_state.h"

#include "rules/game_frame.h"
#include "rules/modes.h"
#include "rules/random.h"

namespace crossfall {

std::array<Field, FIELD_COUNT> fields;
Piece currentPiece;
Piece currentPiece2;
Piece nextPiece;
Piece nextPiece2;
Piece directionProbes[4];

std::int32_t gameMode = MODE_CLASSIC;
std::int32_t score = 0;
std::int32_t comboBonuses = 0;
std::int32_t level = 1;
std::int32_t combo = 0;
std::int32_t bestCombo = 0;
std::int32_t gameOver = 0;
std::int32_t scoreCheckDone = 1;
std::int32_t spinCount; // read only in the mode whose start clears it
std::int32_t riseCount; // read only in the mode whose start clears it
std::int32_t blinkCount = 0;
std::int32_t comboLabelTimer = 0;
ScreenPoint comboLabelPoints[2];
std::int32_t voicesBusy = 0;
std::int32_t duoDropPending = 0;
std::int32_t obstacleMode = 0;

void initGameState() {
    buildPieceTemplates();
    currentPiece = makePiece(0, 0);
    nextPiece = makePiece(nextRandom() % PIECE_KINDS, 0);
    nextPiece2 = makePiece(nextRandom() % PIECE_KINDS, 5);
    for (int f = 0; f < FIELD_COUNT; ++f) {
        fields[f] = Field{};
        fields[f].orientation = f;
        for (auto& column : fields[f].cells)
            for (int r = PLAY_ROWS; r < FIELD_ROWS; ++r) column[r] = WALL;
    }
}

void clearField(Field& field) {
    for (auto& column : field.cells)
        for (int r = 0; r < PLAY_ROWS; ++r) column[r] = EMPTY;
    combo = 0;
    bestCombo = 0;
}

void endGame() {
    gameOver = 1;
    scoreCheckDone = 0;
}

void startGame(int mode) {
    if (rulesSeam.gameStarting != nullptr) rulesSeam.gameStarting(mode);
    gameMode = mode;
    if (mode == MODE_4WAY) {
        for (int f = 0; f < ARM_COUNT; ++f) clearField(fields[f]);
    } else if (mode == MODE_DUOFALL) {
        for (int f : {0, 4, 5}) clearField(fields[f]);
    } else {
        clearField(fields[0]);
    }
    if (mode == MODE_RUBIK) spinCount = 0;
    if (mode == MODE_TIME) riseCount = 0;
    gameOver = 0;
    // A hard drop of an earlier game must not pull the new right piece down.
    duoDropPending = 0;

    currentPiece = nextPiece;
    currentPiece.x = SPAWN_X;
    currentPiece.y = SPAWN_Y;
    if (mode == MODE_4WAY) {
        currentPiece.fieldIndex = nextRandom() % ARM_COUNT;
    } else if (mode == MODE_DUOFALL) {
        currentPiece.fieldIndex = 4;
        currentPiece2 = nextPiece2;
        currentPiece2.fieldIndex = 5;
        currentPiece2.x = SPAWN_X;
        currentPiece2.y = SPAWN_Y;
    } else {
        currentPiece.fieldIndex = 0;
        nextPiece.fieldIndex = 0;
    }

    score = 0;
    comboBonuses = 0;
    level = 1;
    if (rulesSeam.levelMusic != nullptr) rulesSeam.levelMusic(level);

    if (obstacleMode == 0) return;
    if (mode == MODE_DUOFALL) {
        fillObstacles(fields[4]);
        fillObstacles(fields[5]);
    } else {
        fillObstacles(fields[0]);
        if (mode == MODE_4WAY) shareCentre(0);
    }
}

} // namespace crossfall
