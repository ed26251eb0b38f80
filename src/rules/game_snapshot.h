// A whole game's rules state in one record: what a frame reads and changes, so that a second game (a
// replay shown over a paused one, the best game raced beside the player's) can run on the same rules
// and the first be put back exactly. The shell takes and puts back snapshots; the rules never do.
#pragma once

#include <array>
#include <cstdint>

#include "rules/game_frame.h"
#include "rules/game_state.h"

namespace crossfall {

struct GameSnapshot {
    std::array<Field, FIELD_COUNT> fields;
    Piece currentPiece, currentPiece2, nextPiece, nextPiece2;
    std::array<Piece, 4> directionProbes;
    std::int32_t gameMode, score, comboBonuses, level, combo, bestCombo, gameOver, scoreCheckDone;
    std::int32_t spinCount, riseCount, blinkCount, comboLabelTimer, voicesBusy, duoDropPending, obstacleMode;
    std::array<ScreenPoint, 2> comboLabelPoints;
    std::uint32_t randomState;
    FrameInput frameInput;
    std::array<std::int32_t, 8> keyBindings;
    std::int32_t advanced4Way;
};

GameSnapshot takeSnapshot();
void restoreSnapshot(const GameSnapshot& snapshot);

} // namespace crossfall
