// The raced best game's field at half size, clear of the player's field and panel.
#include "play/race_view.h"

#include <string>

#include "platform/text.h"
#include "platform/video.h"
#include "play/field_drawing.h"

namespace crossfall {

std::int32_t raceYourBest = 0;
RaceView raceView;

namespace {

constexpr int RACE_CELL = CELL_SIZE / 2;
constexpr int RACE_LEFT = 600;
constexpr int RACE_TOP = 100;
constexpr int RACE_CENTRE_X = RACE_LEFT + RACE_CELL * FIELD_COLUMNS / 2;

} // namespace

void drawRaceView() {
    if (!raceView.shown) return;
    const int right = RACE_LEFT + RACE_CELL * FIELD_COLUMNS, bottom = RACE_TOP + RACE_CELL * PLAY_ROWS;
    fillRect(RACE_LEFT, RACE_TOP, right, bottom, packColor(0, 0, 0), backSurface);
    frameRect(RACE_LEFT, RACE_TOP, right, bottom, 2, packColor(255, 255, 255));
    for (int c = 0; c < FIELD_COLUMNS; ++c)
        for (int r = 0; r < PLAY_ROWS; ++r) {
            const int code = raceView.cells[c][r];
            const int x = RACE_LEFT + RACE_CELL * c, y = RACE_TOP + RACE_CELL * r;
            if (code > 0) drawBlock(code, {x, y, x + RACE_CELL, y + RACE_CELL});
        }
    drawTextCentered("Your Best", RACE_CENTRE_X, RACE_TOP - 22, rgb(150, 150, 255), backSurface);
    drawTextCentered(std::to_string(raceView.total).c_str(), RACE_CENTRE_X, bottom + 6, rgb(255, 255, 255),
                     backSurface);
    if (raceView.ended)
        drawTextCentered("Finished", RACE_CENTRE_X, bottom + 20, rgb(255, 255, 0), backSurface);
}

} // namespace crossfall
