// The play screen's panel: the next-piece preview, the 4-Way arm frames, the score texts and mode
// gauges, and the game-over box. Called by the game step once per frame, in this order.
#pragma once

#include <cstdint>
#include <string>

#include "rules/pieces.h"

namespace crossfall {

// The options' display switches, 0 off: the next-piece preview, the 4-Way next-arm blink and the
// current arm's frame. Set at start-up and whenever the controls file is read; only drawing reads them.
extern std::int32_t showPiecePreview;
extern std::int32_t showGridPreview;
extern std::int32_t showCurrentGrid;

// Shown above the panel while a replay chosen on the list of all tables plays (its name, mode and total);
// empty otherwise.
extern std::string panelCaption;

// The piece's blocks at its box position, laid out as in field 0.
void drawPiecePreview(const Piece& piece);
// The black panel box, the next piece(s) and, in 4-Way, the frames around the current and next arm.
void drawPanelAndPreview();
// The panel's frame, score, level and combo texts and the Time Attack or Rubik gauge.
void drawPanelTexts();
void drawGameOverBox();

} // namespace crossfall
