// "Race your best": the mode's best game, from its journal ("best_classic.cfr" and the like), played
// on rules of its own beside the live game, one frame for each live frame. It runs on a snapshot of the
// rules swapped in for its frame and out again, with no seam: it draws, sounds, logs and records
// nothing, and the live game never sees it. Its field shows through play/race_view.
#pragma once

#include <cstdint>

namespace crossfall {

// A live game is starting in the mode: the race is set up before its first frame when the switch is on,
// the mode has one field and its best game's journal can be played; any earlier race is dropped.
void raceGameStarting(int mode);
// Before each live frame: the best game's next frame, if it has one left (it then stays on its last).
void raceOneFrame();
// A game rebuilt at start-up after its frames were played: the race catches up with them.
void raceResumedGame(int mode, std::uint32_t frames);
// The race's field is hidden while a replay plays, and comes back after it.
bool hideRace();
void showRace(bool shown);

} // namespace crossfall
