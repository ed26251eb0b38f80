// The initials entry: a box over the frozen game-over frame where the player types up to three
// letters (or picks them with a pad); Enter or the pad's Start puts them with the result into the
// table and saves it. The main loop calls
// runHighScoreEntry once per pass while inScoreEntry is set.
#pragma once

#include <cstdint>

namespace crossfall {

// Once per run: never cleared, so the next entry starts with the last one's initials.
extern char typedInitials[12];
// Saves the ended game's journal as the file when that game earned the mode's total; set by the shell. An
// entry keeps its row's journal (scores/row_replays) before its table is saved, and the mode's best
// ("best_classic.cfr" and the like) once a first row is saved.
extern bool (*keepEndedGame)(const char* fileName, int mode, std::int32_t total);

// One pass: draws the box, takes letters, deletions, the pad and Enter, and shows only the box.
void runHighScoreEntry();
// An entry still waiting when a new game starts or the program ends: the ended game's result is saved
// into its own mode's table as an entry with no initials, so nothing earned is lost.
void settlePendingEntry();

} // namespace crossfall
