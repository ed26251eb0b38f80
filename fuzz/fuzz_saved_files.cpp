// Any bytes as the controls file and as a score file, in memory: whatever the readers take from them
// must come back unchanged from the text the save writes, line ends and all.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "menus/controls_file.h"
#include "platform/files.h"
#include "scores/high_scores.h"

using namespace crossfall;

namespace {

std::array<std::int32_t, 13> controlValues() {
    return {keyBindings[0], keyBindings[1], keyBindings[2],   keyBindings[3],  keyBindings[4],
            keyBindings[5], keyBindings[6], keyBindings[7],   advanced4Way,    showPiecePreview,
            showGridPreview, showCurrentGrid, musicOn};
}

void controlsReadBack(std::string_view bytes) {
    resetControlsToDefaults();
    readControls(bytes);
    const std::array<std::int32_t, 13> read = controlValues();
    const std::string saved = toTextMode(controlsText());
    resetControlsToDefaults();
    readControls(saved);
    if (controlValues() != read) std::abort();
}

void tableReadsBack(std::string_view bytes) {
    HighScoreEntry table[HIGH_SCORE_ROWS];
    parseScoreRows(bytes, table, HIGH_SCORE_ROWS, TABLE_NAME_LENGTH);
    // A saved table never holds an empty name: the check fills rows not read with "???".
    for (HighScoreEntry& row : table)
        if (row.name[0] == '\0') std::strcpy(row.name, "???");
    HighScoreEntry reread[HIGH_SCORE_ROWS];
    if (parseScoreRows(toTextMode(scoreTableText(table)), reread, HIGH_SCORE_ROWS, TABLE_NAME_LENGTH) !=
        HIGH_SCORE_ROWS)
        std::abort();
    for (int k = 0; k < HIGH_SCORE_ROWS; ++k)
        if (reread[k].total != table[k].total || std::strcmp(reread[k].name, table[k].name) != 0) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    controlsReadBack(bytes);
    tableReadsBack(bytes);
    return 0;
}
