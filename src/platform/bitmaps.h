// The 22 bitmap surfaces the game loads at start-up, in load order, and the combo-label surface.
#pragma once

#include "platform/video.h"

namespace crossfall {

enum class Bitmap : int {
    GreenBox,
    RedBox,
    BlueBox,
    YellowBox,
    WhiteBox,
    PurpleBox,
    PinkBox,
    AnimRow,
    AnimCol,
    Bg1,
    BgDir0,
    BgDir1,
    BgDir2,
    BgDir3,
    BgDir5,
    BgDir6,
    MenuLeft,
    MenuRight,
    Mouse,
    MainLogo,
    Symbols,
    ReplayMark,
    Count
};

constexpr int BITMAP_COUNT = static_cast<int>(Bitmap::Count);

struct BitmapFile {
    const char* fileName;
    int width;
    int height;
};

// File name and surface size of each bitmap, in load order.
extern const BitmapFile bitmapFiles[BITMAP_COUNT];

Surface& bitmap(Bitmap which);
// The block sprite of a cell code 1..7.
Surface& blockSprite(int cellCode);
// The 16 x 16 tile of the cell code's symbol in the symbols bitmap (the first outside 1..7, as the sprite).
Rect symbolTile(int cellCode);
// 48 x 16, no file: the play screen writes the combo text into it.
extern Surface comboLabelSurface;

// Creates every bitmap surface and the combo-label surface, then loads the files in order.
void createAndLoadBitmaps();

} // namespace crossfall
