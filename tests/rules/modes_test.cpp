// The 4-Way cross, the Rubik spin and the Time Attack rise.
#include <cstring>

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
    // Blocks the entry of every arm in the set.
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
        for (int f = 0; f < 4; ++f) EXPECT_EQ(countBlocks(fields[f]), 2);
    }
}

TEST_F(FourWayTest, ACentreColumnFilledFromTheTopIsRemovedThroughTheNeighbourArm) {
    for (int r = 11; r < 20; ++r) fields[0].cells[5][r] = 4;
    shareCentre(0);
    fields[1].cells[3][9] = 7; // arm 1's own strip, next to the centre
    setKeyDown(keyDrop, true);
    frame(); // the T lands with its bar on row 10, closing column 5
    EXPECT_TRUE(centresAgree());
    EXPECT_EQ(score, 10);
    // Arm 1's rows beyond the removed one moved one cell toward the centre.
    EXPECT_EQ(fields[1].cells[3][9], EMPTY);
    EXPECT_EQ(fields[1].cells[3][10], 7);
    Pixel marker = cellPixel(1, 3, 10);
    EXPECT_EQ(fields[0].cells[(marker.x - 320) / 16][(marker.y - 60) / 16], 7);
    // The T's right block followed column 6 into column 5; its stem in arm 0's strip stayed.
    EXPECT_EQ(fields[0].cells[5][10], 1);
    EXPECT_EQ(fields[0].cells[5][9], 1);
    for (int r = 11; r < 20; ++r) EXPECT_EQ(fields[0].cells[5][r], EMPTY);
}

TEST_F(FourWayTest, TheOppositeArmIsNotExamined) {
    // A full row of arm 2's own strip stays when arm 0 locks.
    fillRow(fields[2], 3, 5);
    setKeyDown(keyDrop, true);
    frame();
    EXPECT_EQ(countBlocks(fields[2]), 10 + 4);
}

TEST_F(FourWayTest, AnEnteringPieceTakesTheNextFreeArmOrEndsTheGame) {
    blockEntry({0, 1});
    Piece piece = makePiece(0, 0);
    enterFreeArm(piece);
    EXPECT_EQ(piece.fieldIndex, 2);
    EXPECT_EQ(gameOver, 0);

    piece = makePiece(0, 3);
    blockEntry({2, 3});
    enterFreeArm(piece);
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(scoreCheckDone, 0);
}

TEST_F(FourWayTest, TheNextPieceIsDrawnAnArmItFitsOrTheGameEndsWithALogLine) {
    blockEntry({0, 2, 3});
    nextPiece.fieldIndex = 0;
    chooseNextArm();
    EXPECT_EQ(nextPiece.fieldIndex, 1);
    EXPECT_EQ(blockedProbeCount(), 3);
    EXPECT_EQ(gameOver, 0);

    // Escape stops the search and leaves the blocked arm.
    nextPiece.fieldIndex = 0;
    setKeyDown(27, true);
    chooseNextArm();
    EXPECT_EQ(nextPiece.fieldIndex, 0);
    setKeyDown(27, false);

    blockEntry({1});
    chooseNextArm();
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(scoreCheckDone, 0);
    EXPECT_EQ(readFile("debug.txt", 1000).value_or(""), "Exited due to game over...\r\n");
}

TEST_F(FourWayTest, SideKeysFollowTheArmWithoutAdvancedControls) {
    // Each arm's key for "toward column 0", with the default bindings (Up and Down on the arrows too).
    keyUp = 38;
    keyDown = 40;
    const int towardColumnZero[4] = {37, 38, 39, 40};
    for (int arm = 0; arm < 4; ++arm) {
        startWith(MODE_4WAY, 0);
        currentPiece.fieldIndex = arm;
        keyUp = 38;
        keyDown = 40;
        setKeyDown(towardColumnZero[arm], true);
        frame();
        setKeyDown(towardColumnZero[arm], false);
        EXPECT_EQ(currentPiece.x, 2) << "arm " << arm;
    }
}

TEST_F(FourWayTest, AdvancedControlsRebindTheArrowsForTheArm) {
    ASSERT_TRUE(writeTextFile("myControls.txt", "162\n163\n38\n40\n37\n39\n37\n39\n1\n1\n1\n1\n1\n"));
    startWith(MODE_4WAY, 0);
    currentPiece.fieldIndex = 1;
    const Piece start = currentPiece;
    setKeyDown(39, true); // Right turns counter-clockwise in arm 1
    frame();
    setKeyDown(39, false);
    Piece turned = start;
    rotatePiece(turned, +1);
    EXPECT_TRUE(sameShape(currentPiece, turned));
    EXPECT_EQ(keyHurry, 17);
    EXPECT_EQ(keyDrop, 32);

    setKeyDown(38, true); // Up moves toward column 0
    frame();
    EXPECT_EQ(currentPiece.x, 2);
    EXPECT_EQ(keyLeft, 38);
    EXPECT_EQ(keyRotateCW, 37);

    startGame(MODE_CLASSIC); // the file brings the bindings back
    EXPECT_EQ(keyLeft, 37);
    EXPECT_EQ(keyDrop, 38);
}

TEST_F(FourWayTest, EveryLockKeepsTheCentresEqual) {
    for (int n = 0; n < 60 && gameOver == 0; ++n) {
        setKeyDown(keyDrop, n % 2 == 0);
        setKeyDown(keyLeft, n % 3 == 0);
        frame();
        ASSERT_TRUE(centresAgree()) << "after frame " << n;
    }
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
        if (n == 0) {
            EXPECT_NE(0, std::memcmp(before.cells, fields[0].cells, sizeof before.cells));
        }
    }
    EXPECT_EQ(0, std::memcmp(before.cells, fields[0].cells, sizeof before.cells));
}

TEST_F(RubikTest, ASpinTurnsClockwiseAndAFullColumnBecomesARowThatIsRemoved) {
    for (int r = 10; r < 20; ++r) fields[0].cells[2][r] = 3;
    fields[0].cells[0][19] = 6; // bottom-left goes to top-left of the square
    spinCount = spinPeriod() - 1;
    frame();
    EXPECT_EQ(spinCount, 0);
    EXPECT_EQ(countBlocks(fields[0]), 1);
    // Row 12 was removed, pulling the block from row 10 to row 11.
    EXPECT_EQ(fields[0].cells[0][11], 6);
    EXPECT_EQ(combo, 1);
}

TEST_F(RubikTest, ASpinIntoTheFallingPieceIsRefusedAndTriedAgainNextFrame) {
    currentPiece.y = 9; // the T's bar on row 11, columns 4..6
    fields[0].cells[4][19] = 5; // spins to (0, 14)
    fields[0].cells[11 - 10][19 - 5] = 5; // (1, 14) spins to (5, 11), under the bar
    const Field before = fields[0];
    spinCount = spinPeriod() - 1;
    frame();
    EXPECT_EQ(spinCount, spinPeriod());
    EXPECT_EQ(0, std::memcmp(before.cells, fields[0].cells, sizeof before.cells));
    frame();
    EXPECT_EQ(spinCount, spinPeriod() + 1);
}

class TimeAttackTest : public RulesTest {
  protected:
    void SetUp() override {
        RulesTest::SetUp();
        startWith(MODE_TIME, 0);
    }
};

TEST_F(TimeAttackTest, ARiseMovesEverythingUpAndLeavesTheBottomRowEmpty) {
    fillRow(fields[0], 19, 2);
    fields[0].cells[3][19] = EMPTY;
    fields[0].cells[8][10] = 4;
    riseCount = risePeriod() - 1;
    frame();
    EXPECT_EQ(riseCount, 0);
    EXPECT_EQ(gameOver, 0);
    EXPECT_EQ(fields[0].cells[8][9], 4);
    EXPECT_EQ(fields[0].cells[0][18], 2);
    EXPECT_EQ(fields[0].cells[3][18], EMPTY);
    for (int c = 0; c < 10; ++c) EXPECT_EQ(fields[0].cells[c][19], EMPTY);
}

TEST_F(TimeAttackTest, TheRisingStackLiftsThePieceRestingOnIt) {
    currentPiece.y = 15; // the T's bar on row 17
    for (int c = 4; c <= 6; ++c) fields[0].cells[c][18] = 3;
    riseCount = risePeriod() - 1;
    frame();
    EXPECT_EQ(currentPiece.y, 14);
    EXPECT_EQ(gameOver, 0);
}

TEST_F(TimeAttackTest, ABlockInTheTopRowEndsTheGameWhenTheRiseIsDue) {
    fields[0].cells[9][0] = 1;
    fields[0].cells[9][1] = 1;
    const Field before = fields[0];
    riseCount = risePeriod() - 2;
    frame();
    EXPECT_EQ(gameOver, 0);
    frame();
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(scoreCheckDone, 0);
    EXPECT_EQ(0, std::memcmp(before.cells, fields[0].cells, sizeof before.cells));
}

TEST_F(TimeAttackTest, APieceThatCannotBeLiftedClearEndsTheGameAndLeavesTheField) {
    fields[0].cells[4][2] = 5; // under the entering T's bar
    fields[0].cells[0][19] = 5;
    const Field before = fields[0];
    EXPECT_FALSE(raiseField());
    EXPECT_EQ(currentPiece.y, -1);
    EXPECT_EQ(0, std::memcmp(before.cells, fields[0].cells, sizeof before.cells));

    riseCount = risePeriod() - 1;
    frame();
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(scoreCheckDone, 0);
    EXPECT_EQ(0, std::memcmp(before.cells, fields[0].cells, sizeof before.cells));
}

} // namespace
} // namespace crossfall
