// Where the fields, backgrounds and the combo label appear on screen.
#include <algorithm>
#include <utility>

#include "play_fixture.h"

using namespace crossfall;
using namespace crossfall::testing_play;

namespace {

using FieldDrawingTest = PlayTest;

TEST_F(FieldDrawingTest, EveryOrientationDrawsItsCellsWhereTheLayoutPutsThem) {
    struct Cell {
        int c, r, code;
    };
    const Cell cells[] = {{0, 0, 2}, {9, 19, 3}, {4, 13, 6}};
    for (int f = 0; f < FIELD_COUNT; ++f) {
        SCOPED_TRACE(f);
        clearSurface(backSurface, 0);
        clearField(fields[f]);
        for (const Cell& cell : cells) fields[f].cells[cell.c][cell.r] = cell.code;
        drawField(fields[f]);
        for (const Cell& cell : cells) {
            EXPECT_TRUE(squareShows(backSurface.pixels.data(), expectedCellPixel(f, cell.c, cell.r),
                                    blockValue(cell.code)));
            EXPECT_EQ(countShown(backSurface.pixels.data(), {0, 0, 800, 600}, blockValue(cell.code)), 256)
                << "one square per block, nothing for empty or wall cells";
        }
        const ScreenPoint corner = expectedCellPixel(f, 0, 19);
        EXPECT_EQ(fields[f].anchorX, corner.x);
        EXPECT_EQ(fields[f].anchorY, corner.y + 16);
    }
}

TEST_F(FieldDrawingTest, EachModeShowsItsOwnBackgroundsAndFields) {
    struct Case {
        int mode;
        bool fieldShown[FIELD_COUNT];
        ScreenPoint backgroundAt[4];
        int backgroundDir[4];
    };
    const Case cases[] = {
        {MODE_CLASSIC,
         {true, false, false, false, false, false},
         {{330, 300}, {170, 300}, {600, 300}, {400, 500}},
         {0, -1, -1, -1}},
        {MODE_DUOFALL,
         {false, false, false, false, true, true},
         {{170, 300}, {600, 300}, {400, 300}, {400, 500}},
         {5, 6, -1, -1}},
        {MODE_4WAY,
         {true, true, true, true, false, false},
         {{330, 70}, {330, 530}, {630, 230}, {400, 300}},
         {0, 2, 1, 3}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.mode);
        start(k.mode);
        // A block in every field, on a cell no piece and no other field covers.
        for (int f = 0; f < FIELD_COUNT; ++f) fields[f].cells[8][5] = 1 + f;
        gameStep();
        const std::uint16_t* picture = null_backend::lastPicture();
        for (int f = 0; f < FIELD_COUNT; ++f)
            EXPECT_EQ(squareShows(picture, expectedCellPixel(f, 8, 5), blockValue(1 + f)), k.fieldShown[f])
                << f;
        for (int i = 0; i < 4; ++i) {
            const ScreenPoint p = k.backgroundAt[i];
            const std::uint16_t want =
                k.backgroundDir[i] < 0 ? bg1Value(p.x, p.y) : bgDirValue(k.backgroundDir[i]);
            EXPECT_EQ(shownAt(p.x, p.y), want) << p.x << "," << p.y;
        }
        EXPECT_EQ(shownAt(10, 10), bg1Value(10, 10));
    }
}

// The lit pixels of the back surface lie inside the two boxes, and reach into both.
void expectLabelWithin(const Rect& a, const Rect& b) {
    bool inA = false, inB = false;
    for (int y = 0; y < SCREEN_HEIGHT; ++y)
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            if (backSurface.pixels[static_cast<std::size_t>(y * SCREEN_WIDTH + x)] == 0) continue;
            const bool hitA = x >= a.left && x < a.right && y >= a.top && y < a.bottom;
            const bool hitB = x >= b.left && x < b.right && y >= b.top && y < b.bottom;
            ASSERT_TRUE(hitA || hitB) << "label pixel outside its boxes at " << x << "," << y;
            inA = inA || hitA;
            inB = inB || hitB;
        }
    EXPECT_TRUE(inA && inB);
}

TEST_F(FieldDrawingTest, ComboLabelGrowsAtBothRowEndsOncePerDrawnField) {
    writeComboLabel(12345);
    writeComboLabel(7);
    const Surface seven = comboLabelSurface;
    clearSurface(comboLabelSurface, 0x1234);
    writeComboLabel(7);
    EXPECT_EQ(comboLabelSurface.pixels, seven.pixels)
        << "rewritten on black, nothing of the longer text left";
    EXPECT_NE(std::count(seven.pixels.begin(), seven.pixels.end(), 0), 48 * 16) << "the text is drawn";

    clearField(fields[0]);
    comboLabelPoints[0] = {100, 100};
    comboLabelPoints[1] = {600, 100};
    comboLabelTimer = 50;
    clearSurface(backSurface, 0);
    drawField(fields[0]);
    expectLabelWithin({75, 105, 125, 111}, {575, 105, 625, 111});
    EXPECT_EQ(comboLabelTimer, 49);
    comboLabelTimer = 1;
    clearSurface(backSurface, 0);
    drawField(fields[0]);
    expectLabelWithin({26, 99, 174, 117}, {526, 99, 674, 117});
    EXPECT_EQ(comboLabelTimer, 0);
    drawField(fields[0]);
    EXPECT_EQ(comboLabelTimer, 0) << "a finished label stays finished";

    const std::pair<int, int> drawsPerFrame[] = {{MODE_CLASSIC, 1}, {MODE_DUOFALL, 2}, {MODE_4WAY, 4}};
    for (auto [mode, draws] : drawsPerFrame) {
        start(mode);
        comboLabelTimer = 50;
        gameStep();
        EXPECT_EQ(comboLabelTimer, 50 - draws) << mode;
    }
}

} // namespace
