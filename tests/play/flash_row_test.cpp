// The row flash: the strip it covers in each arm, what it shows, how long it pauses, what it leaves.
#include <algorithm>

#include "play_fixture.h"

using namespace crossfall;
using namespace crossfall::testing_play;

namespace {

using FlashRowTest = PlayTest;

constexpr std::uint16_t FRONT_BEFORE = 0x0042;

// The rectangle row r's ten cells cover on screen.
Rect rowCells(int f, int r) {
    Rect box{SCREEN_WIDTH, SCREEN_HEIGHT, 0, 0};
    for (int c = 0; c < 10; ++c) {
        const ScreenPoint p = expectedCellPixel(f, c, r);
        box = {std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x + 16),
               std::max(box.bottom, p.y + 16)};
    }
    return box;
}

int countIn(const std::uint16_t* pixels, std::uint16_t value) {
    return static_cast<int>(std::count(pixels, pixels + SCREEN_WIDTH * SCREEN_HEIGHT, value));
}

TEST_F(FlashRowTest, EachArmFlashesTheRowsOwnStripAndLeavesTheBackgroundThere) {
    for (int f = 0; f < 4; ++f) {
        for (int r : {2, 17}) {
            SCOPED_TRACE(testing::Message() << "field " << f << " row " << r);
            drawField(fields[f]);
            clearSurface(frontSurface, FRONT_BEFORE);
            null_backend::reset();
            flashRow(f, r);

            const bool vertical = f == 1 || f == 3;
            const Rect s = rowCells(f, r);
            EXPECT_EQ(null_backend::picturesShown(), 11);
            EXPECT_EQ(null_backend::sleptMs(), 165u);
            const std::uint16_t lastImage = vertical ? animColValue(0) : animRowValue(0);
            EXPECT_EQ(countShown(null_backend::lastPicture(), s, lastImage), 160 * 16)
                << "the last image lies on the row";
            EXPECT_EQ(countIn(null_backend::lastPicture(), FRONT_BEFORE), 800 * 600 - 160 * 16);

            int background = 0;
            for (int y = s.top; y < s.bottom; ++y)
                for (int x = s.left; x < s.right; ++x)
                    background +=
                        frontSurface.pixels[static_cast<std::size_t>(y * SCREEN_WIDTH + x)] == bg1Value(x, y);
            EXPECT_EQ(background, 160 * 16) << "the strip shows the background again";
            EXPECT_EQ(countIn(frontSurface.pixels.data(), FRONT_BEFORE), 800 * 600 - 160 * 16);

            EXPECT_EQ(comboLabelPoints[0].x, s.left);
            EXPECT_EQ(comboLabelPoints[0].y, s.top);
            EXPECT_EQ(comboLabelPoints[1].x, vertical ? s.left : s.right);
            EXPECT_EQ(comboLabelPoints[1].y, vertical ? s.bottom : s.top);
        }
    }
}

TEST_F(FlashRowTest, DuofallRowsGoWithoutFlashOrPauseButTheLabelSitsAtTheirEnds) {
    for (int f : {4, 5}) {
        clearSurface(frontSurface, FRONT_BEFORE);
        null_backend::reset();
        flashRow(f, 12);
        EXPECT_EQ(null_backend::picturesShown(), 0);
        EXPECT_EQ(null_backend::sleptMs(), 0u);
        EXPECT_EQ(countIn(frontSurface.pixels.data(), FRONT_BEFORE), 800 * 600);
        const Rect s = rowCells(f, 12);
        EXPECT_EQ(comboLabelPoints[0].x, s.left);
        EXPECT_EQ(comboLabelPoints[0].y, s.top);
        EXPECT_EQ(comboLabelPoints[1].x, s.right);
        EXPECT_EQ(comboLabelPoints[1].y, s.top);
    }
}

} // namespace
