// The play screen's share of a game frame: backgrounds, fields, panel and previews, texts, the
// game-over box and the present, each at its stage between the rules.
#include "play/game_step.h"

#include "platform/input.h"
#include "platform/video.h"
#include "play/field_drawing.h"
#include "play/panel.h"
#include "play/race_view.h"
#include "rules/game_state.h"
#include "rules/modes.h"

namespace crossfall {
namespace {

void drawModeFields() {
    if (gameMode == MODE_DUOFALL) {
        drawField(fields[4]);
        drawField(fields[5]);
        return;
    }
    drawField(fields[0]);
    if (gameMode == MODE_4WAY)
        for (int arm = 1; arm < ARM_COUNT; ++arm) drawField(fields[arm]);
}

} // namespace

void drawGameFrame(FrameStage stage) {
    switch (stage) {
    case FrameStage::Backdrop:
        clearSurface(backSurface, 0);
        trackCursor(0, 0, 784, 584);
        drawBackgrounds();
        return;
    case FrameStage::Fields:
        drawModeFields();
        return;
    case FrameStage::Panel:
        drawPanelAndPreview();
        return;
    case FrameStage::Texts:
        drawPanelTexts();
        drawRaceView();
        return;
    case FrameStage::GameOver:
        drawGameOverBox();
        return;
    case FrameStage::Present:
        presentFrame(true);
        return;
    }
}

void gameStep() { runGameFrame(); }

} // namespace crossfall
