// The bitmap surfaces: created and loaded once per run at start-up, reloaded after a display loss.
#include "platform/bitmaps.h"

namespace crossfall {

const BitmapFile bitmapFiles[BITMAP_COUNT] = {
    {"greenBox.bmp", 16, 16},   {"redBox.bmp", 16, 16},     {"blueBox.bmp", 16, 16},
    {"yellowBox.bmp", 16, 16},  {"whiteBox.bmp", 16, 16},   {"purpleBox.bmp", 16, 16},
    {"pinkBox.bmp", 16, 16},    {"animRow.bmp", 160, 96},   {"animCol.bmp", 96, 160},
    {"bg1.bmp", 800, 600},      {"bgDir0.bmp", 160, 320},   {"bgDir1.bmp", 320, 160},
    {"bgDir2.bmp", 160, 320},   {"bgDir3.bmp", 320, 160},   {"bgDir5.bmp", 160, 320},
    {"bgDir6.bmp", 160, 320},   {"menuLeft.bmp", 200, 400}, {"menuRight.bmp", 320, 400},
    {"mouse.bmp", 16, 16},      {"mainLogo.bmp", 736, 80},  {"symbols.bmp", 112, 16},
    {"replayMark.bmp", 10, 10},
};

Surface comboLabelSurface; // created once per run by createAndLoadBitmaps

namespace {

Surface bitmapSurfaces[BITMAP_COUNT]; // created once per run by createAndLoadBitmaps

} // namespace

Surface& bitmap(Bitmap which) { return bitmapSurfaces[static_cast<int>(which)]; }

namespace {

// Codes outside 1..7 have no sprite of their own; the green block stands in rather than reading past the table.
int kindIndex(int cellCode) {
    return cellCode >= 1 && cellCode <= 7 ? cellCode - 1 : 0;
}

} // namespace

Surface& blockSprite(int cellCode) {
    return bitmapSurfaces[kindIndex(cellCode)];
}

Rect symbolTile(int cellCode) {
    const int left = 16 * kindIndex(cellCode);
    return {left, 0, left + 16, 16};
}

void createAndLoadBitmaps() {
    for (int i = 0; i < BITMAP_COUNT; ++i) bitmapSurfaces[i] = createSurface(bitmapFiles[i].width, bitmapFiles[i].height);
    comboLabelSurface = createSurface(48, 16);
    for (int i = 0; i < BITMAP_COUNT; ++i) loadBitmap(bitmapSurfaces[i], bitmapFiles[i].fileName);
}

} // namespace crossfall
