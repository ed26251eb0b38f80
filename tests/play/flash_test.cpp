// The flash meter against the photosensitivity limits: pictures made to sit on each side of every
// threshold (the change, the darker side, the counted area, the red's saturation and change, three
// flashes a second), then the golden games and four rows removed at once in every arm, drawn with the
// shipped sprites: no second may hold more than three flashes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/game_frames.h"
#include "app/start_up.h"
#include "flash/flash_meter.h"
#include "platform/null_backend.h"
#include "rules/game_state.h"
#include "rules/random.h"
#include "rules/rows.h"

namespace crossfall {
namespace {

namespace fs = std::filesystem;

constexpr std::uint16_t BLACK = 0, WHITE = 0xFFFF, RED = 0xF800, GREEN = 0x07E0;

// A picture of black with this many of every 64 pixels in each 8 x 8 cell of the rectangle (in cells)
// painted in each colour, in turn.
struct Paint {
    int cells[4] = {0, 0, 100, 75}; // left, top, right, bottom
    std::vector<std::pair<std::uint16_t, int>> pixels;
};

std::vector<std::uint16_t> paint(const Paint& p) {
    std::vector<std::uint16_t> picture(800 * 600, BLACK);
    for (int cy = p.cells[1]; cy < p.cells[3]; ++cy)
        for (int cx = p.cells[0]; cx < p.cells[2]; ++cx) {
            int k = 0;
            for (const auto& [colour, count] : p.pixels)
                for (int n = 0; n < count; ++n, ++k) picture[(cy * 8 + k / 8) * 800 + cx * 8 + k % 8] = colour;
        }
    return picture;
}

// Two seconds at 60 pictures a second, the picture changing between a and b every `period` frames.
flash::Figures alternate(const std::vector<std::uint16_t>& a, const std::vector<std::uint16_t>& b, int period) {
    flash::Meter meter;
    for (int frame = 0; frame < 120; ++frame)
        flash::addPicture(meter, (frame / period) % 2 == 0 ? a.data() : b.data(), frame * 1000.0 / 60);
    return meter.figures;
}

TEST(FlashMeter, EachLimitCountsFromItsBoundOnAndNotBelowIt) {
    const Paint black{};
    const Paint white{{0, 0, 100, 75}, {{WHITE, 64}}};
    // 207 of the 825 cells of a 10-degree view are over a quarter of it, 206 are not (below).
    Paint block = {{10, 10, 33, 19}, {{WHITE, 64}}};
    const struct {
        const char* what;
        Paint a, b;
        int period, general, red;
    } cases[] = {
        {"black and white, 8 frames", black, white, 8, 8, 0},
        {"black and white, 10 frames: three flashes", black, white, 10, 6, 0},
        {"207 cells", black, block, 8, 8, 0},
        {"luminance 7/64 up from black", black, {{0, 0, 100, 75}, {{WHITE, 7}}}, 8, 8, 0},
        {"luminance 6/64: under 0.1", black, {{0, 0, 100, 75}, {{WHITE, 6}}}, 8, 0, 0},
        {"white and 51/64: darker under 0.8", white, {{0, 0, 100, 75}, {{WHITE, 51}}}, 8, 8, 0},
        {"white and 52/64: darker at 0.8 or more", white, {{0, 0, 100, 75}, {{WHITE, 52}}}, 8, 0, 0},
        {"red and a grey as bright", {{0, 0, 100, 75}, {{RED, 64}}}, {{0, 0, 100, 75}, {{WHITE, 14}}}, 8, 0, 8},
        {"red 5/64: 25 over black", black, {{0, 0, 100, 75}, {{RED, 5}}}, 8, 0, 8},
        {"red 4/64: 20, not more", black, {{0, 0, 100, 75}, {{RED, 4}}}, 8, 0, 0},
        {"40 red, 10 green: saturated", black, {{0, 0, 100, 75}, {{RED, 40}, {GREEN, 10}}}, 8, 8, 8},
        {"40 red, 11 green: not", black, {{0, 0, 100, 75}, {{RED, 40}, {GREEN, 11}}}, 8, 8, 0},
    };
    for (const auto& c : cases) {
        const flash::Figures f = alternate(paint(c.a), paint(c.b), c.period);
        EXPECT_EQ(std::pair(f.generalTransitions, f.redTransitions), std::pair(c.general, c.red)) << c.what;
        EXPECT_EQ(f.pictures, 120) << c.what;
    }
    std::vector<std::uint16_t> smaller = paint(block);
    for (int y = 80; y < 88; ++y) std::fill_n(smaller.begin() + y * 800 + 80, 8, BLACK); // the block less a cell
    const flash::Figures f = alternate(paint(black), smaller, 8);
    EXPECT_EQ(std::pair(f.generalTransitions, f.largestGeneralArea), std::pair(0, 206.0 / 825)) << "206 cells";
    const flash::Figures g = alternate(paint(black), paint(block), 8);
    EXPECT_EQ(std::pair(g.largestGeneralArea, g.worstGeneralAtMs), std::pair(207.0 / 825, 64 * 1000.0 / 60)) << "the eighth transition in a second";
}

// The real sprites, in a folder of the test's own.
void startWithSprites() {
    for (const auto& entry : fs::directory_iterator(CROSSFALL_SOURCE_DIR "/data"))
        if (entry.path().extension() == ".bmp") fs::copy_file(entry.path(), entry.path().filename());
    ASSERT_TRUE(startUp());
}

std::string figures(const flash::Figures& f) {
    char line[160];
    std::snprintf(line, sizeof line, "%d transitions (at %.0f ms), area %.1f %%; red %d, area %.1f %%",
                  f.generalTransitions, f.worstGeneralAtMs, 100 * f.largestGeneralArea, f.redTransitions,
                  100 * f.largestRedArea);
    return line;
}

TEST(FlashMeter, NoGoldenGameFlashesMoreThanThreeTimesASecondAsPinned) {
    startWithSprites();
    constexpr int GRID_PREVIEW = 10; // the switch's place among the controls
    const std::pair<const char*, const char*> pinned[] = {
        {"classic", "0 transitions (at 0 ms), area 17.0 %; red 0, area 1.2 %"},
        {"rubik", "0 transitions (at 0 ms), area 24.5 %; red 0, area 1.7 %"},
        {"4way", "1 transitions (at 63605 ms), area 32.0 %; red 0, area 2.1 %"},
        {"2p", "0 transitions (at 0 ms), area 12.0 %; red 0, area 1.1 %"},
        {"time", "0 transitions (at 0 ms), area 15.0 %; red 0, area 1.5 %"},
    };
    for (const auto& [game, want] : pinned) {
        std::optional<Journal> journal = loadReplay(CROSSFALL_SOURCE_DIR "/tests/golden/" + std::string(game) + ".cfr");
        ASSERT_TRUE(journal);
        EXPECT_TRUE(std::string(game) != "4way" || journal->header.controls[GRID_PREVIEW] != 0) << "the grid blinks";
        const flash::Figures f = flash::measureReplay(std::move(*journal));
        EXPECT_EQ(figures(f), want) << game;
        EXPECT_LE(flash::flashes(std::max(f.generalTransitions, f.redTransitions)), flash::MOST_FLASHES_A_SECOND);
    }
}

TEST(FlashMeter, FourRowsRemovedAtOnceInEveryArmFlashNoMoreThanThreeTimesASecond) {
    startWithSprites();
    flash::Meter meter;
    long frame = 0;
    null_backend::watchPictures([&](const std::uint16_t* pixels) {
        flash::addPicture(meter, pixels, frame * 1000.0 / 60 + static_cast<double>(null_backend::sleptMs()));
    });
    // Each arm of Cross-fall, then the one field: a second of play, four full rows removed, a second more.
    for (const auto& [mode, arm] : {std::pair{int{MODE_4WAY}, 0}, {MODE_4WAY, 1}, {MODE_4WAY, 2}, {MODE_4WAY, 3},
                                    {MODE_CLASSIC, 0}}) {
        seedRandom(7);
        initGameState(); // the waiting piece from the seed too
        blinkCount = comboLabelTimer = 0;
        startGame(mode);
        for (int k = 0; k < 60; ++k, ++frame) playGameFrame();
        for (int r = PLAY_ROWS - 4; r < PLAY_ROWS; ++r)
            for (auto& column : fields[static_cast<std::size_t>(arm)].cells) column[static_cast<std::size_t>(r)] = 1 + arm;
        const int shown = null_backend::picturesShown();
        clearFullRows(arm);
        EXPECT_EQ(null_backend::picturesShown() - shown, 4 * 11) << "eleven images a row";
        for (int k = 0; k < 60; ++k, ++frame) playGameFrame();
    }
    null_backend::watchPictures(nullptr);
    EXPECT_EQ(figures(meter.figures), "0 transitions (at 0 ms), area 9.6 %; red 0, area 0.0 %");
}

} // namespace
} // namespace crossfall
