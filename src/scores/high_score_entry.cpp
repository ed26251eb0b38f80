// The initials entry box: drawn on the back surface, only its own rectangle shown.
#include "scores/high_score_entry.h"

#include <cstdio>
#include <cstring>

#include "platform/backend.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "platform/text.h"
#include "platform/video.h"
#include "rules/game_state.h"
#include "scores/high_scores.h"

namespace crossfall {

char typedInitials[12] = {};
void (*bestResultSaved)(int mode, std::int32_t total) = nullptr;

namespace {

constexpr std::size_t MAX_INITIALS = 3;
// Held keys have no other repeat control than this pause.
constexpr int KEY_PAUSE_MS = 150;

bool blankOrEmpty(const char* text) {
    for (; *text != '\0'; ++text)
        if (*text != ' ') return false;
    return true;
}

void drawEntryBox() {
    fillRect(280, 370, 520, 460, packColor(0, 0, 0), backSurface);
    frameRect(280, 370, 520, 460, 2, packColor(50, 50, 255));
    drawTextCentered("New High Score!", 400, 400, rgb(150, 150, 255), backSurface);
    char prompt[40];
    std::snprintf(prompt, sizeof prompt, "Your Initials: %s", typedInitials);
    drawTextCentered(prompt, 400, 420, rgb(0, 255, 0), backSurface);
    drawTextCentered("Press Enter when done.", 400, 440, rgb(255, 255, 255), backSurface);
}

void typeLetters() {
    for (int code = 'A'; code <= 'Z'; ++code) {
        std::size_t length = std::strlen(typedInitials);
        if (!keyHeld(code) || length >= MAX_INITIALS) continue;
        typedInitials[length] = static_cast<char>(code);
        typedInitials[length + 1] = '\0';
        backend::sleepMs(KEY_PAUSE_MS);
    }
}

void deleteLetter() {
    std::size_t length = std::strlen(typedInitials);
    if (!(keyHeld(VK_BACK) || keyHeld(VK_DELETE)) || length == 0) return;
    typedInitials[length - 1] = '\0';
    backend::sleepMs(KEY_PAUSE_MS);
}

// Puts the ended game's result under the name into the row kept for it and saves its mode's table.
void recordResult(const char* name) {
    if (newEntryRank >= 0 && newEntryRank < HIGH_SCORE_ROWS) {
        HighScoreEntry& row = highScoreTable[newEntryRank];
        row.total = finalTotal();
        std::snprintf(row.name, sizeof row.name, "%s", name);
        if (saveHighScores() && newEntryRank == 0 && bestResultSaved != nullptr) bestResultSaved(gameMode, row.total);
    }
    inScoreEntry = 0;
}

void finishEntry() {
    if (blankOrEmpty(typedInitials)) std::strcpy(typedInitials, "???");
    recordResult(typedInitials);
}

} // namespace

void settlePendingEntry() {
    if (inScoreEntry != 0) recordResult("???");
}

void runHighScoreEntry() {
    // Texts first: a letter typed in this pass shows from the next one on.
    drawEntryBox();
    typeLetters();
    deleteLetter();
    if (keyHeld(VK_RETURN)) finishEntry();
    presentRect(Rect{278, 368, 522, 462});
}

} // namespace crossfall
