// Backgrounds, field cells and the combo label, all drawn into the back surface.
#include "play/field_drawing.h"

#include "platform/bitmaps.h"

namespace crossfall {

std::int32_t blockSymbols = 0;

namespace {

constexpr int LAST_DRAWN_ROW = 29; // rows 20..29 are wall and never show, but are looked at
constexpr int COMBO_LABEL_GROWTH = 75;

struct Origin {
    int x, y;
};
constexpr Origin fieldOrigins[FIELD_COUNT] = {{320, 60},  {320, 220}, {320, 220},
                                              {160, 220}, {160, 60},  {480, 60}};

void blitBitmap(Bitmap which, const Rect& destRect, bool keyed) {
    blitSprite(backSurface, destRect, bitmap(which), nullptr, keyed);
}

// The four arms' backgrounds; each later one covers the shared centre again.
void drawCrossBackgrounds() {
    blitBitmap(Bitmap::BgDir0, {320, 60, 480, 380}, true);
    blitBitmap(Bitmap::BgDir2, {320, 220, 480, 540}, true);
    blitBitmap(Bitmap::BgDir1, {320, 220, 640, 380}, true);
    blitBitmap(Bitmap::BgDir3, {160, 220, 480, 380}, true);
}

// The label grows from 50 x 6 to 148 x 18 around both of its points as the timer runs down.
void drawComboLabel() {
    const int b = COMBO_LABEL_GROWTH - comboLabelTimer;
    const int h = b / 8;
    for (const ScreenPoint& p : comboLabelPoints)
        blitSprite(backSurface, {p.x - b, p.y + 8 - h, p.x + b, p.y + 8 + h}, comboLabelSurface, nullptr,
                   true);
    comboLabelTimer -= 1;
}

} // namespace

ScreenPoint cellPixel(int orientation, int c, int r) {
    switch (orientation) {
    case 0:
        return {320 + CELL_SIZE * c, 60 + CELL_SIZE * r};
    case 1:
        return {320 + CELL_SIZE * (19 - r), 220 + CELL_SIZE * c};
    case 2:
        return {320 + CELL_SIZE * (9 - c), 220 + CELL_SIZE * (19 - r)};
    case 3:
        return {160 + CELL_SIZE * r, 220 + CELL_SIZE * (9 - c)};
    case 4:
        return {160 + CELL_SIZE * c, 60 + CELL_SIZE * r};
    default:
        return {480 + CELL_SIZE * c, 60 + CELL_SIZE * r};
    }
}

void blitOrRestore(Surface& dest, const Rect& destRect, const Surface& source, const Rect* sourceRect) {
    if (blitSprite(dest, destRect, source, sourceRect, true) == BlitResult::SurfaceLost) restoreAllSurfaces();
}

void drawBlock(int code, ScreenPoint at) {
    drawBlock(code, {at.x, at.y, at.x + CELL_SIZE, at.y + CELL_SIZE});
}

void drawBlock(int code, const Rect& cell) {
    blitOrRestore(backSurface, cell, blockSprite(code), nullptr);
    if (blockSymbols == 0) return;
    const Rect tile = symbolTile(code);
    blitOrRestore(backSurface, cell, bitmap(Bitmap::Symbols), &tile);
}

void drawBackgrounds() {
    // The back surface was just cleared to black, so a plain copy gives what a keyed one would.
    blitBitmap(Bitmap::Bg1, {0, 0, SCREEN_WIDTH, SCREEN_HEIGHT}, false);
    switch (gameMode) {
    case MODE_DUOFALL:
        blitBitmap(Bitmap::BgDir5, {160, 60, 320, 380}, false);
        blitBitmap(Bitmap::BgDir6, {480, 60, 640, 380}, false);
        break;
    case MODE_4WAY:
        drawCrossBackgrounds();
        break;
    default:
        blitBitmap(Bitmap::BgDir0, {320, 60, 480, 380}, true);
        break;
    }
}

void drawField(Field& field) {
    const int orientation = field.orientation;
    const Origin origin = fieldOrigins[orientation >= 0 && orientation < FIELD_COUNT ? orientation : 0];
    field.originX = origin.x;
    field.originY = origin.y;
    for (int c = 0; c < FIELD_COLUMNS; ++c) {
        for (int r = 0; r <= LAST_DRAWN_ROW; ++r) {
            const ScreenPoint at = cellPixel(orientation, c, r);
            const int code = field.cells[c][r];
            if (code > 0) drawBlock(code, at);
        }
    }
    const ScreenPoint anchor = cellPixel(orientation, 0, PLAY_ROWS - 1);
    field.anchorX = anchor.x;
    field.anchorY = anchor.y + CELL_SIZE;
    if (comboLabelTimer > 0) drawComboLabel();
}

} // namespace crossfall
