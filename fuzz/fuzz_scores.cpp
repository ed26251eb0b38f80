// Any bytes as a score file's contents, in memory: rows read with any name limit stay within it, and
// a table of the rows read saves to a text that reads back exactly.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/files.h"
#include "scores/high_scores.h"

using namespace crossfall;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // Every limit from none to past the field (the table's 11, the list's 9), picked without touching the bytes.
    const int nameLimit = static_cast<int>(size % (TABLE_NAME_LENGTH + 2));
    HighScoreEntry table[HIGH_SCORE_ROWS];
    const int rows = parseScoreRows(bytes, table, HIGH_SCORE_ROWS, nameLimit);
    if (rows < 0 || rows > HIGH_SCORE_ROWS) std::abort();
    for (HighScoreEntry& row : table) {
        if (strnlen(row.name, sizeof row.name) > static_cast<std::size_t>(std::min(nameLimit, TABLE_NAME_LENGTH)))
            std::abort();
        // A saved table never holds an empty name: the check fills rows not read with "???".
        if (row.name[0] == '\0') std::strcpy(row.name, "???");
    }

    HighScoreEntry reread[HIGH_SCORE_ROWS];
    if (parseScoreRows(toTextMode(scoreTableText(table)), reread, HIGH_SCORE_ROWS, TABLE_NAME_LENGTH) !=
        HIGH_SCORE_ROWS)
        std::abort();
    for (int k = 0; k < HIGH_SCORE_ROWS; ++k)
        if (reread[k].total != table[k].total || std::strcmp(reread[k].name, table[k].name) != 0) std::abort();
    return 0;
}
