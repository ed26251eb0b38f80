// The journals kept with the tables' rows, in the folder "replays": a row finds its journal by name, so the
// score files keep their "NAME SCORE" lines. A name is the mode's key, the total and the row's name (letters
// and digits as they are, any other byte as %XX), then "_2", "_3", ... for a second, third equal row of
// the table: "replays/classic_4210_ABC.cfr". The initials entry keeps a new row's journal before its table
// is saved, and once the table is saved removes the mode's journals no row names any more.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "scores/high_scores.h"

namespace crossfall {

constexpr const char* ROW_REPLAYS_FOLDER = "replays";

// What a journal's file name says of its row.
struct RowReplayName {
    int mode = 0;
    std::int32_t total = 0;
    std::string name;
    int occurrence = 1; // 2 for the second row of the table with this name and total, and on
    bool operator==(const RowReplayName&) const = default;
};

// The file name in the folder (no folder), and its reading back: nothing for a name this scheme never makes.
std::string rowReplayFileName(const RowReplayName& row);
std::optional<RowReplayName> parseRowReplayFileName(const std::string& fileName);

// The path of the journal of the table's row at rank ("replays/...").
std::string rowReplayPath(int mode, const HighScoreEntry (&rows)[HIGH_SCORE_ROWS], int rank);

// Removes the mode's journals in the folder that no row of the table names; nothing else.
void pruneRowReplays(int mode, const HighScoreEntry (&rows)[HIGH_SCORE_ROWS]);

// The file, for "best_classic.cfr" and the like, that keeps the journal of the mode's best result.
const char* bestReplayName(int mode);

} // namespace crossfall
