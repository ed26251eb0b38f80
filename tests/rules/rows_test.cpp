// Full rows, the combo chain, the row flash's label points, levels and fall delays.
#include <algorithm>

#include "play/flash_row.h"
#include "rules_fixture.h"

namespace crossfall {
namespace {

using namespace testing_rules;

using RowsTest = RulesTest;

TEST_F(RowsTest, FullRowsAnywhereAreRemovedAndTheRowsAbovePulledDown) {
    fillRow(fields[0], 0, 2);
    fields[0].cells[7][5] = 6;
    fillRow(fields[0], 12, 3);
    fillRow(fields[0], 19, 4);
    fields[0].cells[0][18] = 5;
    clearFullRows(0);
    EXPECT_EQ(countBlocks(fields[0]), 2);
    EXPECT_EQ(fields[0].cells[7][7], 6);  // two removals below it
    EXPECT_EQ(fields[0].cells[0][19], 5); // one removal below it
    for (int c = 0; c < 10; ++c) EXPECT_EQ(fields[0].cells[c][20], WALL);
    // Without a sounding voice one removal starts a chain at 1 and earns nothing.
    EXPECT_EQ(combo, 1);
    EXPECT_EQ(comboBonuses, 0);
    EXPECT_EQ(comboLabelTimer, 0);
}

TEST_F(RowsTest, RemovalsWhileTheLastSoundPlaysBuildTheChain) {
    for (int link = 1; link <= 3; ++link) {
        fillRow(fields[0], 19, 1);
        fillRow(fields[0], 18, 1);
        clearFullRows(0);
        voicesBusy = 1;
        EXPECT_EQ(combo, link);
    }
    EXPECT_EQ(comboBonuses, 2 + 3);
    EXPECT_EQ(bestCombo, 3);
    EXPECT_EQ(comboLabelTimer, 50);

    // A rowless lock leaves the chain and the bonuses alone.
    clearFullRows(0);
    EXPECT_EQ(combo, 3);
    EXPECT_EQ(comboBonuses, 5);
}

TEST_F(RowsTest, EveryRemovedRowStartsTheRowSound) {
    fillRow(fields[0], 17, 1);
    fillRow(fields[0], 19, 1);
    clearFullRows(0);
    int sounding = 0;
    for (const SoundRecord& voice : voices) sounding += voice.active;
    EXPECT_EQ(sounding, 2);
}

TEST_F(RowsTest, TheLabelPointsAreTheEndsOfTheRowOnScreen) {
    for (int f = 0; f < FIELD_COUNT; ++f) {
        // Anchors as the field drawing leaves them: cell (0, 19)'s left and bottom edge.
        Pixel anchor = cellPixel(f, 0, 19);
        fields[f].anchorX = anchor.x;
        fields[f].anchorY = anchor.y + 16;
        for (int r = 0; r < 20; r += 7) {
            int left = 10000, top = 10000, right = -1, bottom = -1;
            for (int c = 0; c < 10; ++c) {
                Pixel p = cellPixel(f, c, r);
                left = std::min(left, p.x);
                top = std::min(top, p.y);
                right = std::max(right, p.x + 16);
                bottom = std::max(bottom, p.y + 16);
            }
            Rect strip = rowFlashStrip(f, r);
            EXPECT_EQ(strip.left, left) << f << "," << r;
            EXPECT_EQ(strip.top, top) << f << "," << r;
            EXPECT_EQ(strip.right, right) << f << "," << r;
            EXPECT_EQ(strip.bottom, bottom) << f << "," << r;
            flashRow(f, r);
            EXPECT_EQ(comboLabelPoints[0].x, left);
            EXPECT_EQ(comboLabelPoints[0].y, top);
            bool vertical = f == 1 || f == 3;
            EXPECT_EQ(comboLabelPoints[1].x, vertical ? left : right);
            EXPECT_EQ(comboLabelPoints[1].y, vertical ? bottom : top);
        }
    }
}

TEST_F(RowsTest, TheLevelFollowsTheScoreAndNeverFalls) {
    startWith(MODE_CLASSIC, 0);
    score = 890;
    setKeyDown(keyDrop, true);
    frame();
    EXPECT_EQ(score, 900);
    EXPECT_EQ(level, 2);

    score = 4890;
    setKeyDown(keyDrop, false);
    frame();
    setKeyDown(keyDrop, true);
    frame();
    EXPECT_EQ(level, 9);
    score = 100000;
    updateLevel();
    EXPECT_EQ(level, 9);
    score = 0;
    updateLevel();
    EXPECT_EQ(level, 9);
}

TEST_F(RowsTest, FallDelaysByModeAndLevel) {
    const int expected[5][9] = {
        {100, 90, 75, 60, 50, 40, 25, 15, 8},      // Classic
        {100, 90, 75, 60, 50, 40, 25, 15, 12},     // Rubik's
        {100, 90, 75, 60, 50, 44, 30, 25, 21},     // 4-Way
        {150, 140, 125, 110, 100, 90, 75, 65, 62}, // Duofall
        {100, 90, 75, 60, 50, 40, 25, 15, 12},     // Time Attack
    };
    for (int mode = 0; mode < 5; ++mode)
        for (level = 1; level <= 9; ++level) {
            gameMode = mode;
            EXPECT_EQ(currentFallDelay(), expected[mode][level - 1]) << "mode " << mode << " level " << level;
        }
}

TEST_F(RowsTest, LongChainsSlowTheFallAtHighLevelsAndOverGamesLoseTheirModeAdjustment) {
    gameMode = MODE_CLASSIC;
    level = 9;
    combo = 4;
    EXPECT_EQ(currentFallDelay(), 12);
    level = 5;
    EXPECT_EQ(currentFallDelay(), 50);
    level = 6;
    combo = 2;
    EXPECT_EQ(currentFallDelay(), 40);

    combo = 0;
    gameOver = 1;
    gameMode = MODE_4WAY;
    level = 9;
    EXPECT_EQ(currentFallDelay(), 12);
    gameMode = MODE_DUOFALL;
    EXPECT_EQ(currentFallDelay(), 12);
}

TEST_F(RowsTest, FourWayLockPointsDependOnHowManyArmsTheNextPieceCanEnter) {
    gameMode = MODE_4WAY;
    nextPiece = makePiece(0, 0);
    for (int d = 0; d < 4; ++d) directionProbes[d] = makePiece(0, d);
    const int pointsForBlocked[4] = {10, 10, 10, 2};
    for (int blocked = 0; blocked < 4; ++blocked) {
        if (blocked > 0) fields[blocked - 1].cells[5][0] = 1;
        score = 0;
        addLockPoints();
        EXPECT_EQ(score, pointsForBlocked[blocked]) << blocked << " arms blocked";
    }
}

} // namespace
} // namespace crossfall
