// Copies every rules global into a snapshot and back.
#include "rules/game_snapshot.h"

#include <algorithm>

#include "rules/bindings.h"
#include "rules/random.h"

namespace crossfall {

GameSnapshot takeSnapshot() {
    GameSnapshot s;
    s.fields = fields;
    s.currentPiece = currentPiece;
    s.currentPiece2 = currentPiece2;
    s.nextPiece = nextPiece;
    s.nextPiece2 = nextPiece2;
    std::copy(std::begin(directionProbes), std::end(directionProbes), s.directionProbes.begin());
    s.gameMode = gameMode;
    s.score = score;
    s.comboBonuses = comboBonuses;
    s.level = level;
    s.combo = combo;
    s.bestCombo = bestCombo;
    s.gameOver = gameOver;
    s.scoreCheckDone = scoreCheckDone;
    s.spinCount = spinCount;
    s.riseCount = riseCount;
    s.blinkCount = blinkCount;
    s.comboLabelTimer = comboLabelTimer;
    s.voicesBusy = voicesBusy;
    s.duoDropPending = duoDropPending;
    s.obstacleMode = obstacleMode;
    std::copy(std::begin(comboLabelPoints), std::end(comboLabelPoints), s.comboLabelPoints.begin());
    s.randomState = randomState;
    s.frameInput = frameInput;
    std::copy(std::begin(keyBindings), std::end(keyBindings), s.keyBindings.begin());
    s.advanced4Way = advanced4Way;
    return s;
}

void restoreSnapshot(const GameSnapshot& s) {
    fields = s.fields;
    currentPiece = s.currentPiece;
    currentPiece2 = s.currentPiece2;
    nextPiece = s.nextPiece;
    nextPiece2 = s.nextPiece2;
    std::copy(s.directionProbes.begin(), s.directionProbes.end(), std::begin(directionProbes));
    gameMode = s.gameMode;
    score = s.score;
    comboBonuses = s.comboBonuses;
    level = s.level;
    combo = s.combo;
    bestCombo = s.bestCombo;
    gameOver = s.gameOver;
    scoreCheckDone = s.scoreCheckDone;
    spinCount = s.spinCount;
    riseCount = s.riseCount;
    blinkCount = s.blinkCount;
    comboLabelTimer = s.comboLabelTimer;
    voicesBusy = s.voicesBusy;
    duoDropPending = s.duoDropPending;
    obstacleMode = s.obstacleMode;
    std::copy(s.comboLabelPoints.begin(), s.comboLabelPoints.end(), std::begin(comboLabelPoints));
    randomState = s.randomState;
    frameInput = s.frameInput;
    std::copy(s.keyBindings.begin(), s.keyBindings.end(), std::begin(keyBindings));
    advanced4Way = s.advanced4Way;
}

} // namespace crossfall
