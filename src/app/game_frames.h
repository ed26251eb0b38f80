// The shell's game frames: live ones, recorded in the journal, and replayed ones, read from it.
// Start-up installs the live seam; the main loop runs playGameFrame as its game screen; main() runs
// a replay checked without a display through verifyReplay.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

#include "app/journal.h"
#include "rules/game_frame.h"
#include "scores/high_scores.h"

namespace crossfall {

// The rules' seam of the live game: recording, the pause menu, the play screen, the score check.
RulesSeam liveRulesSeam();
// The loop's game screen: one live frame recorded, or while a replay runs, its next frames.
void playGameFrame();

// The journal in the file, or nothing after saying on stderr why it cannot be played.
std::optional<Journal> loadReplay(const std::string& fileName);
// Plays the journal to its end with no display, no sound and no drawing, and prints its mode, result
// and fields hash; 0 when it ends as recorded, 1 (said on stderr) when the rules now play it otherwise.
int verifyReplay(const Journal& journal, std::FILE* out);
// Shows the journal's game on the play screen at speed frames a pass from the next pass on, the caption
// above the panel; its end, or Escape, puts back the game and controls it found and goes to the menu,
// or to the list of all tables when it was started there.
void startReplay(Journal journal, int speed, const std::string& caption = "");
// A replay is being shown.
bool replayRunning();
// The list of all tables' seam: plays the row's journal when it is that row's game; false, said on
// stderr, when it cannot be played.
bool playRowReplay(const char* fileName, int mode, const HighScoreEntry& row);
// --info: prints the journal's mode, result, length and date without playing it; 0, or 2 when the file
// cannot be played (said on stderr).
int printJournalInfo(const std::string& fileName, std::FILE* out);

// Far more than a day of play's unfinished journal; a larger file is set aside unread.
constexpr std::size_t MAX_UNFINISHED_BYTES = 64u << 20;
// At start-up: rebuilds the unfinished game headless to its last recorded frame and leaves it paused in
// the menu, its recording going on; false when there is none. A damaged or foreign one is set aside,
// said on stderr.
bool resumeUnfinishedGame();

} // namespace crossfall
