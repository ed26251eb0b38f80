// The high score tables: the one table in memory, the five score files, the check that runs once
// when a game ends and the save that completes an entry. The game step calls checkHighScore, the
// initials entry saveHighScores, the list of all tables and the main menu's best-scores panel
// readScoreRows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace crossfall {

struct HighScoreEntry {
    std::int32_t total = 0;
    char name[12] = {}; // NUL-terminated, at most 11 characters
};

constexpr int HIGH_SCORE_ROWS = 10;
constexpr int MODE_COUNT = 5;
constexpr int TABLE_NAME_LENGTH = 11; // names in the table in memory
constexpr int LIST_NAME_LENGTH = 9;   // names on the list page and the menu's best-scores panel

// Reset once at start-up and at every check; rows hold the table of the mode last checked.
extern HighScoreEntry highScoreTable[HIGH_SCORE_ROWS];
// Set by every check that qualifies: the row the pending entry takes.
extern std::int32_t newEntryRank;

// The score file of a game mode 0..4; null for any other mode.
const char* scoreFileName(int mode);

// Every row score 0 with an empty name.
void resetHighScoreTable();

// Resets maxRows rows to score 0 and an empty name, then reads name and score pairs from the file,
// names cut to nameLimit characters (at most 11). Reading stops at the first failed read; a row whose
// name was read but whose score was not keeps the name with score 0. Returns the complete rows read.
int readScoreRows(const char* fileName, HighScoreEntry* rows, int maxRows, int nameLimit);
// The same reading of a score file's bytes, once the file has been read.
int parseScoreRows(std::string_view bytes, HighScoreEntry* rows, int maxRows, int nameLimit);
// What saveHighScores writes for these ten rows, before the line ends become CR LF.
std::string scoreTableText(const HighScoreEntry (&rows)[HIGH_SCORE_ROWS]);

// A result's total: score plus combo bonuses, held within 32 bits.
std::int32_t totalOf(std::int32_t points, std::int32_t bonuses);
// The running game's total.
std::int32_t finalTotal();

// Runs once per ended game: reads the mode's table and, when the result beats a row, makes room for it
// and starts the initials entry.
void checkHighScore();

// Writes the table to the current mode's file; false (old file whole) when it could not be saved.
bool saveHighScores();

} // namespace crossfall
