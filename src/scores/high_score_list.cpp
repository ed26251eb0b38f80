// The high score list page: five columns from the score files, the rows' replay marks, a return button,
// the cursor.
#include "scores/high_score_list.h"

#include <string>
#include <vector>

#include "platform/bitmaps.h"
#include "platform/cursor_keys.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/text.h"
#include "platform/video.h"
#include "scores/high_scores.h"
#include "scores/row_replays.h"

namespace crossfall {
namespace {

constexpr Rect returnButton{200, 508, 600, 528};
// The arrows bring the cursor to the one button, right of its text.
constexpr CursorStop returnStop = {585, 518};

const char* const columnHeadings[MODE_COUNT] = {"Classic", "Rubik's", "4-Way", "Duofall", "Time Attack"};

void drawHeadings() {
    for (int c = 0; c < MODE_COUNT; ++c)
        drawTextCentered(columnHeadings[c], 160 * c + 85, 100, rgb(255, 255, 255), backSurface);
    drawTextCentered("High Score List.", 400, 30, rgb(0, 255, 0), backSurface);
    drawTextCentered("Press ESC to return to menu.", 400, 70, rgb(100, 100, 255), backSurface);
}

// A row of a column, where it is drawn, and the journal kept with it, if any.
struct ListRow {
    HighScoreEntry entry;
    int mode = 0;
    Rect area;
    std::string replay; // empty: no journal
};

// The rows of every table, read afresh.
std::vector<ListRow> readListRows() {
    std::vector<ListRow> list;
    HighScoreEntry rows[HIGH_SCORE_ROWS];
    for (int c = 0; c < MODE_COUNT; ++c) {
        const int count = readScoreRows(scoreFileName(c), rows, HIGH_SCORE_ROWS, TABLE_NAME_LENGTH);
        for (int k = 0; k < count; ++k) {
            const int y = 150 + 30 * k;
            std::string replay = rowReplayPath(c, rows, k);
            if (!isRegularFile(replay.c_str())) replay.clear();
            list.push_back({rows[k], c, {160 * c + 1, y - 6, 160 * c + 158, y + 20}, std::move(replay)});
        }
    }
    return list;
}

// Each row a little darker than the one above it; a row with a journal has the mark after its total.
void drawRow(const ListRow& row) {
    const int k = (row.area.top + 6 - 150) / 30, x = row.area.left - 1, y = row.area.top + 6;
    const int shade = 255 - 15 * k;
    drawText(std::string(row.entry.name).substr(0, LIST_NAME_LENGTH).c_str(), x + 5, y, rgb(55, 55, shade), backSurface);
    drawTextRight(std::to_string(row.entry.total).c_str(), x + 140, y, rgb(shade, shade, shade), backSurface);
    if (!row.replay.empty()) blitSprite(backSurface, {x + 144, y + 3, x + 154, y + 13}, bitmap(Bitmap::ReplayMark), nullptr, true);
}

} // namespace

bool (*watchRowReplay)(const char* fileName, int mode, const HighScoreEntry& row) = nullptr;

int runHighScoreList() {
    if (surfaceLost(backSurface) || surfaceLost(frontSurface)) {
        restoreAllSurfaces();
        return 1;
    }
    clearSurface(backSurface, 0);
    drawHeadings();

    const std::vector<ListRow> rows = readListRows();
    std::vector<CursorStop> stops;
    for (const ListRow& row : rows)
        if (!row.replay.empty()) stops.push_back({row.area.left + 147, row.area.top + 13});
    stops.push_back(returnStop);
    trackCursor(0, 0, 784, 584);
    steerCursor(stops);
    if (cursorOver(returnButton)) {
        drawTextCentered("Click here to return to menu!", 400, 510, rgb(150, 150, 255), backSurface);
        frameRect(returnButton.left, returnButton.top, returnButton.right, returnButton.bottom, 2,
                  packColor(255, 255, 255));
        // Leaves at once, frame unfinished, with the cursor where the menu expects it.
        if ((mouseState.buttons[0] & 0x80) != 0 || steeredEnter()) {
            mouseX = 405;
            mouseY = 105;
            return 0;
        }
    } else {
        drawTextCentered("Click here to return to menu!", 400, 510, rgb(0, 0, 255), backSurface);
    }

    for (const ListRow& row : rows) {
        drawRow(row);
        if (row.replay.empty() || !cursorOver(row.area)) continue;
        frameRect(row.area.left, row.area.top, row.area.right, row.area.bottom, 1, packColor(150, 150, 255));
        drawTextCentered("Click to watch this game.", 400, 470, rgb(150, 150, 255), backSurface);
        if ((buttonClicked() || steeredEnter()) && watchRowReplay != nullptr && watchRowReplay(row.replay.c_str(), row.mode, row.entry))
            return 0;
    }
    drawTextCentered("Keep practicing to get your name on the board!", 400, 550, rgb(255, 0, 0), backSurface);

    Rect cursor{mouseX, mouseY, mouseX + 16, mouseY + 16};
    if (blitSprite(backSurface, cursor, bitmap(Bitmap::Mouse), nullptr, true) == BlitResult::SurfaceLost)
        restoreAllSurfaces();
    presentFrame(false);
    return keyHeld(VK_ESCAPE) ? 0 : 1;
}

} // namespace crossfall
