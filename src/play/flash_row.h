// The row flash shown as a full row is removed, and the combo label text. Called by the row removal.
#pragma once

#include <cstdint>

#include "platform/video.h"

namespace crossfall {

// The screen strip covered by row r of the field as last drawn (Duofall: from its cell positions).
Rect rowFlashStrip(int fieldIndex, int row);
// Flashes row r of the field on the front surface, starts the row sound and puts the combo label at
// the row's ends. The Duofall fields get the sound and the label points but no flash and no pause.
void flashRow(int fieldIndex, int row);
// The number the combo label shows; set with the label.
extern std::int32_t comboLabelValue;
// Rewrites the combo label surface with "<combo>x".
void writeComboLabel(int combo);

} // namespace crossfall
