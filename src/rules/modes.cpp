// The 4-Way cross, the Rubik spin, the Time Attack rise and the obstacles.
#include "rules/modes.h"

#include "platform/files.h"
#include "platform/input.h"
#include "rules/game_frame.h"
#include "rules/bindings.h"
#include "rules/moving.h"
#include "rules/random.h"
#include "rules/rows.h"

namespace crossfall {
namespace {

constexpr int CENTRE_FIRST_ROW = 10;

using PlayRows = std::int32_t[FIELD_COLUMNS][PLAY_ROWS];

void savePlayRows(const Field& field, PlayRows& saved) {
    for (int c = 0; c < FIELD_COLUMNS; ++c)
        for (int r = 0; r < PLAY_ROWS; ++r) saved[c][r] = field.cells[c][r];
}

void restorePlayRows(Field& field, const PlayRows& saved) {
    for (int c = 0; c < FIELD_COLUMNS; ++c)
        for (int r = 0; r < PLAY_ROWS; ++r) field.cells[c][r] = saved[c][r];
}

bool blockAboveTop(const Piece& piece) {
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            if (piece.shape[i][j] != 0 && piece.y + j < 0) return true;
    return false;
}

bool isArrow(int code) {
    return code >= VK_LEFT && code <= VK_DOWN;
}

} // namespace

// ---- 4-Way ----

void shareCentre(int s) {
    for (int k = s; k < s + ARM_COUNT; ++k) {
        const Field& from = fields[k % ARM_COUNT];
        Field& to = fields[(k + 1) % ARM_COUNT];
        for (int c = 0; c < FIELD_COLUMNS; ++c)
            for (int r = CENTRE_FIRST_ROW; r < PLAY_ROWS; ++r)
                to.cells[r - CENTRE_FIRST_ROW][19 - c] = from.cells[c][r];
    }
}

void clearArmsAfterLock(int f) {
    // The neighbours' rows cross the centre at right angles; the opposite arm's rows run parallel.
    for (int arm : {f, f + 1, f + 3}) {
        clearFullRows(arm % ARM_COUNT);
        shareCentre(arm);
    }
}

void enterFreeArm(Piece& piece) {
    int wraps = 0;
    while (collides(piece)) {
        piece.fieldIndex += 1;
        if (piece.fieldIndex < ARM_COUNT) continue;
        piece.fieldIndex = 0;
        if (++wraps == 2) {
            endGame();
            return;
        }
    }
}

int blockedProbeCount() {
    int blocked = 0;
    for (const Piece& probe : directionProbes)
        if (collides(probe)) ++blocked;
    return blocked;
}

void chooseNextArm() {
    for (int d = 0; d < ARM_COUNT; ++d) {
        directionProbes[d] = nextPiece;
        directionProbes[d].fieldIndex = d;
    }
    while (collides(nextPiece)) {
        if (blockedProbeCount() == ARM_COUNT) {
            endGame();
            appendLine("debug.txt", "Exited due to game over...");
            return;
        }
        if (frameKeyHeld(VK_ESCAPE)) return;
        nextPiece.fieldIndex = nextRandom() % ARM_COUNT;
    }
}

namespace {

// Advanced 4-Way controls: the arrows as seen from the arm; hurry and drop leave the arrows.
PieceKeys advancedKeysForArm(int arm) {
    // Left, right, counter-clockwise, clockwise: the arrows as seen from each arm.
    static constexpr int arrows[ARM_COUNT][4] = {
        {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN},
        {VK_UP, VK_DOWN, VK_RIGHT, VK_LEFT},
        {VK_RIGHT, VK_LEFT, VK_DOWN, VK_UP},
        {VK_DOWN, VK_UP, VK_LEFT, VK_RIGHT},
    };
    const int* a = arrows[arm];
    const int hurry = isArrow(keyHurry) ? VK_CONTROL : keyHurry;
    const int drop = isArrow(keyDrop) ? VK_SPACE : keyDrop;
    return {a[0], a[1], a[2], a[3], hurry, drop};
}

} // namespace

PieceKeys keysForPiece(const Piece& piece) {
    PieceKeys keys{keyLeft, keyRight, keyRotateCCW, keyRotateCW, keyHurry, keyDrop};
    if (gameMode != MODE_4WAY) return keys;
    const int arm = piece.fieldIndex;
    if (advanced4Way != 0) return arm >= 0 && arm < ARM_COUNT ? advancedKeysForArm(arm) : keys;
    const int lefts[ARM_COUNT] = {keyLeft, keyUp, keyRight, keyDown};
    const int rights[ARM_COUNT] = {keyRight, keyDown, keyLeft, keyUp};
    keys.left = lefts[arm & 3];
    keys.right = rights[arm & 3];
    return keys;
}

PadPlayKeys padKeysForPlay() {
    PadPlayKeys keys;
    keys.left = keyLeft;
    keys.right = keyRight;
    keys.rotateCCW = keyRotateCCW;
    keys.rotateCW = keyRotateCW;
    keys.drop = keyDrop;
    keys.hurry = keyHurry;
    keys.pause = VK_ESCAPE;
    if (gameMode != MODE_4WAY) {
        keys.downAlsoHurries = keyHurry;
        return keys;
    }
    if (advanced4Way == 0) {
        keys.up = keyUp;
        keys.down = keyDown;
        return keys;
    }
    // The arms read the arrows themselves; hurry and drop step off the arrows as advancedKeysForArm does.
    const PieceKeys arm = advancedKeysForArm(0);
    keys.left = VK_LEFT;
    keys.right = VK_RIGHT;
    keys.up = VK_UP;
    keys.down = VK_DOWN;
    keys.hurry = arm.hurry;
    keys.drop = arm.drop;
    return keys;
}

// ---- Rubik's ----

bool spinLowerHalf() {
    Field& field = fields[0];
    PlayRows saved;
    savePlayRows(field, saved);
    for (int c = 0; c < FIELD_COLUMNS; ++c)
        for (int r = CENTRE_FIRST_ROW; r < PLAY_ROWS; ++r)
            field.cells[c][r] = saved[r - CENTRE_FIRST_ROW][19 - c];
    if (!collides(currentPiece)) return true;
    restorePlayRows(field, saved);
    return false;
}

int spinPeriod() {
    return 2500 - 200 * level;
}

void tickRubikSpin() {
    if (gameMode != MODE_RUBIK || gameOver != 0) return;
    spinCount += 1;
    // A refused spin keeps the count, so it is tried again next frame.
    if (spinCount >= spinPeriod() && spinLowerHalf()) {
        spinCount = 0;
        clearFullRows(0);
    }
}

// ---- Time Attack ----

bool raiseField() {
    Field& field = fields[0];
    for (const auto& column : field.cells)
        if (column[0] != EMPTY) return false;
    PlayRows saved;
    savePlayRows(field, saved);
    for (auto& column : field.cells)
        for (int r = 0; r < PLAY_ROWS - 1; ++r) column[r] = column[r + 1];
    const int oldY = currentPiece.y;
    while (collides(currentPiece)) {
        currentPiece.y -= 1;
        // Lifted above the top it can never fit: the stack has reached the piece.
        if (blockAboveTop(currentPiece)) {
            currentPiece.y = oldY;
            restorePlayRows(field, saved);
            return false;
        }
    }
    for (auto& column : field.cells) column[PLAY_ROWS - 1] = EMPTY;
    return true;
}

int risePeriod() {
    return 2500 - 180 * level;
}

void tickTimeAttackRise() {
    if (gameMode != MODE_TIME || gameOver != 0) return;
    riseCount += 1;
    if (riseCount < risePeriod()) return;
    riseCount = 0;
    if (!raiseField()) endGame();
}

// ---- Obstacles ----

void fillObstacles(Field& field) {
    for (int c = 0; c < FIELD_COLUMNS; ++c)
        for (int r = CENTRE_FIRST_ROW; r < PLAY_ROWS; ++r)
            if (nextRandom() % 2 != 0) field.cells[c][r] = nextRandom() % 8;
}

} // namespace crossfall
