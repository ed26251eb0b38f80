// The play screen's backgrounds and fields: where each orientation draws its cells, the anchors the
// row flash reads, and the growing combo label. Called by the game step once per frame.
#pragma once

#include "platform/video.h"
#include "rules/game_state.h"

namespace crossfall {

constexpr int CELL_SIZE = 16;

// 1: every block carries its kind's symbol, so no kind is told by colour alone; 0 (the default): plain.
extern std::int32_t blockSymbols;

// Top-left screen pixel of cell (c, r) of a field drawn in that orientation.
ScreenPoint cellPixel(int orientation, int c, int r);
// A keyed sprite copy that repairs every surface when the display lost one.
void blitOrRestore(Surface& dest, const Rect& destRect, const Surface& source, const Rect* sourceRect);

// The block of a cell code 1..7 onto the back surface in this cell, with its symbol when they show.
void drawBlock(int code, const Rect& cell);
// The same at the play size, from this top-left pixel.
void drawBlock(int code, ScreenPoint at);
// The mode's backgrounds onto the back surface.
void drawBackgrounds();
// The field's blocks onto the back surface, its origin and anchors, then one step of the combo label.
void drawField(Field& field);

} // namespace crossfall
