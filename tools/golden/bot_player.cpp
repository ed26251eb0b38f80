// The scripted player: plan a landing place per piece, then press toward it.
#include "golden/bot_player.h"

#include <cstdint>
#include <cstring>

#include "app/game_frames.h"
#include "app/main_loop.h"
#include "audio/mixer.h"
#include "menus/main_menu.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "rules/bindings.h"
#include "rules/game_state.h"
#include "rules/modes.h"
#include "rules/moving.h"
#include "scores/high_score_entry.h"

namespace crossfall::bot {
namespace {

struct Plan {
    bool made = false;
    Piece target;      // the piece as it should land: shape and column
    int tries = 0;     // presses spent; a piece that will not go is dropped where it is
    bool dropped = false;
};

Plan plan;
Piece last;   // the piece seen in the previous frame
long frames = 0;

// Higher is better: whole rows count most, then low, smooth stacks without holes.
double evaluate(const Field& field) {
    int full = 0, holes = 0, heightSum = 0, bumps = 0, previous = -1;
    for (int r = 0; r < PLAY_ROWS; ++r) {
        bool whole = true;
        for (const auto& column : field.cells) whole = whole && column[r] != EMPTY;
        full += whole ? 1 : 0;
    }
    for (const auto& column : field.cells) {
        int top = PLAY_ROWS;
        for (int r = 0; r < PLAY_ROWS; ++r)
            if (column[r] != EMPTY) {
                top = r;
                break;
            }
        for (int r = top; r < PLAY_ROWS; ++r) holes += column[r] == EMPTY ? 1 : 0;
        const int height = PLAY_ROWS - top;
        heightSum += height;
        if (previous >= 0) bumps += height > previous ? height - previous : previous - height;
        previous = height;
    }
    return 7.6 * full - 0.51 * heightSum - 3.6 * holes - 0.18 * bumps;
}

void makePlan(const Piece& piece) {
    plan = Plan{};
    plan.made = true;
    plan.target = piece;
    double best = -1e9;
    Piece turned = piece;
    for (int turns = 0; turns < 4; ++turns, rotatePiece(turned, +1)) {
        if (turns > 0 && piece.kind == KIND_O) break;
        for (int x = -2; x < FIELD_COLUMNS; ++x) {
            Piece landing = turned;
            landing.x = x;
            if (collides(landing)) continue;
            while (!collides(landing)) landing.y += 1;
            landing.y -= 1;
            Field after = fields[piece.fieldIndex];
            for (int i = 0; i < 5; ++i)
                for (int j = 0; j < 5; ++j) {
                    const int c = landing.x + i, r = landing.y + j;
                    if (landing.shape[i][j] != 0 && c >= 0 && c < FIELD_COLUMNS && r >= 0 && r < PLAY_ROWS)
                        after.cells[c][r] = 1;
                }
            const double value = evaluate(after);
            if (value > best) {
                best = value;
                plan.target = landing;
            }
        }
    }
}

bool newPiece(const Piece& piece) {
    return !plan.made || piece.y < last.y || piece.kind != last.kind || piece.fieldIndex != last.fieldIndex;
}

} // namespace

void reset() {
    plan = Plan{};
    last = Piece{};
    frames = 0;
}

void holdKeys() {
    const Piece& piece = currentPiece;
    if (newPiece(piece)) makePlan(piece);
    last = piece;
    const PieceKeys keys = keysForPiece(piece);
    // One press every other frame: a release lets the next press act at once.
    if (++frames % 2 == 0 || plan.dropped) return;
    if (++plan.tries > 24) {
        setKeyDown(keys.drop, true);
        plan.dropped = true;
        return;
    }
    if (std::memcmp(piece.shape, plan.target.shape, sizeof piece.shape) != 0)
        setKeyDown(keys.rotateCCW, true);
    else if (piece.x > plan.target.x)
        setKeyDown(keys.left, true);
    else if (piece.x < plan.target.x)
        setKeyDown(keys.right, true);
    else {
        setKeyDown(keys.drop, true);
        plan.dropped = true;
    }
}

// ---- A whole game through the shell ----

namespace {

struct Session {
    GameSetup setup;
    long frames = 0;
    bool started = false;
    bool obstaclesSet = false;
    int lettersTyped = 0;
} session;

int menuScreen() {
    if (session.started && gameOver != 0 && inScoreEntry == 0) {
        postQuit(0);
        return 1;
    }
    if (session.started) {
        clickAt(200, 150); // Resume
    } else if (session.setup.obstacles != (obstacleMode != 0)) {
        clickAt(200, 350); // Obstacle Mode
    } else {
        advanced4Way = session.setup.advanced4Way ? 1 : 0;
        clickAt(200, MENU_MODE_Y[session.setup.mode]);
        session.started = true;
    }
    return runMainMenu();
}

void gameScreen() {
    releaseAllKeys();
    if (gameOver != 0)
        setKeyDown(VK_ESCAPE, true); // an unranked end goes back to the menu
    else if (session.frames == session.setup.pauseAt)
        setKeyDown(VK_ESCAPE, true);
    else if (session.frames < session.setup.steerFor)
        holdKeys();
    else
        setKeyDown(keyDrop, session.frames % 2 == 0);
    if (gameOver == 0) session.frames += 1;
    const bool padDrop = session.setup.dropOnPad && keyHeld(keyDrop);
    if (padDrop) setKeyDown(keyDrop, false);
    setPadButton(0, PadButton::North, padDrop);
    playGameFrame();
    // The row sounds play out as a device at 60 frames a second would play them.
    std::int16_t samples[735 * 2];
    mixAudio(samples, 735);
}

void entryScreen() {
    typeInitials("BOT", session.lettersTyped);
    runHighScoreEntry();
}

void noOptions() { postQuit(1); }
void noShutDown() {}

} // namespace

void clickAt(int x, int y) {
    releaseAllKeys();
    addMouseMotion(x - mouseX, y - mouseY);
    setKeyDown(VK_LBUTTON, true);
}

void typeInitials(const char* initials, int& typed) {
    releaseAllKeys();
    setKeyDown(typed < 3 ? initials[typed] : VK_RETURN, true);
    typed += 1;
}

long playGame(const GameSetup& setup) {
    reset();
    session = Session{};
    session.setup = setup;
    inMenu = 1;
    inOptions = inScoreEntry = showScoreList = 0;
    runMainLoop({menuScreen, noOptions, entryScreen, gameScreen, noShutDown});
    return session.frames;
}

} // namespace crossfall::bot
