// Full rows, the combo chain, lock points, levels and the fall delay.
#include "rules/rows.h"

#include "rules/game_frame.h"
#include "rules/modes.h"

namespace crossfall {

const std::int32_t fallDelay[MAX_LEVEL + 1] = {0, 100, 90, 75, 60, 50, 40, 25, 15, 12};
const std::int32_t levelThresholds[MAX_LEVEL] = {200, 900, 1500, 2500, 3150, 3600, 4000, 4300, 4900};

namespace {

constexpr int COMBO_LABEL_DRAWS = 50;

bool rowFull(const Field& field, int r) {
    for (const auto& column : field.cells)
        if (column[r] == EMPTY) return false;
    return true;
}

// Pulls every row above r down one and empties row 0; the walls stay.
void removeRow(Field& field, int r) {
    for (auto& column : field.cells) {
        for (int k = r; k >= 1; --k) column[k] = column[k - 1];
        column[0] = EMPTY;
    }
}

} // namespace

void clearFullRows(int fieldIndex) {
    Field& field = fields[fieldIndex];
    bool chain = false;
    for (int r = 0; r < PLAY_ROWS; ++r) {
        if (!rowFull(field, r)) continue;
        if (rulesSeam.flashRow != nullptr) rulesSeam.flashRow(fieldIndex, r);
        removeRow(field, r);
        // A removal while an earlier one still sounds extends the chain.
        if (voicesBusy == 1)
            chain = true;
        else
            combo = 1;
    }
    if (!chain) return;
    combo += 1;
    comboBonuses += combo;
    if (combo > bestCombo) bestCombo = combo;
    if (rulesSeam.comboLabel != nullptr) rulesSeam.comboLabel(combo);
    comboLabelTimer = COMBO_LABEL_DRAWS;
}

int currentFallDelay() {
    int adjustment = 0;
    if (gameMode == MODE_DUOFALL && gameOver == 0) adjustment += 50;
    if (gameMode == MODE_4WAY && gameOver == 0 && level >= 6) {
        adjustment = level - 2;
        if (level == 8) adjustment += 4;
        if (level == 9) adjustment += 2;
    }
    if (gameMode == MODE_CLASSIC && level == 9) adjustment = -4;
    if (combo >= 3 && level >= 6) adjustment += combo;
    return fallDelay[level] + adjustment;
}

void addLockPoints() {
    if (gameOver != 0) return;
    if (gameMode != MODE_4WAY) {
        score += 10;
        return;
    }
    // The fewer arms the next piece can enter, the less a lock is worth.
    const int blocked = blockedProbeCount();
    if (blocked <= 2)
        score += 10;
    else if (blocked == 3)
        score += 2;
}

void updateLevel() {
    const int old = level;
    for (int d = 0; d < MAX_LEVEL; ++d)
        if (score >= levelThresholds[d]) level = d + 1;
    if (level > old && rulesSeam.levelMusic != nullptr) rulesSeam.levelMusic(level);
}

} // namespace crossfall
