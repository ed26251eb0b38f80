// The row flash: where the strip lies, the row sound and the combo label's anchor points.
#include "play/flash_row.h"

#include "audio/sound.h"
#include "rules/game_state.h"

namespace crossfall {
namespace {

constexpr int CELL = 16;
constexpr int ROW_LENGTH = 10 * CELL;

// Rows of orientations 1 and 3 run down the screen.
bool verticalStrip(int fieldIndex) { return fieldIndex == 1 || fieldIndex == 3; }

} // namespace

Rect rowFlashStrip(int fieldIndex, int r) {
    const Field& field = fields[fieldIndex];
    const int x = field.anchorX;
    const int y = field.anchorY;
    switch (fieldIndex) {
    case 0: return {x, y - 320 + CELL * r, x + ROW_LENGTH, y - 304 + CELL * r};
    case 1: return {x + CELL * (19 - r), y - CELL, x + CELL * (20 - r), y + 144};
    case 2: return {x - 144, y - CELL + CELL * (19 - r), x + CELL, y + CELL * (19 - r)};
    case 3: return {x - 304 + CELL * r, y - ROW_LENGTH, x - 288 + CELL * r, y};
    default: {
        // Duofall fields are never flashed; their strip is where the row's cells are drawn.
        const int left = fieldIndex == 4 ? 160 : 480;
        const int top = 60 + CELL * r;
        return {left, top, left + ROW_LENGTH, top + CELL};
    }
    }
}

void flashRow(int fieldIndex, int row) {
    const Rect strip = rowFlashStrip(fieldIndex, row);
    playEffect(1);
    comboLabelPoints[0] = {strip.left, strip.top};
    if (verticalStrip(fieldIndex))
        comboLabelPoints[1] = {strip.left, strip.bottom};
    else
        comboLabelPoints[1] = {strip.right, strip.top};
}

void writeComboLabel(int) {}

} // namespace crossfall
