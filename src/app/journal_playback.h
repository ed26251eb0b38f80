// A journal played on the rules: its game started from the state its header records, and before each
// frame the changes recorded for it. Shared by the replays (shown, checked headless, resumed) and the
// raced best game.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "app/journal.h"

namespace crossfall {

// Puts the controls a journal recorded in force.
using ControlsSetter = void (*)(const std::array<std::int32_t, CONTROL_VALUES>& values);

// Sets the rules to the state the journal's game started from and starts it; setControls takes its controls.
void startFromHeader(const JournalHeader& header, ControlsSetter setControls);
// Applies the changes recorded for this frame to frameInput and, through setControls, the controls.
void applyEvents(const Journal& journal, std::size_t& next, std::uint32_t frame, ControlsSetter setControls);

} // namespace crossfall
