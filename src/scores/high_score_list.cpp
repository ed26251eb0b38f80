// The high score list page: five columns from the score files, a return button, the cursor.
#include "scores/high_score_list.h"

#include <string>

#include "platform/bitmaps.h"
#include "platform/cursor_keys.h"
#include "platform/input.h"
#include "platform/text.h"
#include "platform/video.h"
#include "scores/high_scores.h"

namespace crossfall {
namespace {

constexpr Rect returnButton{200, 508, 600, 528};
// The arrows bring the cursor to the one button, right of its text.
constexpr CursorStop returnStop[] = {{585, 518}};

const char* const columnHeadings[MODE_COUNT] = {"Classic", "Rubik's", "4-Way", "Duofall", "Time Attack"};

void drawHeadings() {
    for (int c = 0; c < MODE_COUNT; ++c)
        drawTextCentered(columnHeadings[c], 160 * c + 85, 100, rgb(255, 255, 255), backSurface);
    drawTextCentered("High Score List.", 400, 30, rgb(0, 255, 0), backSurface);
    drawTextCentered("Press ESC to return to menu.", 400, 70, rgb(100, 100, 255), backSurface);
}

// Each row a little darker than the one above it.
void drawScoreColumn(int c) {
    HighScoreEntry rows[HIGH_SCORE_ROWS];
    int count = readScoreRows(scoreFileName(c), rows, HIGH_SCORE_ROWS, LIST_NAME_LENGTH);
    for (int k = 0; k < count; ++k) {
        int y = 150 + 30 * k;
        int shade = 255 - 15 * k;
        drawText(rows[k].name, 160 * c + 5, y, rgb(55, 55, shade), backSurface);
        drawTextRight(std::to_string(rows[k].total).c_str(), 160 * c + 140, y, rgb(shade, shade, shade), backSurface);
    }
}

} // namespace

int runHighScoreList() {
    if (surfaceLost(backSurface) || surfaceLost(frontSurface)) {
        restoreAllSurfaces();
        return 1;
    }
    clearSurface(backSurface, 0);
    drawHeadings();

    trackCursor(0, 0, 784, 584);
    steerCursor(returnStop);
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

    for (int c = 0; c < MODE_COUNT; ++c) drawScoreColumn(c);
    drawTextCentered("Keep practicing to get your name on the board!", 400, 550, rgb(255, 0, 0), backSurface);

    Rect cursor{mouseX, mouseY, mouseX + 16, mouseY + 16};
    if (blitSprite(backSurface, cursor, bitmap(Bitmap::Mouse), nullptr, true) == BlitResult::SurfaceLost)
        restoreAllSurfaces();
    presentFrame(false);
    return keyHeld(VK_ESCAPE) ? 0 : 1;
}

} // namespace crossfall
