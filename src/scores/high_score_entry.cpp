// The initials entry box: drawn on the back surface, only its own rectangle shown.
#include "scores/high_score_entry.h"

#include <cstring>
#include <string>
#include <string_view>

#include "platform/backend.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/screen_flags.h"
#include "platform/text.h"
#include "platform/video.h"
#include "rules/game_state.h"
#include "scores/high_scores.h"
#include "scores/row_replays.h"

namespace crossfall {

char typedInitials[12] = {};
bool (*keepEndedGame)(const char* fileName, int mode, std::int32_t total) = nullptr;

namespace {

constexpr std::size_t MAX_INITIALS = 3;
// The box, and what is shown of the screen: the box with its frame of 2.
constexpr Rect ENTRY_BOX = {280, 370, 520, 460};
constexpr int FRAME = 2;
// Held keys have no other repeat control than this pause.
constexpr int KEY_PAUSE_MS = 150;

// The letter a pad changes: its place in typedInitials, and whether this entry has seen the pad yet
// (only then is it underlined). Back to the first letter, unseen, when an entry is finished.
struct PadLetter {
    std::size_t place = 0;
    bool used = false;
};
PadLetter padLetter;

bool blankOrEmpty(const char* text) {
    for (; *text != '\0'; ++text)
        if (*text != ' ') return false;
    return true;
}

void drawEntryBox() {
    fillRect(ENTRY_BOX.left, ENTRY_BOX.top, ENTRY_BOX.right, ENTRY_BOX.bottom, packColor(0, 0, 0), backSurface);
    frameRect(ENTRY_BOX.left, ENTRY_BOX.top, ENTRY_BOX.right, ENTRY_BOX.bottom, FRAME, packColor(50, 50, 255));
    drawTextCentered("New High Score!", 400, 400, rgb(150, 150, 255), backSurface);
    const std::string prompt = std::string("Your Initials: ") + typedInitials;
    drawTextCentered(prompt.c_str(), 400, 420, rgb(0, 255, 0), backSurface);
    drawTextCentered("Press Enter when done.", 400, 440, rgb(255, 255, 255), backSurface);
    if (!padLetter.used) return;
    // Under the letter the pad changes: where the prompt's letters begin, plus those before it.
    const std::string before = "Your Initials: " + std::string(std::string_view(typedInitials).substr(0, padLetter.place));
    const char letter[2] = {typedInitials[padLetter.place] != '\0' ? typedInitials[padLetter.place] : 'W',
                            '\0'};
    const int left = 400 - textWidth(prompt.c_str()) / 2 + textWidth(before.c_str());
    fillRect(left, 434, left + textWidth(letter), 436, packColor(0, 255, 0), backSurface);
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

// Up and down run the letter through A..Z and round again; a place past the end starts a new letter.
void stepPadLetter(int step) {
    const std::size_t length = std::strlen(typedInitials);
    if (padLetter.place >= MAX_INITIALS) return;
    char& letter = typedInitials[padLetter.place];
    if (padLetter.place == length) {
        letter = step > 0 ? 'A' : 'Z';
        typedInitials[padLetter.place + 1] = '\0';
    } else if (letter < 'A' || letter > 'Z') {
        letter = 'A';
    } else {
        letter = static_cast<char>('A' + (letter - 'A' + step + 26) % 26);
    }
    backend::sleepMs(KEY_PAUSE_MS);
}

// The pad alone: up/down change the letter, right or south goes on to the next, Start finishes.
void usePad() {
    const std::size_t length = std::strlen(typedInitials);
    if (padLetter.place > length) padLetter.place = length;
    const PadDirections d = padDirections();
    const bool next = d.right || padButtonHeld(PadButton::South);
    if (d.up || d.down || next || padButtonHeld(PadButton::Start)) padLetter.used = true;
    if (d.up != d.down) stepPadLetter(d.up ? 1 : -1);
    if (next && padLetter.place < std::strlen(typedInitials) && padLetter.place + 1 < MAX_INITIALS) {
        ++padLetter.place;
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
        // The row's journal before its table: a power cut between the two leaves at worst a journal no row
        // names, which the next save removes, never a saved row whose journal is still to be written.
        const bool keeping = keepEndedGame != nullptr;
        if (keeping && makeFolder(ROW_REPLAYS_FOLDER))
            keepEndedGame(rowReplayPath(gameMode, highScoreTable, newEntryRank).c_str(), gameMode, row.total);
        if (saveHighScores()) {
            pruneRowReplays(gameMode, highScoreTable);
            if (newEntryRank == 0 && keeping) keepEndedGame(bestReplayName(gameMode), gameMode, row.total);
        }
    }
    inScoreEntry = 0;
    padLetter = PadLetter{};
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
    usePad();
    if (keyHeld(VK_RETURN) || padButtonHeld(PadButton::Start)) finishEntry();
    presentRect(Rect{ENTRY_BOX.left - FRAME, ENTRY_BOX.top - FRAME, ENTRY_BOX.right + FRAME, ENTRY_BOX.bottom + FRAME});
}

} // namespace crossfall
