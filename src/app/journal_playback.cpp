// Starting a journal's game and applying its recorded changes frame by frame.
#include "app/journal_playback.h"

#include <algorithm>

#include "rules/game_frame.h"
#include "rules/game_state.h"
#include "rules/pieces.h"
#include "rules/random.h"

namespace crossfall {

void startFromHeader(const JournalHeader& h, ControlsSetter setControls) {
    std::array<std::int32_t, CONTROL_VALUES> controls{};
    std::copy(std::begin(h.controls), std::end(h.controls), controls.begin());
    setControls(controls);
    obstacleMode = h.obstacles;
    randomState = h.randomState;
    nextPiece = makePiece(h.nextKind, h.nextField);
    nextPiece2 = makePiece(h.next2Kind, h.next2Field);
    voicesBusy = h.voicesBusy;
    frameInput = FrameInput{true, {}, h.voicesBusy};
    startGame(h.mode);
}

void applyEvents(const Journal& j, std::size_t& next, std::uint32_t frame, ControlsSetter setControls) {
    for (; next < j.events.size() && j.events[next].frame == frame; ++next) {
        const JournalEvent& e = j.events[next];
        if (e.kind == JournalEventKind::KeyToggled)
            frameInput.held[e.code >> 3] ^= static_cast<std::uint8_t>(1 << (e.code & 7));
        else if (e.kind == JournalEventKind::VoicesToggled)
            frameInput.voicesBusy ^= 1;
        else
            setControls(j.controlSets[e.controls]);
    }
}

} // namespace crossfall
