// One game-step frame: pause check, backgrounds, pieces and fields, the piece step and mode
// timers, the panel, the end of a combo chain, the game-over box and the present.
#include "play/game_step.h"

#include "audio/sound.h"
#include "menus/main_menu.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "platform/video.h"
#include "play/field_drawing.h"
#include "play/panel.h"
#include "rules/game_state.h"
#include "rules/modes.h"
#include "rules/moving.h"
#include "scores/high_scores.h"

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

void gameStep() {
    // The pads press the player's bindings only while this frame reads them.
    setPadPlayKeys(padKeysForPlay());
    if (gameMode == MODE_DUOFALL) {
        currentPiece.fieldIndex = 4;
        currentPiece2.fieldIndex = 5;
    }
    // The pause: one menu frame now; the menu takes over from the next pass.
    if (keyHeld(VK_ESCAPE)) {
        inMenu = 1;
        runMainMenu();
    }
    clearSurface(backSurface, 0);
    trackCursor(0, 0, 784, 584);
    drawBackgrounds();
    const bool placed = gameOver == 0;
    if (placed) placeFallingPieces();
    drawModeFields();
    // Rows the lock removes were already drawn, so they show once more this frame.
    if (placed) stepFallingPieces();
    tickTimeAttackRise();
    tickRubikSpin();
    drawPanelAndPreview();
    voicesBusy = sweepVoices() ? 1 : 0;
    if (voicesBusy == 0) combo = 0;
    drawPanelTexts();
    if (gameOver == 1) {
        drawGameOverBox();
        if (scoreCheckDone == 0) checkHighScore();
    }
    presentFrame(true);
    setPadPlayKeys(PadPlayKeys{});
}

} // namespace crossfall
