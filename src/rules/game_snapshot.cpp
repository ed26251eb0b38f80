// Copies every rules global into a snapshot and back, through one list of the pairs.
#include "rules/game_snapshot.h"

#include <algorithm>
#include <iterator>
#include <type_traits>

#include "rules/bindings.h"
#include "rules/random.h"

namespace crossfall {
namespace {

// Hands each rules value and its place in the snapshot to move, the snapshot's first.
template <typename Snapshot, typename Move>
void eachValue(Snapshot& s, Move move) {
    move(s.fields, fields);
    move(s.currentPiece, currentPiece);
    move(s.currentPiece2, currentPiece2);
    move(s.nextPiece, nextPiece);
    move(s.nextPiece2, nextPiece2);
    move(s.directionProbes, directionProbes);
    move(s.gameMode, gameMode);
    move(s.score, score);
    move(s.comboBonuses, comboBonuses);
    move(s.level, level);
    move(s.combo, combo);
    move(s.bestCombo, bestCombo);
    move(s.gameOver, gameOver);
    move(s.scoreCheckDone, scoreCheckDone);
    move(s.spinCount, spinCount);
    move(s.riseCount, riseCount);
    move(s.blinkCount, blinkCount);
    move(s.comboLabelTimer, comboLabelTimer);
    move(s.voicesBusy, voicesBusy);
    move(s.duoDropPending, duoDropPending);
    move(s.obstacleMode, obstacleMode);
    move(s.comboLabelPoints, comboLabelPoints);
    move(s.randomState, randomState);
    move(s.frameInput, frameInput);
    move(s.keyBindings, keyBindings);
    move(s.advanced4Way, advanced4Way);
}

// A value, or a whole array (a snapshot's std::array and the rules' plain arrays alike).
template <typename To, typename From>
void copyValue(To& to, const From& from) {
    if constexpr (std::is_array_v<To> || std::is_array_v<From>)
        std::copy(std::begin(from), std::end(from), std::begin(to));
    else
        to = from;
}

} // namespace

GameSnapshot takeSnapshot() {
    GameSnapshot s;
    eachValue(s, [](auto& kept, const auto& live) { copyValue(kept, live); });
    return s;
}

void restoreSnapshot(const GameSnapshot& s) {
    eachValue(s, [](const auto& kept, auto& live) { copyValue(live, kept); });
}

} // namespace crossfall
