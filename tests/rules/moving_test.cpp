// The piece tick: gravity, hurry, hard drop, side and rotate repeats, locking and game over.
#include "rules_fixture.h"

namespace crossfall {
namespace {

using namespace testing_rules;

class PieceStepTest : public RulesTest {
  protected:
    void SetUp() override {
        RulesTest::SetUp();
        startWith(MODE_CLASSIC, 0);
    }
};

TEST_F(PieceStepTest, GravityFallsEveryHundredthTickHurryEveryTenthAndEachTickIsLogged) {
    frame(99);
    EXPECT_EQ(currentPiece.y, -1);
    frame();
    EXPECT_EQ(currentPiece.y, 0);
    EXPECT_EQ(readFile("moves.txt", 1000).value_or("").substr(0, 12), "0\r\n1\r\n2\r\n3\r\n");
    hold(keyHurry);
    frame(9);
    EXPECT_EQ(currentPiece.y, 0);
    frame();
    EXPECT_EQ(currentPiece.y, 1);
}

TEST_F(PieceStepTest, HardDropLocksAtOnceAndAHeldDropWaitsForTheLockTime) {
    hold(keyDrop);
    frame();
    EXPECT_EQ(fields[0].cells[4][19], 1); // the T's bar lies on the floor
    EXPECT_EQ(score, 10);
    frame(150);
    EXPECT_EQ(countBlocks(fields[0]), 4);
    frame();
    EXPECT_EQ(countBlocks(fields[0]), 8);
    hold(keyDrop, false);
    frame();
    hold(keyDrop);
    frame();
    EXPECT_EQ(countBlocks(fields[0]), 12);
}

TEST_F(PieceStepTest, BothSideKeysCancelAndHeldMovesRepeatAfterFortyFiveThenNine) {
    hold(keyLeft);
    hold(keyRight);
    frame();
    EXPECT_EQ(currentPiece.x, 3);
    hold(keyRight, false);
    frame(8);
    EXPECT_EQ(currentPiece.x, 3);
    frame();
    EXPECT_EQ(currentPiece.x, 2);

    hold(keyLeft, false);
    frame();
    hold(keyLeft);
    frame();
    EXPECT_EQ(currentPiece.x, 1);
    frame(44);
    EXPECT_EQ(currentPiece.x, 1);
    frame();
    EXPECT_EQ(currentPiece.x, 0);
    frame(18);
    EXPECT_EQ(currentPiece.x, -1); // the wall stops it; the box may overhang
}

TEST_F(PieceStepTest, TheIPieceAtTheTopTurnsOnlyCounterClockwiseAndARefusedTurnStillWaits) {
    startWith(MODE_CLASSIC, 1);
    const Piece flat = currentPiece;
    hold(keyRotateCW);
    frame();
    EXPECT_TRUE(sameShape(currentPiece, flat));
    hold(keyRotateCW, false);
    hold(keyRotateCCW);
    frame(49);
    EXPECT_TRUE(sameShape(currentPiece, flat));
    frame();
    Piece turned = flat;
    rotatePiece(turned, +1);
    EXPECT_TRUE(sameShape(currentPiece, turned));
    // Against a block: refused, the block untouched.
    fields[0].cells[3][1] = 5;
    hold(keyRotateCCW, false);
    frame();
    hold(keyRotateCW);
    frame();
    EXPECT_TRUE(sameShape(currentPiece, turned));
    EXPECT_EQ(fields[0].cells[3][1], 5);
}

TEST_F(PieceStepTest, ABlockedEntryEndsTheGameWithoutPoints) {
    fields[0].cells[4][1] = 2;
    currentPiece.x = 6;
    hold(keyDrop);
    frame();
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(scoreCheckDone, 0);
    EXPECT_EQ(score, 0);
}

class DuofallStepTest : public RulesTest {
  protected:
    void SetUp() override {
        RulesTest::SetUp();
        startWith(MODE_DUOFALL, 0);
        nextPiece2 = currentPiece2 = makePiece(0, 5);
    }
};

TEST_F(DuofallStepTest, BothFallSlowerAndTheRightLockRestartsTheLeftGravity) {
    frame(149);
    EXPECT_EQ(currentPiece.y + currentPiece2.y, -2);
    frame();
    EXPECT_EQ(currentPiece.y + currentPiece2.y, 0);
    currentPiece.gravityCount = 70;
    currentPiece2.y = 17;
    currentPiece2.gravityCount = 149;
    frame();
    EXPECT_EQ(countBlocks(fields[5]), 4);
    EXPECT_EQ(currentPiece.gravityCount, 0);
}

TEST_F(DuofallStepTest, AHardDropPullsTheRightPieceOnlyInItsOwnGame) {
    currentPiece2.dropLock = 100;
    currentPiece2.y = 4;
    hold(keyDrop);
    frame();
    EXPECT_EQ(countBlocks(fields[4]), 4);
    EXPECT_EQ(currentPiece2.y, 5);
    // A Classic hard drop leaves nothing pending for the next Duofall game.
    startWith(MODE_CLASSIC, 0);
    frame();
    hold(keyDrop, false);
    startWith(MODE_DUOFALL, 0);
    frame();
    EXPECT_EQ(currentPiece2.y, -1);
}

TEST_F(DuofallStepTest, EitherBlockedEntryEndsTheGameAndTheLeftOneEndsTheTick) {
    fields[5].cells[4][1] = 3;
    currentPiece2.x = 6;
    currentPiece2.y = 17;
    currentPiece2.gravityCount = 149;
    frame();
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(score, 0);

    startWith(MODE_DUOFALL, 0);
    fields[4].cells[4][1] = 3;
    currentPiece.x = 6;
    currentPiece.y = 17;
    currentPiece.gravityCount = 149;
    hold(keyLeft);
    frame();
    EXPECT_EQ(gameOver, 1);
    EXPECT_EQ(currentPiece.x, 3); // no side move, no drop lock for the blocked piece
    EXPECT_EQ(currentPiece.dropLock, 0);
}

} // namespace
} // namespace crossfall
