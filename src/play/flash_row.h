// The row flash shown as a full row is removed, and the combo label text. Called by the row removal.
#pragma once

#include "platform/video.h"

namespace crossfall {

// The screen strip covered by row r of the field as last drawn (Duofall: from its cell positions).
Rect rowFlashStrip(int fieldIndex, int row);
// Flashes row r of the field, starts the row sound and puts the combo label at the row's ends.
void flashRow(int fieldIndex, int row);
// Rewrites the combo label with "<combo>x".
void writeComboLabel(int combo);

} // namespace crossfall
