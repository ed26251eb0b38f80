// The row flash: where the strip lies, the flash images on the front surface, the row sound and the
// combo label's anchor points and text.
#include "play/flash_row.h"

#include <string>

#include "audio/sound.h"
#include "platform/backend.h"
#include "platform/bitmaps.h"
#include "platform/text.h"
#include "play/field_drawing.h"
#include "rules/game_state.h"

namespace crossfall {
namespace {

constexpr int ROW_LENGTH = 10 * CELL_SIZE;
constexpr int FLASH_STEPS[] = {0, 1, 2, 3, 4, 5, 4, 3, 2, 1, 0};
constexpr int FLASH_PAUSE_MS = 15;

// Rows of orientations 1 and 3 run down the screen.
bool verticalStrip(int fieldIndex) {
    return fieldIndex == 1 || fieldIndex == 3;
}

// Strip k of the flash sprite, or of a background's first strip when k is 0.
Rect spriteStrip(bool vertical, int k) {
    if (vertical) return {CELL_SIZE * k, 0, CELL_SIZE * k + CELL_SIZE, ROW_LENGTH};
    return {0, CELL_SIZE * k, ROW_LENGTH, CELL_SIZE * k + CELL_SIZE};
}

void showFlash(const Rect& strip, bool vertical) {
    const Rect firstStrip = spriteStrip(vertical, 0);
    blitOrRestore(frontSurface, strip, bitmap(Bitmap::BgDir0), &firstStrip);
    Surface& flash = bitmap(vertical ? Bitmap::AnimCol : Bitmap::AnimRow);
    playEffect(1);
    for (int k : FLASH_STEPS) {
        const Rect image = spriteStrip(vertical, k);
        blitOrRestore(frontSurface, strip, flash, &image);
        showFrontSurface();
        backend::sleepMs(FLASH_PAUSE_MS);
    }
}

} // namespace

Rect rowFlashStrip(int fieldIndex, int r) {
    const Field& field = fields[fieldIndex];
    const int x = field.anchorX;
    const int y = field.anchorY;
    switch (fieldIndex) {
    case 0:
        return {x, y - 320 + CELL_SIZE * r, x + ROW_LENGTH, y - 304 + CELL_SIZE * r};
    case 1:
        return {x + CELL_SIZE * (19 - r), y - CELL_SIZE, x + CELL_SIZE * (20 - r), y + 144};
    case 2:
        return {x - 144, y - CELL_SIZE + CELL_SIZE * (19 - r), x + CELL_SIZE, y + CELL_SIZE * (19 - r)};
    case 3:
        return {x - 304 + CELL_SIZE * r, y - ROW_LENGTH, x - 288 + CELL_SIZE * r, y};
    default: {
        // Duofall fields are never flashed; their strip is where the row's cells are drawn.
        const ScreenPoint left = cellPixel(fieldIndex, 0, r);
        return {left.x, left.y, left.x + ROW_LENGTH, left.y + CELL_SIZE};
    }
    }
}

void flashRow(int fieldIndex, int row) {
    const Rect strip = rowFlashStrip(fieldIndex, row);
    const bool flashed = fieldIndex >= 0 && fieldIndex <= 3;
    if (flashed)
        showFlash(strip, verticalStrip(fieldIndex));
    else
        playEffect(1);
    comboLabelPoints[0] = {strip.left, strip.top};
    if (verticalStrip(fieldIndex))
        comboLabelPoints[1] = {strip.left, strip.bottom};
    else
        comboLabelPoints[1] = {strip.right, strip.top};
    if (flashed) blitOrRestore(frontSurface, strip, bitmap(Bitmap::Bg1), &strip);
}

std::int32_t comboLabelValue = 0;

void writeComboLabel(int combo) {
    comboLabelValue = combo;
    clearSurface(comboLabelSurface, 0);
    drawText((std::to_string(combo) + "x").c_str(), 1, 1, rgb(255, 128, 0), comboLabelSurface);
}

} // namespace crossfall
