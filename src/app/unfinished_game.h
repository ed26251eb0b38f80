// The unfinished game: the running game's journal kept on disk as it is played, in "unfinished.cfr", so
// that a kill, a crash or a power cut loses at most its last second. The recorder (app/journal) writes
// it and removes it once the game's result is settled; the shell reads it back at start-up to resume.
//
// The file: "CFRU", a version byte, then blocks. A block: its payload's length (4 bytes), the payload,
// and the CRC-32 of every byte of the file before the CRC. A payload: the game frames played so far, the
// screen state below (4 bytes each), then the journal's bytes written since the block before. A file cut
// anywhere, or with a torn last block, reads back to its last whole block.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "rules/game_state.h"

namespace crossfall {

constexpr const char* UNFINISHED_GAME_FILE = "unfinished.cfr";
constexpr std::uint8_t UNFINISHED_GAME_VERSION = 1;

// What a frame's picture needs besides the rules' state, kept with every block, so that a resumed game
// shows the picture the game would have shown.
struct ScreenState {
    std::int32_t blinkCount = 0;
    std::int32_t comboLabelTimer = 0;
    ScreenPoint comboLabelPoints[2];
    std::int32_t comboLabelValue = 0;
};

// The screen state now.
ScreenState screenStateNow();

// An unfinished game as read back: its journal's bytes (the header and the records, no end), the frames
// played, and the screen state after the last of them.
struct UnfinishedGame {
    std::string journal;
    std::uint32_t frames = 0;
    ScreenState screen;
};

// The file's bytes read back to the last whole block, or why they are no unfinished game of ours.
struct UnfinishedRead {
    std::optional<UnfinishedGame> game;
    std::string error;
};
UnfinishedRead parseUnfinishedGame(std::string_view bytes);

// ---- Writing, while a game is recorded ----

// Starts the file afresh, saved whole and synced, with one block holding the journal so far.
void startUnfinishedGame(std::string_view journal, std::uint32_t frames, const ScreenState& screen);
// Appends a block with the journal's bytes since the last one, when there are any or a sync is asked
// for (a second of play has passed, the game is paused or over).
void addToUnfinishedGame(std::string_view journal, std::uint32_t frames, const ScreenState& screen, bool sync);
// The game's result is settled: the file goes. (Another game's start replaces it.)
void endUnfinishedGame();

} // namespace crossfall
