// High score files: reading a table, deciding where a result enters, writing the table back.
#include "scores/high_scores.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/screen_flags.h"
#include "platform/tokens.h"
#include "rules/game_state.h"

namespace crossfall {

HighScoreEntry highScoreTable[HIGH_SCORE_ROWS];
std::int32_t newEntryRank = 0;

namespace {

// Ten rows take a few hundred bytes: nothing past this matters, and a huge file is never read whole.
constexpr std::size_t SCORE_FILE_READ_LIMIT = 4096;

const char* const scoreFileNames[MODE_COUNT] = {
    "scores_classic.txt", "scores_rubik.txt", "scores_4way.txt", "scores_2p.txt", "scores_time.txt",
};

} // namespace

const char* scoreFileName(int mode) { return mode >= 0 && mode < MODE_COUNT ? scoreFileNames[mode] : nullptr; }

void resetHighScoreTable() {
    for (HighScoreEntry& row : highScoreTable) row = HighScoreEntry{};
}

int readScoreRows(const char* fileName, HighScoreEntry* rows, int maxRows, int nameLimit) {
    std::optional<std::string> text;
    if (fileName != nullptr) text = readTokenFile(fileName, SCORE_FILE_READ_LIMIT);
    return parseScoreRows(text.value_or(""), rows, maxRows, nameLimit);
}

int parseScoreRows(std::string_view bytes, HighScoreEntry* rows, int maxRows, int nameLimit) {
    for (int k = 0; k < maxRows; ++k) rows[k] = HighScoreEntry{};
    std::size_t limit = static_cast<std::size_t>(std::clamp(nameLimit, 0, TABLE_NAME_LENGTH));
    TokenReader reader(bytes);
    std::string name;
    for (int k = 0; k < maxRows; ++k) {
        if (!reader.readWord(name, limit)) return k;
        std::snprintf(rows[k].name, sizeof rows[k].name, "%s", name.c_str());
        std::int32_t total = 0;
        if (!reader.readInt(total, IntSyntax::Decimal)) return k;
        rows[k].total = total;
    }
    return maxRows;
}

std::string scoreTableText(const HighScoreEntry (&rows)[HIGH_SCORE_ROWS]) {
    std::string text;
    text.reserve(HIGH_SCORE_ROWS * 32); // a name, a blank, a score and a line end fit in 32 bytes
    for (const HighScoreEntry& row : rows) {
        text += row.name;
        text += ' ';
        text += std::to_string(row.total);
        text += '\n';
    }
    return text;
}

std::int32_t finalTotal() {
    return totalOf(score, comboBonuses);
}

std::int32_t totalOf(std::int32_t points, std::int32_t bonuses) {
    const std::int64_t total = std::int64_t{points} + bonuses;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(total, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

void checkHighScore() {
    scoreCheckDone = 1;
    const char* fileName = scoreFileName(gameMode);
    if (fileName == nullptr) return;
    readScoreRows(fileName, highScoreTable, HIGH_SCORE_ROWS, TABLE_NAME_LENGTH);
    for (HighScoreEntry& row : highScoreTable) {
        if (row.name[0] == '\0') std::strcpy(row.name, "???");
    }
    for (const HighScoreEntry& row : highScoreTable) appendLine("debug.txt", row.name);

    // Strict: a result equal to a row's total goes below it.
    std::int32_t total = finalTotal();
    int rank = 0;
    while (rank < HIGH_SCORE_ROWS && highScoreTable[rank].total >= total) ++rank;
    if (rank == HIGH_SCORE_ROWS) return;
    for (int j = HIGH_SCORE_ROWS - 1; j > rank; --j) highScoreTable[j] = highScoreTable[j - 1];
    newEntryRank = rank;
    inScoreEntry = 1;
}

bool saveHighScores() {
    const char* fileName = scoreFileName(gameMode);
    if (fileName == nullptr) return false;
    return saveTextFile(fileName, scoreTableText(highScoreTable));
}

} // namespace crossfall
