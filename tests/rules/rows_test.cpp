// Full rows, the combo chain, the label points, levels and fall delays.
#include <algorithm>

#include "play/flash_row.h"
#include "rules_fixture.h"

namespace crossfall {
namespace {

using namespace testing_rules;

using RowsTest = RulesTest;

TEST_F(RowsTest, FullRowsAnywhereAreRemovedWithASoundEachAndTheRowsAbovePulledDown) {
    fillRow(fields[0], 0, 2);
    fields[0].cells[7][5] = 6;
    fillRow(fields[0], 12, 3);
    fields[0].cells[0][18] = 5;
    fillRow(fields[0], 19, 4);
    clearFullRows(0);
    EXPECT_EQ(countBlocks(fields[0]), 2);
    EXPECT_EQ(fields[0].cells[7][7], 6);
    EXPECT_EQ(fields[0].cells[0][19], 5);
    EXPECT_EQ(fields[0].cells[0][20], WALL);
    int sounding = 0;
    for (const SoundRecord& voice : voices) sounding += voice.active;
    EXPECT_EQ(sounding, 3);
    // Without a sounding voice a removal starts a chain at 1 and earns nothing.
    EXPECT_EQ(combo, 1);
    EXPECT_EQ(comboBonuses + comboLabelTimer, 0);
}

TEST_F(RowsTest, RemovalsWhileTheLastSoundPlaysBuildTheChain) {
    for (int link = 1; link <= 3; ++link) {
        fillRow(fields[0], 19);
        fillRow(fields[0], 18);
        clearFullRows(0);
        voicesBusy = 1;
        EXPECT_EQ(combo, link);
    }
    EXPECT_EQ(comboBonuses, 2 + 3);
    EXPECT_EQ(bestCombo, 3);
    EXPECT_EQ(comboLabelTimer, 50);
    clearFullRows(0); // no full row: the chain stands
    EXPECT_EQ(comboBonuses, 5);
}

TEST_F(RowsTest, TheLabelPointsAreTheEndsOfTheRowOnScreen) {
    for (int f = 0; f < FIELD_COUNT; ++f) {
        // Anchors as the field drawing leaves them: cell (0, 19)'s left and bottom edge.
        fields[f].anchorX = cellPixel(f, 0, 19).x;
        fields[f].anchorY = cellPixel(f, 0, 19).y + 16;
        for (int r = 0; r < 20; r += 7) {
            Rect cells{10000, 10000, -1, -1};
            for (int c = 0; c < 10; ++c) {
                Pixel p = cellPixel(f, c, r);
                cells = {std::min(cells.left, p.x), std::min(cells.top, p.y), std::max(cells.right, p.x + 16),
                         std::max(cells.bottom, p.y + 16)};
            }
            flashRow(f, r);
            const bool vertical = f == 1 || f == 3;
            EXPECT_EQ(comboLabelPoints[0].x, cells.left) << f << "," << r;
            EXPECT_EQ(comboLabelPoints[0].y, cells.top) << f << "," << r;
            EXPECT_EQ(comboLabelPoints[1].x, vertical ? cells.left : cells.right) << f << "," << r;
            EXPECT_EQ(comboLabelPoints[1].y, vertical ? cells.bottom : cells.top) << f << "," << r;
        }
    }
}

TEST_F(RowsTest, TheLevelFollowsTheScoreAndNeverFalls) {
    startWith(MODE_CLASSIC, 0);
    score = 890;
    hold(keyDrop);
    frame();
    EXPECT_EQ(level, 2);
    score = 100000;
    updateLevel();
    EXPECT_EQ(level, 9);
    score = 0;
    updateLevel();
    EXPECT_EQ(level, 9);
}

TEST_F(RowsTest, FallDelaysByModeLevelAndChain) {
    const int expected[5][9] = {
        {100, 90, 75, 60, 50, 40, 25, 15, 8},      // Classic
        {100, 90, 75, 60, 50, 40, 25, 15, 12},     // Rubik's
        {100, 90, 75, 60, 50, 44, 30, 25, 21},     // 4-Way
        {150, 140, 125, 110, 100, 90, 75, 65, 62}, // Duofall
        {100, 90, 75, 60, 50, 40, 25, 15, 12},     // Time Attack
    };
    for (gameMode = 0; gameMode < 5; ++gameMode)
        for (level = 1; level <= 9; ++level)
            EXPECT_EQ(currentFallDelay(), expected[gameMode][level - 1]) << gameMode << "/" << level;
    gameMode = MODE_CLASSIC;
    combo = 4;
    level = 9;
    EXPECT_EQ(currentFallDelay(), 12);
    level = 5;
    EXPECT_EQ(currentFallDelay(), 50);
    gameMode = MODE_4WAY;
    combo = 0;
    gameOver = 1;
    level = 9;
    EXPECT_EQ(currentFallDelay(), 12);
}

TEST_F(RowsTest, FourWayLockPointsFallWhenThreeArmsAreBlocked) {
    gameMode = MODE_4WAY;
    for (int d = 0; d < 4; ++d) directionProbes[d] = makePiece(0, d);
    const int pointsForBlocked[4] = {10, 10, 10, 2};
    for (int blocked = 0; blocked < 4; ++blocked) {
        if (blocked > 0) fields[blocked - 1].cells[5][0] = 1;
        score = 0;
        addLockPoints();
        EXPECT_EQ(score, pointsForBlocked[blocked]) << blocked;
    }
}

} // namespace
} // namespace crossfall
