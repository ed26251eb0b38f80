// A scripted player for tests that need whole games played: for each new piece it picks a landing
// place by a plain evaluation of the field (rows it fills, height, holes, bumps), then turns, moves
// and drops the piece with the player's own keys, one press every other frame as a person would.
// playGame drives the shell's real screens from the menu click to the initials, so the live journal
// records the game as any player's.
#pragma once

namespace crossfall::bot {

// Forgets the piece it was steering.
void reset();
// Holds this frame's keys for the running game's falling piece (Duofall: the left one).
void holdKeys();

struct GameSetup {
    int mode = 0;
    bool obstacles = false;
    bool advanced4Way = false;
    long pauseAt = -1;    // the game frame that holds Escape; the menu's Resume follows
    long steerFor = 3000; // game frames steered; after them every piece is dropped where it enters
    bool dropOnPad = false; // drops pressed with the pad's North button instead of the key
};

// The menu's mode entries, from the top, at x 200: Classic, Rubik's, Cross-fall, Duofall, Time Attack.
constexpr int MENU_MODE_Y[] = {205, 242, 278, 314, 389};
// Lets go of every key and clicks at the point on the picture, for the next screen to read.
void clickAt(int x, int y);
// Holds the next of the three initials, then Return; typed counts the presses so far.
void typeInitials(const char* initials, int& typed);

// Plays one game from the menu to its end and its initials through the shell's screens, with the
// row sounds mixed as a device would play them; start-up must have run. The game frames played.
long playGame(const GameSetup& setup);

} // namespace crossfall::bot
