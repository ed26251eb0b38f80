// The panel, the previews, the arm frames, the gauges and the game-over box, on the back surface.
#include "play/panel.h"

#include <algorithm>
#include <string>

#include "platform/bitmaps.h"
#include "platform/text.h"
#include "platform/video.h"
#include "play/field_drawing.h"
#include "rules/game_state.h"
#include "rules/modes.h"
#include "scores/high_scores.h"

namespace crossfall {

// Start-up, or a replay, puts the controls' values in before anything reads them.
std::int32_t showPiecePreview;
std::int32_t showGridPreview;
std::int32_t showCurrentGrid;
std::string panelCaption;

namespace {

constexpr Rect PANEL_BOX = {520, 420, 760, 560};
constexpr Rect GAME_OVER_BOX = {280, 280, 520, 370};
constexpr int PANEL_CENTRE_X = 640;
constexpr int GAUGE_WIDTH = 240;
constexpr int BLINK_PERIOD = 90;
constexpr int BLINK_SHOWN = 1; // the yellow frame shows in the middle third of every blink period
constexpr Rect armRects[ARM_COUNT] = {
    {320, 60, 480, 380}, {320, 220, 640, 380}, {320, 220, 480, 540}, {160, 220, 480, 380}};

void frameArm(int arm, int r, int g, int b) {
    if (arm < 0 || arm >= ARM_COUNT) return;
    const Rect& a = armRects[arm];
    frameRect(a.left, a.top, a.right, a.bottom, 2, packColor(r, g, b));
}

Piece movedCopy(const Piece& piece, int x, int y) {
    Piece copy = piece;
    copy.x = x;
    copy.y = y;
    return copy;
}

// How the next piece will look in its arm: a clockwise quarter turn for each arm round from the top one
// (three for the left arm, which is one counter-clockwise).
void turnForArm(Piece& piece) {
    const int turns = piece.fieldIndex >= 0 && piece.fieldIndex < ARM_COUNT ? piece.fieldIndex : 0;
    for (int k = 0; k < turns; ++k) rotatePiece(piece, -1);
}

void drawCentred(const std::string& text, int x, int y, ColorRef color) {
    drawTextCentered(text.c_str(), x, y, color, backSurface);
}

// A gauge of counted frames toward a period, its text the caption and the whole percentage; past the
// period the bar stays full.
void drawGauge(const char* caption, int count, int period, ColorRef textColor, int r, int g, int b) {
    const double p = static_cast<double>(count) / period * 100.0;
    const int width = std::min(static_cast<int>(p / 100.0 * GAUGE_WIDTH), GAUGE_WIDTH);
    fillRect(520, 544, 520 + width, 558, packColor(r, g, b), backSurface);
    frameRect(521, 544, 759, 558, 1, packColor(0, 0, 0));
    drawCentred(caption + std::to_string(static_cast<int>(p)) + " %", PANEL_CENTRE_X, 542, textColor);
}

} // namespace

void drawPiecePreview(const Piece& piece) {
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 5; ++j)
            if (piece.shape[i][j] != 0) drawBlock(piece.kind + 1, cellPixel(0, piece.x + i, piece.y + j));
}

void drawPanelAndPreview() {
    fillRect(PANEL_BOX.left, PANEL_BOX.top, PANEL_BOX.right, PANEL_BOX.bottom, packColor(0, 0, 0),
             backSurface);
    const bool duofall = gameMode == MODE_DUOFALL;
    Piece preview = duofall ? movedCopy(nextPiece, 0, 0) : movedCopy(nextPiece, 18, 25);
    if (gameMode == MODE_4WAY) turnForArm(preview);
    if (showPiecePreview != 0) {
        drawPiecePreview(preview);
        if (duofall)
            drawPiecePreview(movedCopy(nextPiece2, 6, 0));
        else
            drawCentred("Next Piece", PANEL_CENTRE_X, 525, rgb(0, 0, 255));
    }
    if (gameMode == MODE_4WAY && showCurrentGrid != 0) frameArm(currentPiece.fieldIndex, 0, 0, 255);
    blinkCount += 1;
    if (blinkCount >= BLINK_PERIOD) blinkCount = 0;
    if (blinkCount / 30 == BLINK_SHOWN && gameMode == MODE_4WAY && showGridPreview != 0)
        frameArm(nextPiece.fieldIndex, 255, 255, 0);
}

void drawPanelTexts() {
    frameRect(PANEL_BOX.left, PANEL_BOX.top, PANEL_BOX.right, PANEL_BOX.bottom, 2, packColor(0, 255, 0));
    using std::to_string;
    drawCentred("Score: " + to_string(score) + " / Level: " + to_string(level), PANEL_CENTRE_X, 445,
                rgb(255, 255, 255));
    drawCentred("Combo Bonuses: " + to_string(comboBonuses), PANEL_CENTRE_X, 458, rgb(150, 150, 255));
    if (combo != 0)
        drawCentred("Combo:  " + to_string(combo) + "x", PANEL_CENTRE_X, 425, rgb(255, 255, 0));
    else
        drawCentred("Best Combo: " + to_string(bestCombo) + "x", PANEL_CENTRE_X, 425, rgb(0, 255, 0));
    if (gameMode == MODE_TIME) drawGauge("Time Attack!: ", riseCount, risePeriod(), rgb(0, 255, 0), 255, 255, 0);
    if (gameMode == MODE_RUBIK) drawGauge("Rubik Spin!: ", spinCount, spinPeriod(), rgb(255, 255, 255), 0, 255, 0);
    if (!panelCaption.empty()) drawCentred(panelCaption, PANEL_CENTRE_X, 398, rgb(255, 255, 0));
}

void drawGameOverBox() {
    const Rect& box = GAME_OVER_BOX;
    fillRect(box.left, box.top, box.right, box.bottom, packColor(0, 0, 0), backSurface);
    frameRect(box.left, box.top, box.right, box.bottom, 2, packColor(50, 50, 255));
    drawCentred("Game Over", 400, 310, rgb(100, 100, 255));
    drawCentred("Final Score:  " + std::to_string(finalTotal()), 400, 330, rgb(0, 255, 0));
}

} // namespace crossfall
