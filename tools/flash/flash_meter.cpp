// The flash meter: cell values from each picture, their transitions, the counting areas and seconds.
#include "flash/flash_meter.h"

#include <algorithm>
#include <cmath>

#include "app/game_frames.h"
#include "platform/null_backend.h"
#include "platform/screen_flags.h"
#include "rules/game_state.h"

namespace crossfall::flash {
namespace {

constexpr double GENERAL_STEP = 0.1;
constexpr double DARKER_BELOW = 0.8;
constexpr double RED_STEP = 20.0;
constexpr double RED_SATURATION = 0.8;
constexpr double COUNTING_PART = 0.25;
constexpr double SECOND_MS = 1000.0;
constexpr double TIME_SLACK_MS = 1e-6;

struct Linear {
    double r, g, b;
};

double linearChannel(int value, int top) {
    const double c = static_cast<double>(value) / top;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The linear light of every 5-6-5 colour.
const std::vector<Linear>& linearColours() {
    static const std::vector<Linear> table = [] {
        std::vector<Linear> t(65536);
        for (int v = 0; v < 65536; ++v)
            t[static_cast<std::size_t>(v)] = {linearChannel(v >> 11, 31), linearChannel((v >> 5) & 63, 63),
                                              linearChannel(v & 31, 31)};
        return t;
    }();
    return table;
}

struct CellValue {
    double luminance, red;
    bool saturated;
};

CellValue cellValue(const std::uint16_t* pixels, int column, int row) {
    const std::vector<Linear>& colours = linearColours();
    Linear sum{0, 0, 0};
    for (int y = 0; y < CELL; ++y)
        for (int x = 0; x < CELL; ++x) {
            const Linear& c = colours[pixels[(row * CELL + y) * 800 + column * CELL + x]];
            sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
        }
    const double n = CELL * CELL;
    const Linear m{sum.r / n, sum.g / n, sum.b / n};
    const double total = m.r + m.g + m.b;
    return {0.2126 * m.r + 0.7152 * m.g + 0.0722 * m.b, std::max(0.0, m.r - m.g - m.b) * 320.0,
            total > 0 && m.r / total >= RED_SATURATION};
}

bool cellChanged(const std::vector<std::uint16_t>& before, const std::uint16_t* pixels, int column, int row) {
    for (int y = 0; y < CELL; ++y) {
        const std::size_t at = static_cast<std::size_t>((row * CELL + y) * 800 + column * CELL);
        if (!std::equal(pixels + at, pixels + at + CELL, before.begin() + static_cast<std::ptrdiff_t>(at)))
            return true;
    }
    return false;
}

// Follows a cell to its new value; true when that is a transition: a change of at least the step
// against the way it was going (or the first way it goes), where the pair of values may flash.
bool transition(Trend& t, double value, bool saturated, double step, bool strict, bool (*mayFlash)(const Trend&, double, bool)) {
    const int way = value > t.extreme ? 1 : value < t.extreme ? -1 : 0;
    if (way == 0) return false;
    if (way == t.direction) {
        t.extreme = value;
        t.saturated = saturated;
        return false;
    }
    const double change = std::abs(value - t.extreme);
    if ((strict ? change <= step : change < step) || !mayFlash(t, value, saturated)) return false;
    t = {value, saturated, way};
    return true;
}

bool generalMayFlash(const Trend& t, double value, bool) {
    return std::min(t.extreme, value) < DARKER_BELOW;
}

bool redMayFlash(const Trend& t, double, bool saturated) {
    return t.saturated || saturated;
}

// The largest number of marked cells inside any 10-degree field, through a summed-area table.
int largestViewCount(const std::vector<char>& marked) {
    std::vector<int> sums(static_cast<std::size_t>((COLUMNS + 1) * (ROWS + 1)), 0);
    const auto at = [](int c, int r) { return static_cast<std::size_t>(r * (COLUMNS + 1) + c); };
    for (int r = 0; r < ROWS; ++r)
        for (int c = 0; c < COLUMNS; ++c)
            sums[at(c + 1, r + 1)] = marked[static_cast<std::size_t>(r * COLUMNS + c)] + sums[at(c, r + 1)] +
                                     sums[at(c + 1, r)] - sums[at(c, r)];
    int most = 0;
    for (int r = 0; r + VIEW_ROWS <= ROWS; ++r)
        for (int c = 0; c + VIEW_COLUMNS <= COLUMNS; ++c)
            most = std::max(most, sums[at(c + VIEW_COLUMNS, r + VIEW_ROWS)] - sums[at(c, r + VIEW_ROWS)] -
                                      sums[at(c + VIEW_COLUMNS, r)] + sums[at(c, r)]);
    return most;
}

// Counts a picture's transitions of one kind: their largest area, and the flashes of the second ending now.
void countTransitions(Transitions& kind, const std::vector<char>& marked, double timeMs, double& largestArea,
                      int& most, double& worstAtMs) {
    const double area = static_cast<double>(largestViewCount(marked)) / (VIEW_COLUMNS * VIEW_ROWS);
    largestArea = std::max(largestArea, area);
    if (area <= COUNTING_PART) return;
    kind.lastSecond.push_back(timeMs);
    // A second holds what lies less than 1000 ms before now (frame times are not whole milliseconds).
    while (kind.lastSecond.front() <= timeMs - SECOND_MS + TIME_SLACK_MS) kind.lastSecond.pop_front();
    const int inSecond = static_cast<int>(kind.lastSecond.size());
    if (inSecond > most) {
        most = inSecond;
        worstAtMs = timeMs;
    }
}

} // namespace

void addPicture(Meter& meter, const std::uint16_t* pixels, double timeMs) {
    const bool first = meter.previous.empty();
    std::vector<char> general(COLUMNS * ROWS, 0), red(COLUMNS * ROWS, 0);
    for (int row = 0; row < ROWS; ++row)
        for (int column = 0; column < COLUMNS; ++column) {
            if (!first && !cellChanged(meter.previous, pixels, column, row)) continue;
            const std::size_t k = static_cast<std::size_t>(row * COLUMNS + column);
            const CellValue v = cellValue(pixels, column, row);
            if (first) {
                meter.general.trends[k] = {v.luminance, v.saturated, 0};
                meter.red.trends[k] = {v.red, v.saturated, 0};
                continue;
            }
            general[k] = transition(meter.general.trends[k], v.luminance, v.saturated, GENERAL_STEP, false,
                                    generalMayFlash);
            red[k] = transition(meter.red.trends[k], v.red, v.saturated, RED_STEP, true, redMayFlash);
        }
    meter.previous.assign(pixels, pixels + 800 * 600);
    Figures& f = meter.figures;
    f.pictures += 1;
    countTransitions(meter.general, general, timeMs, f.largestGeneralArea, f.generalTransitions, f.worstGeneralAtMs);
    countTransitions(meter.red, red, timeMs, f.largestRedArea, f.redTransitions, f.worstRedAtMs);
}

Figures measureReplay(Journal journal) {
    Meter meter;
    long frame = 0;
    // What outlives a game on the play screen starts alike for each journal.
    blinkCount = comboLabelTimer = 0;
    comboLabelPoints[0] = comboLabelPoints[1] = ScreenPoint{};
    null_backend::reset();
    null_backend::watchPictures([&](const std::uint16_t* pixels) {
        addPicture(meter, pixels, frame * SECOND_MS / 60 + static_cast<double>(null_backend::sleptMs()));
    });
    startReplay(std::move(journal), 1);
    for (frame = 0; inMenu == 0; ++frame) playGameFrame();
    null_backend::watchPictures(nullptr);
    return meter.figures;
}

} // namespace crossfall::flash
