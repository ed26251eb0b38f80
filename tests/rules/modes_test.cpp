// The 4-Way cross, the Rubik spin and the Time Attack rise.
#include "rules_fixture.h"

namespace crossfall {
namespace {

using namespace testing_rules;

class FourWayTest : public RulesTest {
  protected:
    void SetUp() override {
        RulesTest::SetUp();
        startWith(MODE_4WAY, 0);
        currentPiece.fieldIndex = 0;
        nextPiece = makePiece(0, 0);
    }
    static void blockEntry(std::initializer_list<int> arms) {
        for (int arm : arms) fields[arm].cells[5][0] = 2;
    }
};

TEST_F(FourWayTest, TheSharedCentreShowsEachBlockAtTheSameScreenPixelInEveryArm) {
    for (int s = 0; s < 4; ++s) {
        for (int f = 0; f < 4; ++f) clearField(fields[f]);
        fields[s].cells[2][13] = 3;
        fields[s].cells[9][19] = 6;
        shareCentre(s);
        EXPECT_TRUE(centresAgree()) << "from arm " << s;
        EXPECT_EQ(countBlocks(fields[(s + 2) % 4]), 2);
    }
}

TEST_F(FourWayTest, AFullCentreColumnIsRemovedThroughTheNeighbourArmButTheOppositeArmIsLeft) {
    for (int r = 11; r < 20; ++r) fields[0].cells[5][r] = 4;
    shareCentre(0);
    fields[1].cells[3][9] = 7; // arm 1's own strip, next to the centre
    fillRow(fields[2], 3, 5);  // a full row of the opposite arm's strip
    hold(keyDrop);
    frame(); // the T's bar lands on row 10, closing column 5
    EXPECT_TRUE(centresAgree());
    EXPECT_EQ(score, 10);
    for (int c = 0; c < 10; ++c) EXPECT_EQ(fields[2].cells[c][3], 5);
    // Arm 1's strip moved one cell toward the centre; column 6 (with the T's right block) moved into 5.
    EXPECT_EQ(fields[1].cells[3][10], 7);
    EXPECT_EQ(topArmCellAt(cellPixel(1, 3, 10)), 7);
    EXPECT_EQ(fields[0].cells[5][10], 1);
    EXPECT_EQ(fields[0].cells[5][9], 1); // the stem in arm 0's strip stays
    for (int r = 11; r < 20; ++r) EXPECT_EQ(fields[0].cells[5][r], EMPTY);
}

TEST_F(FourWayTest, PiecesTakeAFreeArmOrTheGameEnds) {
    blockEntry({0, 1});
    Piece piece = makePiece(0, 0);
    enterFreeArm(piece);
    EXPECT_EQ(piece.fieldIndex, 2);
    nextPiece.fieldIndex = 0;
    blockEntry({3});
    chooseNextArm();
    EXPECT_EQ(nextPiece.fieldIndex, 2);
    EXPECT_EQ(blockedProbeCount(), 3);
    nextPiece.fieldIndex = 0; // Escape stops the search, the arm unchanged
    hold(27);
    chooseNextArm();
    EXPECT_EQ(nextPiece.fieldIndex, 0);
    hold(27, false);
    EXPECT_EQ(gameOver, 0);

    blockEntry({2});
    enterFreeArm(piece);
    EXPECT_EQ(gameOver, 1);
    gameOver = 0;
    chooseNextArm();
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(scoreCheckDone, 0);
    EXPECT_EQ(readFile("debug.txt", 1000).value_or(""), "Exited due to game over...\r\n");
}

TEST_F(FourWayTest, EachArmMovesWithTheArrowPointingThatWay) {
    const int towardColumnZero[4] = {37, 38, 39, 40};
    for (int arm = 0; arm < 4; ++arm) {
        keyUp = 38;
        keyDown = 40;
        currentPiece = makePiece(0, arm);
        hold(towardColumnZero[arm]);
        frame();
        hold(towardColumnZero[arm], false);
        EXPECT_EQ(currentPiece.x, 2) << "arm " << arm;
    }
}

TEST_F(FourWayTest, AdvancedControlsRebindTheArrowsUntilTheFileIsReadAgain) {
    ASSERT_TRUE(writeTextFile("myControls.txt", "162\n163\n38\n40\n37\n39\n37\n39\n1\n"));
    startWith(MODE_4WAY, 0);
    currentPiece.fieldIndex = 1;
    Piece turned = currentPiece;
    rotatePiece(turned, +1);
    hold(39); // Right turns counter-clockwise in arm 1
    frame();
    hold(39, false);
    EXPECT_TRUE(sameShape(currentPiece, turned));
    EXPECT_EQ(keyHurry, 17);
    EXPECT_EQ(keyDrop, 32);
    hold(38); // Up moves toward column 0
    frame();
    EXPECT_EQ(currentPiece.x, 2);
    startGame(MODE_CLASSIC);
    EXPECT_EQ(keyLeft, 37);
    EXPECT_EQ(keyDrop, 38);
}

class RubikTest : public RulesTest {
  protected:
    void SetUp() override {
        RulesTest::SetUp();
        startWith(MODE_RUBIK, 0);
    }
};

TEST_F(RubikTest, FourSpinsGiveTheLowerHalfBack) {
    fillObstacles(fields[0]);
    const Field before = fields[0];
    for (int n = 0; n < 4; ++n) {
        ASSERT_TRUE(spinLowerHalf());
        EXPECT_EQ(samePlayRows(before, fields[0]), n == 3);
    }
}

TEST_F(RubikTest, ADueSpinTurnsAFullColumnIntoARowThatIsRemoved) {
    for (int r = 10; r < 20; ++r) fields[0].cells[2][r] = 3;
    fields[0].cells[0][19] = 6; // the square's bottom-left turns to its top-left
    spinCount = spinPeriod() - 1;
    frame();
    EXPECT_EQ(spinCount, 0);
    EXPECT_EQ(countBlocks(fields[0]), 1);
    EXPECT_EQ(fields[0].cells[0][11], 6); // pulled down by the removed row 12
}

TEST_F(RubikTest, ASpinIntoTheFallingPieceIsRefusedAndTriedAgainNextFrame) {
    currentPiece.y = 9;            // the T's bar on row 11, columns 4..6
    fields[0].cells[1][14] = 5;    // turns to (5, 11)
    const Field before = fields[0];
    spinCount = spinPeriod() - 1;
    frame(2);
    EXPECT_EQ(spinCount, spinPeriod() + 1);
    EXPECT_TRUE(samePlayRows(before, fields[0]));
}

class TimeAttackTest : public RulesTest {
  protected:
    void SetUp() override {
        RulesTest::SetUp();
        startWith(MODE_TIME, 0);
        riseCount = risePeriod() - 1;
    }
};

TEST_F(TimeAttackTest, ARiseMovesEverythingUpLiftsThePieceAndEmptiesTheBottomRow) {
    currentPiece.y = 15; // the T's bar on row 17, resting on row 18
    fillRow(fields[0], 18, 2);
    fields[0].cells[3][18] = EMPTY;
    fields[0].cells[8][10] = 4;
    frame();
    EXPECT_EQ(riseCount, 0);
    EXPECT_EQ(currentPiece.y, 14);
    EXPECT_EQ(fields[0].cells[8][9], 4);
    EXPECT_EQ(fields[0].cells[0][17], 2);
    EXPECT_EQ(fields[0].cells[3][17], EMPTY);
    EXPECT_EQ(countBlocks(fields[0]), 10);
    EXPECT_EQ(gameOver, 0);
}

TEST_F(TimeAttackTest, ABlockInTheTopRowOrAPieceThatCannotBeLiftedEndsTheGameAndKeepsTheField) {
    for (int blocker : {0, 1}) {
        startWith(MODE_TIME, 0);
        riseCount = risePeriod() - 1;
        fields[0].cells[9][0] = blocker == 0 ? 1 : EMPTY;
        fields[0].cells[4][2] = blocker == 1 ? 5 : EMPTY; // under the entering T's bar
        fields[0].cells[0][19] = 5;
        const Field before = fields[0];
        frame();
        EXPECT_EQ(gameOver, 1);
        EXPECT_EQ(scoreCheckDone, 0);
        EXPECT_EQ(currentPiece.y, -1);
        EXPECT_TRUE(samePlayRows(before, fields[0]));
    }
}

} // namespace
} // namespace crossfall
