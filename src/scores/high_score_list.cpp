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

// A row of a column and the journal kept with it, if any.
struct ListRow {
    HighScoreEntry entry;
    int mode = 0;
    int rank = 0;
    std::string replay; // empty: no journal
};

// The top-left of the row's name.
int rowX(const ListRow& row) {
    return 160 * row.mode + 5;
}
int rowY(const ListRow& row) {
    return 150 + 30 * row.rank;
}
// Where the cursor points at the row: its name, total and mark.
Rect rowArea(const ListRow& row) {
    return {rowX(row) - 4, rowY(row) - 6, rowX(row) + 153, rowY(row) + 20};
}

// The rows of every table, read afresh.
std::vector<ListRow> readListRows() {
    std::vector<ListRow> list;
    HighScoreEntry rows[HIGH_SCORE_ROWS];
    for (int c = 0; c < MODE_COUNT; ++c) {
        const int count = readScoreRows(scoreFileName(c), rows, HIGH_SCORE_ROWS, TABLE_NAME_LENGTH);
        for (int k = 0; k < count; ++k) {
            std::string replay = rowReplayPath(c, rows, k);
            if (!isRegularFile(replay.c_str())) replay.clear();
            list.push_back({rows[k], c, k, std::move(replay)});
        }
    }
    return list;
}

// Each row a little darker than the one above it; a row with a journal has the mark after its total.
void drawRow(const ListRow& row) {
    const int x = rowX(row), y = rowY(row), shade = 255 - 15 * row.rank;
    const std::string name = std::string(row.entry.name).substr(0, LIST_NAME_LENGTH);
    drawText(name.c_str(), x, y, rgb(55, 55, shade), backSurface);
    drawTextRight(std::to_string(row.entry.total).c_str(), x + 135, y, rgb(shade, shade, shade), backSurface);
    if (!row.replay.empty())
        blitSprite(backSurface, {x + 139, y + 3, x + 149, y + 13}, bitmap(Bitmap::ReplayMark), nullptr, true);
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
        if (!row.replay.empty()) stops.push_back({rowX(row) + 143, rowY(row) + 7});
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
        const Rect area = rowArea(row);
        if (row.replay.empty() || !cursorOver(area)) continue;
        frameRect(area.left, area.top, area.right, area.bottom, 1, packColor(255, 255, 255));
        drawTextCentered("Click to watch this game.", 400, 470, rgb(150, 150, 255), backSurface);
        const bool chosen = buttonClicked() || steeredEnter();
        if (chosen && watchRowReplay != nullptr && watchRowReplay(row.replay.c_str(), row.mode, row.entry))
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
