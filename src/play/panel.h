// The play screen's panel: the next-piece preview, the 4-Way arm frames, the score texts and mode
// gauges, and the game-over box. Called by the game step once per frame, in this order.
#pragma once

#include "rules/pieces.h"

namespace crossfall {

// The piece's blocks at its box position, laid out as in field 0.
void drawPiecePreview(const Piece& piece);
// The black panel box, the next piece(s) and, in 4-Way, the frames around the current and next arm.
void drawPanelAndPreview();
// The panel's frame, score, level and combo texts and the Time Attack or Rubik gauge.
void drawPanelTexts();
void drawGameOverBox();

} // namespace crossfall
