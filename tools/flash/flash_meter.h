// Photosensitivity check of the pictures a run shows, against WCAG 2.3.1: at most three general
// and three red flashes in any one second, a flash counting where the cells that change together
// cover more than a quarter of a 10-degree field (266 x 200 pixels of the 800 x 600 picture; here
// 33 x 25 cells of 8 x 8, 264 x 200). A general transition is a change of relative luminance by 0.1
// or more with the darker side under 0.8; a red one a change of (R - G - B) x 320 by more than 20,
// linear, where either side is saturated red, R / (R + G + B) >= 0.8. A flash is two transitions.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <vector>

#include "app/journal.h"

namespace crossfall::flash {

constexpr int CELL = 8;
constexpr int COLUMNS = 800 / CELL;
constexpr int ROWS = 600 / CELL;
constexpr int VIEW_COLUMNS = 33;
constexpr int VIEW_ROWS = 25;

struct Figures {
    long pictures = 0;
    // The largest part of a 10-degree field whose cells made one kind of transition in one picture.
    double largestGeneralArea = 0, largestRedArea = 0;
    // The most transitions over a counting area in any one second, and where that second ends.
    int generalTransitions = 0, redTransitions = 0;
    double worstGeneralAtMs = 0, worstRedAtMs = 0;
};

// Two transitions make a flash.
inline int flashes(int transitions) {
    return transitions / 2;
}
constexpr int MOST_FLASHES_A_SECOND = 3;

// The last extreme a cell's value reached, and which way it was going (0: not yet known).
struct Trend {
    double extreme = 0;
    bool saturated = false;
    int direction = 0;
};

// The kind of transition followed through a run: its cells and the counting transitions of the last second.
struct Transitions {
    std::vector<Trend> trends = std::vector<Trend>(COLUMNS * ROWS);
    std::deque<double> lastSecond;
};

struct Meter {
    std::vector<std::uint16_t> previous; // empty before the first picture
    Transitions general, red;
    Figures figures;
};

// Takes the next picture shown, at this time since the run began.
void addPicture(Meter& meter, const std::uint16_t* pixels, double timeMs);

// Plays the journal on the play screen with the sprites loaded, as a replay at speed 1 shows it,
// every picture measured at its time: a frame is 1/60 s, and the game's pauses (the row flash) add.
Figures measureReplay(Journal journal);

} // namespace crossfall::flash
