// The game frame's rules in order, with the seam's effects between them.
#include "rules/game_frame.h"

#include "audio/sound.h"
#include "platform/input.h"
#include "rules/game_state.h"
#include "rules/modes.h"
#include "rules/moving.h"

namespace crossfall {

FrameInput frameInput;
RulesSeam rulesSeam;

namespace {

void draw(FrameStage stage) {
    if (rulesSeam.draw != nullptr) rulesSeam.draw(stage);
}

} // namespace

bool frameKeyHeld(int code) {
    if (!frameInput.replayed) return keyHeld(code);
    if (code < 0 || code > 255) return false;
    return (frameInput.held[code >> 3] >> (code & 7) & 1) != 0;
}

void runGameFrame() {
    if (gameMode == MODE_DUOFALL) {
        currentPiece.fieldIndex = 4;
        currentPiece2.fieldIndex = 5;
    }
    // The pause: one menu frame now; the menu takes over from the next pass.
    if (frameKeyHeld(VK_ESCAPE) && rulesSeam.pause != nullptr) rulesSeam.pause();
    draw(FrameStage::Backdrop);
    const bool placed = gameOver == 0;
    if (placed) placeFallingPieces();
    draw(FrameStage::Fields);
    // Rows the lock removes were already drawn, so they show once more this frame.
    if (placed) stepFallingPieces();
    tickTimeAttackRise();
    tickRubikSpin();
    draw(FrameStage::Panel);
    // The sweep frees finished voices either way; a replay plays back what the live sweep found.
    const bool sounding = sweepVoices();
    if (!frameInput.replayed) frameInput.voicesBusy = sounding ? 1 : 0;
    voicesBusy = frameInput.voicesBusy;
    if (voicesBusy == 0) combo = 0;
    draw(FrameStage::Texts);
    if (gameOver == 1) {
        draw(FrameStage::GameOver);
        if (scoreCheckDone == 0 && rulesSeam.scoreCheck != nullptr) rulesSeam.scoreCheck();
    }
    draw(FrameStage::Present);
}

} // namespace crossfall
