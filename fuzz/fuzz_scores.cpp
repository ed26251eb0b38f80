// Any bytes as a score file: the table check and the list reader must stay within their fields,
// and a table saved after an entry must read back exactly as it was.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "rules/game_state.h"
#include "scores/high_scores.h"

using namespace crossfall;

namespace {

void writeRaw(const char* fileName, const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(fileName, "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
}

void checkName(const char* name, std::size_t maxLength) {
    std::size_t length = strnlen(name, 12);
    if (length > maxLength) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    null_backend::reset();
    writeRaw("scores_classic.txt", data, size);
    std::remove("debug.txt");

    HighScoreEntry rows[HIGH_SCORE_ROWS];
    int count = readScoreRows("scores_classic.txt", rows, HIGH_SCORE_ROWS, LIST_NAME_LENGTH);
    if (count < 0 || count > HIGH_SCORE_ROWS) std::abort();
    for (const HighScoreEntry& row : rows) checkName(row.name, LIST_NAME_LENGTH);

    gameMode = 0;
    score = size > 0 ? static_cast<std::int32_t>(data[0]) * 1000 - 50000 : 0;
    comboBonuses = 0;
    inScoreEntry = 0;
    checkHighScore();
    for (const HighScoreEntry& row : highScoreTable) {
        checkName(row.name, TABLE_NAME_LENGTH);
        if (row.name[0] == '\0') std::abort();
    }
    if (inScoreEntry == 0) return 0;

    std::strcpy(highScoreTable[newEntryRank].name, "FZ");
    highScoreTable[newEntryRank].total = finalTotal();
    HighScoreEntry saved[HIGH_SCORE_ROWS];
    std::memcpy(saved, highScoreTable, sizeof saved);
    if (!saveHighScores()) std::abort();
    HighScoreEntry reread[HIGH_SCORE_ROWS];
    if (readScoreRows("scores_classic.txt", reread, HIGH_SCORE_ROWS, TABLE_NAME_LENGTH) != HIGH_SCORE_ROWS) std::abort();
    for (int k = 0; k < HIGH_SCORE_ROWS; ++k) {
        if (reread[k].total != saved[k].total || std::strcmp(reread[k].name, saved[k].name) != 0) std::abort();
    }
    return 0;
}
